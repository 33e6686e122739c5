#include "standalone/MidiMap.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

const char kDefaultMap[] =
    "# Kelvorantumix MIDI map: one controller a line, then the parameter it moves.\n"
    "# \"toggle\" after a footswitch flips it at each press (for buttons that send 127 when\n"
    "# pressed and 0 when let go); \"channel N\" listens on MIDI channel N (1-16) only.\n"
    "80 Effect\n"
    "81 Vortalizer\n"
    "7  Level\n"
    "20 Drive\n"
    "21 Low\n"
    "22 Mid\n"
    "23 High\n";

std::string Lower(std::string text) {
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// A whole-word decimal number from low to high.
bool ReadNumber(const std::string& word, int low, int high, int* value) {
    if (word.empty() || word.size() > 4) {
        return false;
    }
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    *value = std::atoi(word.c_str());
    return *value >= low && *value <= high;
}

int FindParameter(const std::string& word, const std::vector<MidiMap::Parameter>& parameters) {
    int index = -1;
    if (ReadNumber(word, 0, int(parameters.size()) - 1, &index)) {
        return index;
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (Lower(parameters[i].name) == Lower(word)) {
            return int(i);
        }
    }
    return -1;
}

std::string ParameterList(const std::vector<MidiMap::Parameter>& parameters) {
    std::string list;
    for (const MidiMap::Parameter& parameter : parameters) {
        list += (list.empty() ? "" : ", ") + parameter.name;
    }
    return list;
}

} // namespace

const char* MidiMap::DefaultText() {
    return kDefaultMap;
}

bool MidiMap::Parse(const std::string& text, const std::vector<Parameter>& parameters, MidiMap* map,
                    std::string* error) {
    MidiMap parsed;
    std::array<int, kControllers> lineOf{};
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = std::to_string(number) + ": ";
        std::istringstream words(line.substr(0, line.find('#')));
        std::vector<std::string> word;
        for (std::string w; words >> w;) {
            word.push_back(w);
        }
        if (word.empty()) {
            continue;
        }
        int controller = 0;
        if (!ReadNumber(word[0], 0, kControllers - 1, &controller)) {
            *error = where + "'" + word[0] + "' is not a controller number from 0 to 127";
            return false;
        }
        if (lineOf[std::size_t(controller)]) {
            *error = where + "controller " + word[0] + " is already mapped on line " +
                     std::to_string(lineOf[std::size_t(controller)]);
            return false;
        }
        if (word.size() < 2) {
            *error = where + "controller " + word[0] + " needs a parameter (" +
                     ParameterList(parameters) + ")";
            return false;
        }
        Binding binding;
        binding.parameter = FindParameter(word[1], parameters);
        if (binding.parameter < 0) {
            *error = where + "no parameter is called '" + word[1] + "' (" +
                     ParameterList(parameters) + ")";
            return false;
        }
        const Parameter& parameter = parameters[std::size_t(binding.parameter)];
        binding.response = parameter.isFootswitch ? Response::kSwitch : Response::kKnob;
        for (std::size_t i = 2; i < word.size(); ++i) {
            const std::string option = Lower(word[i]);
            if (option == "toggle") {
                if (!parameter.isFootswitch) {
                    *error = where + "'toggle' is for footswitches, and " + parameter.name +
                             " is a knob";
                    return false;
                }
                binding.response = Response::kToggle;
            } else if (option == "channel") {
                int channel = 0;
                if (i + 1 == word.size() || !ReadNumber(word[i + 1], 1, 16, &channel)) {
                    *error = where + "'channel' takes a MIDI channel from 1 to 16";
                    return false;
                }
                binding.channel = channel - 1;
                ++i;
            } else {
                *error = where + "'" + word[i] + "' is neither 'toggle' nor 'channel N'";
                return false;
            }
        }
        parsed.bindings_[std::size_t(controller)] = binding;
        lineOf[std::size_t(controller)] = number;
    }
    *map = parsed;
    return true;
}

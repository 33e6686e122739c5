#include "host/ParameterSetting.h"

#include "host/HostedParameters.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Display texts are looked for on this grid of normalized values; it holds 0 and 1 and every
// step of a parameter with up to 1001 values, or lands within half a step of it.
constexpr int kSearchSteps = 1000;

std::string Key(const std::string& text) {
    std::string key;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            key += char(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

bool ParseNumber(const std::string& text, double* value) {
    const std::string trimmed = Trimmed(text);
    if (trimmed.empty()) {
        return false;
    }
    char* end = nullptr;
    *value = std::strtod(trimmed.c_str(), &end);
    return *end == '\0' && std::isfinite(*value);
}

bool ParseIndex(const std::string& text, int* index) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    *index = std::atoi(text.c_str());
    return true;
}

bool SameDisplay(const std::string& shown, const std::string& wanted) {
    if (Key(shown) == Key(wanted) && !Key(wanted).empty()) {
        return true;
    }
    double a = 0.0;
    double b = 0.0;
    return ParseNumber(shown, &a) && ParseNumber(wanted, &b) && a == b;
}

std::string ValidNames(HostedParameters& plugin) {
    const int count = plugin.NumParams();
    std::string names;
    for (int i = 0; i < count; ++i) {
        names += (i ? ", " : "") + plugin.ParamName(i);
    }
    return names + " (or an index from 0 to " + std::to_string(count - 1) + ")";
}

} // namespace

int FindParameterIndex(HostedParameters& plugin, const std::string& name) {
    const int count = plugin.NumParams();
    int index = -1;
    if (ParseIndex(name, &index)) {
        return index < count ? index : -1;
    }
    for (int i = 0; i < count; ++i) {
        if (!Key(name).empty() && Key(plugin.ParamName(i)) == Key(name)) {
            return i;
        }
    }
    return -1;
}

namespace {

// Tries the grid for the text; on a match picks the middle of the run of values that show it,
// or its end when the run reaches 0 or 1, so the value is the one the plug-in means by it.
bool FindDisplayText(HostedParameters& plugin, int index, const std::string& text, float* found,
                     std::vector<std::string>* seen) {
    int first = -1;
    int last = -1;
    for (int step = 0; step <= kSearchSteps; ++step) {
        plugin.SetParameter(index, float(step) / kSearchSteps);
        const std::string shown = plugin.ParamDisplay(index);
        if (seen->empty() || seen->back() != shown) {
            seen->push_back(shown);
        }
        if (SameDisplay(shown, text)) {
            first = first < 0 ? step : first;
            last = step;
        } else if (first >= 0) {
            break;
        }
    }
    if (first < 0) {
        return false;
    }
    const int chosen = first == 0 ? 0 : last == kSearchSteps ? kSearchSteps : (first + last) / 2;
    *found = float(chosen) / kSearchSteps;
    return true;
}

} // namespace

bool ParseParameterSetting(const std::string& text, ParameterSetting* setting, std::string* error) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || Trimmed(text.substr(0, equals)).empty() ||
        Trimmed(text.substr(equals + 1)).empty()) {
        *error = "--set takes NAME=VALUE, for example --set Drive=0.7 or --set Effect=On; got '" +
                 text + "'";
        return false;
    }
    setting->name = Trimmed(text.substr(0, equals));
    setting->value = Trimmed(text.substr(equals + 1));
    return true;
}

bool ApplyParameterSetting(HostedParameters& plugin, const ParameterSetting& setting,
                           std::string* error) {
    const int count = plugin.NumParams();
    if (count <= 0) {
        *error = "the plug-in has no parameters, so --set " + setting.name + " cannot apply";
        return false;
    }
    const int index = FindParameterIndex(plugin, setting.name);
    if (index < 0) {
        *error =
            "unknown parameter '" + setting.name + "'; the parameters are " + ValidNames(plugin);
        return false;
    }
    double number = 0.0;
    if (ParseNumber(setting.value, &number) && number >= 0.0 && number <= 1.0) {
        plugin.SetParameter(index, float(number));
        return true;
    }

    const float before = plugin.GetParameter(index);
    float found = 0.0f;
    std::vector<std::string> seen;
    if (FindDisplayText(plugin, index, setting.value, &found, &seen)) {
        plugin.SetParameter(index, found);
        return true;
    }
    plugin.SetParameter(index, before);

    const std::string name = plugin.ParamName(index);
    std::string shows;
    if (seen.size() <= 12) {
        for (size_t i = 0; i < seen.size(); ++i) {
            shows += (i ? ", " : "") + seen[i];
        }
    } else {
        shows = seen.front() + " to " + seen.back();
    }
    const std::string label = plugin.ParamLabel(index);
    if (!label.empty() && seen.size() > 12) {
        shows += " " + label;
    }
    *error =
        name + "=" + setting.value +
        (ParseNumber(setting.value, &number) ? " is out of range" : " is not a value it takes") +
        ": give a normalized value from 0 to 1 or a value it displays (" + shows + ")";
    return false;
}

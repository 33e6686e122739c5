#pragma once

#include <array>
#include <string>
#include <vector>

// Which MIDI controller moves which parameter. Written as text, one controller a line:
//
//     # controller  parameter  [toggle] [channel N]
//     80 Effect
//     7  Level channel 1
//
// A knob follows the controller's value (0 to 127). A footswitch is on from 64 and off below,
// the MIDI convention for on/off controllers; with "toggle" it flips at each press instead, for
// foot controllers whose buttons send 127 when pressed and 0 when let go. Without a channel the
// controller counts on every channel.
class MidiMap {
public:
    static constexpr int kControllers = 128;

    struct Parameter {
        std::string name;
        bool isFootswitch = false;
    };

    enum class Response { kNone, kKnob, kSwitch, kToggle };

    struct Binding {
        Response response = Response::kNone;
        int parameter = -1;
        int channel = -1; // 0 to 15, or -1 for any
    };

    // The map Kelvorantumix starts with.
    static const char* DefaultText();

    // Reads a map; on a mistake returns false with "LINE: what is wrong" in error. Parameters are
    // named as the plug-in names them, in any case, or by index.
    static bool Parse(const std::string& text, const std::vector<Parameter>& parameters,
                      MidiMap* map, std::string* error);

    const Binding& For(int controller) const { return bindings_[std::size_t(controller)]; }

private:
    std::array<Binding, kControllers> bindings_{};
};

#pragma once

#include <string>

// What the command line asks of kelvorantumix.
struct StandaloneOptions {
    enum class Connect { kWhenPhysicalPorts, kAlways, kNever };

    bool stereo = false;
    Connect connect = Connect::kWhenPhysicalPorts;
    bool window = true;
    std::string midiMapPath;
    std::string presetPath;
    std::string serverName;
    bool startServer = false;
};

// Reads the arguments after the program name. Returns -1 to go on, or the exit code when
// the command line asked only for help, the version or the MIDI map (0), or has a mistake
// (2, with a message).
int ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options);

#include "standalone/StandaloneOptions.h"

#include "standalone/MidiMap.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: kelvorantumix [--stereo] [--connect | --no-connect] [--no-gui]\n"
    "                     [--midi-map FILE] [--preset FILE] [--server NAME] [--start-server]\n"
    "\n"
    "Kelvorantumix, the guitar distortion stompbox, as a JACK application: plug the guitar\n"
    "into the audio interface, start it and play. The panel is the plug-in's own.\n"
    "\n"
    "  --stereo          two inputs, in_1 and in_2 (default: one input, in)\n"
    "  --connect         wire the first capture port to the input and the outputs to the first\n"
    "                    two playback ports (the default when the server has such ports)\n"
    "  --no-connect      leave the ports unconnected\n"
    "  --no-gui          run without the window\n"
    "  --midi-map FILE   map MIDI controllers to the switches and knobs as FILE says, instead\n"
    "                    of the default map (--print-midi-map shows it)\n"
    "  --print-midi-map  print the default MIDI map and exit\n"
    "  --preset FILE     start from a saved state (as kvx-host chunk save writes)\n"
    "  --server NAME     the JACK server to use (default: $JACK_DEFAULT_SERVER, or default)\n"
    "  --start-server    start a JACK server when none is running\n"
    "  --version         print the version and exit\n"
    "\n"
    "The settings are saved on exit to $XDG_CONFIG_HOME/kelvorantumix/state (or\n"
    "~/.config/kelvorantumix/state) and restored at the next start. Closing the window,\n"
    "Ctrl-C or SIGTERM end the program. Exit status: 0 on a clean end, 1 on an error,\n"
    "2 for a mistake on the command line, 3 when no JACK server is running.\n";

int Mistake(const std::string& problem) {
    std::fprintf(stderr, "kelvorantumix: %s\n\n%s", problem.c_str(), kUsage);
    return 2;
}

} // namespace

int ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options) {
    bool connectGiven = false;
    for (int i = 0; i < argc; ++i) {
        const std::string word = argv[i];
        const auto value = [&](std::string* to) {
            if (i + 1 == argc) {
                return false;
            }
            *to = argv[++i];
            return true;
        };
        if (word == "-h" || word == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (word == "--version") {
            std::printf("kelvorantumix %s\n", KVX_VERSION);
            return 0;
        } else if (word == "--print-midi-map") {
            std::fputs(MidiMap::DefaultText(), stdout);
            return 0;
        } else if (word == "--stereo") {
            options->stereo = true;
        } else if (word == "--connect" || word == "--no-connect") {
            const auto wanted = word == "--connect" ? StandaloneOptions::Connect::kAlways
                                                    : StandaloneOptions::Connect::kNever;
            if (connectGiven && options->connect != wanted) {
                return Mistake("--connect and --no-connect contradict each other");
            }
            options->connect = wanted;
            connectGiven = true;
        } else if (word == "--no-gui") {
            options->window = false;
        } else if (word == "--start-server") {
            options->startServer = true;
        } else if (word == "--midi-map") {
            if (!value(&options->midiMapPath)) {
                return Mistake("--midi-map needs a file");
            }
        } else if (word == "--preset") {
            if (!value(&options->presetPath)) {
                return Mistake("--preset needs a file");
            }
        } else if (word == "--server") {
            if (!value(&options->serverName) || options->serverName.empty()) {
                return Mistake("--server needs the name of a JACK server");
            }
        } else {
            return Mistake("unknown option '" + word + "'");
        }
    }
    return -1;
}

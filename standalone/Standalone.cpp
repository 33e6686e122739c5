#include "standalone/Standalone.h"

#include "effect/PlugExample.h"
#include "host/FileBytes.h"
#include "standalone/EmbeddedPlugin.h"
#include "standalone/JackEngine.h"
#include "standalone/MidiMap.h"
#include "standalone/QuitSignals.h"
#include "standalone/StandaloneWindow.h"
#include "standalone/StateFile.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kNoServerStatus = 3;

const char kNoServerAdvice[] =
    "Start a JACK server first, for example\n"
    "    jackd -d alsa -d hw:0 -r 48000 -p 256\n"
    "(or from QjackCtl), or run Kelvorantumix on PipeWire's JACK:\n"
    "    pw-jack kelvorantumix\n"
    "kelvorantumix --start-server starts JACK's default server itself.\n";

int Fail(const std::string& problem) {
    std::fprintf(stderr, "kelvorantumix: %s\n", problem.c_str());
    return 1;
}

void Warn(const std::string& problem) {
    std::fprintf(stderr, "kelvorantumix: warning: %s\n", problem.c_str());
}

bool LoadMidiMap(EmbeddedPlugin& plugin, const std::string& path, MidiMap* map,
                 std::string* error) {
    std::vector<MidiMap::Parameter> parameters;
    for (int i = 0; i < plugin.ParameterCount(); ++i) {
        const bool footswitch = i == PlugExample::kEffect || i == PlugExample::kVortalizer;
        parameters.push_back({plugin.ParameterName(i), footswitch});
    }
    if (path.empty()) {
        return MidiMap::Parse(MidiMap::DefaultText(), parameters, map, error);
    }
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, &bytes)) {
        *error = "cannot read the MIDI map " + path;
        return false;
    }
    if (!MidiMap::Parse(std::string(bytes.begin(), bytes.end()), parameters, map, error)) {
        *error = path + ":" + *error;
        return false;
    }
    return true;
}

const char* SignalName(int signal) {
    return signal == SIGINT ? "interrupted" : signal == SIGTERM ? "terminated" : "hung up";
}

} // namespace

int RunStandalone(const StandaloneOptions& options) {
    CatchQuitSignals();
    std::string error;
    std::unique_ptr<EmbeddedPlugin> plugin = EmbeddedPlugin::Create(&error);
    if (!plugin) {
        return Fail(error);
    }
    MidiMap map;
    if (!LoadMidiMap(*plugin, options.midiMapPath, &map, &error)) {
        return Fail(error);
    }

    JackEngine::Settings settings;
    settings.serverName = options.serverName;
    settings.startServer = options.startServer;
    settings.stereo = options.stereo;
    JackEngine::Failure failure{};
    std::unique_ptr<JackEngine> engine = JackEngine::Open(settings, &failure, &error);
    if (!engine) {
        if (failure != JackEngine::Failure::kNoServer) {
            return Fail(error);
        }
        const char* fromEnvironment = std::getenv("JACK_DEFAULT_SERVER");
        const std::string name = !options.serverName.empty() ? options.serverName
                                 : fromEnvironment           ? fromEnvironment
                                                             : "";
        const std::string server = name.empty() ? "" : " named '" + name + "'";
        std::fprintf(stderr, "kelvorantumix: %s%s.\n%s", error.c_str(), server.c_str(),
                     options.startServer ? "" : kNoServerAdvice);
        return kNoServerStatus;
    }
    plugin->Open(engine->SampleRate(), engine->BufferSize());

    const std::string statePath = DefaultStatePath();
    if (!options.presetPath.empty()) {
        if (LoadStateFile(*plugin, options.presetPath, &error) != StateLoad::kLoaded) {
            return Fail(error.empty() ? "no preset file " + options.presetPath : error);
        }
    } else if (statePath.empty()) {
        Warn("neither XDG_CONFIG_HOME nor HOME is set: the settings will not be kept");
    } else if (LoadStateFile(*plugin, statePath, &error) == StateLoad::kRejected) {
        Warn(error + "; starting from the default settings");
    }
    plugin->Resume();

    // The editor opens and closes while the audio is off: both hold the plug-in's lock for as
    // long as they take, which the audio thread would wait for.
    std::unique_ptr<StandaloneWindow> window;
    if (options.window) {
        window = StandaloneWindow::Open(*plugin, &error);
        if (!window) {
            Warn(error + "; running without the window (--no-gui)");
        }
    }
    if (!engine->Activate(*plugin, map, &error)) {
        return Fail(error);
    }
    const bool connect = options.connect == StandaloneOptions::Connect::kAlways ||
                         (options.connect == StandaloneOptions::Connect::kWhenPhysicalPorts &&
                          engine->HasPhysicalPorts());
    if (connect) {
        for (const std::string& line : engine->ConnectToPhysicalPorts()) {
            std::printf("%s\n", line.c_str());
        }
    }
    std::printf("%s on JACK at %.0f Hz, %d frames a period, %s input; Ctrl-C ends it\n",
                engine->ClientName().c_str(), engine->SampleRate(), engine->BufferSize(),
                options.stereo ? "stereo" : "mono");
    std::fflush(stdout);

    while (true) {
        if (const int signal = QuitSignal()) {
            std::printf("%s\n", SignalName(signal));
            break;
        }
        if (engine->ServerGone()) {
            std::fprintf(stderr, "kelvorantumix: the JACK server shut down (%s)\n",
                         engine->ShutdownReason().c_str());
            break;
        }
        if (window) {
            if (window->WaitForClose(50)) {
                break;
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    engine.reset();
    window.reset();
    plugin->Suspend();
    if (!statePath.empty()) {
        if (!SaveStateFile(*plugin, statePath, &error)) {
            return Fail("the settings were not saved: " + error);
        }
        std::printf("settings saved to %s\n", statePath.c_str());
    }
    return 0;
}

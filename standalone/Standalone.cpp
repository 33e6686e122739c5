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
constexpr std::size_t kMaxMidiMapBytes = 1 << 20;

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
    std::string reason;
    if (!ReadFileBytes(path, kMaxMidiMapBytes, &bytes, &reason)) {
        *error = "cannot read the MIDI map: " + reason;
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

// The JACK client, or null with the exit status set and a message given.
std::unique_ptr<JackEngine> OpenEngine(const StandaloneOptions& options, int* status) {
    JackEngine::Settings settings;
    settings.serverName = options.serverName;
    settings.startServer = options.startServer;
    settings.stereo = options.stereo;
    JackEngine::Failure failure{};
    std::string error;
    std::unique_ptr<JackEngine> engine = JackEngine::Open(settings, &failure, &error);
    if (engine) {
        return engine;
    }
    if (failure != JackEngine::Failure::kNoServer) {
        *status = Fail(error);
        return nullptr;
    }
    const char* fromEnvironment = std::getenv("JACK_DEFAULT_SERVER");
    const std::string name = !options.serverName.empty() ? options.serverName
                             : fromEnvironment           ? fromEnvironment
                                                         : "";
    const std::string server = name.empty() ? "" : " named '" + name + "'";
    std::fprintf(stderr, "kelvorantumix: %s%s.\n%s", error.c_str(), server.c_str(),
                 options.startServer ? "" : kNoServerAdvice);
    *status = kNoServerStatus;
    return nullptr;
}

// Starts from the preset, or from the settings of the last run. False, with a message, when
// the preset cannot be used; a bad state file only gives a warning.
bool RestoreSettings(EmbeddedPlugin& plugin, const StandaloneOptions& options,
                     const std::string& statePath) {
    std::string error;
    if (!options.presetPath.empty()) {
        if (LoadStateFile(plugin, options.presetPath, &error) != StateLoad::kLoaded) {
            Fail(error.empty() ? "no preset file " + options.presetPath : error);
            return false;
        }
    } else if (statePath.empty()) {
        Warn("neither XDG_CONFIG_HOME nor HOME is set: the settings will not be kept");
    } else if (LoadStateFile(plugin, statePath, &error) == StateLoad::kRejected) {
        Warn(error + "; starting from the default settings");
    }
    return true;
}

// Returns once a quit signal arrives, the server goes away or the window is closed.
void WaitForTheEnd(const JackEngine& engine, StandaloneWindow* window) {
    while (true) {
        if (const int signal = QuitSignal()) {
            std::printf("%s\n", SignalName(signal));
            return;
        }
        if (engine.ServerGone()) {
            std::fprintf(stderr, "kelvorantumix: the JACK server shut down (%s)\n",
                         engine.ShutdownReason().c_str());
            return;
        }
        if (window) {
            if (window->WaitForClose(50)) {
                return;
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
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
    int status = 0;
    std::unique_ptr<JackEngine> engine = OpenEngine(options, &status);
    if (!engine) {
        return status;
    }
    plugin->Open(engine->SampleRate(), engine->BufferSize());
    const std::string statePath = DefaultStatePath();
    if (!RestoreSettings(*plugin, options, statePath)) {
        return 1;
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
    WaitForTheEnd(*engine, window.get());

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

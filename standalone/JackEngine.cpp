#include "standalone/JackEngine.h"

#include "standalone/EmbeddedPlugin.h"

#include <jack/midiport.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kClientName = "Kelvorantumix";

// libjack explains a failed connection to a server over several lines; the message of our own
// says it better.
bool gQuietJack = false;

void OnJackError(const char* message) {
    if (!gQuietJack) {
        std::fprintf(stderr, "kelvorantumix: JACK: %s\n", message);
    }
}

void OnJackInfo(const char*) {}

std::vector<std::string> PhysicalPorts(jack_client_t* client, unsigned long direction) {
    std::vector<std::string> names;
    const char** ports =
        jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | direction);
    for (const char** port = ports; port && *port; ++port) {
        names.push_back(*port);
    }
    jack_free(ports);
    return names;
}

} // namespace

std::unique_ptr<JackEngine> JackEngine::Open(const Settings& settings, Failure* failure,
                                             std::string* error) {
    jack_set_error_function(OnJackError);
    jack_set_info_function(OnJackInfo);
    int options = settings.startServer ? JackNullOption : JackNoStartServer;
    if (!settings.serverName.empty()) {
        options |= JackServerName;
    }
    jack_status_t status{};
    gQuietJack = true;
    jack_client_t* client = jack_client_open(kClientName, jack_options_t(options), &status,
                                             settings.serverName.c_str());
    gQuietJack = false;
    if (!client) {
        const bool noServer = status & JackServerFailed;
        *failure = noServer ? Failure::kNoServer : Failure::kOther;
        if (noServer) {
            *error = settings.startServer ? "JACK could not start a server"
                                          : "no JACK server is running";
        } else {
            char code[32];
            std::snprintf(code, sizeof code, "0x%x", unsigned(status));
            *error = std::string("the JACK server refused the client (status ") + code + ")";
        }
        return nullptr;
    }
    std::unique_ptr<JackEngine> engine(new JackEngine(client, settings.stereo));
    if (!engine->RegisterPorts(error)) {
        *failure = Failure::kOther;
        return nullptr;
    }
    *failure = Failure::kNone;
    return engine;
}

JackEngine::~JackEngine() {
    if (active_ && !ServerGone()) {
        jack_deactivate(client_);
    }
    jack_client_close(client_);
}

bool JackEngine::RegisterPorts(std::string* error) {
    const auto add = [this](const char* name, const char* type, unsigned long flags) {
        return jack_port_register(client_, name, type, flags, 0);
    };
    const std::vector<const char*> inputNames =
        stereo_ ? std::vector<const char*>{"in_1", "in_2"} : std::vector<const char*>{"in"};
    for (const char* name : inputNames) {
        inputs_.push_back(add(name, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput));
    }
    for (const char* name : {"out_1", "out_2"}) {
        outputs_.push_back(add(name, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput));
    }
    midiInput_ = add("midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    for (jack_port_t* port : inputs_) {
        if (!port) {
            *error = "JACK could not register the audio inputs";
            return false;
        }
    }
    if (!outputs_[0] || !outputs_[1] || !midiInput_) {
        *error = "JACK could not register the outputs and the MIDI input";
        return false;
    }
    return true;
}

std::string JackEngine::ClientName() const {
    return jack_get_client_name(client_);
}

double JackEngine::SampleRate() const {
    return double(jack_get_sample_rate(client_));
}

int JackEngine::BufferSize() const {
    return int(jack_get_buffer_size(client_));
}

bool JackEngine::Activate(EmbeddedPlugin& plugin, const MidiMap& map, std::string* error) {
    plugin_ = &plugin;
    controllers_.reset(new ControllerInput(map));
    processor_.reset(new PeriodProcessor(plugin, stereo_));
    jack_set_process_callback(
        client_,
        [](jack_nframes_t frames, void* self) {
            return static_cast<JackEngine*>(self)->Process(frames);
        },
        this);
    jack_set_sample_rate_callback(
        client_,
        [](jack_nframes_t rate, void* self) {
            static_cast<JackEngine*>(self)->plugin_->ChangeSampleRate(double(rate));
            return 0;
        },
        this);
    jack_set_buffer_size_callback(
        client_,
        [](jack_nframes_t frames, void* self) {
            static_cast<JackEngine*>(self)->plugin_->ChangeBlockSize(int(frames));
            return 0;
        },
        this);
    jack_on_info_shutdown(
        client_,
        [](jack_status_t, const char* reason, void* arg) {
            auto* self = static_cast<JackEngine*>(arg);
            std::snprintf(self->shutdownReason_.data(), self->shutdownReason_.size(), "%s",
                          reason && *reason ? reason : "no reason given");
            self->serverGone_.store(true, std::memory_order_release);
        },
        this);
    if (jack_activate(client_) != 0) {
        *error = "JACK could not start the client's audio";
        return false;
    }
    active_ = true;
    return true;
}

int JackEngine::Process(jack_nframes_t frames) {
    void* midi = jack_port_get_buffer(midiInput_, frames);
    const jack_nframes_t events = jack_midi_get_event_count(midi);
    for (jack_nframes_t i = 0; i < events; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, midi, i) == 0) {
            controllers_->Handle(event.buffer, event.size, *plugin_);
        }
    }
    float* in[2] = {};
    for (std::size_t c = 0; c < inputs_.size(); ++c) {
        in[c] = static_cast<float*>(jack_port_get_buffer(inputs_[c], frames));
    }
    float* out[2] = {static_cast<float*>(jack_port_get_buffer(outputs_[0], frames)),
                     static_cast<float*>(jack_port_get_buffer(outputs_[1], frames))};
    processor_->Run(in, out, int(frames));
    return 0;
}

bool JackEngine::HasPhysicalPorts() const {
    return !PhysicalPorts(client_, JackPortIsOutput).empty() ||
           !PhysicalPorts(client_, JackPortIsInput).empty();
}

std::vector<std::string> JackEngine::ConnectToPhysicalPorts() {
    std::vector<std::string> lines;
    const auto connect = [&](const std::string& from, const std::string& to) {
        const int result = jack_connect(client_, from.c_str(), to.c_str());
        lines.push_back((result == 0 || result == EEXIST ? "connected " : "could not connect ") +
                        from + " -> " + to);
    };
    const std::vector<std::string> capture = PhysicalPorts(client_, JackPortIsOutput);
    const std::vector<std::string> playback = PhysicalPorts(client_, JackPortIsInput);
    for (std::size_t c = 0; c < inputs_.size(); ++c) {
        if (c < capture.size()) {
            connect(capture[c], jack_port_name(inputs_[c]));
        } else {
            lines.push_back(std::string("no physical capture port for ") +
                            jack_port_name(inputs_[c]));
        }
    }
    for (std::size_t c = 0; c < outputs_.size(); ++c) {
        if (c < playback.size()) {
            connect(jack_port_name(outputs_[c]), playback[c]);
        } else {
            lines.push_back(std::string("no physical playback port for ") +
                            jack_port_name(outputs_[c]));
        }
    }
    return lines;
}

#pragma once

#include "standalone/ControllerInput.h"
#include "standalone/PeriodProcessor.h"

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

class EmbeddedPlugin;

// The JACK client "Kelvorantumix": audio in (one port, or two with stereo), two audio outputs
// and a MIDI input; its process callback runs the plug-in and its controllers.
class JackEngine {
public:
    struct Settings {
        std::string serverName; // empty: JACK's choice (JACK_DEFAULT_SERVER, or "default")
        bool startServer = false;
        bool stereo = false;
    };

    enum class Failure { kNone, kNoServer, kOther };

    // Opens the client and registers its ports; the audio starts with Activate. On failure
    // returns null and says why.
    static std::unique_ptr<JackEngine> Open(const Settings& settings, Failure* failure,
                                            std::string* error);
    // Stops the audio and closes the client.
    ~JackEngine();
    JackEngine(const JackEngine&) = delete;
    JackEngine& operator=(const JackEngine&) = delete;

    // The name the server gave the client ("Kelvorantumix", or "Kelvorantumix-01" beside
    // another one).
    std::string ClientName() const;
    double SampleRate() const;
    int BufferSize() const;

    // From now on the process callback runs the plug-in, which must be open at the server's
    // rate and period, and follows the server's changes to them.
    bool Activate(EmbeddedPlugin& plugin, const MidiMap& map, std::string* error);

    bool HasPhysicalPorts() const;
    // Wires the first physical capture port (two in stereo) to the input and the outputs to the
    // first two playback ports; returns a line for each connection made or missed.
    std::vector<std::string> ConnectToPhysicalPorts();

    // True once the server has shut down or dropped the client.
    bool ServerGone() const { return serverGone_.load(std::memory_order_acquire); }
    // The server's word on why, once ServerGone.
    std::string ShutdownReason() const { return shutdownReason_.data(); }

private:
    JackEngine(jack_client_t* client, bool stereo) : client_(client), stereo_(stereo) {}
    bool RegisterPorts(std::string* error);
    int Process(jack_nframes_t frames);

    jack_client_t* client_;
    const bool stereo_;
    std::vector<jack_port_t*> inputs_;
    std::vector<jack_port_t*> outputs_;
    jack_port_t* midiInput_ = nullptr;
    EmbeddedPlugin* plugin_ = nullptr;
    std::unique_ptr<ControllerInput> controllers_;
    std::unique_ptr<PeriodProcessor> processor_;
    bool active_ = false;
    std::atomic<bool> serverGone_{false};
    std::array<char, 256> shutdownReason_{};
};

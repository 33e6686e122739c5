#pragma once

#include "host/AudioThread.h"
#include "host/ClapModule.h"
#include "host/HostedParameters.h"
#include "host/Renderer.h"
#include "plugin/ClapAbi.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An event a host sends: a parameter value by default, or any type and space to see that the
// plug-in passes over what it does not know.
struct ClapHostEvent {
    std::uint32_t time = 0;
    clap_id paramId = 0;
    double value = 0.0;
    std::uint16_t type = CLAP_EVENT_PARAM_VALUE;
    std::uint16_t space = CLAP_CORE_EVENT_SPACE_ID;
};

// An event the plug-in pushed: a parameter value or the begin or end of a gesture.
struct ClapPluginEvent {
    std::uint16_t type = 0;
    std::uint32_t time = 0;
    clap_id paramId = 0;
    double value = 0.0;
};

// The host's side of one CLAP plug-in instance, following the interface's threading rules: the
// thread that creates it is the main thread, which makes every main-thread call; activation,
// processing and flushing while active run on an audio thread of the host's own. It answers
// every call the plug-in makes and records the ones the tests and the validator look at, and
// notes calls made on the wrong thread.
class ClapHostedPlugin : public HostedParameters, public RenderTarget {
public:
    // Creates and initialises the plug-in with that id; null with the reason on failure.
    static std::unique_ptr<ClapHostedPlugin> Create(const ClapModule& module, const std::string& id,
                                                    std::string* error);
    // Stops, deactivates and destroys the plug-in.
    ~ClapHostedPlugin() override;
    ClapHostedPlugin(const ClapHostedPlugin&) = delete;
    ClapHostedPlugin& operator=(const ClapHostedPlugin&) = delete;

    const clap_plugin* Plugin() const { return plugin_; }
    const clap_plugin_params* Params() const { return params_; }
    const clap_plugin_state* State() const { return state_; }
    const clap_plugin_gui* Gui() const { return gui_; }
    const char* Name() const;

    // Channels of the main input and output ports (0 without the audio-ports extension).
    int InputChannels() const { return inputChannels_; }
    int OutputChannels() const { return outputChannels_; }
    // Whether both main ports take 64-bit samples.
    bool Supports64Bits() const { return supports64Bits_; }

    // Life cycle; Activate and Deactivate on the main thread, the others on the audio thread.
    bool Activate(double rate, std::uint32_t maxFrames);
    void Deactivate();
    bool IsActive() const { return active_; }
    bool StartProcessing();
    void StopProcessing();
    void Reset();

    // One process call on the audio thread, with events sorted by time after the changes
    // SetParameter made since the last call. Channel arrays hold InputChannels() and
    // OutputChannels() pointers.
    clap_process_status Process(float** in, float** out, std::uint32_t frames,
                                std::vector<ClapHostEvent> events = {});
    clap_process_status Process(double** in, double** out, std::uint32_t frames,
                                std::vector<ClapHostEvent> events = {});
    // params.flush on the thread the state asks for.
    void Flush(std::vector<ClapHostEvent> events = {});
    // Called on the audio thread right before and after each plug-in process call, for the
    // validator to count what the plug-in does in between.
    void WatchProcessCalls(void (*before)(), void (*after)()) {
        beforeProcess_ = before;
        afterProcess_ = after;
    }

    // Parameters by index.
    const std::vector<clap_param_info>& ParamInfos() const { return paramInfos_; }
    double ParamValue(int index);
    std::string ValueText(int index, double value);
    // HostedParameters: normalized over each parameter's range; changes are sent as events,
    // with the next process call while active, else through flush.
    int NumParams() override { return int(paramInfos_.size()); }
    std::string ParamName(int index) override;
    std::string ParamLabel(int) override { return ""; }
    std::string ParamDisplay(int index) override;
    float GetParameter(int index) override;
    void SetParameter(int index, float normalized) override;
    double PlainOf(int index, double normalized) const;

    // State through streams that move at most piece bytes a call; the input stream fails with
    // -1 once failAfter bytes were handed over (never when failAfter is negative), and so does
    // the output stream.
    bool SaveState(std::vector<std::uint8_t>* bytes, std::size_t piece = 7,
                   long long failAfter = -1);
    bool LoadState(const std::vector<std::uint8_t>& bytes, std::size_t piece = 7,
                   long long failAfter = -1);

    // What the plug-in asked of the host.
    std::vector<ClapPluginEvent> PluginEvents() const;
    void ClearPluginEvents();
    int Rescans() const { return rescans_; }
    bool FlushRequested() const { return flushRequested_; }
    // Main thread: answers request_callback with on_main_thread and request_flush with flush,
    // fires the plug-in's timers that are due and tells it of its file descriptors that are
    // ready, as a host's event loop does.
    void Pump();
    // Calls made on a thread the interface forbids, described; empty when there were none.
    std::vector<std::string> ThreadViolations() const;

    // RenderTarget: activate, start processing, process, stop, deactivate.
    int NumInputs() override { return inputChannels_; }
    int NumOutputs() override { return outputChannels_; }
    void StartRender(double rate, int maxFrames) override;
    void ProcessFloat(float** in, float** out, int frames, std::int64_t position) override;
    void ProcessDouble(double** in, double** out, int frames, std::int64_t position) override;
    void StopRender() override;

private:
    ClapHostedPlugin();
    template <class Sample>
    clap_process_status ProcessOnAudioThread(Sample** in, Sample** out, std::uint32_t frames,
                                             std::vector<ClapHostEvent>& events);
    void ReadPorts();
    void MakeExtraBuffers(std::uint32_t maxFrames);
    // Notes call when made off the main thread (mainThreadOnly) or on the audio thread.
    void NoteViolation(const char* call, bool mainThreadOnly);

    static ClapHostedPlugin* Of(const clap_host* host);
    static const void* HostExtension(const clap_host* host, const char* id);
    static void RequestRestart(const clap_host* host);
    static void RequestProcess(const clap_host* host);
    static void RequestCallback(const clap_host* host);
    static void Rescan(const clap_host* host, std::uint32_t flags);
    static void Clear(const clap_host* host, clap_id id, std::uint32_t flags);
    static void RequestFlush(const clap_host* host);
    static bool IsMainThread(const clap_host* host);
    static bool IsAudioThread(const clap_host* host);
    static void Log(const clap_host* host, std::int32_t severity, const char* message);
    static void MarkDirty(const clap_host* host);
    static bool PushEvent(const clap_output_events* list, const clap_event_header* event);
    static bool RegisterTimer(const clap_host* host, std::uint32_t periodMs, clap_id* id);
    static bool UnregisterTimer(const clap_host* host, clap_id id);
    static bool RegisterFd(const clap_host* host, int fd, std::uint32_t flags);
    static bool ModifyFd(const clap_host* host, int fd, std::uint32_t flags);
    static bool UnregisterFd(const clap_host* host, int fd);
    void FireTimers();
    void PollFds();

    struct Timer {
        clap_id id;
        std::chrono::milliseconds period;
        std::chrono::steady_clock::time_point due;
    };
    struct WatchedFd {
        int fd;
        std::uint32_t flags;
    };

    clap_host host_{};
    const clap_plugin* plugin_ = nullptr;
    const clap_plugin_params* params_ = nullptr;
    const clap_plugin_state* state_ = nullptr;
    const clap_plugin_gui* gui_ = nullptr;
    const clap_plugin_timer_support* timerSupport_ = nullptr;
    const clap_plugin_posix_fd_support* fdSupport_ = nullptr;
    std::vector<Timer> timers_;
    clap_id nextTimerId_ = 1;
    std::vector<WatchedFd> fds_;
    std::thread::id mainThread_;
    AudioThread audio_;
    std::vector<clap_param_info> paramInfos_;
    int inputChannels_ = 0;
    int outputChannels_ = 0;
    // Ports beyond the main ones, such as a side-chain input: the channel counts of the inputs,
    // then of the outputs. The plug-in gets silence on those inputs and scratch space for those
    // outputs, as from a host that routes nothing there; buffers made at activation.
    std::vector<std::uint32_t> extraInputPorts_;
    std::vector<std::uint32_t> extraOutputPorts_;
    std::vector<float> extraFloat_;
    std::vector<double> extraDouble_;
    std::vector<float*> extraFloatChannels_;
    std::vector<double*> extraDoubleChannels_;
    std::vector<clap_audio_buffer> inBuffers_;
    std::vector<clap_audio_buffer> outBuffers_;
    bool supports64Bits_ = true;
    bool active_ = false;
    bool processing_ = false;
    std::int64_t steadyTime_ = 0;
    std::vector<ClapHostEvent> pendingChanges_;
    void (*beforeProcess_)() = nullptr;
    void (*afterProcess_)() = nullptr;

    mutable std::mutex recordMutex_;
    std::vector<ClapPluginEvent> pluginEvents_; // capacity reserved: pushing never allocates
    std::vector<std::string> violations_;
    std::atomic<int> rescans_{0};
    std::atomic<bool> flushRequested_{false};
    std::atomic<bool> callbackRequested_{false};
};

// A module with one instance of the plug-in id names (or of its only one, when id is empty);
// the instance goes before the module. On failure plugin is null (module too, when the file
// did not load) and error says why.
struct LoadedClapPlugin {
    std::unique_ptr<ClapModule> module;
    std::unique_ptr<ClapHostedPlugin> plugin;
};
LoadedClapPlugin LoadClapPlugin(const std::string& path, const std::string& id, std::string* error);

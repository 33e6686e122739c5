#pragma once

#include "plugin/ClapAbi.h"
#include "plugin/EditQueue.h"
#include "plugin/IPlugVST.h"
#include "plugin/StateChunk.h"

#include <atomic>
#include <memory>

// One plug-in a CLAP module offers of the effect: a channel layout with its identity.
struct ClapOffer {
    const char* id;
    const char* name;
    const char* description;
    int inputChannels; // of the one main input port; the core's other inputs read silence
    int outputChannels;
    const char* const* features; // closed by a null entry
};

// The offers of this module, defined by the effect; count receives their number.
const ClapOffer* ClapOffers(int* count);

// Binds the plug-in core to a CLAP host. The effect is made twice, as a CLAP host expects of a
// plug-in whose audio thread must never wait: the processor is touched only by the audio thread
// while active (and by the main thread while not), the controller holds the values the host and
// the editor see, and runs the editor. The effect object derives from the VST binding; both are
// driven through their core calls alone, and the controller's VST host callback is where the
// editor's gestures come out, to be queued for the audio thread and pushed to the host as
// events. Values the host changes in process() reach the controller on the main thread.
class IPlugCLAP {
public:
    IPlugCLAP(const clap_host* host, const ClapOffer& offer, const clap_plugin_descriptor* desc);
    ~IPlugCLAP();
    IPlugCLAP(const IPlugCLAP&) = delete;
    IPlugCLAP& operator=(const IPlugCLAP&) = delete;

    const clap_plugin* Plugin() const { return &plugin_; }

private:
    friend struct IPlugCLAPCallbacks;

    bool Init();
    bool Activate(double rate, std::uint32_t maxFrames);
    void Deactivate();
    clap_process_status Process(const clap_process* process);
    void Flush(const clap_input_events* in, const clap_output_events* out);
    const void* Extension(const char* id) const;
    void OnMainThread();

    // Parameters.
    bool ParamInfo(std::uint32_t index, clap_param_info* info) const;
    bool ParamValue(clap_id id, double* value) const;
    bool ValueToText(clap_id id, double value, char* out, std::uint32_t capacity) const;
    bool TextToValue(clap_id id, const char* text, double* value) const;
    // The plain value a host value stands for: clamped, stepped ones cut to their step; false
    // for values that are no number and for unknown parameters.
    bool HostValue(clap_id id, double value, double* plain) const;

    // Audio side: the controller's queued edits, then the host's events in in, applied to the
    // processor. Events at frames before the end are applied there after processing the
    // frames before them with process; without process (flush) they all apply at once.
    void ApplyQueuedEdits(const clap_output_events* out);
    void ApplyToProcessor(int paramIdx, double plain);
    void ProcessFrames(const clap_process* process, std::uint32_t from, std::uint32_t to);
    // After the audio side applied host values: the controller follows, now (main thread, when
    // inactive) or through the host's callback.
    void PublishHostChanges(bool onMainThread);
    void SyncController();

    // State.
    bool SaveState(const clap_ostream* stream);
    bool LoadState(const clap_istream* stream);

    // The editor.
    bool GuiCreate(const char* api, bool floating);
    void GuiDestroy();
    bool GuiSize(std::uint32_t* width, std::uint32_t* height) const;
    bool GuiSetParent(const clap_window* window);
    bool GuiShow();
    bool GuiHide();
    // The controller's VST callback: the editor's begin, value and end arrive here.
    static VstIntPtr ControllerCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                        VstIntPtr value, void* ptr, float opt);
    void QueueEdit(QueuedEdit::Kind kind, int paramIdx);

    const clap_host* host_;
    const ClapOffer& offer_;
    clap_plugin plugin_{};
    const clap_host_params* hostParams_ = nullptr;

    std::unique_ptr<IPlugVST> controller_;
    std::unique_ptr<IPlugVST> processor_;
    int numParams_ = 0;
    std::unique_ptr<double[]> defaults_;
    // The value of each parameter as the plug-in holds it, for get_value on any thread.
    std::unique_ptr<std::atomic<double>[]> values_;
    // Set by the audio side for values the controller has not taken over yet.
    std::unique_ptr<std::atomic<bool>[]> changedByHost_;
    std::atomic<bool> callbackRequested_{false};
    // Values loaded from a state while active, waiting for the audio side.
    std::unique_ptr<std::atomic<bool>[]> loadedForProcessor_;
    EditQueue edits_;

    std::atomic<bool> active_{false};
    std::atomic<bool> processing_{false};
    StateChunk stateChunk_;

    bool guiCreated_ = false;
    void* guiParent_ = nullptr;
    bool guiShown_ = false;
};

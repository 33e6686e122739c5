#include "plugin/IPlugCLAP.h"

#include "common/TextCopy.h"
#include "plugin/ClapStreams.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

// The C entry points of the records handed to the host, each forwarding to its instance.
struct IPlugCLAPCallbacks {
    static IPlugCLAP* Of(const clap_plugin* plugin) {
        return plugin ? static_cast<IPlugCLAP*>(plugin->plugin_data) : nullptr;
    }

    static bool Init(const clap_plugin* p) { return Of(p) && Of(p)->Init(); }
    static void Destroy(const clap_plugin* p) { delete Of(p); }
    static bool Activate(const clap_plugin* p, double rate, std::uint32_t,
                         std::uint32_t maxFrames) {
        return Of(p) && Of(p)->Activate(rate, maxFrames);
    }
    static void Deactivate(const clap_plugin* p) {
        if (IPlugCLAP* self = Of(p)) {
            self->Deactivate();
        }
    }
    static bool StartProcessing(const clap_plugin* p) {
        IPlugCLAP* self = Of(p);
        if (!self || !self->active_) {
            return false;
        }
        self->processing_ = true;
        return true;
    }
    static void StopProcessing(const clap_plugin* p) {
        if (IPlugCLAP* self = Of(p)) {
            self->processing_ = false;
        }
    }
    static void Reset(const clap_plugin* p) {
        IPlugCLAP* self = Of(p);
        if (self && self->active_) {
            self->processor_->OnReset();
        }
    }
    static clap_process_status Process(const clap_plugin* p, const clap_process* process) {
        IPlugCLAP* self = Of(p);
        return self && self->active_ ? self->Process(process) : CLAP_PROCESS_ERROR;
    }
    static const void* Extension(const clap_plugin* p, const char* id) {
        return Of(p) ? Of(p)->Extension(id) : nullptr;
    }
    static void OnMainThread(const clap_plugin* p) {
        if (IPlugCLAP* self = Of(p)) {
            self->OnMainThread();
        }
    }

    // clap.params
    static std::uint32_t ParamCount(const clap_plugin* p) {
        return Of(p) ? std::uint32_t(Of(p)->numParams_) : 0;
    }
    static bool ParamInfo(const clap_plugin* p, std::uint32_t index, clap_param_info* info) {
        return Of(p) && Of(p)->ParamInfo(index, info);
    }
    static bool ParamValue(const clap_plugin* p, clap_id id, double* value) {
        return Of(p) && Of(p)->ParamValue(id, value);
    }
    static bool ValueToText(const clap_plugin* p, clap_id id, double value, char* out,
                            std::uint32_t capacity) {
        return Of(p) && Of(p)->ValueToText(id, value, out, capacity);
    }
    static bool TextToValue(const clap_plugin* p, clap_id id, const char* text, double* value) {
        return Of(p) && Of(p)->TextToValue(id, text, value);
    }
    static void Flush(const clap_plugin* p, const clap_input_events* in,
                      const clap_output_events* out) {
        if (IPlugCLAP* self = Of(p)) {
            self->Flush(in, out);
        }
    }

    // clap.audio-ports
    static std::uint32_t PortCount(const clap_plugin* p, bool) { return Of(p) ? 1 : 0; }
    static bool PortInfo(const clap_plugin* p, std::uint32_t index, bool isInput,
                         clap_audio_port_info* info) {
        IPlugCLAP* self = Of(p);
        if (!self || index != 0 || !info) {
            return false;
        }
        const int channels = isInput ? self->offer_.inputChannels : self->offer_.outputChannels;
        const bool samePair = self->offer_.inputChannels == self->offer_.outputChannels;
        info->id = 0;
        CopyText(info->name, isInput ? "Input" : "Output", sizeof info->name);
        info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS |
                      CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE;
        info->channel_count = std::uint32_t(channels);
        info->port_type = channels == 1 ? CLAP_PORT_MONO : CLAP_PORT_STEREO;
        info->in_place_pair = samePair ? 0 : CLAP_INVALID_ID;
        return true;
    }

    // clap.latency
    static std::uint32_t Latency(const clap_plugin* p) {
        IPlugCLAP* self = Of(p);
        return self && self->processor_ ? std::uint32_t(std::max(0, self->processor_->Latency()))
                                        : 0;
    }

    // clap.state
    static bool Save(const clap_plugin* p, const clap_ostream* stream) {
        return Of(p) && Of(p)->SaveState(stream);
    }
    static bool Load(const clap_plugin* p, const clap_istream* stream) {
        return Of(p) && Of(p)->LoadState(stream);
    }

    // clap.gui
    static bool GuiApiSupported(const clap_plugin* p, const char* api, bool floating) {
        IPlugCLAP* self = Of(p);
        return self && self->controller_ && self->controller_->Editor() && api &&
               std::strcmp(api, CLAP_WINDOW_API_X11) == 0 && !floating;
    }
    static bool GuiPreferredApi(const clap_plugin*, const char** api, bool* floating) {
        if (!api || !floating) {
            return false;
        }
        *api = CLAP_WINDOW_API_X11;
        *floating = false;
        return true;
    }
    static bool GuiCreate(const clap_plugin* p, const char* api, bool floating) {
        return GuiApiSupported(p, api, floating) && Of(p)->GuiCreate(api, floating);
    }
    static void GuiDestroy(const clap_plugin* p) {
        if (IPlugCLAP* self = Of(p)) {
            self->GuiDestroy();
        }
    }
    static bool GuiSetScale(const clap_plugin*, double) { return false; }
    static bool GuiSize(const clap_plugin* p, std::uint32_t* width, std::uint32_t* height) {
        return Of(p) && Of(p)->GuiSize(width, height);
    }
    static bool GuiCanResize(const clap_plugin*) { return false; }
    static bool GuiResizeHints(const clap_plugin*, clap_gui_resize_hints*) { return false; }
    static bool GuiAdjustSize(const clap_plugin* p, std::uint32_t* width, std::uint32_t* height) {
        // The panel has one size: the nearest usable size is always that one.
        return GuiSize(p, width, height);
    }
    static bool GuiSetSize(const clap_plugin* p, std::uint32_t width, std::uint32_t height) {
        std::uint32_t w = 0, h = 0;
        return GuiSize(p, &w, &h) && w == width && h == height;
    }
    static bool GuiSetParent(const clap_plugin* p, const clap_window* window) {
        return Of(p) && Of(p)->GuiSetParent(window);
    }
    static bool GuiSetTransient(const clap_plugin*, const clap_window*) { return false; }
    static void GuiSuggestTitle(const clap_plugin*, const char*) {}
    static bool GuiShow(const clap_plugin* p) { return Of(p) && Of(p)->GuiShow(); }
    static bool GuiHide(const clap_plugin* p) { return Of(p) && Of(p)->GuiHide(); }
};

namespace {

using C = IPlugCLAPCallbacks;

const clap_plugin_params kParamsExtension = {C::ParamCount,  C::ParamInfo,   C::ParamValue,
                                             C::ValueToText, C::TextToValue, C::Flush};
const clap_plugin_audio_ports kAudioPortsExtension = {C::PortCount, C::PortInfo};
const clap_plugin_latency kLatencyExtension = {C::Latency};
const clap_plugin_state kStateExtension = {C::Save, C::Load};
const clap_plugin_gui kGuiExtension = {
    C::GuiApiSupported, C::GuiPreferredApi, C::GuiCreate,       C::GuiDestroy,    C::GuiSetScale,
    C::GuiSize,         C::GuiCanResize,    C::GuiResizeHints,  C::GuiAdjustSize, C::GuiSetSize,
    C::GuiSetParent,    C::GuiSetTransient, C::GuiSuggestTitle, C::GuiShow,       C::GuiHide};

// The core holds at most this many channels per side for one host call.
constexpr int kMaxChannels = 8;

void PushEvent(const clap_output_events* out, const clap_event_header& event) {
    // A full list drops the event; the value is applied all the same.
    if (out && out->try_push) {
        out->try_push(out, &event);
    }
}

clap_event_header Header(std::uint16_t type, std::uint32_t size) {
    clap_event_header header{};
    header.size = size;
    header.time = 0;
    header.space_id = CLAP_CORE_EVENT_SPACE_ID;
    header.type = type;
    header.flags = 0;
    return header;
}

void PushGesture(const clap_output_events* out, std::uint16_t type, int paramIdx) {
    clap_event_param_gesture gesture{};
    gesture.header = Header(type, sizeof gesture);
    gesture.param_id = clap_id(paramIdx);
    PushEvent(out, gesture.header);
}

void PushValue(const clap_output_events* out, int paramIdx, double value) {
    clap_event_param_value change{};
    change.header = Header(CLAP_EVENT_PARAM_VALUE, sizeof change);
    change.param_id = clap_id(paramIdx);
    change.cookie = nullptr;
    change.note_id = -1;
    change.port_index = -1;
    change.channel = -1;
    change.key = -1;
    change.value = value;
    PushEvent(out, change.header);
}

// The parameter value event at index in a host's list, or null for anything else.
const clap_event_param_value* ParamValueEvent(const clap_input_events* in, std::uint32_t index) {
    const clap_event_header* event = in->get ? in->get(in, index) : nullptr;
    if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID ||
        event->type != CLAP_EVENT_PARAM_VALUE || event->size < sizeof(clap_event_param_value)) {
        return nullptr;
    }
    return reinterpret_cast<const clap_event_param_value*>(event);
}

std::uint32_t EventCount(const clap_input_events* in) {
    return in && in->size ? in->size(in) : 0;
}

} // namespace

IPlugCLAP::IPlugCLAP(const clap_host* host, const ClapOffer& offer,
                     const clap_plugin_descriptor* desc)
    : host_(host), offer_(offer) {
    plugin_.desc = desc;
    plugin_.plugin_data = this;
    plugin_.init = C::Init;
    plugin_.destroy = C::Destroy;
    plugin_.activate = C::Activate;
    plugin_.deactivate = C::Deactivate;
    plugin_.start_processing = C::StartProcessing;
    plugin_.stop_processing = C::StopProcessing;
    plugin_.reset = C::Reset;
    plugin_.process = C::Process;
    plugin_.get_extension = C::Extension;
    plugin_.on_main_thread = C::OnMainThread;
}

IPlugCLAP::~IPlugCLAP() {
    if (controller_ && controller_->Editor()) {
        // The editor's window thread calls into the controller; it stops before anything goes.
        ScopedLock hold(controller_->Lock());
        controller_->Editor()->CloseEditorWindow();
    }
}

bool IPlugCLAP::Init() {
    if (controller_) {
        return true;
    }
    if (host_ && host_->get_extension) {
        hostParams_ =
            static_cast<const clap_host_params*>(host_->get_extension(host_, CLAP_EXT_PARAMS));
    }
    try {
        controller_.reset(MakePlug(ControllerCallback));
        processor_.reset(MakePlug(nullptr));
        if (!controller_ || !processor_) {
            return false;
        }
        numParams_ = controller_->NumParams();
        defaults_.reset(new double[size_t(numParams_)]);
        values_.reset(new std::atomic<double>[size_t(numParams_)]);
        changedByHost_.reset(new std::atomic<bool>[size_t(numParams_)]);
        loadedForProcessor_.reset(new std::atomic<bool>[size_t(numParams_)]);
    } catch (const std::bad_alloc&) {
        return false;
    }
    controller_->Effect()->user = this;
    for (int i = 0; i < numParams_; ++i) {
        defaults_[i] = controller_->GetParam(i)->Value();
        values_[i] = defaults_[i];
        changedByHost_[i] = false;
        loadedForProcessor_[i] = false;
    }
    processor_->ConnectInputs(0, processor_->NumInputChannels(), false);
    processor_->ConnectInputs(0, offer_.inputChannels, true);
    processor_->ConnectOutputs(0, processor_->NumOutputChannels(), false);
    processor_->ConnectOutputs(0, offer_.outputChannels, true);
    // What a VST host's effOpen starts with: every parameter's value reaches the effect.
    controller_->NotifyAllParameters();
    processor_->NotifyAllParameters();
    return true;
}

bool IPlugCLAP::Activate(double rate, std::uint32_t maxFrames) {
    if (!processor_ || active_ || !(rate > 0.0 && rate <= 1.0e6)) {
        return false;
    }
    // The core hears a rate, then a block size, each followed by a reset, as from any host.
    processor_->ChangeSampleRate(rate);
    processor_->OnReset();
    processor_->ChangeBlockSize(int(std::min<std::uint32_t>(maxFrames, IPlugBase::kMaxBlockSize)));
    processor_->OnReset();
    processor_->OnActivation(true);
    active_ = true;
    return true;
}

void IPlugCLAP::Deactivate() {
    if (!active_) {
        return;
    }
    processing_ = false;
    active_ = false;
    processor_->OnActivation(false);
}

const void* IPlugCLAP::Extension(const char* id) const {
    if (!id) {
        return nullptr;
    }
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) {
        return &kParamsExtension;
    }
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) {
        return &kAudioPortsExtension;
    }
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) {
        return &kStateExtension;
    }
    if (std::strcmp(id, CLAP_EXT_LATENCY) == 0) {
        return &kLatencyExtension;
    }
    if (std::strcmp(id, CLAP_EXT_GUI) == 0 && controller_ && controller_->Editor()) {
        return &kGuiExtension;
    }
    return nullptr;
}

bool IPlugCLAP::ParamInfo(std::uint32_t index, clap_param_info* info) const {
    if (!info || index >= std::uint32_t(numParams_)) {
        return false;
    }
    const IParameter* param = controller_->GetParam(int(index));
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (param->IsIntegerValued()) {
        info->flags |= CLAP_PARAM_IS_STEPPED;
    }
    if (param->ValueTextCount() > 0) {
        info->flags |= CLAP_PARAM_IS_ENUM;
    }
    info->cookie = nullptr;
    CopyText(info->name, param->Name(), sizeof info->name);
    info->module[0] = '\0';
    info->min_value = param->Minimum();
    info->max_value = param->Maximum();
    info->default_value = defaults_[index];
    return true;
}

bool IPlugCLAP::ParamValue(clap_id id, double* value) const {
    if (!value || id >= std::uint32_t(numParams_)) {
        return false;
    }
    *value = values_[id].load();
    return true;
}

bool IPlugCLAP::HostValue(clap_id id, double value, double* plain) const {
    if (id >= std::uint32_t(numParams_) || !std::isfinite(value)) {
        return false;
    }
    const IParameter* param = controller_->GetParam(int(id));
    double v = std::clamp(value, param->Minimum(), param->Maximum());
    if (param->IsIntegerValued()) {
        v = param->Minimum() + std::trunc((v - param->Minimum()) / param->Step()) * param->Step();
    }
    *plain = v;
    return true;
}

bool IPlugCLAP::ValueToText(clap_id id, double value, char* out, std::uint32_t capacity) const {
    double plain = 0.0;
    if (!out || capacity == 0 || !HostValue(id, value, &plain)) {
        return false;
    }
    char text[IParameter::kTextSize];
    controller_->GetParam(int(id))->FormatValue(plain, false, text);
    CopyText(out, text, capacity);
    return true;
}

bool IPlugCLAP::TextToValue(clap_id id, const char* text, double* value) const {
    if (!text || !value || id >= std::uint32_t(numParams_)) {
        return false;
    }
    const IParameter* param = controller_->GetParam(int(id));
    int listed = 0;
    if (param->ValueForText(text, &listed)) {
        *value = listed;
        return true;
    }
    // Numbers as the display writes them: locale-independent, surrounding blanks allowed.
    const char* first = text;
    const char* last = text + std::strlen(text);
    while (first < last && (*first == ' ' || *first == '\t')) {
        ++first;
    }
    while (last > first && (last[-1] == ' ' || last[-1] == '\t')) {
        --last;
    }
    double number = 0.0;
    const std::from_chars_result parsed = std::from_chars(first, last, number);
    if (first == last || parsed.ec != std::errc() || parsed.ptr != last) {
        return false;
    }
    return HostValue(id, number, value);
}

void IPlugCLAP::ApplyToProcessor(int paramIdx, double plain) {
    processor_->GetParam(paramIdx)->SetPlain(plain);
    processor_->OnParameterChange(paramIdx);
}

void IPlugCLAP::ApplyQueuedEdits(const clap_output_events* out) {
    QueuedEdit edit;
    while (edits_.Pop(&edit)) {
        switch (edit.kind) {
        case QueuedEdit::kGestureBegin:
            PushGesture(out, CLAP_EVENT_PARAM_GESTURE_BEGIN, edit.paramIdx);
            break;
        case QueuedEdit::kValue:
            ApplyToProcessor(edit.paramIdx, edit.value);
            PushValue(out, edit.paramIdx, edit.value);
            break;
        case QueuedEdit::kGestureEnd:
            PushGesture(out, CLAP_EVENT_PARAM_GESTURE_END, edit.paramIdx);
            break;
        }
    }
    for (int i = 0; i < numParams_; ++i) {
        if (loadedForProcessor_[i].exchange(false)) {
            ApplyToProcessor(i, values_[i].load());
        }
    }
}

void IPlugCLAP::ProcessFrames(const clap_process* process, std::uint32_t from, std::uint32_t to) {
    const clap_audio_buffer* input = process->audio_inputs_count ? process->audio_inputs : nullptr;
    const clap_audio_buffer* output =
        process->audio_outputs_count ? process->audio_outputs : nullptr;
    const int frames = int(to - from);
    const int numIn = std::min(offer_.inputChannels, kMaxChannels);
    const int numOut = std::min(offer_.outputChannels, kMaxChannels);
    // The host says by the output which precision it runs in.
    if (output && !output->data32 && output->data64) {
        double* in[kMaxChannels] = {};
        double* out[kMaxChannels] = {};
        for (int c = 0; c < numIn; ++c) {
            if (input && input->data64 && std::uint32_t(c) < input->channel_count &&
                input->data64[c]) {
                in[c] = input->data64[c] + from;
            }
        }
        for (int c = 0; c < numOut; ++c) {
            if (std::uint32_t(c) < output->channel_count && output->data64[c]) {
                out[c] = output->data64[c] + from;
            }
        }
        processor_->Channels().Process(in, out, frames, *processor_);
        return;
    }
    float* in[kMaxChannels] = {};
    float* out[kMaxChannels] = {};
    for (int c = 0; c < numIn; ++c) {
        if (input && input->data32 && std::uint32_t(c) < input->channel_count && input->data32[c]) {
            in[c] = input->data32[c] + from;
        }
    }
    for (int c = 0; c < numOut; ++c) {
        if (output && output->data32 && std::uint32_t(c) < output->channel_count &&
            output->data32[c]) {
            out[c] = output->data32[c] + from;
        }
    }
    processor_->Channels().Process(in, out, frames, ChannelModel::kReplace, *processor_);
}

clap_process_status IPlugCLAP::Process(const clap_process* process) {
    if (!process) {
        return CLAP_PROCESS_ERROR;
    }
    ApplyQueuedEdits(process->out_events);
    const std::uint32_t frames = process->frames_count;
    const clap_input_events* in = process->in_events;
    const std::uint32_t count = EventCount(in);
    std::uint32_t done = 0;
    bool hostChanged = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap_event_param_value* change = ParamValueEvent(in, i);
        double plain = 0.0;
        if (!change || !HostValue(change->param_id, change->value, &plain)) {
            continue;
        }
        // The block is split at the event's frame; an event out of order applies at once.
        const std::uint32_t at = std::min(change->header.time, frames);
        if (at > done) {
            ProcessFrames(process, done, at);
            done = at;
        }
        ApplyToProcessor(int(change->param_id), plain);
        values_[change->param_id] = plain;
        changedByHost_[change->param_id] = true;
        hostChanged = true;
    }
    if (done < frames) {
        ProcessFrames(process, done, frames);
    }
    if (hostChanged) {
        PublishHostChanges(false);
    }
    return CLAP_PROCESS_CONTINUE;
}

void IPlugCLAP::Flush(const clap_input_events* in, const clap_output_events* out) {
    if (!processor_) {
        return;
    }
    // While inactive the main thread calls, and owns the processor.
    const bool onMainThread = !active_;
    ApplyQueuedEdits(out);
    bool hostChanged = false;
    const std::uint32_t count = EventCount(in);
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap_event_param_value* change = ParamValueEvent(in, i);
        double plain = 0.0;
        if (!change || !HostValue(change->param_id, change->value, &plain)) {
            continue;
        }
        ApplyToProcessor(int(change->param_id), plain);
        values_[change->param_id] = plain;
        changedByHost_[change->param_id] = true;
        hostChanged = true;
    }
    if (hostChanged) {
        PublishHostChanges(onMainThread);
    }
}

void IPlugCLAP::PublishHostChanges(bool onMainThread) {
    if (onMainThread) {
        SyncController();
        return;
    }
    if (!callbackRequested_.exchange(true) && host_ && host_->request_callback) {
        host_->request_callback(host_);
    }
}

void IPlugCLAP::OnMainThread() {
    callbackRequested_ = false;
    SyncController();
}

void IPlugCLAP::SyncController() {
    if (!controller_) {
        return;
    }
    ScopedLock hold(controller_->Lock());
    for (int i = 0; i < numParams_; ++i) {
        if (!changedByHost_[i].exchange(false)) {
            continue;
        }
        IParameter* param = controller_->GetParam(i);
        param->SetPlain(values_[i].load());
        if (controller_->Editor()) {
            controller_->Editor()->UpdateParamControls(i, param->CurrentNormalized(), true);
        }
        controller_->OnParameterChange(i);
    }
}

bool IPlugCLAP::SaveState(const clap_ostream* stream) {
    if (!controller_) {
        return false;
    }
    SyncController();
    ScopedLock hold(controller_->Lock());
    IPlugVST::StartStateChunk(stateChunk_);
    return controller_->SaveState(stateChunk_) &&
           WriteWholeStream(stream, stateChunk_.Data(), size_t(stateChunk_.Size()));
}

bool IPlugCLAP::LoadState(const clap_istream* stream) {
    if (!controller_) {
        return false;
    }
    // The header, then one double per parameter: nothing changes unless all of it is sound.
    const int expected = 8 + 8 * numParams_;
    StateChunk chunk;
    if (chunk.Resize(expected) < 0 ||
        ReadStreamUpTo(stream, chunk.Data(), size_t(expected)) != expected) {
        return false;
    }
    std::int32_t magic = 0, version = 0;
    chunk.Get(&magic, 0);
    chunk.Get(&version, 4);
    if (magic != IPlugVST::kChunkMagic || version != IPlugVST::kChunkVersion) {
        return false;
    }
    for (int i = 0; i < numParams_; ++i) {
        double value = 0.0;
        chunk.Get(&value, 8 + 8 * i);
        const IParameter* param = controller_->GetParam(i);
        if (!std::isfinite(value) || value < param->Minimum() || value > param->Maximum()) {
            return false;
        }
    }
    {
        ScopedLock hold(controller_->Lock());
        controller_->LoadState(chunk, 8);
        controller_->RefreshEditorFromParams();
        for (int i = 0; i < numParams_; ++i) {
            values_[i] = controller_->GetParam(i)->Value();
            changedByHost_[i] = false;
        }
    }
    for (int i = 0; i < numParams_; ++i) {
        if (active_) {
            loadedForProcessor_[i] = true;
        } else {
            ApplyToProcessor(i, values_[i].load());
        }
    }
    if (hostParams_ && hostParams_->rescan) {
        hostParams_->rescan(host_, CLAP_PARAM_RESCAN_VALUES);
    }
    return true;
}

VstIntPtr IPlugCLAP::ControllerCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                        void*, float) {
    IPlugCLAP* self = effect ? static_cast<IPlugCLAP*>(effect->user) : nullptr;
    if (!self) {
        return 0;
    }
    switch (opcode) {
    case audioMasterBeginEdit:
        self->QueueEdit(QueuedEdit::kGestureBegin, index);
        break;
    case audioMasterAutomate:
        self->QueueEdit(QueuedEdit::kValue, index);
        break;
    case audioMasterEndEdit:
        self->QueueEdit(QueuedEdit::kGestureEnd, index);
        break;
    default:
        // Everything else a VST host would answer has no CLAP counterpart: no host is asked.
        break;
    }
    return 0;
}

void IPlugCLAP::QueueEdit(QueuedEdit::Kind kind, int paramIdx) {
    if (paramIdx < 0 || paramIdx >= numParams_) {
        return;
    }
    QueuedEdit edit;
    edit.kind = kind;
    edit.paramIdx = paramIdx;
    edit.value = controller_->GetParam(paramIdx)->Value();
    if (kind == QueuedEdit::kValue) {
        values_[paramIdx] = edit.value;
    }
    if (!edits_.Push(edit) && kind == QueuedEdit::kValue) {
        // A host that neither processes nor flushes for long still gets the value in the end.
        loadedForProcessor_[paramIdx] = true;
    }
    if (!processing_ && hostParams_ && hostParams_->request_flush) {
        hostParams_->request_flush(host_);
    }
}

bool IPlugCLAP::GuiCreate(const char*, bool) {
    guiCreated_ = true;
    return true;
}

void IPlugCLAP::GuiDestroy() {
    GuiHide();
    guiCreated_ = false;
    guiParent_ = nullptr;
}

bool IPlugCLAP::GuiSize(std::uint32_t* width, std::uint32_t* height) const {
    const IEditor* editor = controller_ ? controller_->Editor() : nullptr;
    if (!editor || !width || !height) {
        return false;
    }
    *width = std::uint32_t(editor->Width());
    *height = std::uint32_t(editor->Height());
    return true;
}

bool IPlugCLAP::GuiSetParent(const clap_window* window) {
    if (!guiCreated_ || !window || !window->api ||
        std::strcmp(window->api, CLAP_WINDOW_API_X11) != 0 || window->x11 == 0) {
        return false;
    }
    GuiHide();
    guiParent_ = reinterpret_cast<void*>(window->x11);
    // Shown at once, as embedded editors are: a host that never calls show still sees it.
    return GuiShow();
}

bool IPlugCLAP::GuiShow() {
    if (!guiCreated_ || !guiParent_) {
        return false;
    }
    if (guiShown_) {
        return true;
    }
    ScopedLock hold(controller_->Lock());
    guiShown_ = controller_->Editor()->OpenEditorWindow(guiParent_) != nullptr;
    if (guiShown_) {
        controller_->OnEditorOpened();
    }
    return guiShown_;
}

bool IPlugCLAP::GuiHide() {
    if (!guiShown_) {
        return guiCreated_;
    }
    ScopedLock hold(controller_->Lock());
    controller_->OnEditorClosed();
    controller_->Editor()->CloseEditorWindow();
    guiShown_ = false;
    return true;
}

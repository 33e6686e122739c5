#include "host/ClapHostedPlugin.h"

#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kMaxRecordedEvents = 1 << 16;

// The events of one call as the plug-in reads them: kept sorted by time.
struct InputEventList {
    explicit InputEventList(std::vector<ClapHostEvent>& events) {
        std::stable_sort(
            events.begin(), events.end(),
            [](const ClapHostEvent& a, const ClapHostEvent& b) { return a.time < b.time; });
        records.resize(events.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            clap_event_param_value& r = records[i];
            r.header.size = sizeof r;
            r.header.time = events[i].time;
            r.header.space_id = events[i].space;
            r.header.type = events[i].type;
            r.header.flags = 0;
            r.param_id = events[i].paramId;
            r.cookie = nullptr;
            r.note_id = -1;
            r.port_index = -1;
            r.channel = -1;
            r.key = -1;
            r.value = events[i].value;
        }
        list.ctx = this;
        list.size = [](const clap_input_events* l) {
            return std::uint32_t(static_cast<InputEventList*>(l->ctx)->records.size());
        };
        list.get = [](const clap_input_events* l, std::uint32_t index) {
            const auto& all = static_cast<InputEventList*>(l->ctx)->records;
            return index < all.size() ? &all[index].header : nullptr;
        };
    }
    std::vector<clap_event_param_value> records;
    clap_input_events list{};
};

// A stream over bytes that moves at most piece bytes a call and fails once failAfter bytes
// went through (never when failAfter is negative).
struct PieceStream {
    std::vector<std::uint8_t>* bytes;
    std::size_t position = 0;
    std::size_t piece;
    long long failAfter;

    std::int64_t Move(void* buffer, std::uint64_t size, bool reading) {
        if (!buffer) {
            return -1;
        }
        if (failAfter >= 0 && position >= std::size_t(failAfter)) {
            return -1;
        }
        std::size_t n = std::size_t(std::min<std::uint64_t>(size, piece));
        if (failAfter >= 0) {
            n = std::min(n, std::size_t(failAfter) - position);
        }
        if (reading) {
            n = std::min(n, bytes->size() - position);
            if (n > 0) {
                std::memcpy(buffer, bytes->data() + position, n);
            }
        } else {
            bytes->insert(bytes->end(), static_cast<const std::uint8_t*>(buffer),
                          static_cast<const std::uint8_t*>(buffer) + n);
        }
        position += n;
        return std::int64_t(n);
    }
};

} // namespace

ClapHostedPlugin::ClapHostedPlugin() : mainThread_(std::this_thread::get_id()) {
    pluginEvents_.reserve(kMaxRecordedEvents);
    host_.clap_version = CLAP_VERSION;
    host_.host_data = this;
    host_.name = "kvx-host";
    host_.vendor = "wexmoradine";
    host_.url = "";
    host_.version = "1.2.0";
    host_.get_extension = HostExtension;
    host_.request_restart = RequestRestart;
    host_.request_process = RequestProcess;
    host_.request_callback = RequestCallback;
}

std::unique_ptr<ClapHostedPlugin>
ClapHostedPlugin::Create(const ClapModule& module, const std::string& id, std::string* error) {
    std::unique_ptr<ClapHostedPlugin> hosted(new ClapHostedPlugin());
    const clap_plugin_factory* factory = module.Factory();
    const clap_plugin* plugin = factory->create_plugin(factory, &hosted->host_, id.c_str());
    if (!plugin) {
        *error = module.Path() + ": the factory made no plug-in " + id;
        return nullptr;
    }
    if (!plugin->init || !plugin->destroy || !plugin->process || !plugin->get_extension ||
        !plugin->init(plugin)) {
        if (plugin->destroy) {
            plugin->destroy(plugin);
        }
        *error = module.Path() + ": plug-in " + id + " did not initialise";
        return nullptr;
    }
    hosted->plugin_ = plugin;
    hosted->params_ =
        static_cast<const clap_plugin_params*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
    hosted->state_ =
        static_cast<const clap_plugin_state*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
    hosted->gui_ = static_cast<const clap_plugin_gui*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
    hosted->timerSupport_ = static_cast<const clap_plugin_timer_support*>(
        plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT));
    hosted->fdSupport_ = static_cast<const clap_plugin_posix_fd_support*>(
        plugin->get_extension(plugin, CLAP_EXT_POSIX_FD_SUPPORT));
    hosted->ReadPorts();
    if (hosted->params_) {
        const std::uint32_t count = hosted->params_->count(plugin);
        for (std::uint32_t i = 0; i < count; ++i) {
            clap_param_info info{};
            if (hosted->params_->get_info(plugin, i, &info)) {
                info.name[CLAP_NAME_SIZE - 1] = '\0';
                hosted->paramInfos_.push_back(info);
            }
        }
    }
    return hosted;
}

LoadedClapPlugin LoadClapPlugin(const std::string& path, const std::string& id,
                                std::string* error) {
    LoadedClapPlugin loaded;
    loaded.module = ClapModule::Load(path, error);
    std::string chosen;
    if (loaded.module && loaded.module->ChoosePlugin(id, &chosen, error)) {
        loaded.plugin = ClapHostedPlugin::Create(*loaded.module, chosen, error);
    }
    return loaded;
}

ClapHostedPlugin::~ClapHostedPlugin() {
    if (!plugin_) {
        return;
    }
    if (processing_) {
        StopProcessing();
    }
    Deactivate();
    plugin_->destroy(plugin_);
}

const char* ClapHostedPlugin::Name() const {
    return plugin_->desc && plugin_->desc->name ? plugin_->desc->name : "";
}

void ClapHostedPlugin::ReadPorts() {
    const auto* ports = static_cast<const clap_plugin_audio_ports*>(
        plugin_->get_extension(plugin_, CLAP_EXT_AUDIO_PORTS));
    if (!ports) {
        return;
    }
    // The host's buffers go to the first port each way; a plug-in with no such port gets none.
    for (bool isInput : {true, false}) {
        const std::uint32_t count = ports->count(plugin_, isInput);
        for (std::uint32_t i = 0; i < count; ++i) {
            clap_audio_port_info info{};
            if (!ports->get(plugin_, i, isInput, &info)) {
                info.channel_count = 0;
            }
            if (i > 0) {
                (isInput ? extraInputPorts_ : extraOutputPorts_).push_back(info.channel_count);
                continue;
            }
            (isInput ? inputChannels_ : outputChannels_) = int(info.channel_count);
            supports64Bits_ = supports64Bits_ && (info.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS);
        }
    }
    inBuffers_.resize(extraInputPorts_.size() + (inputChannels_ > 0 ? 1 : 0));
    outBuffers_.resize(extraOutputPorts_.size() + (outputChannels_ > 0 ? 1 : 0));
}

void ClapHostedPlugin::MakeExtraBuffers(std::uint32_t maxFrames) {
    std::size_t channels = 0;
    for (const auto* ports : {&extraInputPorts_, &extraOutputPorts_}) {
        for (std::uint32_t count : *ports) {
            channels += count;
        }
    }
    extraFloat_.assign(channels * maxFrames, 0.0f);
    extraDouble_.assign(channels * maxFrames, 0.0);
    extraFloatChannels_.resize(channels);
    extraDoubleChannels_.resize(channels);
    for (std::size_t c = 0; c < channels; ++c) {
        extraFloatChannels_[c] = extraFloat_.data() + c * maxFrames;
        extraDoubleChannels_[c] = extraDouble_.data() + c * maxFrames;
    }
}

bool ClapHostedPlugin::Activate(double rate, std::uint32_t maxFrames) {
    if (active_) {
        return false;
    }
    MakeExtraBuffers(maxFrames);
    active_ = plugin_->activate(plugin_, rate, 1, maxFrames);
    steadyTime_ = 0;
    return active_;
}

void ClapHostedPlugin::Deactivate() {
    if (!active_) {
        return;
    }
    plugin_->deactivate(plugin_);
    active_ = false;
}

bool ClapHostedPlugin::StartProcessing() {
    if (!active_ || processing_) {
        return processing_;
    }
    auto call = [this] { processing_ = plugin_->start_processing(plugin_); };
    audio_.Run(call);
    return processing_;
}

void ClapHostedPlugin::StopProcessing() {
    if (!processing_) {
        return;
    }
    auto call = [this] { plugin_->stop_processing(plugin_); };
    audio_.Run(call);
    processing_ = false;
}

void ClapHostedPlugin::Reset() {
    if (!active_) {
        return;
    }
    auto call = [this] { plugin_->reset(plugin_); };
    audio_.Run(call);
}

template <class Sample>
clap_process_status ClapHostedPlugin::ProcessOnAudioThread(Sample** in, Sample** out,
                                                           std::uint32_t frames,
                                                           std::vector<ClapHostEvent>& events) {
    // Parameters set since the last call go with this one, at its start.
    events.insert(events.begin(), pendingChanges_.begin(), pendingChanges_.end());
    pendingChanges_.clear();
    InputEventList input(events);
    clap_output_events output{this, PushEvent};
    Sample** extra = nullptr;
    if constexpr (sizeof(Sample) == sizeof(double)) {
        extra = extraDoubleChannels_.data();
    } else {
        extra = extraFloatChannels_.data();
    }
    const auto fill = [&extra, frames](std::vector<clap_audio_buffer>& buffers, Sample** main,
                                       int mainChannels, const std::vector<std::uint32_t>& ports,
                                       bool silence) {
        std::size_t b = 0;
        const auto set = [&buffers, &b](Sample** channels, std::uint32_t count) {
            clap_audio_buffer& buffer = buffers[b++];
            buffer = clap_audio_buffer{};
            buffer.channel_count = count;
            if constexpr (sizeof(Sample) == sizeof(double)) {
                buffer.data64 = channels;
            } else {
                buffer.data32 = channels;
            }
        };
        if (mainChannels > 0) {
            set(main, std::uint32_t(mainChannels));
        }
        for (std::uint32_t count : ports) {
            for (std::uint32_t c = 0; silence && c < count; ++c) {
                std::fill(extra[c], extra[c] + frames, Sample(0));
            }
            set(extra, count);
            extra += count;
        }
    };
    fill(inBuffers_, in, inputChannels_, extraInputPorts_, true);
    fill(outBuffers_, out, outputChannels_, extraOutputPorts_, false);
    clap_process process{};
    process.steady_time = steadyTime_;
    process.frames_count = frames;
    process.transport = nullptr;
    process.audio_inputs = inBuffers_.data();
    process.audio_outputs = outBuffers_.data();
    process.audio_inputs_count = std::uint32_t(inBuffers_.size());
    process.audio_outputs_count = std::uint32_t(outBuffers_.size());
    process.in_events = &input.list;
    process.out_events = &output;
    clap_process_status status = CLAP_PROCESS_ERROR;
    auto call = [&] {
        if (beforeProcess_) {
            beforeProcess_();
        }
        status = plugin_->process(plugin_, &process);
        if (afterProcess_) {
            afterProcess_();
        }
    };
    audio_.Run(call);
    steadyTime_ += frames;
    return status;
}

clap_process_status ClapHostedPlugin::Process(float** in, float** out, std::uint32_t frames,
                                              std::vector<ClapHostEvent> events) {
    return ProcessOnAudioThread(in, out, frames, events);
}

clap_process_status ClapHostedPlugin::Process(double** in, double** out, std::uint32_t frames,
                                              std::vector<ClapHostEvent> events) {
    return ProcessOnAudioThread(in, out, frames, events);
}

void ClapHostedPlugin::Flush(std::vector<ClapHostEvent> events) {
    if (!params_ || !params_->flush) {
        return;
    }
    flushRequested_ = false;
    InputEventList input(events);
    clap_output_events output{this, PushEvent};
    auto call = [&] { params_->flush(plugin_, &input.list, &output); };
    if (active_) {
        audio_.Run(call);
    } else {
        call();
    }
}

double ClapHostedPlugin::ParamValue(int index) {
    double value = 0.0;
    if (params_ && index >= 0 && index < NumParams()) {
        params_->get_value(plugin_, paramInfos_[size_t(index)].id, &value);
    }
    return value;
}

std::string ClapHostedPlugin::ValueText(int index, double value) {
    char text[256] = "";
    if (params_ && index >= 0 && index < NumParams() &&
        params_->value_to_text(plugin_, paramInfos_[size_t(index)].id, value, text, sizeof text)) {
        text[sizeof text - 1] = '\0';
        return text;
    }
    return "";
}

std::string ClapHostedPlugin::ParamName(int index) {
    return index >= 0 && index < NumParams() ? paramInfos_[size_t(index)].name : "";
}

std::string ClapHostedPlugin::ParamDisplay(int index) {
    return ValueText(index, ParamValue(index));
}

float ClapHostedPlugin::GetParameter(int index) {
    if (index < 0 || index >= NumParams()) {
        return 0.0f;
    }
    const clap_param_info& info = paramInfos_[size_t(index)];
    const double span = info.max_value - info.min_value;
    return span > 0.0 ? float((ParamValue(index) - info.min_value) / span) : 0.0f;
}

double ClapHostedPlugin::PlainOf(int index, double normalized) const {
    const clap_param_info& info = paramInfos_[size_t(index)];
    const double n = std::clamp(normalized, 0.0, 1.0);
    double plain = info.min_value + n * (info.max_value - info.min_value);
    if (info.flags & CLAP_PARAM_IS_STEPPED) {
        // The nearest step, as VST 2.x modules map a normalized value onto their steps.
        plain = info.min_value + std::floor(plain - info.min_value + 0.5);
    }
    return std::min(plain, info.max_value);
}

void ClapHostedPlugin::SetParameter(int index, float normalized) {
    if (index < 0 || index >= NumParams()) {
        return;
    }
    ClapHostEvent change;
    change.paramId = paramInfos_[size_t(index)].id;
    change.value = PlainOf(index, normalized);
    if (active_) {
        pendingChanges_.push_back(change);
    } else {
        Flush({change});
    }
}

bool ClapHostedPlugin::SaveState(std::vector<std::uint8_t>* bytes, std::size_t piece,
                                 long long failAfter) {
    bytes->clear();
    if (!state_) {
        return false;
    }
    PieceStream stream{bytes, 0, piece, failAfter};
    clap_ostream out{&stream, [](const clap_ostream* s, const void* buffer, std::uint64_t size) {
                         return static_cast<PieceStream*>(s->ctx)->Move(const_cast<void*>(buffer),
                                                                        size, false);
                     }};
    return state_->save(plugin_, &out);
}

bool ClapHostedPlugin::LoadState(const std::vector<std::uint8_t>& bytes, std::size_t piece,
                                 long long failAfter) {
    if (!state_) {
        return false;
    }
    std::vector<std::uint8_t> copy = bytes;
    PieceStream stream{&copy, 0, piece, failAfter};
    clap_istream in{&stream, [](const clap_istream* s, void* buffer, std::uint64_t size) {
                        return static_cast<PieceStream*>(s->ctx)->Move(buffer, size, true);
                    }};
    return state_->load(plugin_, &in);
}

std::vector<ClapPluginEvent> ClapHostedPlugin::PluginEvents() const {
    std::lock_guard<std::mutex> hold(recordMutex_);
    return pluginEvents_;
}

void ClapHostedPlugin::ClearPluginEvents() {
    std::lock_guard<std::mutex> hold(recordMutex_);
    pluginEvents_.clear();
}

std::vector<std::string> ClapHostedPlugin::ThreadViolations() const {
    std::lock_guard<std::mutex> hold(recordMutex_);
    return violations_;
}

void ClapHostedPlugin::Pump() {
    if (callbackRequested_.exchange(false)) {
        plugin_->on_main_thread(plugin_);
    }
    if (flushRequested_ && !processing_) {
        Flush();
    }
    FireTimers();
    PollFds();
}

void ClapHostedPlugin::FireTimers() {
    const auto now = std::chrono::steady_clock::now();
    // By index: a timer callback may register or unregister timers.
    for (size_t i = 0; i < timers_.size() && timerSupport_; ++i) {
        if (timers_[i].due <= now) {
            timers_[i].due = now + timers_[i].period;
            timerSupport_->on_timer(plugin_, timers_[i].id);
        }
    }
}

void ClapHostedPlugin::PollFds() {
    if (!fdSupport_ || fds_.empty()) {
        return;
    }
    std::vector<pollfd> watched;
    for (const WatchedFd& w : fds_) {
        const short events = short(((w.flags & CLAP_POSIX_FD_READ) ? POLLIN : 0) |
                                   ((w.flags & CLAP_POSIX_FD_WRITE) ? POLLOUT : 0));
        watched.push_back(pollfd{w.fd, events, 0});
    }
    if (poll(watched.data(), nfds_t(watched.size()), 0) <= 0) {
        return;
    }
    for (const pollfd& p : watched) {
        const std::uint32_t ready = ((p.revents & POLLIN) ? CLAP_POSIX_FD_READ : 0u) |
                                    ((p.revents & POLLOUT) ? CLAP_POSIX_FD_WRITE : 0u) |
                                    ((p.revents & (POLLERR | POLLHUP)) ? CLAP_POSIX_FD_ERROR : 0u);
        if (ready) {
            fdSupport_->on_fd(plugin_, p.fd, ready);
        }
    }
}

void ClapHostedPlugin::StartRender(double rate, int maxFrames) {
    Activate(rate, std::uint32_t(maxFrames));
    StartProcessing();
}

void ClapHostedPlugin::ProcessFloat(float** in, float** out, int frames, std::int64_t) {
    Process(in, out, std::uint32_t(frames));
}

void ClapHostedPlugin::ProcessDouble(double** in, double** out, int frames, std::int64_t) {
    Process(in, out, std::uint32_t(frames));
}

void ClapHostedPlugin::StopRender() {
    StopProcessing();
    Deactivate();
}

void ClapHostedPlugin::NoteViolation(const char* call, bool mainThreadOnly) {
    const bool wrong =
        mainThreadOnly ? std::this_thread::get_id() != mainThread_ : audio_.IsCurrent();
    if (!wrong) {
        return;
    }
    std::lock_guard<std::mutex> hold(recordMutex_);
    violations_.push_back(std::string(call) +
                          (mainThreadOnly ? " off the main thread" : " on the audio thread"));
}

ClapHostedPlugin* ClapHostedPlugin::Of(const clap_host* host) {
    return host ? static_cast<ClapHostedPlugin*>(host->host_data) : nullptr;
}

const void* ClapHostedPlugin::HostExtension(const clap_host*, const char* id) {
    static const clap_host_params kParams = {Rescan, Clear, RequestFlush};
    static const clap_host_thread_check kThreadCheck = {IsMainThread, IsAudioThread};
    static const clap_host_log kLog = {Log};
    static const clap_host_state kState = {MarkDirty};
    static const clap_host_timer_support kTimers = {RegisterTimer, UnregisterTimer};
    static const clap_host_posix_fd_support kFds = {RegisterFd, ModifyFd, UnregisterFd};
    // The window the editor is embedded in keeps its size; showing and hiding are the host's.
    static const clap_host_gui kGui = {
        [](const clap_host*) {},
        [](const clap_host*, std::uint32_t, std::uint32_t) { return false; },
        [](const clap_host*) { return true; }, [](const clap_host*) { return true; },
        [](const clap_host*, bool) {}};
    if (!id) {
        return nullptr;
    }
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) {
        return &kParams;
    }
    if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) {
        return &kThreadCheck;
    }
    if (std::strcmp(id, CLAP_EXT_LOG) == 0) {
        return &kLog;
    }
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) {
        return &kState;
    }
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) {
        return &kTimers;
    }
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) {
        return &kGui;
    }
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) {
        return &kFds;
    }
    return nullptr;
}

bool ClapHostedPlugin::RegisterTimer(const clap_host* host, std::uint32_t periodMs, clap_id* id) {
    ClapHostedPlugin* self = Of(host);
    if (!self || !id) {
        return false;
    }
    self->NoteViolation("timer-support.register_timer", true);
    // Periods shorter than a redraw at 100 Hz are lengthened, as hosts may.
    const std::chrono::milliseconds period(periodMs < 10 ? 10 : periodMs);
    *id = self->nextTimerId_++;
    self->timers_.push_back(Timer{*id, period, std::chrono::steady_clock::now() + period});
    return true;
}

bool ClapHostedPlugin::UnregisterTimer(const clap_host* host, clap_id id) {
    ClapHostedPlugin* self = Of(host);
    if (!self) {
        return false;
    }
    self->NoteViolation("timer-support.unregister_timer", true);
    auto& timers = self->timers_;
    const auto found =
        std::find_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; });
    if (found == timers.end()) {
        return false;
    }
    timers.erase(found);
    return true;
}

bool ClapHostedPlugin::RegisterFd(const clap_host* host, int fd, std::uint32_t flags) {
    ClapHostedPlugin* self = Of(host);
    if (!self || fd < 0) {
        return false;
    }
    self->NoteViolation("posix-fd-support.register_fd", true);
    // Registering a watched descriptor again replaces its flags.
    auto& fds = self->fds_;
    fds.erase(
        std::remove_if(fds.begin(), fds.end(), [fd](const WatchedFd& w) { return w.fd == fd; }),
        fds.end());
    fds.push_back(WatchedFd{fd, flags});
    return true;
}

bool ClapHostedPlugin::ModifyFd(const clap_host* host, int fd, std::uint32_t flags) {
    ClapHostedPlugin* self = Of(host);
    if (!self) {
        return false;
    }
    self->NoteViolation("posix-fd-support.modify_fd", true);
    for (WatchedFd& w : self->fds_) {
        if (w.fd == fd) {
            w.flags = flags;
            return true;
        }
    }
    return false;
}

bool ClapHostedPlugin::UnregisterFd(const clap_host* host, int fd) {
    ClapHostedPlugin* self = Of(host);
    if (!self) {
        return false;
    }
    self->NoteViolation("posix-fd-support.unregister_fd", true);
    auto& fds = self->fds_;
    const auto found =
        std::find_if(fds.begin(), fds.end(), [fd](const WatchedFd& w) { return w.fd == fd; });
    if (found == fds.end()) {
        return false;
    }
    fds.erase(found);
    return true;
}

void ClapHostedPlugin::RequestRestart(const clap_host*) {}

void ClapHostedPlugin::RequestProcess(const clap_host*) {}

void ClapHostedPlugin::RequestCallback(const clap_host* host) {
    if (ClapHostedPlugin* self = Of(host)) {
        self->callbackRequested_ = true;
    }
}

void ClapHostedPlugin::Rescan(const clap_host* host, std::uint32_t) {
    if (ClapHostedPlugin* self = Of(host)) {
        self->NoteViolation("params.rescan", true);
        ++self->rescans_;
    }
}

void ClapHostedPlugin::Clear(const clap_host* host, clap_id, std::uint32_t) {
    if (ClapHostedPlugin* self = Of(host)) {
        self->NoteViolation("params.clear", true);
    }
}

void ClapHostedPlugin::RequestFlush(const clap_host* host) {
    if (ClapHostedPlugin* self = Of(host)) {
        self->NoteViolation("params.request_flush", false);
        self->flushRequested_ = true;
    }
}

bool ClapHostedPlugin::IsMainThread(const clap_host* host) {
    const ClapHostedPlugin* self = Of(host);
    return self && std::this_thread::get_id() == self->mainThread_;
}

bool ClapHostedPlugin::IsAudioThread(const clap_host* host) {
    const ClapHostedPlugin* self = Of(host);
    return self && self->audio_.IsCurrent();
}

void ClapHostedPlugin::Log(const clap_host*, std::int32_t severity, const char* message) {
    if (severity >= CLAP_LOG_WARNING && message) {
        std::fprintf(stderr, "plug-in says: %s\n", message);
    }
}

void ClapHostedPlugin::MarkDirty(const clap_host* host) {
    if (ClapHostedPlugin* self = Of(host)) {
        self->NoteViolation("state.mark_dirty", true);
    }
}

bool ClapHostedPlugin::PushEvent(const clap_output_events* list, const clap_event_header* event) {
    ClapHostedPlugin* self = list ? static_cast<ClapHostedPlugin*>(list->ctx) : nullptr;
    if (!self || !event) {
        return false;
    }
    ClapPluginEvent recorded;
    recorded.type = event->type;
    recorded.time = event->time;
    if (event->space_id == CLAP_CORE_EVENT_SPACE_ID && event->type == CLAP_EVENT_PARAM_VALUE &&
        event->size >= sizeof(clap_event_param_value)) {
        const auto* value = reinterpret_cast<const clap_event_param_value*>(event);
        recorded.paramId = value->param_id;
        recorded.value = value->value;
    } else if (event->space_id == CLAP_CORE_EVENT_SPACE_ID &&
               (event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN ||
                event->type == CLAP_EVENT_PARAM_GESTURE_END) &&
               event->size >= sizeof(clap_event_param_gesture)) {
        recorded.paramId = reinterpret_cast<const clap_event_param_gesture*>(event)->param_id;
    }
    std::lock_guard<std::mutex> hold(self->recordMutex_);
    if (self->pluginEvents_.size() == self->pluginEvents_.capacity()) {
        return false;
    }
    self->pluginEvents_.push_back(recorded);
    return true;
}

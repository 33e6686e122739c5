// A small CLAP effect whose output is easy to predict, for testing the host's CLAP side: stereo,
// out = "Gain" x in (0 to 2), with a side-chain input and a meter output that hosts feed
// nothing. It checks what a CLAP host owes it: every call on the thread the interface names
// (asked through the host's thread-check), events in time order and inside the block, and every
// port given a buffer. Where the host offers them it runs a timer and watches a pipe holding one
// byte, as editors do. When KVX_TEST_LOG names a file, each life-cycle call, the first process
// call, every state stream call, the first timer, the pipe's byte and every breach of the rules
// is appended to it, one line each.

#include "plugin/ClapAbi.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

struct GainPlugin {
    clap_plugin plugin{};
    const clap_host* host = nullptr;
    const clap_host_thread_check* threads = nullptr;
    double gain = 1.0;
    bool processedOnce = false;
    const clap_host_timer_support* timers = nullptr;
    const clap_host_posix_fd_support* fds = nullptr;
    clap_id timer = CLAP_INVALID_ID;
    bool timerFired = false;
    int pipe[2] = {-1, -1};
};

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    const char* path = std::getenv("KVX_TEST_LOG");
    if (!path || !*path) {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        va_list args;
        va_start(args, format);
        std::vfprintf(file, format, args);
        va_end(args);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

GainPlugin* Of(const clap_plugin* plugin) {
    return static_cast<GainPlugin*>(plugin->plugin_data);
}

// Logs call with the thread it came on, when that is not the one the interface names.
void OnThread(const clap_plugin* plugin, const char* call, bool audio) {
    const GainPlugin* self = Of(plugin);
    const bool right = audio ? self->threads->is_audio_thread(self->host)
                             : self->threads->is_main_thread(self->host);
    if (!right) {
        Log("%s on the wrong thread", call);
    }
}

void Apply(GainPlugin* self, const clap_event_header* event) {
    if (event->space_id == CLAP_CORE_EVENT_SPACE_ID && event->type == CLAP_EVENT_PARAM_VALUE) {
        const auto* change = reinterpret_cast<const clap_event_param_value*>(event);
        if (change->param_id == 0 && change->value >= 0.0 && change->value <= 2.0) {
            self->gain = change->value;
        }
    }
}

// Logs events out of time order or at frames the block does not have.
void CheckOrder(const clap_input_events* in, std::uint32_t frames) {
    std::uint32_t last = 0;
    for (std::uint32_t i = 0; i < in->size(in); ++i) {
        const std::uint32_t time = in->get(in, i)->time;
        if (time < last || time >= frames) {
            Log("event %u at frame %u out of order or outside %u frames", i, time, frames);
        }
        last = time;
    }
}

// Logs a side-chain input port that is missing or not silent, and a meter output port that is
// missing; writes the meter, so a host's scratch buffer too short for the block shows.
void CheckSecondPorts(const clap_process* process) {
    const std::uint32_t frames = process->frames_count;
    if (process->audio_inputs_count != 2 || process->audio_inputs[1].channel_count != 1) {
        Log("side-chain port missing");
    } else {
        const clap_audio_buffer& side = process->audio_inputs[1];
        for (std::uint32_t i = 0; i < frames; ++i) {
            if (side.data64 ? side.data64[0][i] != 0.0 : side.data32[0][i] != 0.0f) {
                Log("side-chain port not silent at frame %u", i);
                break;
            }
        }
    }
    if (process->audio_outputs_count != 2 || process->audio_outputs[1].channel_count != 1) {
        Log("meter port missing");
        return;
    }
    const clap_audio_buffer& meter = process->audio_outputs[1];
    for (std::uint32_t i = 0; i < frames; ++i) {
        if (meter.data64) {
            meter.data64[0][i] = 1.0;
        } else {
            meter.data32[0][i] = 1.0f;
        }
    }
}

bool Init(const clap_plugin* plugin) {
    GainPlugin* self = Of(plugin);
    self->threads = static_cast<const clap_host_thread_check*>(
        self->host->get_extension(self->host, CLAP_EXT_THREAD_CHECK));
    if (!self->threads) {
        Log("the host has no thread check");
        return false;
    }
    OnThread(plugin, "init", false);
    Log("init");
    self->timers = static_cast<const clap_host_timer_support*>(
        self->host->get_extension(self->host, CLAP_EXT_TIMER_SUPPORT));
    if (self->timers) {
        self->timers->register_timer(self->host, 10, &self->timer);
    }
    self->fds = static_cast<const clap_host_posix_fd_support*>(
        self->host->get_extension(self->host, CLAP_EXT_POSIX_FD_SUPPORT));
    if (self->fds && ::pipe(self->pipe) == 0 && write(self->pipe[1], "k", 1) == 1) {
        self->fds->register_fd(self->host, self->pipe[0], CLAP_POSIX_FD_READ);
    }
    return true;
}

void Destroy(const clap_plugin* plugin) {
    GainPlugin* self = Of(plugin);
    OnThread(plugin, "destroy", false);
    Log("destroy");
    if (self->timer != CLAP_INVALID_ID) {
        self->timers->unregister_timer(self->host, self->timer);
    }
    if (self->pipe[0] >= 0) {
        self->fds->unregister_fd(self->host, self->pipe[0]);
        close(self->pipe[0]);
        close(self->pipe[1]);
    }
    delete self;
}

void OnTimer(const clap_plugin* plugin, clap_id id) {
    GainPlugin* self = Of(plugin);
    OnThread(plugin, "on_timer", false);
    if (!self->timerFired && id == self->timer) {
        self->timerFired = true;
        Log("timer");
    }
}

void OnFd(const clap_plugin* plugin, int fd, std::uint32_t flags) {
    OnThread(plugin, "on_fd", false);
    char byte = 0;
    if (fd == Of(plugin)->pipe[0] && (flags & CLAP_POSIX_FD_READ) && read(fd, &byte, 1) == 1) {
        Log("pipe %c", byte);
    }
}

bool Activate(const clap_plugin* plugin, double rate, std::uint32_t minFrames,
              std::uint32_t maxFrames) {
    OnThread(plugin, "activate", false);
    Log("activate %.0f %u %u", rate, minFrames, maxFrames);
    return true;
}

void Deactivate(const clap_plugin* plugin) {
    OnThread(plugin, "deactivate", false);
    Log("deactivate");
}

bool StartProcessing(const clap_plugin* plugin) {
    OnThread(plugin, "start_processing", true);
    Log("start_processing");
    return true;
}

void StopProcessing(const clap_plugin* plugin) {
    OnThread(plugin, "stop_processing", true);
    Log("stop_processing");
}

void Reset(const clap_plugin* plugin) {
    OnThread(plugin, "reset", true);
}

clap_process_status Process(const clap_plugin* plugin, const clap_process* process) {
    GainPlugin* self = Of(plugin);
    OnThread(plugin, "process", true);
    if (!self->processedOnce) {
        self->processedOnce = true;
        Log("process %u frames", process->frames_count);
    }
    const clap_input_events* events = process->in_events;
    CheckOrder(events, process->frames_count);
    CheckSecondPorts(process);
    const clap_audio_buffer& in = process->audio_inputs[0];
    const clap_audio_buffer& out = process->audio_outputs[0];
    // Sample-accurate: each change applies from its frame on.
    const std::uint32_t count = events->size(events);
    std::uint32_t done = 0;
    for (std::uint32_t e = 0; e <= count; ++e) {
        const std::uint32_t time = e < count ? events->get(events, e)->time : process->frames_count;
        const std::uint32_t until = time < process->frames_count ? time : process->frames_count;
        for (std::uint32_t c = 0; c < 2; ++c) {
            for (std::uint32_t i = done; i < until; ++i) {
                if (out.data64) {
                    out.data64[c][i] = self->gain * in.data64[c][i];
                } else {
                    out.data32[c][i] = float(self->gain * double(in.data32[c][i]));
                }
            }
        }
        done = until > done ? until : done;
        if (e < count) {
            Apply(self, events->get(events, e));
        }
    }
    return CLAP_PROCESS_CONTINUE;
}

std::uint32_t ParamCount(const clap_plugin*) {
    return 1;
}

bool ParamInfo(const clap_plugin*, std::uint32_t index, clap_param_info* info) {
    if (index != 0) {
        return false;
    }
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    std::strcpy(info->name, "Gain");
    info->min_value = 0.0;
    info->max_value = 2.0;
    info->default_value = 1.0;
    return true;
}

bool ParamValue(const clap_plugin* plugin, clap_id id, double* value) {
    if (id != 0) {
        return false;
    }
    *value = Of(plugin)->gain;
    return true;
}

bool ValueToText(const clap_plugin*, clap_id id, double value, char* out, std::uint32_t size) {
    return id == 0 && std::snprintf(out, size, "%.2f x", value) > 0;
}

bool TextToValue(const clap_plugin*, clap_id id, const char* text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return id == 0 && end != text;
}

void Flush(const clap_plugin* plugin, const clap_input_events* in, const clap_output_events*) {
    OnThread(plugin, "flush", false);
    Log("flush %u events", in->size(in));
    for (std::uint32_t i = 0; i < in->size(in); ++i) {
        Apply(Of(plugin), in->get(in, i));
    }
}

// The main ports, stereo, and a mono second port each way: a side-chain in, a meter out.
std::uint32_t PortCount(const clap_plugin*, bool) {
    return 2;
}

bool PortInfo(const clap_plugin*, std::uint32_t index, bool isInput, clap_audio_port_info* info) {
    if (index > 1) {
        return false;
    }
    info->id = index;
    if (index == 0) {
        std::strcpy(info->name, isInput ? "In" : "Out");
        info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
        info->channel_count = 2;
        info->port_type = CLAP_PORT_STEREO;
    } else {
        std::strcpy(info->name, isInput ? "Side-chain" : "Meter");
        info->flags = CLAP_AUDIO_PORT_SUPPORTS_64BITS;
        info->channel_count = 1;
        info->port_type = CLAP_PORT_MONO;
    }
    info->in_place_pair = CLAP_INVALID_ID;
    return true;
}

// The state is the gain as 8 bytes, moved in as many calls as the host's stream needs.
bool Save(const clap_plugin* plugin, const clap_ostream* stream) {
    OnThread(plugin, "state save", false);
    const double gain = Of(plugin)->gain;
    const char* bytes = reinterpret_cast<const char*>(&gain);
    std::uint64_t done = 0;
    while (done < sizeof gain) {
        const std::int64_t n = stream->write(stream, bytes + done, sizeof gain - done);
        Log("state write %lld", (long long)n);
        if (n <= 0) {
            return false;
        }
        done += std::uint64_t(n);
    }
    return true;
}

bool Load(const clap_plugin* plugin, const clap_istream* stream) {
    OnThread(plugin, "state load", false);
    double gain = 0.0;
    char* bytes = reinterpret_cast<char*>(&gain);
    std::uint64_t done = 0;
    while (done < sizeof gain) {
        const std::int64_t n = stream->read(stream, bytes + done, sizeof gain - done);
        Log("state read %lld", (long long)n);
        if (n <= 0) {
            return false;
        }
        done += std::uint64_t(n);
    }
    if (!(gain >= 0.0 && gain <= 2.0)) {
        return false;
    }
    Of(plugin)->gain = gain;
    return true;
}

const clap_plugin_params kParams = {ParamCount,  ParamInfo,   ParamValue,
                                    ValueToText, TextToValue, Flush};
const clap_plugin_audio_ports kPorts = {PortCount, PortInfo};
const clap_plugin_state kState = {Save, Load};
const clap_plugin_timer_support kTimerSupport = {OnTimer};
const clap_plugin_posix_fd_support kFdSupport = {OnFd};

const void* Extension(const clap_plugin*, const char* id) {
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) {
        return &kParams;
    }
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) {
        return &kPorts;
    }
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) {
        return &kState;
    }
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) {
        return &kTimerSupport;
    }
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) {
        return &kFdSupport;
    }
    return nullptr;
}

void OnMainThread(const clap_plugin* plugin) {
    OnThread(plugin, "on_main_thread", false);
}

const char* const kFeatures[] = {"audio-effect", "utility", "stereo", nullptr};
const clap_plugin_descriptor kDescriptor = {
    CLAP_VERSION, "org.kvx-test.gain",         "Test Gain", "kvx tests", "", "", "",
    "1.0.0",      "Gain for the host's tests", kFeatures};

std::uint32_t PluginCount(const clap_plugin_factory*) {
    return 1;
}

const clap_plugin_descriptor* Descriptor(const clap_plugin_factory*, std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin* Create(const clap_plugin_factory*, const clap_host* host, const char* id) {
    if (std::strcmp(id, kDescriptor.id) != 0) {
        return nullptr;
    }
    GainPlugin* self = new GainPlugin();
    self->host = host;
    self->plugin = {&kDescriptor,    self,           Init,  Destroy, Activate,  Deactivate,
                    StartProcessing, StopProcessing, Reset, Process, Extension, OnMainThread};
    return &self->plugin;
}

const clap_plugin_factory kFactory = {PluginCount, Descriptor, Create};

bool EntryInit(const char*) {
    return true;
}
void EntryDeinit() {}
const void* EntryFactory(const char* id) {
    return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

} // namespace

extern "C" __attribute__((visibility("default")))
const clap_plugin_entry clap_entry = {CLAP_VERSION, EntryInit, EntryDeinit, EntryFactory};

#pragma once

// The CLAP binary interface (version 1.2): the records, identifiers and constants a Linux effect
// plug-in and its host exchange, declared from the published layout. Every size and offset is
// checked below for both pointer widths.

#include <cstddef>
#include <cstdint>

using clap_id = std::uint32_t;

constexpr clap_id CLAP_INVALID_ID = 0xFFFFFFFFu;
constexpr std::uint32_t CLAP_NAME_SIZE = 256;
constexpr std::uint32_t CLAP_PATH_SIZE = 1024;
constexpr std::uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

struct clap_version {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t revision;
};
constexpr clap_version CLAP_VERSION = {1, 2, 10};
inline bool ClapVersionIsCompatible(const clap_version& version) {
    return version.major >= 1;
}

// Identifiers, compared with strcmp.
constexpr const char* CLAP_PLUGIN_FACTORY_ID = "clap.plugin-factory";
constexpr const char* CLAP_EXT_PARAMS = "clap.params";
constexpr const char* CLAP_EXT_AUDIO_PORTS = "clap.audio-ports";
constexpr const char* CLAP_EXT_STATE = "clap.state";
constexpr const char* CLAP_EXT_GUI = "clap.gui";
constexpr const char* CLAP_EXT_LATENCY = "clap.latency";
constexpr const char* CLAP_EXT_TAIL = "clap.tail";
constexpr const char* CLAP_EXT_LOG = "clap.log";
constexpr const char* CLAP_EXT_THREAD_CHECK = "clap.thread-check";
constexpr const char* CLAP_EXT_TIMER_SUPPORT = "clap.timer-support";
constexpr const char* CLAP_EXT_POSIX_FD_SUPPORT = "clap.posix-fd-support";
constexpr const char* CLAP_EXT_RENDER = "clap.render";
constexpr const char* CLAP_WINDOW_API_X11 = "x11";
constexpr const char* CLAP_PORT_MONO = "mono";
constexpr const char* CLAP_PORT_STEREO = "stereo";

enum : std::uint16_t {
    CLAP_EVENT_NOTE_ON = 0,
    CLAP_EVENT_NOTE_OFF = 1,
    CLAP_EVENT_NOTE_CHOKE = 2,
    CLAP_EVENT_NOTE_END = 3,
    CLAP_EVENT_NOTE_EXPRESSION = 4,
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
    CLAP_EVENT_TRANSPORT = 9,
    CLAP_EVENT_MIDI = 10,
    CLAP_EVENT_MIDI_SYSEX = 11,
    CLAP_EVENT_MIDI2 = 12,
};
enum : std::uint32_t { CLAP_EVENT_IS_LIVE = 1, CLAP_EVENT_DONT_RECORD = 2 };

using clap_process_status = std::int32_t;
enum : clap_process_status {
    CLAP_PROCESS_ERROR = 0,
    CLAP_PROCESS_CONTINUE = 1,
    CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
    CLAP_PROCESS_TAIL = 3,
    CLAP_PROCESS_SLEEP = 4,
};

enum : std::uint32_t {
    CLAP_PARAM_IS_STEPPED = 0x1,
    CLAP_PARAM_IS_PERIODIC = 0x2,
    CLAP_PARAM_IS_HIDDEN = 0x4,
    CLAP_PARAM_IS_READONLY = 0x8,
    CLAP_PARAM_IS_BYPASS = 0x10,
    CLAP_PARAM_IS_AUTOMATABLE = 0x20,
    CLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID = 0x40,
    CLAP_PARAM_IS_AUTOMATABLE_PER_KEY = 0x80,
    CLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL = 0x100,
    CLAP_PARAM_IS_AUTOMATABLE_PER_PORT = 0x200,
    CLAP_PARAM_IS_MODULATABLE = 0x400,
    CLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID = 0x800,
    CLAP_PARAM_IS_MODULATABLE_PER_KEY = 0x1000,
    CLAP_PARAM_IS_MODULATABLE_PER_CHANNEL = 0x2000,
    CLAP_PARAM_IS_MODULATABLE_PER_PORT = 0x4000,
    CLAP_PARAM_REQUIRES_PROCESS = 0x8000,
    CLAP_PARAM_IS_ENUM = 0x10000,
};
enum : std::uint32_t {
    CLAP_PARAM_RESCAN_VALUES = 1,
    CLAP_PARAM_RESCAN_TEXT = 2,
    CLAP_PARAM_RESCAN_INFO = 4,
    CLAP_PARAM_RESCAN_ALL = 8,
};
enum : std::uint32_t {
    CLAP_PARAM_CLEAR_ALL = 1,
    CLAP_PARAM_CLEAR_AUTOMATIONS = 2,
    CLAP_PARAM_CLEAR_MODULATIONS = 4,
};
enum : std::uint32_t {
    CLAP_AUDIO_PORT_IS_MAIN = 1,
    CLAP_AUDIO_PORT_SUPPORTS_64BITS = 2,
    CLAP_AUDIO_PORT_PREFERS_64BITS = 4,
    CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 8,
};
enum : std::int32_t {
    CLAP_LOG_DEBUG = 0,
    CLAP_LOG_INFO = 1,
    CLAP_LOG_WARNING = 2,
    CLAP_LOG_ERROR = 3,
    CLAP_LOG_FATAL = 4,
    CLAP_LOG_HOST_MISBEHAVING = 5,
    CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};
enum : std::uint32_t { CLAP_POSIX_FD_READ = 1, CLAP_POSIX_FD_WRITE = 2, CLAP_POSIX_FD_ERROR = 4 };
enum : std::int32_t { CLAP_RENDER_REALTIME = 0, CLAP_RENDER_OFFLINE = 1 };

struct clap_plugin;
struct clap_host;

// Entry and factory.

struct clap_plugin_entry {
    struct clap_version clap_version;
    bool (*init)(const char* plugin_path);
    void (*deinit)();
    const void* (*get_factory)(const char* factory_id);
};

struct clap_plugin_descriptor {
    struct clap_version clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;
};

struct clap_plugin_factory {
    std::uint32_t (*get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor* (*get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                           std::uint32_t index);
    const clap_plugin* (*create_plugin)(const clap_plugin_factory* factory, const clap_host* host,
                                        const char* plugin_id);
};

// Processing.

struct clap_event_header {
    std::uint32_t size;
    std::uint32_t time;
    std::uint16_t space_id;
    std::uint16_t type;
    std::uint32_t flags;
};

struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double value;
};

struct clap_event_param_mod {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double amount;
};

struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

struct clap_input_events {
    void* ctx;
    std::uint32_t (*size)(const clap_input_events* list);
    const clap_event_header* (*get)(const clap_input_events* list, std::uint32_t index);
};

struct clap_output_events {
    void* ctx;
    bool (*try_push)(const clap_output_events* list, const clap_event_header* event);
};

struct clap_audio_buffer {
    float** data32;
    double** data64;
    std::uint32_t channel_count;
    std::uint32_t latency;
    std::uint64_t constant_mask;
};

// Hosts that run free hand no transport; its fields are never read here.
struct clap_event_transport;

struct clap_process {
    std::int64_t steady_time;
    std::uint32_t frames_count;
    const clap_event_transport* transport;
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    std::uint32_t audio_inputs_count;
    std::uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

// The plug-in and the host.

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool (*init)(const clap_plugin* plugin);
    void (*destroy)(const clap_plugin* plugin);
    bool (*activate)(const clap_plugin* plugin, double sample_rate, std::uint32_t min_frames_count,
                     std::uint32_t max_frames_count);
    void (*deactivate)(const clap_plugin* plugin);
    bool (*start_processing)(const clap_plugin* plugin);
    void (*stop_processing)(const clap_plugin* plugin);
    void (*reset)(const clap_plugin* plugin);
    clap_process_status (*process)(const clap_plugin* plugin, const clap_process* process);
    const void* (*get_extension)(const clap_plugin* plugin, const char* id);
    void (*on_main_thread)(const clap_plugin* plugin);
};

struct clap_host {
    struct clap_version clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void* (*get_extension)(const clap_host* host, const char* extension_id);
    void (*request_restart)(const clap_host* host);
    void (*request_process)(const clap_host* host);
    void (*request_callback)(const clap_host* host);
};

// Parameters.

struct clap_param_info {
    clap_id id;
    std::uint32_t flags;
    void* cookie;
    char name[CLAP_NAME_SIZE];
    char module[CLAP_PATH_SIZE];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    std::uint32_t (*count)(const clap_plugin* plugin);
    bool (*get_info)(const clap_plugin* plugin, std::uint32_t param_index,
                     clap_param_info* param_info);
    bool (*get_value)(const clap_plugin* plugin, clap_id param_id, double* out_value);
    bool (*value_to_text)(const clap_plugin* plugin, clap_id param_id, double value,
                          char* out_buffer, std::uint32_t out_buffer_capacity);
    bool (*text_to_value)(const clap_plugin* plugin, clap_id param_id, const char* param_value_text,
                          double* out_value);
    void (*flush)(const clap_plugin* plugin, const clap_input_events* in,
                  const clap_output_events* out);
};

struct clap_host_params {
    void (*rescan)(const clap_host* host, std::uint32_t flags);
    void (*clear)(const clap_host* host, clap_id param_id, std::uint32_t flags);
    void (*request_flush)(const clap_host* host);
};

// Audio ports.

struct clap_audio_port_info {
    clap_id id;
    char name[CLAP_NAME_SIZE];
    std::uint32_t flags;
    std::uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;
};

struct clap_plugin_audio_ports {
    std::uint32_t (*count)(const clap_plugin* plugin, bool is_input);
    bool (*get)(const clap_plugin* plugin, std::uint32_t index, bool is_input,
                clap_audio_port_info* info);
};

struct clap_host_audio_ports {
    bool (*is_rescan_flag_supported)(const clap_host* host, std::uint32_t flag);
    void (*rescan)(const clap_host* host, std::uint32_t flags);
};

// State.

struct clap_istream {
    void* ctx;
    std::int64_t (*read)(const clap_istream* stream, void* buffer, std::uint64_t size);
};

struct clap_ostream {
    void* ctx;
    std::int64_t (*write)(const clap_ostream* stream, const void* buffer, std::uint64_t size);
};

struct clap_plugin_state {
    bool (*save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool (*load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_host_state {
    void (*mark_dirty)(const clap_host* host);
};

// The embedded editor.

struct clap_window {
    const char* api;
    union {
        void* cocoa;
        void* uikit;
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    std::uint32_t aspect_ratio_width;
    std::uint32_t aspect_ratio_height;
};

struct clap_plugin_gui {
    bool (*is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    bool (*get_preferred_api)(const clap_plugin* plugin, const char** api, bool* is_floating);
    bool (*create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void (*destroy)(const clap_plugin* plugin);
    bool (*set_scale)(const clap_plugin* plugin, double scale);
    bool (*get_size)(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool (*can_resize)(const clap_plugin* plugin);
    bool (*get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    bool (*adjust_size)(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool (*set_size)(const clap_plugin* plugin, std::uint32_t width, std::uint32_t height);
    bool (*set_parent)(const clap_plugin* plugin, const clap_window* window);
    bool (*set_transient)(const clap_plugin* plugin, const clap_window* window);
    void (*suggest_title)(const clap_plugin* plugin, const char* title);
    bool (*show)(const clap_plugin* plugin);
    bool (*hide)(const clap_plugin* plugin);
};

struct clap_host_gui {
    void (*resize_hints_changed)(const clap_host* host);
    bool (*request_resize)(const clap_host* host, std::uint32_t width, std::uint32_t height);
    bool (*request_show)(const clap_host* host);
    bool (*request_hide)(const clap_host* host);
    void (*closed)(const clap_host* host, bool was_destroyed);
};

// Timers and file descriptors.

struct clap_plugin_timer_support {
    void (*on_timer)(const clap_plugin* plugin, clap_id timer_id);
};

struct clap_host_timer_support {
    bool (*register_timer)(const clap_host* host, std::uint32_t period_ms, clap_id* timer_id);
    bool (*unregister_timer)(const clap_host* host, clap_id timer_id);
};

struct clap_plugin_posix_fd_support {
    void (*on_fd)(const clap_plugin* plugin, int fd, std::uint32_t flags);
};

struct clap_host_posix_fd_support {
    bool (*register_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool (*modify_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool (*unregister_fd)(const clap_host* host, int fd);
};

// Latency, tail, render mode, log and thread check.

struct clap_plugin_latency {
    std::uint32_t (*get)(const clap_plugin* plugin);
};

struct clap_host_latency {
    void (*changed)(const clap_host* host);
};

struct clap_plugin_tail {
    std::uint32_t (*get)(const clap_plugin* plugin);
};

struct clap_host_tail {
    void (*changed)(const clap_host* host);
};

struct clap_plugin_render {
    bool (*has_hard_realtime_requirement)(const clap_plugin* plugin);
    bool (*set)(const clap_plugin* plugin, std::int32_t mode);
};

struct clap_host_log {
    void (*log)(const clap_host* host, std::int32_t severity, const char* msg);
};

struct clap_host_thread_check {
    bool (*is_main_thread)(const clap_host* host);
    bool (*is_audio_thread)(const clap_host* host);
};

// The layout checks, for x86-64 and i686.

namespace clapabi {
constexpr bool k64 = sizeof(void*) == 8;
constexpr size_t At(size_t offset64, size_t offset32) {
    return k64 ? offset64 : offset32;
}
} // namespace clapabi

#define KVX_CLAP_SIZE(record, at64, at32)                                                          \
    static_assert(sizeof(record) == clapabi::At(at64, at32), #record " size")
#define KVX_CLAP_OFFSET(record, field, at64, at32)                                                 \
    static_assert(offsetof(record, field) == clapabi::At(at64, at32), #record "." #field)

KVX_CLAP_SIZE(clap_version, 12, 12);
KVX_CLAP_OFFSET(clap_version, major, 0, 0);
KVX_CLAP_OFFSET(clap_version, minor, 4, 4);
KVX_CLAP_OFFSET(clap_version, revision, 8, 8);

KVX_CLAP_SIZE(clap_plugin_entry, 40, 24);
KVX_CLAP_OFFSET(clap_plugin_entry, clap_version, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_entry, init, 16, 12);
KVX_CLAP_OFFSET(clap_plugin_entry, deinit, 24, 16);
KVX_CLAP_OFFSET(clap_plugin_entry, get_factory, 32, 20);

KVX_CLAP_SIZE(clap_plugin_factory, 24, 12);
KVX_CLAP_OFFSET(clap_plugin_factory, get_plugin_count, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_factory, get_plugin_descriptor, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_factory, create_plugin, 16, 8);

KVX_CLAP_SIZE(clap_plugin_descriptor, 88, 48);
KVX_CLAP_OFFSET(clap_plugin_descriptor, clap_version, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_descriptor, id, 16, 12);
KVX_CLAP_OFFSET(clap_plugin_descriptor, name, 24, 16);
KVX_CLAP_OFFSET(clap_plugin_descriptor, vendor, 32, 20);
KVX_CLAP_OFFSET(clap_plugin_descriptor, url, 40, 24);
KVX_CLAP_OFFSET(clap_plugin_descriptor, manual_url, 48, 28);
KVX_CLAP_OFFSET(clap_plugin_descriptor, support_url, 56, 32);
KVX_CLAP_OFFSET(clap_plugin_descriptor, version, 64, 36);
KVX_CLAP_OFFSET(clap_plugin_descriptor, description, 72, 40);
KVX_CLAP_OFFSET(clap_plugin_descriptor, features, 80, 44);

KVX_CLAP_SIZE(clap_plugin, 96, 48);
KVX_CLAP_OFFSET(clap_plugin, desc, 0, 0);
KVX_CLAP_OFFSET(clap_plugin, plugin_data, 8, 4);
KVX_CLAP_OFFSET(clap_plugin, init, 16, 8);
KVX_CLAP_OFFSET(clap_plugin, destroy, 24, 12);
KVX_CLAP_OFFSET(clap_plugin, activate, 32, 16);
KVX_CLAP_OFFSET(clap_plugin, deactivate, 40, 20);
KVX_CLAP_OFFSET(clap_plugin, start_processing, 48, 24);
KVX_CLAP_OFFSET(clap_plugin, stop_processing, 56, 28);
KVX_CLAP_OFFSET(clap_plugin, reset, 64, 32);
KVX_CLAP_OFFSET(clap_plugin, process, 72, 36);
KVX_CLAP_OFFSET(clap_plugin, get_extension, 80, 40);
KVX_CLAP_OFFSET(clap_plugin, on_main_thread, 88, 44);

KVX_CLAP_SIZE(clap_host, 88, 48);
KVX_CLAP_OFFSET(clap_host, clap_version, 0, 0);
KVX_CLAP_OFFSET(clap_host, host_data, 16, 12);
KVX_CLAP_OFFSET(clap_host, name, 24, 16);
KVX_CLAP_OFFSET(clap_host, vendor, 32, 20);
KVX_CLAP_OFFSET(clap_host, url, 40, 24);
KVX_CLAP_OFFSET(clap_host, version, 48, 28);
KVX_CLAP_OFFSET(clap_host, get_extension, 56, 32);
KVX_CLAP_OFFSET(clap_host, request_restart, 64, 36);
KVX_CLAP_OFFSET(clap_host, request_process, 72, 40);
KVX_CLAP_OFFSET(clap_host, request_callback, 80, 44);

KVX_CLAP_SIZE(clap_process, 64, 40);
KVX_CLAP_OFFSET(clap_process, steady_time, 0, 0);
KVX_CLAP_OFFSET(clap_process, frames_count, 8, 8);
KVX_CLAP_OFFSET(clap_process, transport, 16, 12);
KVX_CLAP_OFFSET(clap_process, audio_inputs, 24, 16);
KVX_CLAP_OFFSET(clap_process, audio_outputs, 32, 20);
KVX_CLAP_OFFSET(clap_process, audio_inputs_count, 40, 24);
KVX_CLAP_OFFSET(clap_process, audio_outputs_count, 44, 28);
KVX_CLAP_OFFSET(clap_process, in_events, 48, 32);
KVX_CLAP_OFFSET(clap_process, out_events, 56, 36);

KVX_CLAP_SIZE(clap_audio_buffer, 32, 24);
KVX_CLAP_OFFSET(clap_audio_buffer, data32, 0, 0);
KVX_CLAP_OFFSET(clap_audio_buffer, data64, 8, 4);
KVX_CLAP_OFFSET(clap_audio_buffer, channel_count, 16, 8);
KVX_CLAP_OFFSET(clap_audio_buffer, latency, 20, 12);
KVX_CLAP_OFFSET(clap_audio_buffer, constant_mask, 24, 16);

KVX_CLAP_SIZE(clap_event_header, 16, 16);
KVX_CLAP_OFFSET(clap_event_header, size, 0, 0);
KVX_CLAP_OFFSET(clap_event_header, time, 4, 4);
KVX_CLAP_OFFSET(clap_event_header, space_id, 8, 8);
KVX_CLAP_OFFSET(clap_event_header, type, 10, 10);
KVX_CLAP_OFFSET(clap_event_header, flags, 12, 12);

KVX_CLAP_SIZE(clap_event_param_value, 56, 44);
KVX_CLAP_OFFSET(clap_event_param_value, header, 0, 0);
KVX_CLAP_OFFSET(clap_event_param_value, param_id, 16, 16);
KVX_CLAP_OFFSET(clap_event_param_value, cookie, 24, 20);
KVX_CLAP_OFFSET(clap_event_param_value, note_id, 32, 24);
KVX_CLAP_OFFSET(clap_event_param_value, port_index, 36, 28);
KVX_CLAP_OFFSET(clap_event_param_value, channel, 38, 30);
KVX_CLAP_OFFSET(clap_event_param_value, key, 40, 32);
KVX_CLAP_OFFSET(clap_event_param_value, value, 48, 36);

KVX_CLAP_SIZE(clap_event_param_mod, 56, 44);
KVX_CLAP_OFFSET(clap_event_param_mod, param_id, 16, 16);
KVX_CLAP_OFFSET(clap_event_param_mod, amount, 48, 36);

KVX_CLAP_SIZE(clap_event_param_gesture, 20, 20);
KVX_CLAP_OFFSET(clap_event_param_gesture, header, 0, 0);
KVX_CLAP_OFFSET(clap_event_param_gesture, param_id, 16, 16);

KVX_CLAP_SIZE(clap_input_events, 24, 12);
KVX_CLAP_OFFSET(clap_input_events, ctx, 0, 0);
KVX_CLAP_OFFSET(clap_input_events, size, 8, 4);
KVX_CLAP_OFFSET(clap_input_events, get, 16, 8);

KVX_CLAP_SIZE(clap_output_events, 16, 8);
KVX_CLAP_OFFSET(clap_output_events, ctx, 0, 0);
KVX_CLAP_OFFSET(clap_output_events, try_push, 8, 4);

KVX_CLAP_SIZE(clap_param_info, 1320, 1316);
KVX_CLAP_OFFSET(clap_param_info, id, 0, 0);
KVX_CLAP_OFFSET(clap_param_info, flags, 4, 4);
KVX_CLAP_OFFSET(clap_param_info, cookie, 8, 8);
KVX_CLAP_OFFSET(clap_param_info, name, 16, 12);
KVX_CLAP_OFFSET(clap_param_info, module, 272, 268);
KVX_CLAP_OFFSET(clap_param_info, min_value, 1296, 1292);
KVX_CLAP_OFFSET(clap_param_info, max_value, 1304, 1300);
KVX_CLAP_OFFSET(clap_param_info, default_value, 1312, 1308);

KVX_CLAP_SIZE(clap_plugin_params, 48, 24);
KVX_CLAP_OFFSET(clap_plugin_params, count, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_params, get_info, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_params, get_value, 16, 8);
KVX_CLAP_OFFSET(clap_plugin_params, value_to_text, 24, 12);
KVX_CLAP_OFFSET(clap_plugin_params, text_to_value, 32, 16);
KVX_CLAP_OFFSET(clap_plugin_params, flush, 40, 20);

KVX_CLAP_SIZE(clap_host_params, 24, 12);
KVX_CLAP_OFFSET(clap_host_params, rescan, 0, 0);
KVX_CLAP_OFFSET(clap_host_params, clear, 8, 4);
KVX_CLAP_OFFSET(clap_host_params, request_flush, 16, 8);

KVX_CLAP_SIZE(clap_audio_port_info, 288, 276);
KVX_CLAP_OFFSET(clap_audio_port_info, id, 0, 0);
KVX_CLAP_OFFSET(clap_audio_port_info, name, 4, 4);
KVX_CLAP_OFFSET(clap_audio_port_info, flags, 260, 260);
KVX_CLAP_OFFSET(clap_audio_port_info, channel_count, 264, 264);
KVX_CLAP_OFFSET(clap_audio_port_info, port_type, 272, 268);
KVX_CLAP_OFFSET(clap_audio_port_info, in_place_pair, 280, 272);

KVX_CLAP_SIZE(clap_plugin_audio_ports, 16, 8);
KVX_CLAP_OFFSET(clap_plugin_audio_ports, count, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_audio_ports, get, 8, 4);

KVX_CLAP_SIZE(clap_host_audio_ports, 16, 8);
KVX_CLAP_OFFSET(clap_host_audio_ports, is_rescan_flag_supported, 0, 0);
KVX_CLAP_OFFSET(clap_host_audio_ports, rescan, 8, 4);

KVX_CLAP_SIZE(clap_plugin_state, 16, 8);
KVX_CLAP_OFFSET(clap_plugin_state, save, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_state, load, 8, 4);

KVX_CLAP_SIZE(clap_istream, 16, 8);
KVX_CLAP_OFFSET(clap_istream, ctx, 0, 0);
KVX_CLAP_OFFSET(clap_istream, read, 8, 4);

KVX_CLAP_SIZE(clap_ostream, 16, 8);
KVX_CLAP_OFFSET(clap_ostream, ctx, 0, 0);
KVX_CLAP_OFFSET(clap_ostream, write, 8, 4);

KVX_CLAP_SIZE(clap_host_state, 8, 4);
KVX_CLAP_OFFSET(clap_host_state, mark_dirty, 0, 0);

KVX_CLAP_SIZE(clap_plugin_gui, 120, 60);
KVX_CLAP_OFFSET(clap_plugin_gui, is_api_supported, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_gui, get_preferred_api, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_gui, create, 16, 8);
KVX_CLAP_OFFSET(clap_plugin_gui, destroy, 24, 12);
KVX_CLAP_OFFSET(clap_plugin_gui, set_scale, 32, 16);
KVX_CLAP_OFFSET(clap_plugin_gui, get_size, 40, 20);
KVX_CLAP_OFFSET(clap_plugin_gui, can_resize, 48, 24);
KVX_CLAP_OFFSET(clap_plugin_gui, get_resize_hints, 56, 28);
KVX_CLAP_OFFSET(clap_plugin_gui, adjust_size, 64, 32);
KVX_CLAP_OFFSET(clap_plugin_gui, set_size, 72, 36);
KVX_CLAP_OFFSET(clap_plugin_gui, set_parent, 80, 40);
KVX_CLAP_OFFSET(clap_plugin_gui, set_transient, 88, 44);
KVX_CLAP_OFFSET(clap_plugin_gui, suggest_title, 96, 48);
KVX_CLAP_OFFSET(clap_plugin_gui, show, 104, 52);
KVX_CLAP_OFFSET(clap_plugin_gui, hide, 112, 56);

KVX_CLAP_SIZE(clap_gui_resize_hints, 12, 12);
KVX_CLAP_OFFSET(clap_gui_resize_hints, can_resize_horizontally, 0, 0);
KVX_CLAP_OFFSET(clap_gui_resize_hints, can_resize_vertically, 1, 1);
KVX_CLAP_OFFSET(clap_gui_resize_hints, preserve_aspect_ratio, 2, 2);
KVX_CLAP_OFFSET(clap_gui_resize_hints, aspect_ratio_width, 4, 4);
KVX_CLAP_OFFSET(clap_gui_resize_hints, aspect_ratio_height, 8, 8);

KVX_CLAP_SIZE(clap_window, 16, 8);
KVX_CLAP_OFFSET(clap_window, api, 0, 0);
KVX_CLAP_OFFSET(clap_window, x11, 8, 4);
KVX_CLAP_OFFSET(clap_window, ptr, 8, 4);

KVX_CLAP_SIZE(clap_host_gui, 40, 20);
KVX_CLAP_OFFSET(clap_host_gui, resize_hints_changed, 0, 0);
KVX_CLAP_OFFSET(clap_host_gui, request_resize, 8, 4);
KVX_CLAP_OFFSET(clap_host_gui, request_show, 16, 8);
KVX_CLAP_OFFSET(clap_host_gui, request_hide, 24, 12);
KVX_CLAP_OFFSET(clap_host_gui, closed, 32, 16);

KVX_CLAP_SIZE(clap_plugin_timer_support, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_timer_support, on_timer, 0, 0);
KVX_CLAP_SIZE(clap_host_timer_support, 16, 8);
KVX_CLAP_OFFSET(clap_host_timer_support, register_timer, 0, 0);
KVX_CLAP_OFFSET(clap_host_timer_support, unregister_timer, 8, 4);
KVX_CLAP_SIZE(clap_plugin_posix_fd_support, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_posix_fd_support, on_fd, 0, 0);
KVX_CLAP_SIZE(clap_host_posix_fd_support, 24, 12);
KVX_CLAP_OFFSET(clap_host_posix_fd_support, register_fd, 0, 0);
KVX_CLAP_OFFSET(clap_host_posix_fd_support, modify_fd, 8, 4);
KVX_CLAP_OFFSET(clap_host_posix_fd_support, unregister_fd, 16, 8);

KVX_CLAP_SIZE(clap_plugin_latency, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_latency, get, 0, 0);
KVX_CLAP_SIZE(clap_host_latency, 8, 4);
KVX_CLAP_OFFSET(clap_host_latency, changed, 0, 0);
KVX_CLAP_SIZE(clap_plugin_tail, 8, 4);
KVX_CLAP_OFFSET(clap_plugin_tail, get, 0, 0);
KVX_CLAP_SIZE(clap_host_tail, 8, 4);
KVX_CLAP_OFFSET(clap_host_tail, changed, 0, 0);
KVX_CLAP_SIZE(clap_plugin_render, 16, 8);
KVX_CLAP_OFFSET(clap_plugin_render, has_hard_realtime_requirement, 0, 0);
KVX_CLAP_OFFSET(clap_plugin_render, set, 8, 4);
KVX_CLAP_SIZE(clap_host_log, 8, 4);
KVX_CLAP_OFFSET(clap_host_log, log, 0, 0);
KVX_CLAP_SIZE(clap_host_thread_check, 16, 8);
KVX_CLAP_OFFSET(clap_host_thread_check, is_main_thread, 0, 0);
KVX_CLAP_OFFSET(clap_host_thread_check, is_audio_thread, 8, 4);

#undef KVX_CLAP_SIZE
#undef KVX_CLAP_OFFSET

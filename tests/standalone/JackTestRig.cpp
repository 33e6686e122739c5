#include "JackTestRig.h"

#include "WaitFor.h"

#include <jack/midiport.h>

#include <cerrno>
#include <cstring>

namespace {

jack_client_t* OpenClient(const char* name, const std::string& server) {
    jack_status_t status{};
    return jack_client_open(name, jack_options_t(JackNoStartServer | JackServerName), &status,
                            server.c_str());
}

} // namespace

std::unique_ptr<JackTestRig> JackTestRig::Open(const std::string& server, double seconds,
                                               std::string* why) {
    std::unique_ptr<JackTestRig> rig(new JackTestRig());
    rig->player_ = OpenClient("kvx-test-player", server);
    rig->recorder_ = OpenClient("kvx-test-recorder", server);
    if (!rig->player_ || !rig->recorder_) {
        *why = "the test clients could not connect to the server " + server;
        return nullptr;
    }
    const double rate = jack_get_sample_rate(rig->recorder_);
    for (auto& channel : rig->recording_) {
        channel.assign(std::size_t(seconds * rate), 0.0f);
    }
    rig->audioOut_ =
        jack_port_register(rig->player_, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    rig->midiOut_ =
        jack_port_register(rig->player_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    rig->audioIn_[0] =
        jack_port_register(rig->recorder_, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    rig->audioIn_[1] =
        jack_port_register(rig->recorder_, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(
        rig->player_,
        [](jack_nframes_t n, void* self) { return static_cast<JackTestRig*>(self)->PlayPeriod(n); },
        rig.get());
    jack_set_process_callback(
        rig->recorder_,
        [](jack_nframes_t n, void* self) {
            return static_cast<JackTestRig*>(self)->RecordPeriod(n);
        },
        rig.get());
    if (!rig->audioOut_ || !rig->midiOut_ || !rig->audioIn_[0] || !rig->audioIn_[1] ||
        jack_activate(rig->player_) != 0 || jack_activate(rig->recorder_) != 0) {
        *why = "the test clients could not start";
        return nullptr;
    }
    return rig;
}

JackTestRig::~JackTestRig() {
    for (jack_client_t* client : {player_, recorder_}) {
        if (client) {
            jack_deactivate(client);
            jack_client_close(client);
        }
    }
}

bool JackTestRig::ConnectTo(const std::string& client, std::string* why) {
    const std::string in = client + ":in";
    const bool appeared = WaitFor(
        [&] {
            return jack_port_by_name(player_, in.c_str()) &&
                   jack_port_by_name(player_, (client + ":midi_in").c_str());
        },
        10000);
    if (!appeared) {
        *why = client + " did not register its ports";
        return false;
    }
    const std::pair<std::string, std::string> wires[] = {
        {jack_port_name(audioOut_), in},
        {jack_port_name(midiOut_), client + ":midi_in"},
        {client + ":out_1", jack_port_name(audioIn_[0])},
        {client + ":out_2", jack_port_name(audioIn_[1])}};
    // The server connects only active clients: the ports may be there before the audio is.
    for (const auto& wire : wires) {
        const auto connected = [&] {
            const int result = jack_connect(player_, wire.first.c_str(), wire.second.c_str());
            return result == 0 || result == EEXIST;
        };
        if (!WaitFor(connected, 10000)) {
            *why = "cannot connect " + wire.first + " to " + wire.second;
            return false;
        }
    }
    return true;
}

bool JackTestRig::WaitForRecordedFrames(std::size_t frames, int timeoutMs) {
    const std::size_t target = recorded_.load() + frames;
    return WaitFor([&] { return recorded_.load() >= target; }, timeoutMs);
}

std::uint32_t JackTestRig::Play(const std::vector<float>& signal) {
    signal_ = signal;
    playRequested_.store(true, std::memory_order_release);
    WaitFor([&] { return playing_.load(std::memory_order_acquire); }, 10000);
    return playStart_.load();
}

bool JackTestRig::PlayThrough(const std::vector<float>& signal, std::vector<float>* left,
                              std::vector<float>* right) {
    const std::uint32_t start = Play(signal);
    if (!WaitUntilRecorded(start + std::uint32_t(signal.size()))) {
        return false;
    }
    *left = Recorded(0, start, signal.size());
    *right = Recorded(1, start, signal.size());
    return true;
}

std::uint32_t JackTestRig::SendController(int channel, int controller, int value) {
    const int index = posted_.load();
    Message& message = messages_[std::size_t(index)];
    message.bytes[0] = (unsigned char)(0xB0 | channel);
    message.bytes[1] = (unsigned char)(controller);
    message.bytes[2] = (unsigned char)(value);
    posted_.store(index + 1, std::memory_order_release);
    WaitFor([&] { return sent_.load(std::memory_order_acquire) > index; }, 10000);
    return message.sentAt;
}

bool JackTestRig::IndexOf(std::uint32_t frameTime, std::size_t* index) const {
    const int count = segmentCount_.load(std::memory_order_acquire);
    const std::size_t recorded = recorded_.load(std::memory_order_acquire);
    for (int s = count - 1; s >= 0; --s) {
        const Segment& segment = segments_[std::size_t(s)];
        const std::size_t end = s + 1 < count ? segments_[std::size_t(s) + 1].index : recorded;
        const std::size_t offset = std::uint32_t(frameTime - segment.frameTime);
        if (std::int32_t(frameTime - segment.frameTime) >= 0 && segment.index + offset <= end) {
            *index = segment.index + offset;
            return true;
        }
    }
    return false;
}

bool JackTestRig::WaitUntilRecorded(std::uint32_t end, int timeoutMs) {
    std::size_t index = 0;
    return WaitFor([&] { return IndexOf(end, &index); }, timeoutMs);
}

std::vector<float> JackTestRig::Recorded(int channel, std::uint32_t from,
                                         std::size_t frames) const {
    const std::vector<float>& all = recording_[std::size_t(channel)];
    std::size_t start = 0;
    std::size_t end = 0;
    if (!IndexOf(from, &start) || !IndexOf(from + std::uint32_t(frames), &end) ||
        end - start != frames) {
        return {};
    }
    return std::vector<float>(all.begin() + long(start), all.begin() + long(end));
}

int JackTestRig::PlayPeriod(jack_nframes_t frames) {
    const std::uint32_t now = jack_last_frame_time(player_);
    void* midi = jack_port_get_buffer(midiOut_, frames);
    jack_midi_clear_buffer(midi);
    const int posted = posted_.load(std::memory_order_acquire);
    for (int i = sent_.load(); i < posted; ++i) {
        Message& message = messages_[std::size_t(i)];
        jack_midi_event_write(midi, 0, message.bytes, 3);
        message.sentAt = now;
        sent_.store(i + 1, std::memory_order_release);
    }
    float* out = static_cast<float*>(jack_port_get_buffer(audioOut_, frames));
    if (playRequested_.load(std::memory_order_acquire)) {
        playRequested_.store(false);
        position_ = 0;
        playStart_.store(now);
        playing_.store(true, std::memory_order_release);
    }
    for (jack_nframes_t i = 0; i < frames; ++i) {
        const bool sounding =
            playing_.load(std::memory_order_relaxed) && position_ < signal_.size();
        out[i] = sounding ? signal_[position_++] : 0.0f;
    }
    return 0;
}

int JackTestRig::RecordPeriod(jack_nframes_t frames) {
    const std::uint32_t now = jack_last_frame_time(recorder_);
    const std::size_t recorded = recorded_.load(std::memory_order_relaxed);
    const int segments = segmentCount_.load(std::memory_order_relaxed);
    if (segments == 0 || now != nextFrameTime_) {
        if (segments == int(segments_.size())) {
            overflowed_.store(true);
            return 0;
        }
        segments_[std::size_t(segments)] = {now, recorded};
        segmentCount_.store(segments + 1, std::memory_order_release);
    }
    nextFrameTime_ = now + frames;
    const std::size_t room = recording_[0].size() - recorded;
    const std::size_t n = frames < room ? frames : room;
    if (n < frames) {
        overflowed_.store(true);
    }
    for (int c = 0; c < 2; ++c) {
        const float* in = static_cast<const float*>(jack_port_get_buffer(audioIn_[c], frames));
        std::memcpy(recording_[std::size_t(c)].data() + recorded, in, n * sizeof(float));
    }
    recorded_.store(recorded + n, std::memory_order_release);
    return 0;
}

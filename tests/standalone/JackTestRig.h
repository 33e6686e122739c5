#pragma once

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The test's side of the graph around kelvorantumix: a player that feeds it a signal and MIDI
// controller messages, and a recorder of its two outputs. They are two clients, so the graph
// has no loop and all three run in the same period: what the recorder gets at a frame time
// is what the player sent at that frame time, through the stompbox.
class JackTestRig {
public:
    // Null, with the reason, when the server does not take the clients.
    static std::unique_ptr<JackTestRig> Open(const std::string& server, double seconds,
                                             std::string* why);
    ~JackTestRig();
    JackTestRig(const JackTestRig&) = delete;
    JackTestRig& operator=(const JackTestRig&) = delete;

    // Waits for the client's ports, then wires player -> in, out_1/out_2 -> recorder and the
    // MIDI output to midi_in.
    bool ConnectTo(const std::string& client, std::string* why);
    // Waits until the recorder has taken frames frames more than it had.
    bool WaitForRecordedFrames(std::size_t frames, int timeoutMs = 20000);

    // Starts playing signal at the next period (once: a rig plays one signal); returns the frame
    // time of its first sample.
    std::uint32_t Play(const std::vector<float>& signal);
    // Plays signal (as Play) and waits for it to pass; the two outputs over it, or false.
    bool PlayThrough(const std::vector<float>& signal, std::vector<float>* left,
                     std::vector<float>* right);
    // Sends a controller message at the start of the next period; returns that frame time.
    std::uint32_t SendController(int channel, int controller, int value);
    // Waits until the recording reaches the frame time end.
    bool WaitUntilRecorded(std::uint32_t end, int timeoutMs = 20000);

    // frames frames of output channel (0 or 1) from the frame time from on.
    std::vector<float> Recorded(int channel, std::uint32_t from, std::size_t frames) const;
    // Times the frame time did not follow on from the last period. The server restarts its
    // clock when the period changes; a frame missed while running would be one too.
    int Jumps() const { return segmentCount_.load() - 1; }
    // Frames the recorder could not keep.
    bool Overflowed() const { return overflowed_.load(); }

    jack_client_t* Player() const { return player_; }

private:
    JackTestRig() = default;
    int PlayPeriod(jack_nframes_t frames);
    int RecordPeriod(jack_nframes_t frames);

    jack_client_t* player_ = nullptr;
    jack_client_t* recorder_ = nullptr;
    jack_port_t* audioOut_ = nullptr;
    jack_port_t* midiOut_ = nullptr;
    std::array<jack_port_t*, 2> audioIn_{};

    // Player: the signal and where it is; the messages posted and those sent.
    std::vector<float> signal_;
    std::atomic<bool> playRequested_{false};
    std::atomic<bool> playing_{false};
    std::atomic<std::uint32_t> playStart_{0};
    std::size_t position_ = 0;
    struct Message {
        unsigned char bytes[3];
        std::uint32_t sentAt;
    };
    std::array<Message, 64> messages_{};
    std::atomic<int> posted_{0};
    std::atomic<int> sent_{0};

    // Recorder: both channels, in stretches of frame times that follow on.
    std::array<std::vector<float>, 2> recording_;
    std::atomic<std::size_t> recorded_{0};
    struct Segment {
        std::uint32_t frameTime;
        std::size_t index;
    };
    std::array<Segment, 64> segments_{};
    std::atomic<int> segmentCount_{0};
    std::uint32_t nextFrameTime_ = 0;
    std::atomic<bool> overflowed_{false};

    // Where the frame time lies in the recording, when it was recorded.
    bool IndexOf(std::uint32_t frameTime, std::size_t* index) const;
};

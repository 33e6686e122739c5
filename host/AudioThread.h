#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// The host's audio thread: a thread of its own that runs one call at a time for the thread
// that hands it over and waits. Handing over allocates nothing.
class AudioThread {
public:
    AudioThread();
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // Runs call() on the audio thread and returns when it has; on the audio thread itself it
    // just runs it.
    template <class Call> void Run(Call& call) {
        if (IsCurrent()) {
            call();
            return;
        }
        RunJob([](void* c) { (*static_cast<Call*>(c))(); }, &call);
    }
    bool IsCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void RunJob(void (*job)(void*), void* data);
    void Loop();

    std::mutex mutex_;
    std::condition_variable changed_;
    void (*job_)(void*) = nullptr;
    void* data_ = nullptr;
    bool stop_ = false;
    std::thread thread_;
};

#include "host/AudioThread.h"

AudioThread::AudioThread() : thread_([this] { Loop(); }) {}

AudioThread::~AudioThread() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void AudioThread::RunJob(void (*job)(void*), void* data) {
    std::unique_lock<std::mutex> hold(mutex_);
    job_ = job;
    data_ = data;
    changed_.notify_all();
    changed_.wait(hold, [this] { return job_ == nullptr; });
}

void AudioThread::Loop() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return stop_ || job_ != nullptr; });
        if (job_) {
            job_(data_);
            job_ = nullptr;
            changed_.notify_all();
        } else if (stop_) {
            return;
        }
    }
}

#pragma once

#include <cstddef>
#include <vector>

// Sample buffers for one processing call, each placed so that its last sample ends exactly at
// an inaccessible page: a plug-in that reads or writes one sample too many faults at once,
// instead of quietly using the host's memory.
template <class Sample> class GuardedChannels {
public:
    GuardedChannels(int channels, int frames);
    ~GuardedChannels();
    GuardedChannels(const GuardedChannels&) = delete;
    GuardedChannels& operator=(const GuardedChannels&) = delete;

    // False when the pages could not be had.
    bool Valid() const { return valid_; }
    Sample** Pointers() { return pointers_.data(); }
    Sample* Channel(int c) { return pointers_[size_t(c)]; }

private:
    struct Mapping {
        void* base;
        size_t size;
    };
    std::vector<Mapping> mappings_;
    std::vector<Sample*> pointers_;
    bool valid_ = true;
};

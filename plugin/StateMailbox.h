#pragma once

#include "plugin/StateChunk.h"

#include <atomic>

// Hands the latest state chunk from the thread that changes the state (an LV2 plug-in's audio
// thread) to a thread that saves it, without either ever waiting for the other: three chunks,
// one being written, one being read and the latest finished one between them (a triple buffer).
// One writer and one reader at a time.
class StateMailbox {
public:
    // Gives every chunk room for bytes, so that filling any of them with as many allocates
    // nothing. Called before the writer and the reader start.
    void Reserve(int bytes) {
        for (StateChunk& chunk : chunks_) {
            chunk.Resize(bytes);
            chunk.Resize(0);
        }
    }
    // Writer: the chunk to fill next. Its contents are stale; it keeps its capacity, so once
    // every chunk has held a full state, refilling it allocates nothing.
    StateChunk& Draft() { return chunks_[draft_]; }
    // Writer: the draft becomes the latest chunk.
    void Publish() {
        draft_ = middle_.exchange(draft_ | kFresh, std::memory_order_acq_rel) & kIndex;
    }
    // Reader: the latest published chunk, which stays unchanged until the next call.
    const StateChunk& Latest() {
        if (middle_.load(std::memory_order_acquire) & kFresh) {
            reading_ = middle_.exchange(reading_, std::memory_order_acq_rel) & kIndex;
        }
        return chunks_[reading_];
    }

private:
    static constexpr int kIndex = 3;
    static constexpr int kFresh = 4;

    StateChunk chunks_[3];
    int draft_ = 0;
    std::atomic<int> middle_{1};
    int reading_ = 2;
};

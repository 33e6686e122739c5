#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

// One step of an edit made away from the audio thread, on its way there.
struct QueuedEdit {
    enum Kind : std::uint8_t { kGestureBegin, kValue, kGestureEnd };
    Kind kind = kValue;
    int paramIdx = 0;
    double value = 0.0; // plain, for kValue
};

// A bounded queue from any number of non-audio threads to one consumer that never waits: the
// producers take turns under a mutex, the consumer only reads and advances an atomic index.
// Nothing is allocated after construction.
class EditQueue {
public:
    static constexpr std::uint32_t kCapacity = 1024;

    // False when the queue is full; the edit is then not queued.
    bool Push(const QueuedEdit& edit) {
        std::lock_guard<std::mutex> hold(producers_);
        const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == kCapacity) {
            return false;
        }
        slots_[tail % kCapacity] = edit;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer only.
    bool Pop(QueuedEdit* edit) {
        const std::uint32_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) {
            return false;
        }
        *edit = slots_[head % kCapacity];
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    std::mutex producers_;
    std::atomic<std::uint32_t> head_{0};
    std::atomic<std::uint32_t> tail_{0};
    QueuedEdit slots_[kCapacity];
};

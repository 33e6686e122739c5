#pragma once

#include <chrono>
#include <mutex>

// A lock the same thread may take again while holding it: host entries, editor edits and the
// effect's hooks nest on one plug-in object.
class RecursiveLock {
public:
    void Lock() { mutex_.lock(); }
    // True when the lock was taken; never waits.
    bool TryLock() { return mutex_.try_lock(); }
    // Waits at most the given time, queued for the lock like Lock, so a busy holder cannot
    // keep a waiting thread out by releasing and retaking it between the waiter's polls.
    // (Timed against the system clock: that wait is pthread_mutex_timedlock, which every thread
    // checker understands.)
    bool TryLockFor(std::chrono::microseconds wait) {
        return mutex_.try_lock_until(std::chrono::system_clock::now() + wait);
    }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_timed_mutex mutex_;
};

// Holds a RecursiveLock for the lifetime of the scope.
class ScopedLock {
public:
    explicit ScopedLock(RecursiveLock& lock) : lock_(lock) { lock_.Lock(); }
    ~ScopedLock() { lock_.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    RecursiveLock& lock_;
};

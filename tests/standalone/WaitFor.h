#pragma once

#include <chrono>
#include <thread>

// Polls until done() holds, for up to timeoutMs milliseconds; whether it did.
template <typename Done> bool WaitFor(Done done, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

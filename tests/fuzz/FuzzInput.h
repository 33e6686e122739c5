#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads typed values from the fuzzer's bytes; past the end everything reads as zero.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <class T> T Take() {
        T value{};
        const size_t n = sizeof(T) < Left() ? sizeof(T) : Left();
        if (n) {
            std::memcpy(&value, data_ + position_, n);
        }
        position_ += n;
        return value;
    }
    // Up to max bytes, as a pointer into the input (valid while the input lives).
    const std::uint8_t* TakeBytes(size_t max, size_t* taken) {
        *taken = max < Left() ? max : Left();
        const std::uint8_t* bytes = data_ + position_;
        position_ += *taken;
        return bytes;
    }
    size_t Left() const { return size_ - position_; }

private:
    const std::uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

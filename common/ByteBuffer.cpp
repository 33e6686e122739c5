#include "common/ByteBuffer.h"

#include <cstdlib>
#include <cstring>

ByteBuffer::ByteBuffer(size_t granularity) : granularity_(granularity ? granularity : 1) {}

ByteBuffer::~ByteBuffer() {
    std::free(bytes_);
}

bool ByteBuffer::Reserve(size_t n) {
    if (n <= capacity_) {
        return true;
    }
    const size_t steps = n / granularity_ + (n % granularity_ ? 1 : 0);
    if (steps > SIZE_MAX / granularity_) {
        return false;
    }
    const size_t capacity = steps * granularity_;
    void* grown = std::realloc(bytes_, capacity);
    if (!grown) {
        return false;
    }
    bytes_ = static_cast<std::uint8_t*>(grown);
    capacity_ = capacity;
    return true;
}

std::int64_t ByteBuffer::Resize(size_t n) {
    if (!Reserve(n)) {
        return -1;
    }
    const size_t previous = size_;
    if (n > size_) {
        std::memset(bytes_ + size_, 0, n - size_);
    }
    size_ = n;
    return static_cast<std::int64_t>(previous);
}

bool ByteBuffer::Append(const void* data, size_t n) {
    if (n > SIZE_MAX - size_ || !Reserve(size_ + n)) {
        return false;
    }
    if (n) {
        std::memcpy(bytes_ + size_, data, n);
    }
    size_ += n;
    return true;
}

#pragma once

#include <cstddef>
#include <cstdint>

// A growable heap byte buffer. Capacity grows in whole steps of the granularity and never
// shrinks, so a buffer sized once outside the audio thread is reused without allocating.
class ByteBuffer {
public:
    explicit ByteBuffer(size_t granularity = 4096);
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // Resizes to n bytes, keeping the existing bytes and zeroing any added ones. Returns the
    // previous size; on allocation failure the buffer is unchanged and the call returns -1.
    std::int64_t Resize(size_t n);
    // Appends n bytes copied from data. Returns false when the buffer cannot grow.
    bool Append(const void* data, size_t n);

    size_t Size() const { return size_; }
    // Null while the buffer is empty.
    std::uint8_t* Data() { return size_ ? bytes_ : nullptr; }
    const std::uint8_t* Data() const { return size_ ? bytes_ : nullptr; }

private:
    bool Reserve(size_t n);

    size_t granularity_;
    size_t size_ = 0;
    size_t capacity_ = 0;
    std::uint8_t* bytes_ = nullptr;
};

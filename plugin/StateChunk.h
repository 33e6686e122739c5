#pragma once

#include "common/ByteBuffer.h"

#include <cstdint>
#include <cstring>

// Serialized state: parameter values in program slots, and the blobs a host stores.
class StateChunk {
public:
    // Resizes to n bytes (added bytes are zero); returns the previous size, -1 on failure.
    std::int64_t Resize(int n) { return n < 0 ? -1 : bytes_.Resize(size_t(n)); }
    bool Append(const void* data, int n) { return n >= 0 && bytes_.Append(data, size_t(n)); }
    template <class T> bool Put(const T& value) { return Append(&value, int(sizeof value)); }

    // Copies n bytes at position into out and returns the position after them, or -1 when
    // fewer than n bytes are left (nothing is read then).
    int Read(void* out, int n, int position) const {
        if (position < 0 || n < 0 || std::int64_t(position) + n > Size()) {
            return -1;
        }
        std::memcpy(out, bytes_.Data() + position, size_t(n));
        return position + n;
    }
    template <class T> int Get(T* value, int position) const {
        return Read(value, int(sizeof *value), position);
    }

    int Size() const { return int(bytes_.Size()); }
    // Null while the chunk is empty.
    std::uint8_t* Data() { return bytes_.Data(); }
    const std::uint8_t* Data() const { return bytes_.Data(); }

private:
    ByteBuffer bytes_{4096};
};

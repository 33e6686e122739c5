#pragma once

#include <cstddef>

// Where a render's output goes.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Appends frames interleaved frames; false on a write error, with its text in Error().
    virtual bool Write(const double* interleaved, std::size_t frames) = 0;
    virtual const char* Error() const { return ""; }
};

#include "plugin/ClapStreams.h"

#include <cstdint>

bool WriteWholeStream(const clap_ostream* stream, const void* data, std::size_t size) {
    if (!stream || !stream->write) {
        return false;
    }
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const std::int64_t written = stream->write(stream, bytes + done, size - done);
        if (written <= 0 || std::uint64_t(written) > size - done) {
            return false;
        }
        done += std::size_t(written);
    }
    return true;
}

long long ReadStreamUpTo(const clap_istream* stream, void* data, std::size_t size) {
    if (!stream || !stream->read) {
        return -1;
    }
    std::uint8_t* bytes = static_cast<std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const std::int64_t read = stream->read(stream, bytes + done, size - done);
        if (read < 0 || std::uint64_t(read) > size - done) {
            return -1;
        }
        if (read == 0) {
            break;
        }
        done += std::size_t(read);
    }
    return (long long)done;
}

#include "host/validate/GuardedChannels.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

template <class Sample> GuardedChannels<Sample>::GuardedChannels(int channels, int frames) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t bytes = sizeof(Sample) * size_t(frames > 0 ? frames : 0);
    const size_t dataPages = (bytes + page - 1) / page;
    for (int c = 0; c < channels; ++c) {
        const size_t size = (dataPages + 1) * page;
        void* base =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) {
            valid_ = false;
            pointers_.push_back(nullptr);
            continue;
        }
        mappings_.push_back({base, size});
        std::uint8_t* guard = static_cast<std::uint8_t*>(base) + dataPages * page;
        if (mprotect(guard, page, PROT_NONE) != 0) {
            valid_ = false;
        }
        pointers_.push_back(reinterpret_cast<Sample*>(guard - bytes));
    }
}

template <class Sample> GuardedChannels<Sample>::~GuardedChannels() {
    for (const Mapping& mapping : mappings_) {
        munmap(mapping.base, mapping.size);
    }
}

template class GuardedChannels<float>;
template class GuardedChannels<double>;

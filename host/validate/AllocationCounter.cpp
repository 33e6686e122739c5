#include "host/validate/AllocationCounter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KVX_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KVX_SANITIZED 1
#endif

namespace {
thread_local bool tCounting = false;
thread_local long tAllocations = 0;
thread_local long tLocks = 0;
} // namespace

namespace allocation_counter {

void Start() {
    tAllocations = 0;
    tLocks = 0;
    tCounting = true;
}
void Stop() {
    tCounting = false;
}
long Allocations() {
    return tAllocations;
}
long Locks() {
    return tLocks;
}

#ifdef KVX_SANITIZED
bool Available() {
    return false;
}
#else
bool Available() {
    return true;
}
#endif

} // namespace allocation_counter

#ifndef KVX_SANITIZED

// glibc's own entry points, which these wrappers forward to.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

#define KVX_INTERPOSE extern "C" __attribute__((visibility("default")))

namespace {
inline void CountAllocation() {
    if (tCounting) {
        ++tAllocations;
    }
}
} // namespace

KVX_INTERPOSE void* malloc(size_t size) {
    CountAllocation();
    return __libc_malloc(size);
}

KVX_INTERPOSE void* calloc(size_t count, size_t size) {
    CountAllocation();
    return __libc_calloc(count, size);
}

KVX_INTERPOSE void* realloc(void* pointer, size_t size) {
    CountAllocation();
    return __libc_realloc(pointer, size);
}

KVX_INTERPOSE void free(void* pointer) {
    if (pointer) {
        CountAllocation();
    }
    __libc_free(pointer);
}

KVX_INTERPOSE int posix_memalign(void** result, size_t alignment, size_t size) {
    CountAllocation();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer) {
        return 12; // ENOMEM
    }
    *result = pointer;
    return 0;
}

KVX_INTERPOSE void* aligned_alloc(size_t alignment, size_t size) {
    CountAllocation();
    return __libc_memalign(alignment, size);
}

KVX_INTERPOSE void* memalign(size_t alignment, size_t size) {
    CountAllocation();
    return __libc_memalign(alignment, size);
}

namespace {
using MutexLock = int (*)(pthread_mutex_t*);
MutexLock gRealMutexLock = nullptr;

// Looked up once at start-up, before any counting, so the wrapper itself never calls dlsym.
__attribute__((constructor)) void FindRealMutexLock() {
    gRealMutexLock = reinterpret_cast<MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
}
} // namespace

KVX_INTERPOSE int pthread_mutex_lock(pthread_mutex_t* mutex) {
    if (tCounting) {
        ++tLocks;
    }
    if (!gRealMutexLock) {
        FindRealMutexLock();
    }
    return gRealMutexLock(mutex);
}

#endif

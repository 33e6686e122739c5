#pragma once

// Counts heap allocations and mutex locks made by the calling thread while counting is on.
// The counting works by interposing malloc and pthread_mutex_lock in this program; under a
// sanitizer, which owns the allocator, it is unavailable.
namespace allocation_counter {

bool Available();
void Start();
void Stop();
long Allocations();
long Locks();

} // namespace allocation_counter

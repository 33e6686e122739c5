#pragma once

// The trace entry point of the core's trace points. The delivered build discards every
// argument; a diagnostic build could route them to a log without touching the call sites.
inline void Trace(const char* /*function*/, int /*line*/, const char* /*format*/, ...) {}

// The current local time as "YYYYMMDD HH:MM " followed by the capital letters of the zone name.
// The text lives in one process-wide buffer that every call overwrites.
const char* TimeStamp();

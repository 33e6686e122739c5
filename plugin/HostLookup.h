#pragma once

#include "common/HostId.h"

// The host code for a product string: the first known name that occurs anywhere in the
// lower-cased text, or kHostUnknown.
HostId LookUpHost(const char* product);

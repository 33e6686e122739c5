#include "effect/FourWide.h"

bool HasFourWide() {
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

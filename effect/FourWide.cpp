#include "effect/FourWide.h"

bool HasFourWide() {
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

bool HasFourWide32() {
    static const bool has =
        HasFourWide() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    return has;
}

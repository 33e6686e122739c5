#pragma once

// Loops that run four doubles to a vector where the processor has AVX and two where it has only
// SSE2. Each element still gets exactly its scalar arithmetic (no fused multiply-add, no
// reordering), so both forms give the same bits.

// A function compiled for AVX; call it only where HasFourWide() says so.
#define KVX_FOUR_WIDE __attribute__((target("avx")))
// Inlined into each caller, so that its loops are vectorised for the caller's instruction set.
#define KVX_VECTORISED_IN_CALLER __attribute__((always_inline)) inline

bool HasFourWide();

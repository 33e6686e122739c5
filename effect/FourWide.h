#pragma once

// Loops that run four doubles to a vector where the processor has AVX and two where it has only
// SSE2. Each element still gets exactly its scalar arithmetic (no fused multiply-add, no
// reordering), so every form gives the same bits.

// A function compiled for AVX; call it only where HasFourWide() says so.
#define KVX_FOUR_WIDE __attribute__((target("avx")))
// The same with AVX-512VL's thirty-two vector registers, which let a long chain of four-wide
// state stay in registers; call it only where HasFourWide32() says so.
#define KVX_FOUR_WIDE_32 __attribute__((target("avx,avx512f,avx512vl")))
// Inlined into each caller, so that its loops are vectorised for the caller's instruction set.
#define KVX_VECTORISED_IN_CALLER __attribute__((always_inline)) inline
// The same for a lambda, placed after its parameter list.
#define KVX_INLINED_LAMBDA __attribute__((always_inline))

bool HasFourWide();
bool HasFourWide32();

// Four doubles as one value; the compiler maps its arithmetic onto whatever vectors the function
// using it is compiled for, lane by lane.
typedef double Double4 __attribute__((vector_size(32)));
// Four lane masks: all bits set (-1) or none (0).
typedef long long Mask4 __attribute__((vector_size(32)));

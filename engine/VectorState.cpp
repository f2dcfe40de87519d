#include "engine/VectorState.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

namespace {

__attribute__((target("avx"))) void ZeroUpper()
{
    _mm256_zeroupper();
}

// The instruction exists, and the system keeps the upper halves, only where
// the processor and the system support the wider vectors.
bool HasWideVectors()
{
    static const bool Has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return Has;
}

}  // namespace

void ClearUpperVectorState()
{
    if (HasWideVectors())
        ZeroUpper();
}

#else

void ClearUpperVectorState() {}

#endif

#include "cpu_features.h"

#if defined(_MSC_VER) && !defined(__clang__) && (defined(_M_X64) || defined(_M_IX86))
#include <immintrin.h>
#include <intrin.h>

static int detect_avx2() {
    int regs[4];
    __cpuid(regs, 0);
    if (regs[0] < 7)
        return 0;
    __cpuid(regs, 1);
    const int osxsave = 1 << 27, avx = 1 << 28;
    if ((regs[2] & (osxsave | avx)) != (osxsave | avx))
        return 0;
    // The OS must save both the XMM and the YMM state.
    if ((_xgetbv(0) & 6) != 6)
        return 0;
    __cpuidex(regs, 7, 0);
    return (regs[1] & (1 << 5)) != 0;
}
#elif defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// libgcc (and compiler-rt) report AVX2 only when XGETBV shows the OS saves
// the YMM state; MinGW links the same code.
static int detect_avx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? 1 : 0;
}
#else
static int detect_avx2() {
    return 0;
}
#endif

int Cpu_HasAvx2() {
    // Thread-safe initialisation: the exports may be called from any thread.
    static const int has_avx2 = detect_avx2();
    return has_avx2;
}

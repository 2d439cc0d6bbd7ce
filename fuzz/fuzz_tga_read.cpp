// libFuzzer entry: arbitrary bytes as a TGA file.
#include <cstdio>
#include <cstdlib>

#include "tga_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TgaHarnessResult result = TgaHarness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "tga fault: %s (TGA_ReadMemory returned %d)\n", result.fault, result.read);
        std::abort();
    }
    return 0;
}

// libFuzzer entry: arbitrary bytes as a .pk3 file.
#include <cstdio>
#include <cstdlib>

#include "pk3_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Pk3HarnessResult result = Pk3Harness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "pk3 fault: %s (Pk3_Open returned %d)\n", result.fault, result.opened);
        std::abort();
    }
    return 0;
}

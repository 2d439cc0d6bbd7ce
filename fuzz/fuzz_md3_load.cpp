// libFuzzer entry: arbitrary bytes as an MD3 file.
#include <cstdio>
#include <cstdlib>

#include "md3_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Md3HarnessResult result = Md3Harness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "md3 fault: %s (MD3_Load returned %d)\n", result.fault, result.loaded);
        std::abort();
    }
    return 0;
}

// libFuzzer entry: arbitrary bytes as a TGA file through tgaconv's decoder.
#include <cstdio>
#include <cstdlib>

#include "convert_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ConvertHarnessResult result = ConvertHarness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "tga convert fault: %s (TgaConvert_Memory returned %d)\n", result.fault, result.converted);
        std::abort();
    }
    return 0;
}

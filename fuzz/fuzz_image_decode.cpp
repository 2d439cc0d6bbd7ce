// libFuzzer entry: arbitrary bytes as a TGA, JPEG or PNG file of the game
// data (the first byte choosing which) through Image_Decode as compiled,
// stb_image included.
#include <cstdio>
#include <cstdlib>

#include "image_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ImageHarnessResult result = ImageHarness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "image decode fault: %s (Image_Decode returned %d)\n", result.fault, result.decoded);
        std::abort();
    }
    return 0;
}

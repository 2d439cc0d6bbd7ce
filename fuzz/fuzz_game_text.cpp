// libFuzzer entry: arbitrary bytes as a skin, a shader script and an
// animation config.
#include <cstdio>
#include <cstdlib>

#include "game_text_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    GameTextHarnessResult result = GameTextHarness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "game text fault: %s\n", result.fault);
        std::abort();
    }
    return 0;
}

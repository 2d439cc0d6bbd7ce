// libFuzzer entry: arbitrary bytes as a TGA file for all four uploads, in
// one Mesa off-screen context made at start-up.
#include <cstdio>
#include <cstdlib>

#include "support/gl_context.h"
#include "upload_harness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    static TestGlContext gl;
    if (!TestGl_Create(&gl, 64, 64)) {
        std::fprintf(stderr, "no Mesa context\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    UploadHarnessResult result = UploadHarness_Run(data, size);
    if (result.fault) {
        std::fprintf(stderr, "tga upload fault: %s\n", result.fault);
        std::abort();
    }
    return 0;
}

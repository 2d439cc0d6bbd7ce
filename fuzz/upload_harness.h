// One fuzz input through all four tga exports in a real Mesa context: the
// texture each returns must match what the header allows, every successful
// upload must leave the GL state it promises, and every failure must leave
// nothing allocated (LeakSanitizer sees the rest). Shared by the libFuzzer
// target and the regression replays.
#ifndef FUZZ_UPLOAD_HARNESS_H
#define FUZZ_UPLOAD_HARNESS_H

#include <cstddef>
#include <cstdint>

struct UploadHarnessResult {
    int uploaded;        // how many of the uploads (the 2D one twice) returned a texture
    const char *fault;   // null, or what was wrong
};

// Needs a current rendering context.
UploadHarnessResult UploadHarness_Run(const uint8_t *data, size_t size);

#endif

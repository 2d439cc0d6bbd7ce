// One fuzz input through the TGA header checks and every upload's verdict,
// the memory reader and, for 8-bit images, the height-map filter and both
// encodings that the bump-map uploads run before their GL calls. Shared by
// the libFuzzer target and the regression replays.
#ifndef FUZZ_TGA_HARNESS_H
#define FUZZ_TGA_HARNESS_H

#include <cstddef>
#include <cstdint>

struct TgaHarnessResult {
    int read;            // what TGA_ReadMemory returned (1 unread above the harness's size cap)
    const char *fault;   // null, or what was wrong with the result
};

TgaHarnessResult TgaHarness_Run(const uint8_t *data, size_t size);

#endif

// One fuzz input through tgaconv's decoder, with what the converter
// promises checked on every result: a refusal has a reason; a converted file
// is one that the library's reader takes at the size its header gives,
// stored bottom to top and left to right, converts again to itself
// unchanged, and keeps the pixel bytes of a file that the library already
// read. Shared by the libFuzzer target and the regression replays.
#ifndef FUZZ_CONVERT_HARNESS_H
#define FUZZ_CONVERT_HARNESS_H

#include <cstddef>
#include <cstdint>

struct ConvertHarnessResult {
    int converted;       // what TgaConvert_Memory returned (1 undecoded above the harness's size cap)
    const char *fault;   // null, or what was wrong with the result
};

ConvertHarnessResult ConvertHarness_Run(const uint8_t *data, size_t size);

#endif

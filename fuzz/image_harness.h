// One fuzz input through the game data's image decoding, its first byte
// choosing the name (image_harness_names) and the rest the file's bytes,
// with what Image_Decode promises checked on every result: a refusal has a
// reason and leaves nothing allocated; a decoded image is a file that the
// library's reader takes as it is, within the decoder's size limits, stored
// bottom to top with alpha bits only at 32 bits, and that the converter
// leaves unchanged. Shared by the libFuzzer target and the regression
// replays.
#ifndef FUZZ_IMAGE_HARNESS_H
#define FUZZ_IMAGE_HARNESS_H

#include <cstddef>
#include <cstdint>

// The names, by the first byte's value modulo their count.
const char *const image_harness_names[] = {"input.tga", "input.jpg", "input.png"};
const int image_harness_name_count = 3;

struct ImageHarnessResult {
    int decoded;         // what Image_Decode returned
    const char *fault;   // null, or what was wrong with the result
};

ImageHarnessResult ImageHarness_Run(const uint8_t *data, size_t size);

#endif

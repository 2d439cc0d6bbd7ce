// One fuzz input through the MD3 loader: load it from a file, check that
// whatever came back can be used safely by the by-name operations and the
// surface drawing, then release it. Shared by the libFuzzer target and the
// regression replays in the host test suite.
#ifndef FUZZ_MD3_HARNESS_H
#define FUZZ_MD3_HARNESS_H

#include <cstddef>
#include <cstdint>

struct Md3HarnessResult {
    int loaded;          // what MD3_Load returned
    const char *fault;   // null, or what was wrong with the loaded record
};

Md3HarnessResult Md3Harness_Run(const uint8_t *data, size_t size);

#endif

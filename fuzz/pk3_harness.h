// One fuzz input through the .pk3 reader: written to a file, opened as an
// archive, and every member read. Shared by the libFuzzer target and the
// regression replays in the host test suite.
#ifndef FUZZ_PK3_HARNESS_H
#define FUZZ_PK3_HARNESS_H

#include <cstddef>
#include <cstdint>

struct Pk3HarnessResult {
    int opened;          // what Pk3_Open returned
    int members_read;    // members that Pk3_Read gave
    const char *fault;   // null, or what broke the reader's promises
};

Pk3HarnessResult Pk3Harness_Run(const uint8_t *data, size_t size);

#endif

// The readers take file names, so every fuzz input goes through a file of
// its own per process, in TMPDIR (/tmp when unset; scripts/fuzz.sh points
// it at /dev/shm to spare the disk).
#ifndef FUZZ_FUZZ_FILE_H
#define FUZZ_FUZZ_FILE_H

#include <cstddef>
#include <cstdint>

// Writes the bytes to this process's temporary file with the given suffix
// and returns its path (static storage, valid until the next call), or
// null when the file cannot be written.
const char *FuzzFile_Write(const uint8_t *data, size_t size, const char *suffix);

// Removes the file last written with that suffix.
void FuzzFile_Remove(const char *suffix);

#endif

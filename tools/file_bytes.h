// Whole-file output for the writers.
#ifndef TOOLS_FILE_BYTES_H
#define TOOLS_FILE_BYTES_H

#include <cstdint>
#include <vector>

// Writes the bytes to a file; 1 when all of them reached it, 0 otherwise.
int FileBytes_Save(const char *path, const std::vector<uint8_t> &bytes);

#endif

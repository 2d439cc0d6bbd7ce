// Writes uncompressed TGA files for the sample data, tests and benchmarks.
#ifndef TOOLS_TGA_WRITER_H
#define TOOLS_TGA_WRITER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The 18-byte header (no image ID, no colour map) followed by the pixel
// bytes exactly as given: rows in file order, BGR(A) or one byte per pixel.
std::vector<uint8_t> TgaWriter_Encode(uint8_t image_type, int width, int height,
                                      uint8_t bits_per_pixel, const uint8_t *pixels,
                                      size_t pixel_bytes, uint8_t descriptor = 0);

// Writes the bytes to a file; 1 on success, 0 on failure.
int TgaWriter_Save(const char *path, const std::vector<uint8_t> &bytes);

#endif

// Writes uncompressed TGA files for the sample data, tests and benchmarks.
#ifndef TOOLS_TGA_WRITER_H
#define TOOLS_TGA_WRITER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Every field of the 18-byte header, for files with an image ID or a
// colour map too. Sizes and map numbers are written as 16-bit little-endian
// values, negative ones as their two's complement.
struct TgaWriterHeader {
    uint8_t id_length;
    uint8_t map_type;
    uint8_t image_type;
    int map_first;
    int map_length;
    uint8_t map_bits;
    int width;
    int height;
    uint8_t bits_per_pixel;
    uint8_t descriptor;
};

// The header followed by `rest` exactly as given: the image ID, the colour
// map, the pixel data and whatever follows them.
std::vector<uint8_t> TgaWriter_EncodeHeader(const TgaWriterHeader &header, const uint8_t *rest,
                                            size_t rest_bytes);

// The 18-byte header (no image ID, no colour map) followed by the pixel
// bytes exactly as given: rows in file order, BGR(A) or one byte per pixel.
std::vector<uint8_t> TgaWriter_Encode(uint8_t image_type, int width, int height,
                                      uint8_t bits_per_pixel, const uint8_t *pixels,
                                      size_t pixel_bytes, uint8_t descriptor = 0);

// Writes the bytes to a file; 1 on success, 0 on failure.
int TgaWriter_Save(const char *path, const std::vector<uint8_t> &bytes);

#endif

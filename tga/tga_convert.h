// Converting any TGA file into the form that the tga library reads and shows
// the right way up: type 2 at 24 or 32 bits, or type 3 at 8 bits, with no
// image ID and no colour map, rows bottom to top and pixels left to right.
// Everything works on bytes in memory. Refusals give one short line, in the
// reader's wording where the cause is the same (tga_read.h), in a buffer of
// tga_reason_size bytes (null: not wanted). Nothing here keeps state.
#ifndef TGA_TGA_CONVERT_H
#define TGA_TGA_CONVERT_H

#include <cstddef>
#include <cstdint>

#include "tga_read.h"

// What the 18-byte header says, and the form the converted file takes.
struct TgaConvertHeader {
    int id_length;
    int map_type;          // 1: a colour map follows the image ID
    int image_type;        // 1, 2, 3, 9, 10 or 11
    int map_first;         // index of the map's first entry
    int map_length;        // entries in the map
    int map_entry_bits;    // 15, 16, 24 or 32 for a map that is used
    int width;
    int height;
    int bits_per_pixel;
    int descriptor;
    uint64_t map_offset;   // where the colour map starts in the file
    uint64_t data_offset;  // where the pixel data starts
    int out_type;          // tga_type_true_colour or tga_type_grayscale
    int out_bits;          // 8, 24 or 32
    int library_reads;     // 1: tga.dll reads the file as it is, bottom to top and left to right
};

// The header of a file of file_size bytes, from its first bytes (as many as
// the file has, up to tga_header_size), into header: 1 when the converter
// takes it, 0 with a reason otherwise. It judges what the header and the
// length can tell: the type and depths, the output size against
// TGA_MAX_UPLOAD_BYTES, an image ID, colour map or uncompressed pixel data
// that the file is too short to hold, and run-length data too short for the
// pixels claimed (a packet of 1 + pixel-size bytes holds at most 128).
int TgaConvert_CheckHeader(const uint8_t *bytes, uint64_t file_size, TgaConvertHeader *header, char *reason);

// A converted file: its bytes (C heap, the caller frees them) and whether its
// pixel bytes are the source's own, the file being one that the library
// already reads (only its header may differ).
struct TgaConverted {
    uint8_t *bytes;
    size_t size;
    int unchanged;
};

// The file in bytes .. bytes + size converted into *converted: 1, or 0 with a
// reason and nothing allocated. The header is checked before anything is
// allocated; the pixel data must be whole (no pixel is invented), every
// packet inside the image and every index inside the colour map. An image
// ID, the colour map of a type 2 or 3 file and whatever follows the pixel
// data (a TGA 2.0 extension area and footer) are not kept.
int TgaConvert_Memory(const uint8_t *bytes, size_t size, TgaConverted *converted, char *reason);

// The tga_header_size bytes at `header` of a file in the form above, its
// pixels following bottom to top: type 3 at 8 bits, otherwise type 2 at 24
// or 32 bits (eight of them alpha), no image ID and no colour map. Width
// and height are at most 32767.
void TgaConvert_WriteHeader(uint8_t *header, int width, int height, int bits);

#endif

// Reading uncompressed TGA files into memory, inside the tga library.
#ifndef TGA_TGA_READ_H
#define TGA_TGA_READ_H

#include <cstdint>

#include "tga.h"

// Header fields and pixel data of one TGA file. The pixel bytes are kept
// exactly as stored: rows in file order, B,G,R(,A) or one byte per pixel.
struct TgaImage {
    uint8_t id_length;
    uint8_t color_map_type;
    uint8_t image_type;
    int16_t x_origin;
    int16_t y_origin;
    int16_t width;
    int16_t height;
    uint8_t bits_per_pixel;
    uint8_t descriptor;
    uint8_t *pixels;   // C heap, the caller frees it; null when not read
};

// Bytes of pixel data for a depth the reader accepts (8, 24, 32); 0 for any
// other depth. Never overflows: the largest image is 32767 x 32767 x 4.
uint64_t TGA_PixelBytes(int width, int height, int bits_per_pixel);

// Zero bytes kept after a pixel buffer that may go to gluBuild2DMipmaps:
// GLU's rescaling of a size that is not a power of two reads up to one pixel
// past the last row, so a row and a 4-byte pixel of slack keep that read
// inside the block. The slack is never part of the image.
uint64_t TGA_BufferSlack(int width, int bytes_per_pixel);

// Reads file_name into image. 0 when the file cannot be opened, is shorter
// than its header, is not an uncompressed true-colour/grayscale image without
// ID and colour map, has a negative size, or its buffer cannot be allocated;
// nothing is then left allocated or open. 0 as well, before any pixel data
// is read, when width * height * upload_bytes_per_pixel exceeds
// TGA_MAX_UPLOAD_BYTES: the caller will hand that many bytes per pixel to GL
// (0 stands for the image's own bytes per pixel). 1 otherwise: at 8, 24 and
// 32 bits `pixels` holds the data (bytes missing from a truncated file are
// zero), followed by TGA_BufferSlack zero bytes; at any other depth `pixels`
// is null.
int TGA_Read(const char *file_name, TgaImage *image, int upload_bytes_per_pixel = 0);

#endif

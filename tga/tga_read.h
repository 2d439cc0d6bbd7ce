// Reading uncompressed TGA files into memory, inside the tga library. Every
// function that refuses a file can say why: given a buffer of
// tga_reason_size bytes it writes one short line there (null: not wanted).
// Failures of the system have reasons of their own, never a verdict on the
// file: "out of memory (N bytes)" (N the whole request), "file cannot be
// read", "file cannot be opened: " and the system's text for errno.
// Nothing here keeps state, so any thread may call it.
#ifndef TGA_TGA_READ_H
#define TGA_TGA_READ_H

#include <cstddef>
#include <cstdint>

#include "tga.h"

// The fixed header that every file starts with.
const size_t tga_header_size = 18;

// Room for a refusal reason, its NUL included.
const size_t tga_reason_size = 96;

// Image types of the format (header byte 2). The reader reads the two
// uncompressed ones without a colour map; the others are named in its
// reasons.
const uint8_t tga_type_colour_mapped = 1;
const uint8_t tga_type_true_colour = 2;
const uint8_t tga_type_grayscale = 3;
const uint8_t tga_type_rle_colour_mapped = 9;
const uint8_t tga_type_rle_true_colour = 10;
const uint8_t tga_type_rle_grayscale = 11;

// Descriptor bit 5 (header byte 17): the first row stored is the image's
// top. The reader keeps rows in file order all the same.
const uint8_t tga_descriptor_top_to_bottom = 0x20;

// "true-colour", "run-length encoded" ... for the types above; null for
// any other.
const char *TGA_TypeName(int image_type);

// Writes a refusal's reason into a buffer of tga_reason_size bytes when one
// is wanted (reason not null); returns 0, the result of every refusal.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int TGA_Refuse(char *reason, const char *format, ...);

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

// What each upload takes and how many bytes per texel it hands to GL, the
// measure of the size limit: the 2D image 8, 24 or 32 bits at the file's
// own bytes per pixel; cube faces 24 bits at 3; height maps 8 bits at
// tga_dot3_texel_bytes (RGB normals) or tga_dudv_texel_bytes (du, dv).
enum TgaUse { TGA_USE_IMAGE, TGA_USE_CUBE_FACE, TGA_USE_DOT3, TGA_USE_DUDV };
const int tga_use_count = 4;
const int tga_dot3_texel_bytes = 3;
const int tga_dudv_texel_bytes = 2;

// Bytes of pixel data for a depth the reader accepts (8, 24, 32); 0 for any
// other depth. Never overflows: the largest image is 32767 x 32767 x 4.
uint64_t TGA_PixelBytes(int width, int height, int bits_per_pixel);

// Zero bytes kept after a pixel buffer that may go to gluBuild2DMipmaps:
// GLU's rescaling of a size that is not a power of two reads up to one pixel
// past the last row, so a row and a 4-byte pixel of slack keep that read
// inside the block. The slack is never part of the image.
uint64_t TGA_BufferSlack(int width, int bytes_per_pixel);

// The header at the start of a file's size bytes, into header (pixels
// null). 0 when they are fewer than tga_header_size, or the image has an ID
// or a colour map, is not of type 2 or 3, or has a negative size; what any
// upload takes is TGA_UseTakes's business.
int TGA_ParseHeader(const uint8_t *bytes, size_t size, TgaImage *header, char *reason);

// The same from the start of file_name; 0 also when it cannot be opened or
// its header cannot be read, the record then left as it was. Reads nothing
// past the header.
int TGA_ReadHeader(const char *file_name, TgaImage *header, char *reason);

// 1 when `use` takes an image with a header that TGA_ParseHeader accepted:
// its depth, and width * height * the use's bytes per texel at most
// TGA_MAX_UPLOAD_BYTES.
int TGA_UseTakes(TgaUse use, const TgaImage *header, char *reason);

// The file in bytes .. bytes + size into image: 0 when TGA_ParseHeader or
// TGA_UseTakes refuses it, before any pixel data is read, or its buffer
// cannot be allocated; nothing is then left allocated. 1 otherwise, with
// `pixels` holding the data (bytes missing from a truncated file are zero),
// followed by TGA_BufferSlack zero bytes.
int TGA_ReadMemory(const uint8_t *bytes, size_t size, TgaImage *image, TgaUse use, char *reason);

// The same from file_name, its pixel data read straight into the buffer; 0
// also when it cannot be opened or its header cannot be read (the record is
// then left as it was), or its pixel data meets a read error (pixels null).
// A file that merely ends early is taken as above. Nothing is left open.
int TGA_Read(const char *file_name, TgaImage *image, TgaUse use = TGA_USE_IMAGE, char *reason = nullptr);

#endif

// The game data's images, decoded in memory into TGA files of the form that
// the tga library reads (tga/tga_convert.h): type 2 at 24 bits, or 32 bits
// when the image has alpha, or type 3 at 8 bits for grey, rows bottom to
// top. TGA files of every kind go through the converter; baseline JPEG and
// PNG through stb_image, compiled here for those two formats only (its
// progressive JPEG decoding is refused: unsafe on damaged data). Refusals
// give one short line in a buffer of tga_reason_size bytes (null: not
// wanted). Nothing here keeps state.
#ifndef GAME_IMAGE_H
#define GAME_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tga_read.h"

// The largest image decoded: each side at most image_max_side pixels and
// the whole at most image_max_pixels, checked from the header before any
// pixel is decoded. Game textures are 2048 pixels a side at most.
const int image_max_side = 8192;
const uint64_t image_max_pixels = uint64_t(4096) * 4096;

// A decoded image as the bytes of a whole TGA file (C heap, the caller
// frees them).
struct ImageTga {
    uint8_t *bytes;
    size_t size;
};

// The file `name` in bytes .. bytes + size, decoded by its name's extension
// (.tga, .jpg or .jpeg, .png, in any case) into *tga: 1, or 0 with a reason
// and nothing allocated. Refused besides what the formats' own decoders
// refuse, before stb_image reads a byte: an image over the limits above; a
// file whose content is not the kind its name says; a JPEG that
// JpegCheck_Judge refuses (game/jpeg_check.h); a PNG with a chunk running
// past the file's end, no IEND chunk, an empty first IDAT chunk or 16 bits
// per channel. stb_image 2.27 overruns its buffers, reads memory it never
// set or shifts past a value's width on those.
int Image_Decode(const uint8_t *bytes, size_t size, const char *name, ImageTga *tga, char *reason);

// The names under which the image `name` is looked for, in order: its own
// name first; then a name ending in .tga as .jpg and .png, one in .jpg as
// .tga and .png, one in .png as .tga and .jpg (the extension compared in
// any case, the replacements in lower case); a name without an extension
// as .tga, .jpg and .png. A name with any other extension is tried as it
// stands only. A dot before the last '/' or '\' is not an extension.
std::vector<std::string> Image_NamesToTry(const std::string &name);

#endif

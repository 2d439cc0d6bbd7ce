#include "image.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "jpeg_check.h"
#include "tga_convert.h"

// stb_image (Debian's libstb-dev, v2.27), compiled into this file alone
// with static functions and for JPEG and PNG only: no files, no HDR or
// float output. Its functions that this file does not call are unused.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192   // image_max_side, as a literal for the preprocessor
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#elif defined(_MSC_VER)
#pragma warning(push, 0)
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

namespace {

static_assert(STBI_MAX_DIMENSIONS == image_max_side, "stb_image's limit is the decoder's own");

enum ImageKind { KIND_UNKNOWN, KIND_TGA, KIND_JPEG, KIND_PNG };

const uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Where the IHDR chunk, first after the signature, holds the width and
// height (32-bit big-endian), and where they end.
const size_t png_width_at = 16;
const size_t png_height_at = 20;
const size_t png_size_end = 24;
// A chunk's length, type and CRC, 4 bytes each, around its data.
const size_t png_chunk_overhead = 12;

uint64_t read_uint32_be(const uint8_t *bytes) {
    return uint64_t(bytes[0]) << 24 | uint64_t(bytes[1]) << 16 | uint64_t(bytes[2]) << 8 | bytes[3];
}

// Where the extension's dot is: the last dot of the last path component;
// npos when there is none.
size_t extension_dot(const std::string &name) {
    size_t dot = name.find_last_of('.');
    size_t slash = name.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

bool same_text(const std::string &text, const char *lower) {
    if (text.size() != std::strlen(lower))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

ImageKind kind_of_name(const char *name) {
    std::string text = name ? name : "";
    size_t dot = extension_dot(text);
    std::string extension = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (same_text(extension, "tga"))
        return KIND_TGA;
    if (same_text(extension, "jpg") || same_text(extension, "jpeg"))
        return KIND_JPEG;
    if (same_text(extension, "png"))
        return KIND_PNG;
    return KIND_UNKNOWN;
}

// Walks a PNG's chunks from the signature to IEND. Each must lie whole in
// the file: stb_image 2.27 grows its buffer to a chunk's stated length
// before reading it, and copies from an empty first IDAT chunk into no
// buffer at all.
int check_png(const uint8_t *bytes, size_t size, char *reason) {
    size_t at = sizeof png_signature;
    bool image_data = false;
    for (;;) {
        if (size - at < png_chunk_overhead)
            return TGA_Refuse(reason, "truncated PNG (no IEND chunk)");
        uint64_t length = read_uint32_be(bytes + at);
        if (length > size - at - png_chunk_overhead)
            return TGA_Refuse(reason, "truncated PNG (chunk of %llu bytes cut short)",
                              static_cast<unsigned long long>(length));
        const uint8_t *type = bytes + at + 4;
        if (std::memcmp(type, "IEND", 4) == 0)
            return 1;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            if (length == 0 && !image_data)
                return TGA_Refuse(reason, "PNG's first IDAT chunk is empty");
            image_data = true;
        }
        at += png_chunk_overhead + size_t(length);
    }
}

int refuse_size(const char *kind, uint64_t width, uint64_t height, char *reason) {
    if (width > uint64_t(image_max_side) || height > uint64_t(image_max_side))
        return TGA_Refuse(reason, "%s of %llu x %llu pixels: a side is over %d", kind,
                          static_cast<unsigned long long>(width), static_cast<unsigned long long>(height),
                          image_max_side);
    return TGA_Refuse(reason, "%s of %llu x %llu pixels is over %llu pixels", kind,
                      static_cast<unsigned long long>(width), static_cast<unsigned long long>(height),
                      static_cast<unsigned long long>(image_max_pixels));
}

bool within_limits(uint64_t width, uint64_t height) {
    return width <= uint64_t(image_max_side) && height <= uint64_t(image_max_side) &&
           width * height <= image_max_pixels;
}

int decode_tga(const uint8_t *bytes, size_t size, ImageTga *tga, char *reason) {
    TgaConvertHeader header;
    if (!TgaConvert_CheckHeader(bytes, size, &header, reason))
        return 0;
    if (!within_limits(uint64_t(header.width), uint64_t(header.height)))
        return refuse_size("TGA", uint64_t(header.width), uint64_t(header.height), reason);
    TgaConverted converted;
    if (!TgaConvert_Memory(bytes, size, &converted, reason))
        return 0;
    tga->bytes = converted.bytes;
    tga->size = converted.size;
    return 1;
}

// RGBA rows top to bottom, as stb_image gives them, into a TGA file of
// `bits` bits per pixel: rows bottom to top, B, G, R (, A), or grey.
int write_tga(const uint8_t *rgba, int width, int height, int bits, ImageTga *tga, char *reason) {
    size_t out_bytes = size_t(bits / 8);
    size_t row = size_t(width) * out_bytes;
    size_t total = tga_header_size + row * size_t(height);
    uint8_t *out = static_cast<uint8_t *>(std::malloc(total));
    if (!out)
        return TGA_Refuse(reason, "out of memory (%llu bytes)", static_cast<unsigned long long>(total));
    TgaConvert_WriteHeader(out, width, height, bits);
    for (int y = 0; y < height; ++y) {
        const uint8_t *src = rgba + size_t(height - 1 - y) * size_t(width) * 4;
        uint8_t *dst = out + tga_header_size + size_t(y) * row;
        for (int x = 0; x < width; ++x, src += 4, dst += out_bytes) {
            if (bits == 8) {
                dst[0] = src[0];
                continue;
            }
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            if (bits == 32)
                dst[3] = src[3];
        }
    }
    tga->bytes = out;
    tga->size = total;
    return 1;
}

// A JPEG or PNG through stb_image, its header judged first.
int decode_stb(const uint8_t *bytes, size_t size, ImageKind kind, ImageTga *tga, char *reason) {
    const char *kind_name = kind == KIND_JPEG ? "JPEG" : "PNG";
    if (kind == KIND_PNG && (size < sizeof png_signature || std::memcmp(bytes, png_signature, sizeof png_signature)))
        return TGA_Refuse(reason, "not a PNG file (no PNG signature)");
    // Before stb_image reads any of it: its header reading takes Huffman
    // tables and PNG chunks too.
    if (kind == KIND_JPEG && !JpegCheck_Judge(bytes, size, reason))
        return 0;
    if (kind == KIND_PNG && !check_png(bytes, size, reason))
        return 0;
    if (size > size_t(INT_MAX))
        return TGA_Refuse(reason, "%s file of %llu bytes is over %d", kind_name,
                          static_cast<unsigned long long>(size), INT_MAX);
    // A PNG's size is in its first chunk (IHDR); stb_image's refusal of an
    // over-large one would not say so.
    if (kind == KIND_PNG && size >= png_size_end) {
        uint64_t png_width = read_uint32_be(bytes + png_width_at), png_height = read_uint32_be(bytes + png_height_at);
        if (!within_limits(png_width, png_height))
            return refuse_size(kind_name, png_width, png_height, reason);
    }
    int length = int(size), width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(bytes, length, &width, &height, &components))
        return TGA_Refuse(reason, "%s header refused: %s", kind_name, stbi_failure_reason());
    if (width <= 0 || height <= 0 || !within_limits(uint64_t(width), uint64_t(height)))
        return refuse_size(kind_name, uint64_t(width > 0 ? width : 0), uint64_t(height > 0 ? height : 0), reason);
    // stb_image 2.27's conversion of 16-bit channels to 8 bits can overrun.
    if (kind == KIND_PNG && stbi_is_16_bit_from_memory(bytes, length))
        return TGA_Refuse(reason, "PNG of 16 bits per channel is not read");

    int got_width = 0, got_height = 0, got_components = 0;
    uint8_t *rgba = stbi_load_from_memory(bytes, length, &got_width, &got_height, &got_components, 4);
    if (!rgba)
        return TGA_Refuse(reason, "%s refused: %s", kind_name, stbi_failure_reason());
    if (got_width != width || got_height != height) {
        stbi_image_free(rgba);
        return TGA_Refuse(reason, "%s decoded at %d x %d, not the %d x %d of its header", kind_name, got_width,
                          got_height, width, height);
    }
    // Alpha from the file's channels, or from a PNG's transparent colour,
    // which shows only in the decoded pixels.
    size_t pixels = size_t(width) * size_t(height);
    bool alpha = got_components == 2 || got_components == 4;
    for (size_t i = 0; !alpha && i < pixels; ++i)
        alpha = rgba[i * 4 + 3] != 255;
    int bits = alpha ? 32 : (got_components == 1 ? 8 : 24);
    int ok = write_tga(rgba, width, height, bits, tga, reason);
    stbi_image_free(rgba);
    return ok;
}

}  // namespace

int Image_Decode(const uint8_t *bytes, size_t size, const char *name, ImageTga *tga, char *reason) {
    tga->bytes = nullptr;
    tga->size = 0;
    ImageKind kind = kind_of_name(name);
    if (kind == KIND_UNKNOWN)
        return TGA_Refuse(reason, "not a .tga, .jpg or .png name");
    if (kind == KIND_TGA)
        return decode_tga(bytes, size, tga, reason);
    return decode_stb(bytes, size, kind, tga, reason);
}

std::vector<std::string> Image_NamesToTry(const std::string &name) {
    static const char *const kinds[] = {"tga", "jpg", "png"};
    size_t dot = extension_dot(name);
    std::vector<std::string> names;
    if (dot == std::string::npos) {
        for (const char *kind : kinds)
            names.push_back(name + "." + kind);
        return names;
    }
    names.push_back(name);
    std::string extension = name.substr(dot + 1), base = name.substr(0, dot + 1);
    for (const char *kind : kinds)
        if (same_text(extension, kind)) {
            for (const char *other : kinds)
                if (other != kind)
                    names.push_back(base + other);
            break;
        }
    return names;
}

#include "tga_read.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char *TGA_TypeName(int image_type) {
    switch (image_type) {
    case tga_type_colour_mapped:
        return "colour-mapped";
    case tga_type_true_colour:
        return "true-colour";
    case tga_type_grayscale:
        return "grayscale";
    case tga_type_rle_colour_mapped:
        return "run-length encoded colour-mapped";
    case tga_type_rle_true_colour:
        return "run-length encoded";
    case tga_type_rle_grayscale:
        return "run-length encoded grayscale";
    }
    return nullptr;
}

uint64_t TGA_PixelBytes(int width, int height, int bits_per_pixel) {
    uint64_t bytes_per_pixel = 0;
    if (bits_per_pixel == 8)
        bytes_per_pixel = 1;
    else if (bits_per_pixel == 24)
        bytes_per_pixel = 3;
    else if (bits_per_pixel == 32)
        bytes_per_pixel = 4;
    if (width <= 0 || height <= 0)
        return 0;
    return uint64_t(width) * uint64_t(height) * bytes_per_pixel;
}

uint64_t TGA_BufferSlack(int width, int bytes_per_pixel) {
    return uint64_t(width > 0 ? width : 0) * uint64_t(bytes_per_pixel > 0 ? bytes_per_pixel : 0) + 4;
}

int TGA_Refuse(char *reason, const char *format, ...) {
    if (reason) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(reason, tga_reason_size, format, args);
        va_end(args);
    }
    return 0;
}

static int16_t read_int16(const uint8_t *bytes) {
    return int16_t(uint16_t(bytes[0] | (bytes[1] << 8)));
}

int TGA_ParseHeader(const uint8_t *bytes, size_t size, TgaImage *header, char *reason) {
    header->pixels = nullptr;
    if (size < tga_header_size)
        return TGA_Refuse(reason, "file of %u bytes is shorter than its %u-byte header", unsigned(size),
                          unsigned(tga_header_size));
    header->id_length = bytes[0];
    header->color_map_type = bytes[1];
    header->image_type = bytes[2];
    // Bytes 3-7 describe a colour map, which no image read here has.
    header->x_origin = read_int16(bytes + 8);
    header->y_origin = read_int16(bytes + 10);
    header->width = read_int16(bytes + 12);
    header->height = read_int16(bytes + 14);
    header->bits_per_pixel = bytes[16];
    header->descriptor = bytes[17];

    if (header->id_length != 0)
        return TGA_Refuse(reason, "image ID present (length %d)", header->id_length);
    if (header->color_map_type != 0)
        return TGA_Refuse(reason, "colour map present (map type %d)", header->color_map_type);
    int type = header->image_type;
    if (type != tga_type_true_colour && type != tga_type_grayscale) {
        if (const char *name = TGA_TypeName(type))
            return TGA_Refuse(reason, "image type %d (%s) is not read", type, name);
        return TGA_Refuse(reason, "image type %d is not read", type);
    }
    // Sizes above 32767 read as negative: such files cannot be meant.
    if (header->width < 0)
        return TGA_Refuse(reason, "width %d is negative", header->width);
    if (header->height < 0)
        return TGA_Refuse(reason, "height %d is negative", header->height);
    return 1;
}

int TGA_UseTakes(TgaUse use, const TgaImage *header, char *reason) {
    int depth = header->bits_per_pixel;
    int texel_bytes = depth / 8;
    if (use == TGA_USE_IMAGE) {
        if (depth != 8 && depth != 24 && depth != 32)
            return TGA_Refuse(reason, "%d bits per pixel is not read", depth);
    } else if (use == TGA_USE_CUBE_FACE) {
        if (depth != 24)
            return TGA_Refuse(reason, "%d bits per pixel is not a cube face (24 bits)", depth);
    } else {
        if (depth != 8)
            return TGA_Refuse(reason, "%d bits per pixel is not a height map (8 bits)", depth);
        texel_bytes = use == TGA_USE_DOT3 ? tga_dot3_texel_bytes : tga_dudv_texel_bytes;
    }
    if (uint64_t(header->width) * uint64_t(header->height) * uint64_t(texel_bytes) > TGA_MAX_UPLOAD_BYTES)
        return TGA_Refuse(reason, "%d x %d x %d bytes is over TGA_MAX_UPLOAD_BYTES", header->width, header->height,
                          texel_bytes);
    return 1;
}

// Buffers up to this size are not zeroed when allocated: what the file
// does not supply and the slack are cleared after the read, which spares a
// complete file the clearing. Larger ones come zeroed from calloc, whose
// fresh pages cost nothing until touched, so that a short file that claims
// gigabytes commits none of them.
const uint64_t cleared_after_read = uint64_t(16) << 20;

// The pixel buffer of an image that `use` takes: *size bytes of pixel data
// and the slack, *allocated in all; null when refused. Never empty (the
// slack), so that an empty image still has a buffer.
static uint8_t *take_pixels(TgaUse use, const TgaImage *image, uint64_t *size, uint64_t *allocated, char *reason) {
    if (!TGA_UseTakes(use, image, reason))
        return nullptr;
    int depth = image->bits_per_pixel;
    *size = TGA_PixelBytes(image->width, image->height, depth);
    *allocated = *size + TGA_BufferSlack(image->width, depth / 8);
    void *pixels = nullptr;
    if (*allocated <= cleared_after_read)
        pixels = std::malloc(size_t(*allocated));
    else if (*allocated <= uint64_t(SIZE_MAX))
        pixels = std::calloc(size_t(*allocated), 1);
    // A size that size_t cannot hold is out of memory too, never truncated.
    if (!pixels)
        TGA_Refuse(reason, "out of memory (%llu bytes)", static_cast<unsigned long long>(*allocated));
    return static_cast<uint8_t *>(pixels);
}

// Zeros after the `filled` bytes that the file supplied, rather than heap
// garbage: a truncated file's missing bytes and the slack.
static void clear_unread(uint8_t *pixels, size_t filled, uint64_t allocated) {
    if (allocated <= cleared_after_read)
        std::memset(pixels + filled, 0, size_t(allocated) - filled);
}

int TGA_ReadMemory(const uint8_t *bytes, size_t size, TgaImage *image, TgaUse use, char *reason) {
    if (!TGA_ParseHeader(bytes, size, image, reason))
        return 0;
    uint64_t pixel_bytes = 0, allocated = 0;
    uint8_t *pixels = take_pixels(use, image, &pixel_bytes, &allocated, reason);
    if (!pixels)
        return 0;
    size_t present = size - tga_header_size;
    if (present > pixel_bytes)
        present = size_t(pixel_bytes);
    if (present)
        std::memcpy(pixels, bytes + tga_header_size, present);
    clear_unread(pixels, present, allocated);
    image->pixels = pixels;
    return 1;
}

// file_name opened and its header parsed into image: the file, at the
// pixel data; null with nothing left open when refused.
static FILE *open_header(const char *file_name, TgaImage *image, char *reason) {
    FILE *file = std::fopen(file_name, "rb");
    if (!file) {
        TGA_Refuse(reason, "file cannot be opened: %s", std::strerror(errno));
        return nullptr;
    }
    uint8_t header[tga_header_size];
    size_t got = std::fread(header, 1, sizeof header, file);
    // A directory opens on Linux but cannot be read.
    int parsed = got < sizeof header && std::ferror(file) ? TGA_Refuse(reason, "file cannot be read")
                                                           : TGA_ParseHeader(header, got, image, reason);
    if (!parsed) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

int TGA_ReadHeader(const char *file_name, TgaImage *header, char *reason) {
    FILE *file = open_header(file_name, header, reason);
    if (!file)
        return 0;
    std::fclose(file);
    return 1;
}

int TGA_Read(const char *file_name, TgaImage *image, TgaUse use, char *reason) {
    FILE *file = open_header(file_name, image, reason);
    if (!file)
        return 0;
    uint64_t size = 0, allocated = 0;
    uint8_t *pixels = take_pixels(use, image, &size, &allocated, reason);
    if (pixels) {
        // A file that ends early is taken, its missing bytes zero; one that
        // fails to read is not.
        size_t got = std::fread(pixels, 1, size_t(size), file);
        if (got < size && std::ferror(file)) {
            std::free(pixels);
            pixels = nullptr;
            TGA_Refuse(reason, "file cannot be read");
        } else {
            clear_unread(pixels, got, allocated);
        }
    }
    std::fclose(file);
    image->pixels = pixels;
    return pixels != nullptr;
}

#include "tga_read.h"

#include <cstdio>
#include <cstdlib>

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

static int16_t read_int16(const uint8_t *bytes) {
    return int16_t(uint16_t(bytes[0] | (bytes[1] << 8)));
}

static int refuse(FILE *file) {
    std::fclose(file);
    return 0;
}

int TGA_Read(const char *file_name, TgaImage *image, int upload_bytes_per_pixel) {
    FILE *file = std::fopen(file_name, "rb");
    if (!file)
        return 0;
    image->pixels = nullptr;

    // Bytes 0-2, then past the five colour-map bytes to bytes 8-17 in one
    // read. A file that ends inside the header is refused outright.
    uint8_t leading[3];
    if (std::fread(leading, 1, 3, file) != 3)
        return refuse(file);
    image->id_length = leading[0];
    image->color_map_type = leading[1];
    image->image_type = leading[2];
    if (std::fseek(file, 5, SEEK_CUR) != 0)
        return refuse(file);
    uint8_t fields[10];
    if (std::fread(fields, 1, 10, file) != 10)
        return refuse(file);
    image->x_origin = read_int16(fields + 0);
    image->y_origin = read_int16(fields + 2);
    image->width = read_int16(fields + 4);
    image->height = read_int16(fields + 6);
    image->bits_per_pixel = fields[8];
    image->descriptor = fields[9];

    if (image->id_length != 0 || image->color_map_type != 0)
        return refuse(file);
    if (image->image_type != 2 && image->image_type != 3)
        return refuse(file);
    // Sizes above 32767 read as negative: such files cannot be meant.
    if (image->width < 0 || image->height < 0)
        return refuse(file);

    int depth = image->bits_per_pixel;
    if (depth != 8 && depth != 24 && depth != 32) {
        std::fclose(file);
        return 1;
    }

    uint64_t size = TGA_PixelBytes(image->width, image->height, depth);
    const uint64_t texel_bytes = upload_bytes_per_pixel > 0 ? uint64_t(upload_bytes_per_pixel) : uint64_t(depth / 8);
    if (uint64_t(image->width) * uint64_t(image->height) * texel_bytes > TGA_MAX_UPLOAD_BYTES)
        return refuse(file);
    uint64_t allocated = size + TGA_BufferSlack(image->width, depth / 8);
    if (allocated > uint64_t(SIZE_MAX))
        return refuse(file);
    // Zeroed, so that bytes a truncated file does not supply are 0 rather
    // than heap garbage; never empty (the slack), so that an empty image
    // still has a buffer, unlike a depth that is not read.
    uint8_t *pixels = static_cast<uint8_t *>(std::calloc(size_t(allocated), 1));
    if (!pixels)
        return refuse(file);
    // A short read is not an error: the missing bytes stay zero.
    (void)std::fread(pixels, 1, size_t(size), file);
    std::fclose(file);
    image->pixels = pixels;
    return 1;
}

// TGA_UploadDOT3 and TGA_UploadDUDV: bump-mapping textures from 8-bit height
// maps.
#include "tga.h"

#include <cstdint>
#include <cstdlib>

#include "heightmap.h"
#include "tga_gl.h"
#include "tga_read.h"

// Reads an 8-bit height map for `use` and takes an output buffer of
// bytes_per_texel per texel. 1 with both buffers held; 0 with nothing held.
static int read_height_map(const char *file_name, TgaUse use, int bytes_per_texel, TgaImage *image, void **out) {
    if (!TGA_Read(file_name, image, use, nullptr))
        return 0;
    // The DOT3 map goes through gluBuild2DMipmaps: zeroed slack after it,
    // as after the reader's buffers (TGA_BufferSlack).
    size_t size = size_t(image->width) * size_t(image->height) * size_t(bytes_per_texel) +
                  size_t(TGA_BufferSlack(image->width, bytes_per_texel));
    *out = std::calloc(size, 1);
    if (!*out) {
        std::free(image->pixels);
        return 0;
    }
    return 1;
}

unsigned int TGA_CALL TGA_UploadDOT3(const char *file_name) {
    TgaImage image;
    void *out = nullptr;
    if (!read_height_map(file_name, TGA_USE_DOT3, tga_dot3_texel_bytes, &image, &out))
        return 0;
    uint8_t *normals = static_cast<uint8_t *>(out);
    HeightMap_EncodeDOT3(image.pixels, image.width, image.height, normals);
    int width = image.width;
    int height = image.height;
    std::free(image.pixels);

    GLuint name = TGA_NewTexture(GL_TEXTURE_2D, GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, width, height, GL_RGB, GL_UNSIGNED_BYTE, normals);
    std::free(normals);
    return name;
}

unsigned int TGA_CALL TGA_UploadDUDV(const char *file_name) {
    TgaImage image;
    void *out = nullptr;
    if (!read_height_map(file_name, TGA_USE_DUDV, tga_dudv_texel_bytes, &image, &out))
        return 0;
    int8_t *offsets = static_cast<int8_t *>(out);
    HeightMap_EncodeDUDV(image.pixels, image.width, image.height, offsets);
    int width = image.width;
    int height = image.height;
    std::free(image.pixels);

    GLuint name = TGA_NewTexture(GL_TEXTURE_2D, GL_REPEAT, GL_LINEAR, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, DUDV_INTERNAL_FORMAT, width, height, 0, DUDV_FORMAT, GL_BYTE, offsets);
    std::free(offsets);
    return name;
}

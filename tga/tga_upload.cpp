// TGA_UploadImage, TGA_UploadImageMemory and TGA_UploadCube: mipmapped 2D
// textures and cube maps.
#include "tga.h"

#include <cstdlib>

#include "tga_gl.h"
#include "tga_read.h"

// The mipmapped 2D texture of an image that the reader took for
// TGA_USE_IMAGE; frees its pixels.
static GLuint upload_2d(TgaImage *image) {
    // The reader takes 8, 24 and 32 bits only.
    GLint internal_format = GL_RGBA8;
    GLenum pixel_format = GL_BGRA_EXT;
    if (image->bits_per_pixel == 8) {
        internal_format = GL_ALPHA8;
        pixel_format = GL_ALPHA;
    } else if (image->bits_per_pixel == 24) {
        internal_format = GL_RGB8;
        pixel_format = GL_BGR_EXT;
    }

    GLuint name = TGA_NewTexture(GL_TEXTURE_2D, GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST, 0);
    gluBuild2DMipmaps(GL_TEXTURE_2D, internal_format, image->width, image->height, pixel_format,
                      GL_UNSIGNED_BYTE, image->pixels);
    std::free(image->pixels);
    return name;
}

unsigned int TGA_CALL TGA_UploadImage(const char *file_name) {
    TgaImage image;
    if (!TGA_Read(file_name, &image, TGA_USE_IMAGE, nullptr))
        return 0;
    return upload_2d(&image);
}

unsigned int TGA_CALL TGA_UploadImageMemory(const void *bytes, size_t size) {
    TgaImage image;
    if (!bytes || !TGA_ReadMemory(static_cast<const uint8_t *>(bytes), size, &image, TGA_USE_IMAGE, nullptr))
        return 0;
    return upload_2d(&image);
}

static void free_faces(TgaImage *faces, int count) {
    for (int i = 0; i < count; ++i)
        std::free(faces[i].pixels);
}

unsigned int TGA_CALL TGA_UploadCube(const char *positive_x, const char *negative_x, const char *positive_y,
                                     const char *negative_y, const char *positive_z, const char *negative_z) {
    const char *files[6] = {positive_x, negative_x, positive_y, negative_y, positive_z, negative_z};
    static const GLenum targets[6] = {
        GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
        GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
        GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z,
    };

    // Every face is read before the first GL call; the first face refused
    // (unreadable, or not 24-bit: faces are sent as 24-bit data) ends the
    // load, and later files stay unopened.
    TgaImage faces[6];
    for (int i = 0; i < 6; ++i) {
        if (!TGA_Read(files[i], &faces[i], TGA_USE_CUBE_FACE, nullptr)) {
            free_faces(faces, i);
            return 0;
        }
    }

    GLuint name = TGA_NewTexture(GL_TEXTURE_CUBE_MAP, GL_CLAMP_TO_EDGE, GL_LINEAR, 0);
    for (int i = 0; i < 6; ++i)
        glTexImage2D(targets[i], 0, GL_RGB8, faces[i].width, faces[i].height, 0, GL_BGR_EXT,
                     GL_UNSIGNED_BYTE, faces[i].pixels);
    free_faces(faces, 6);
    return name;
}

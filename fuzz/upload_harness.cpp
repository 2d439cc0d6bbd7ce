#include "upload_harness.h"

#include <GL/gl.h>

#include "fuzz_file.h"
#include "tga.h"

namespace {

// Images above this many texels are left out: a short file may declare
// 32767 x 32767, and building its mipmaps would stall the fuzzer.
const long max_uploaded_texels = 1L << 16;

struct Header {
    int readable;   // the reader accepts it
    int width, height, bits;
};

Header parse(const uint8_t *d, size_t size) {
    Header h = {0, 0, 0, 0};
    if (size < 18)
        return h;
    h.width = int16_t(d[12] | d[13] << 8);
    h.height = int16_t(d[14] | d[15] << 8);
    h.bits = d[16];
    h.readable = d[0] == 0 && d[1] == 0 && (d[2] == 2 || d[2] == 3) && h.width >= 0 && h.height >= 0;
    return h;
}

// The state every successful upload leaves; glGetError is cleared for the
// next call (GLU errors on odd sizes are the GL's business, not a fault).
const char *check_state(GLenum target, GLuint name, bool texture_2d_enabled) {
    GLint alignment = 0, bound = 0;
    GLfloat mode = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(target == GL_TEXTURE_2D ? GL_TEXTURE_BINDING_2D : GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    if (alignment != 1)
        return "unpack alignment not 1 after an upload";
    if (GLuint(bound) != name)
        return "new texture not bound after an upload";
    if (mode != GLfloat(GL_MODULATE))
        return "texture environment not GL_MODULATE after an upload";
    if (texture_2d_enabled && !glIsEnabled(GL_TEXTURE_2D))
        return "GL_TEXTURE_2D not enabled after a height-map upload";
    return nullptr;
}

const char *expect(GLuint name, bool wanted, const char *what_missing, const char *what_extra) {
    if (wanted && !name)
        return what_missing;
    if (!wanted && name)
        return what_extra;
    return nullptr;
}

void reset(GLuint name) {
    if (name)
        glDeleteTextures(1, &name);
    glDisable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    while (glGetError() != GL_NO_ERROR) {
    }
}

const char *run_all(const char *path, const uint8_t *data, size_t size, const Header &h, int *uploaded) {
    const char *fault = nullptr;
    bool depth_read = h.bits == 8 || h.bits == 24 || h.bits == 32;
    // The file, then the same bytes from memory.
    for (int from_memory = 0; from_memory < 2; ++from_memory) {
        GLuint name = from_memory ? TGA_UploadImageMemory(data, size) : TGA_UploadImage(path);
        *uploaded += name != 0;
        fault = expect(name, h.readable && depth_read, "2D upload refused a readable image",
                       "2D upload accepted an image the reader refuses");
        if (!fault && name)
            fault = check_state(GL_TEXTURE_2D, name, false);
        reset(name);
        if (fault)
            return fault;
    }

    GLuint name = TGA_UploadDOT3(path);
    *uploaded += name != 0;
    fault = expect(name, h.readable && h.bits == 8, "DOT3 upload refused an 8-bit map",
                   "DOT3 upload accepted something other than an 8-bit map");
    if (!fault && name)
        fault = check_state(GL_TEXTURE_2D, name, true);
    reset(name);
    if (fault)
        return fault;

    name = TGA_UploadDUDV(path);
    *uploaded += name != 0;
    fault = expect(name, h.readable && h.bits == 8, "du/dv upload refused an 8-bit map",
                   "du/dv upload accepted something other than an 8-bit map");
    if (!fault && name)
        fault = check_state(GL_TEXTURE_2D, name, true);
    reset(name);
    if (fault)
        return fault;

    name = TGA_UploadCube(path, path, path, path, path, path);
    *uploaded += name != 0;
    fault = expect(name, h.readable && h.bits == 24, "cube upload refused six 24-bit faces",
                   "cube upload accepted faces that are not 24-bit");
    if (!fault && name)
        fault = check_state(GL_TEXTURE_CUBE_MAP, name, false);
    reset(name);
    return fault;
}

}  // namespace

UploadHarnessResult UploadHarness_Run(const uint8_t *data, size_t size) {
    UploadHarnessResult result = {0, nullptr};
    Header h = parse(data, size);
    if (long(h.width) * long(h.height) > max_uploaded_texels)
        return result;
    const char *path = FuzzFile_Write(data, size, ".tga");
    if (!path)
        return result;
    result.fault = run_all(path, data, size, h, &result.uploaded);
    FuzzFile_Remove(".tga");
    return result;
}

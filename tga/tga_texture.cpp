// The texture set-up that every upload shares.
#include "tga_gl.h"

GLuint TGA_NewTexture(GLenum target, GLint wrap, GLint min_filter, int enable_target) {
    GLuint name = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &name);
    glBindTexture(target, name);
    if (enable_target)
        glEnable(target);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, min_filter);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, tga_modulate);
    return name;
}

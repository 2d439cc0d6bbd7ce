#include "tga_gl_checks.h"

#include <cstddef>

int TgaGl_Begin(TestGlContext *gl) {
    return TestGl_Create(gl, 32, 32);
}

void TgaGl_End(TestGlContext *gl) {
    TestGl_Destroy(gl);
}

GLuint TgaGl_ProbeName() {
    GLuint probe = 0;
    glGenTextures(1, &probe);
    return probe;
}

GLint TgaGl_Integer(GLenum which) {
    GLint value = -1;
    glGetIntegerv(which, &value);
    return value;
}

GLint TgaGl_TexParameter(GLenum target, GLenum which) {
    GLint value = -1;
    glGetTexParameteriv(target, which, &value);
    return value;
}

GLint TgaGl_LevelParameter(GLenum target, GLint level, GLenum which) {
    GLint value = -1;
    glGetTexLevelParameteriv(target, level, which, &value);
    return value;
}

GLint TgaGl_EnvMode() {
    GLint value = -1;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    return value;
}

std::vector<uint8_t> TgaGl_Texels(GLenum target, GLint level, GLenum format, int components) {
    GLint width = TgaGl_LevelParameter(target, level, GL_TEXTURE_WIDTH);
    GLint height = TgaGl_LevelParameter(target, level, GL_TEXTURE_HEIGHT);
    if (width <= 0 || height <= 0)
        return {};
    std::vector<uint8_t> texels(size_t(width) * size_t(height) * size_t(components));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, level, format, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

GLenum TgaGl_TakeError() {
    GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

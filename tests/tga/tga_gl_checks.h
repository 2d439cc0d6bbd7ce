// Read-back helpers for the upload tests: texture state and texels of the
// current OSMesa context.
#ifndef TESTS_TGA_TGA_GL_CHECKS_H
#define TESTS_TGA_TGA_GL_CHECKS_H

#include <cstdint>
#include <vector>

#include "support/gl_context.h"
#include "tga/tga_gl.h"

// A context for one test; 1 on success.
int TgaGl_Begin(TestGlContext *gl);
void TgaGl_End(TestGlContext *gl);

// Generates and keeps one texture name. In a fresh context names come out
// in sequence, so two probes around a call differ by one exactly when the
// call generated no name in between.
GLuint TgaGl_ProbeName();

GLint TgaGl_Integer(GLenum which);
GLint TgaGl_TexParameter(GLenum target, GLenum which);
GLint TgaGl_LevelParameter(GLenum target, GLint level, GLenum which);
GLint TgaGl_EnvMode();

// Texels of one level in the given format, packed without row padding.
std::vector<uint8_t> TgaGl_Texels(GLenum target, GLint level, GLenum format, int components);

// Clears the error state; returns the first error that was pending.
GLenum TgaGl_TakeError();

#endif

// OpenGL and GLU for the uploads, with the enumerations that the OpenGL 1.1
// headers of Windows toolchains lack.
#ifndef TGA_TGA_GL_H
#define TGA_TGA_GL_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#endif
#ifndef GL_TEXTURE_BINDING_CUBE_MAP
#define GL_TEXTURE_BINDING_CUBE_MAP 0x8514
#endif
#ifndef GL_TEXTURE_CUBE_MAP_POSITIVE_X
#define GL_TEXTURE_CUBE_MAP_POSITIVE_X 0x8515
#define GL_TEXTURE_CUBE_MAP_NEGATIVE_X 0x8516
#define GL_TEXTURE_CUBE_MAP_POSITIVE_Y 0x8517
#define GL_TEXTURE_CUBE_MAP_NEGATIVE_Y 0x8518
#define GL_TEXTURE_CUBE_MAP_POSITIVE_Z 0x8519
#define GL_TEXTURE_CUBE_MAP_NEGATIVE_Z 0x851A
#endif

// Every upload sets the texture environment mode with glTexEnvf, as the
// float of GL_MODULATE.
static const GLfloat tga_modulate = 8448.0f;

// A new texture object of target, bound (and enabled when enable_target is
// set, as the height-map uploads leave it), with the library's unpacking,
// filtering and texture environment; the uploads differ in wrapping and
// minification only.
GLuint TGA_NewTexture(GLenum target, GLint wrap, GLint min_filter, int enable_target);

// Signed two-component du/dv texel data and the texture format that keeps
// it; the target driver's bump-mapping extension defines both.
#define DUDV_FORMAT 0x60A4
#define DUDV_INTERNAL_FORMAT 0x60A5

#endif

// font: bitmap text for OpenGL overlays.
//
// The font image ("font.tga", made by tools/make_samples) is a 256 x 256
// 8-bit grayscale TGA: a grid of 16 x 16 cells, each 16 x 16 pixels, one per
// character code 0..255. Code c sits in grid column c % 16 and grid row
// c / 16, grid row 0 at the top of the picture. The gray level is the
// glyph's coverage; uploaded as an alpha texture and drawn with GL_MODULATE
// it takes its colour from the current colour. The glyph's baseline lies
// FONT_BASELINE pixels below the top of its cell, and text advances by
// FONT_ADVANCE pixels per character.
#ifndef FONT_FONT_H
#define FONT_FONT_H

#include <stdint.h>

#if defined(_WIN32) && !defined(FONT_BUILDING)
#define FONT_API __declspec(dllimport)
#else
#define FONT_API
#endif

#define FONT_CELL 16
#define FONT_GRID 16
#define FONT_IMAGE_SIZE (FONT_CELL * FONT_GRID)
#define FONT_BASELINE 12
#define FONT_ADVANCE 9
// Longest text one Font_Print call draws; the rest is cut off.
#define FONT_MAX_TEXT 1023

#ifdef __cplusplus
extern "C" {
#endif

// Builds the glyph geometry in the current rendering context; the value is
// handed back to every Font_Print call. It is the first of 256 display
// lists, one per character code (a 16 x 16 textured quad with its lower-left
// corner at the origin, then a move of FONT_ADVANCE along x); 0 when no
// lists could be made.
FONT_API uint32_t Font_Build(void);

// Prints the sprintf-formatted text with its start at (x, y), in the current
// projection's units, with `texture` as the font image and the current colour.
// The lower-left corner of the first cell is at (x, y). Enables texturing and
// binds the texture (the caller saves and restores that state); leaves the
// matrix mode and both matrix stacks as it found them. 1 when text was drawn;
// 0 when there was nothing to draw it with (no lists, texture 0, no format)
// or the text is empty.
FONT_API int Font_Print(int x, int y, uint32_t base, uint32_t texture, const char *format, ...);

#ifdef __cplusplus
}
#endif

#endif

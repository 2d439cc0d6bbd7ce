// font: bitmap text for OpenGL overlays.
#ifndef FONT_FONT_H
#define FONT_FONT_H

#include <stdint.h>

#if defined(_WIN32) && !defined(FONT_BUILDING)
#define FONT_API __declspec(dllimport)
#else
#define FONT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Builds the glyph geometry in the current rendering context; the value is
// handed back to every Font_Print call.
FONT_API uint32_t Font_Build(void);

// Prints the sprintf-formatted text with its start at (x, y), in the current
// projection's units, with `texture` as the font image and the current colour.
FONT_API int Font_Print(int x, int y, uint32_t base, uint32_t texture, const char *format, ...);

#ifdef __cplusplus
}
#endif

#endif

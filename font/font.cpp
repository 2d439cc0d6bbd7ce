#include "font.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

uint32_t Font_Build(void) {
    GLuint base = glGenLists(256);
    if (base == 0)
        return 0;
    const float cell = 1.0f / FONT_GRID;
    for (int code = 0; code < 256; ++code) {
        // Grid row 0 is the top of the picture, which is the top of the
        // texture (t = 1) since the file's rows run bottom-up.
        float s0 = float(code % FONT_GRID) * cell;
        float t1 = 1.0f - float(code / FONT_GRID) * cell;
        float s1 = s0 + cell;
        float t0 = t1 - cell;
        glNewList(base + GLuint(code), GL_COMPILE);
        // Counter-clockwise in y-up space, so back-face culling keeps it.
        glBegin(GL_QUADS);
        glTexCoord2f(s0, t0);
        glVertex2i(0, 0);
        glTexCoord2f(s1, t0);
        glVertex2i(FONT_CELL, 0);
        glTexCoord2f(s1, t1);
        glVertex2i(FONT_CELL, FONT_CELL);
        glTexCoord2f(s0, t1);
        glVertex2i(0, FONT_CELL);
        glEnd();
        glTranslatef(float(FONT_ADVANCE), 0.0f, 0.0f);
        glEndList();
    }
    return base;
}

int Font_Print(int x, int y, uint32_t base, uint32_t texture, const char *format, ...) {
    if (base == 0 || texture == 0 || format == NULL)
        return 0;
    char text[FONT_MAX_TEXT + 1];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length <= 0)
        return 0;
    if (length > FONT_MAX_TEXT)
        length = FONT_MAX_TEXT;

    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(float(x), float(y), 0.0f);
    glListBase(base);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopMatrix();
    glMatrixMode(GLenum(mode));
    return 1;
}

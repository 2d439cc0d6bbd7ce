#include "view.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

void View_Resize(int width, int height) {
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The near plane is the single-precision 0.001 widened to double.
    gluPerspective(90.0, double(width) / double(height), double(0.001f), 400.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

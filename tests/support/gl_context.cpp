#include "gl_context.h"

#include <cstddef>

#include <GL/osmesa.h>
#include <GL/gl.h>

int TestGl_Create(TestGlContext *gl, int width, int height) {
    gl->width = width;
    gl->height = height;
    gl->pixels.assign(std::size_t(width) * std::size_t(height) * 4, 0);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    gl->context = context;
    if (!context)
        return 0;
    if (!OSMesaMakeCurrent(context, gl->pixels.data(), GL_UNSIGNED_BYTE, width, height))
        return 0;
    // Rows of the buffer bottom-up, like glReadPixels.
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    return 1;
}

void TestGl_Destroy(TestGlContext *gl) {
    // Let the renderer finish before its buffer goes away.
    if (gl->context) {
        glFinish();
        OSMesaDestroyContext(static_cast<OSMesaContext>(gl->context));
    }
    gl->context = nullptr;
}

void TestGl_ReadPixel(int x, int y, uint8_t rgba[4]) {
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

// A real Mesa rendering context without a display, for the unit tests.
#ifndef TESTS_SUPPORT_GL_CONTEXT_H
#define TESTS_SUPPORT_GL_CONTEXT_H

#include <cstdint>
#include <vector>

struct TestGlContext {
    void *context;                 // OSMesaContext
    int width;
    int height;
    std::vector<uint8_t> pixels;   // RGBA, bottom row first
};

// Creates an RGBA context with a 24-bit depth buffer and makes it current.
// 1 on success.
int TestGl_Create(TestGlContext *gl, int width, int height);
void TestGl_Destroy(TestGlContext *gl);

// Reads one RGBA pixel of the colour buffer (x right, y up).
void TestGl_ReadPixel(int x, int y, uint8_t rgba[4]);

#endif

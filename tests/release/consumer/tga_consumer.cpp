// Uploads a 2 x 2 24-bit TGA file through TGA_UploadImage, linked at load
// time through the installed import library, in a real WGL context, and
// reads the texture back. Exit code 0 when the texels arrive unchanged.
#include <windows.h>

#include <GL/gl.h>

#include <tga.h>

#include <cstdio>
#include <cstring>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif

static int fail(const char *what) {
    std::printf("FAIL: %s\n", what);
    return 1;
}

int main() {
    WNDCLASSA window_class = {};
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "tga_consumer";
    if (!RegisterClassA(&window_class))
        return fail("RegisterClassA");
    HWND window = CreateWindowExA(0, "tga_consumer", "tga_consumer", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                  nullptr, nullptr, window_class.hInstance, nullptr);
    if (!window)
        return fail("CreateWindowExA");
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    int chosen = ChoosePixelFormat(dc, &format);
    if (!chosen || !SetPixelFormat(dc, chosen, &format))
        return fail("no pixel format for OpenGL");
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context))
        return fail("no WGL context");

    // Blue-green-red bytes, bottom row first, as the file keeps them.
    const unsigned char pixels[12] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    unsigned char header[18] = {};
    header[2] = 2;
    header[12] = 2;
    header[14] = 2;
    header[16] = 24;
    FILE *file = std::fopen("consumer.tga", "wb");
    if (!file || std::fwrite(header, 1, 18, file) != 18 || std::fwrite(pixels, 1, 12, file) != 12)
        return fail("cannot write consumer.tga");
    std::fclose(file);

    unsigned int texture = TGA_UploadImage("consumer.tga");
    DeleteFileA("consumer.tga");
    if (texture == 0)
        return fail("TGA_UploadImage gave no texture");
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (bound != GLint(texture))
        return fail("the new texture is not bound");
    unsigned char texels[12] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, texels);
    if (std::memcmp(texels, pixels, sizeof pixels) != 0)
        return fail("the texels read back differ from the file's");

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    std::printf("tga_consumer: texture %u uploaded through tga::tga\n", texture);
    return 0;
}

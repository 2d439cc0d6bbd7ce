// A program built the way Visual C++ builds one (MSVC ABI, an MSVC-style
// linker, the kit's tga.lib) that uses tga.dll from the zip: it uploads the
// bytes of a 2 x 2 32-bit TGA file with TGA_UploadImageMemory, writes the
// file, uploads it with TGA_UploadImage in a WGL context of a hidden window
// and reads the texture back, texel by texel. Without the
// Windows SDK or a C runtime, it declares the few Win32, WGL and GL functions
// it calls itself, keeps its structures static (a zeroed local would become a
// memset call) and says how it went through ExitProcess: 0 when every texel
// matches the file.
#include "tga.h"

#ifdef _M_IX86
#define WINAPI __stdcall
#else
#define WINAPI
#endif
#define IMPORT __declspec(dllimport)

typedef void *HANDLE;
typedef unsigned long DWORD;
typedef unsigned short WORD;
typedef unsigned char BYTE;

typedef struct {
    WORD size, version;
    DWORD flags;
    BYTE pixel_type, colour_bits, red_bits, red_shift, green_bits, green_shift, blue_bits, blue_shift;
    BYTE alpha_bits, alpha_shift, accum_bits, accum_red, accum_green, accum_blue, accum_alpha;
    BYTE depth_bits, stencil_bits, aux_buffers, layer_type, reserved;
    DWORD layer_mask, visible_mask, damage_mask;
} PixelFormat;

IMPORT void WINAPI ExitProcess(unsigned int code);
IMPORT HANDLE WINAPI GetStdHandle(DWORD which);
IMPORT int WINAPI WriteFile(HANDLE file, const void *bytes, DWORD count, DWORD *written, void *overlapped);
IMPORT HANDLE WINAPI CreateFileA(const char *name, DWORD access, DWORD share, void *security, DWORD disposition,
                                 DWORD flags, HANDLE template_file);
IMPORT int WINAPI CloseHandle(HANDLE handle);
IMPORT int WINAPI DeleteFileA(const char *name);
IMPORT HANDLE WINAPI CreateWindowExA(DWORD ex_style, const char *class_name, const char *title, DWORD style, int x,
                                     int y, int width, int height, HANDLE parent, HANDLE menu, HANDLE instance,
                                     void *param);
IMPORT HANDLE WINAPI GetDC(HANDLE window);
IMPORT int WINAPI ReleaseDC(HANDLE window, HANDLE dc);
IMPORT int WINAPI DestroyWindow(HANDLE window);
IMPORT int WINAPI ChoosePixelFormat(HANDLE dc, const PixelFormat *format);
IMPORT int WINAPI SetPixelFormat(HANDLE dc, int index, const PixelFormat *format);
IMPORT HANDLE WINAPI wglCreateContext(HANDLE dc);
IMPORT int WINAPI wglMakeCurrent(HANDLE dc, HANDLE context);
IMPORT int WINAPI wglDeleteContext(HANDLE context);
IMPORT void WINAPI glGetTexImage(unsigned int target, int level, unsigned int format, unsigned int type, void *pixels);
IMPORT void WINAPI glGetTexLevelParameteriv(unsigned int target, int level, unsigned int name, int *value);
IMPORT void WINAPI glDeleteTextures(int count, const unsigned int *names);

#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define GENERIC_WRITE 0x40000000ul
#define CREATE_ALWAYS 2
#define INVALID_HANDLE ((HANDLE)(-1))
#define WS_POPUP 0x80000000ul
#define PFD_DRAW_TO_WINDOW 0x4
#define PFD_SUPPORT_OPENGL 0x20
#define GL_TEXTURE_2D 0x0DE1
#define GL_TEXTURE_WIDTH 0x1000
#define GL_TEXTURE_HEIGHT 0x1001
#define GL_RGBA 0x1908
#define GL_UNSIGNED_BYTE 0x1401

static const PixelFormat pixel_format = {
    .size = sizeof(PixelFormat), .version = 1, .flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, .colour_bits = 32};

// Uncompressed true-colour, 2 x 2, 32 bits with 8 alpha bits; the texels
// follow in BGRA order, bottom row first, as GL stores them.
#define HEADER_BYTES 18
static const BYTE tga_file[HEADER_BYTES + 16] = {
    0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8,
    0x10, 0x20, 0x30, 0x40, 0x51, 0x62, 0x73, 0x84, 0x95, 0xa6, 0xb7, 0xc8, 0xd9, 0xea, 0xfb, 0xff,
};
static const char tga_name[] = "msvc_consumer.tga";

static void say(const char *text) {
    DWORD length = 0;
    DWORD written;
    while (text[length])
        ++length;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, length, &written, 0);
}

static void fail(const char *text) {
    say("FAIL: ");
    say(text);
    say("\n");
    DeleteFileA(tga_name);
    ExitProcess(1);
}

static void write_tga(void) {
    DWORD written;
    HANDLE file = CreateFileA(tga_name, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    if (file == INVALID_HANDLE)
        fail("cannot create msvc_consumer.tga");
    if (!WriteFile(file, tga_file, sizeof tga_file, &written, 0) || written != sizeof tga_file)
        fail("cannot write msvc_consumer.tga");
    CloseHandle(file);
}

void __cdecl consumer_start(void) {
    HANDLE window = CreateWindowExA(0, "STATIC", "msvc consumer", WS_POPUP, 0, 0, 16, 16, 0, 0, 0, 0);
    if (!window)
        fail("no window");
    HANDLE dc = GetDC(window);
    int format = ChoosePixelFormat(dc, &pixel_format);
    if (!format || !SetPixelFormat(dc, format, &pixel_format))
        fail("no OpenGL pixel format");
    HANDLE context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context))
        fail("no WGL context");

    if (TGA_UploadImage("no such file.tga") != 0)
        fail("TGA_UploadImage made a texture from a missing file");
    unsigned int from_memory = TGA_UploadImageMemory(tga_file, sizeof tga_file);
    if (from_memory == 0)
        fail("TGA_UploadImageMemory made no texture");
    glDeleteTextures(1, &from_memory);
    write_tga();
    unsigned int texture = TGA_UploadImage(tga_name);
    DeleteFileA(tga_name);
    if (texture == 0)
        fail("TGA_UploadImage made no texture");

    int width = 0;
    int height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width != 2 || height != 2)
        fail("the texture is not 2 x 2");
    BYTE texels[16];
    for (int i = 0; i < 16; ++i)
        texels[i] = 0;
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    const BYTE *file_texels = tga_file + HEADER_BYTES;
    for (int i = 0; i < 16; i += 4) {
        if (texels[i] != file_texels[i + 2] || texels[i + 1] != file_texels[i + 1] ||
            texels[i + 2] != file_texels[i] || texels[i + 3] != file_texels[i + 3])
            fail("a texel read back differs from the file's");
    }

    glDeleteTextures(1, &texture);
    wglMakeCurrent(0, 0);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    say("msvc_consumer: TGA_UploadImage through tga.lib gave the file's four texels\n");
    ExitProcess(0);
}

// Loads tga.dll the way a client program does, by name, and checks its four
// exports in a real WGL context: textures made from TGA files written here
// are read back texel by texel. Exit code 0 when every check passes; each
// failure is printed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tga.h"

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif
#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#define GL_TEXTURE_BINDING_CUBE_MAP 0x8514
#define GL_TEXTURE_CUBE_MAP_POSITIVE_X 0x8515
#endif

typedef decltype(&TGA_UploadImage) UploadImageFn;
typedef decltype(&TGA_UploadCube) UploadCubeFn;
typedef decltype(&TGA_UploadDOT3) UploadDot3Fn;
typedef decltype(&TGA_UploadDUDV) UploadDudvFn;
typedef decltype(&TGA_UploadImageMemory) UploadImageMemoryFn;

static int failures = 0;

static void Check(bool ok, const char *what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what);
        ++failures;
    }
}

static std::string temp_dir;
static std::vector<std::string> written;   // deleted at the end

// Writes an uncompressed TGA file into the temporary directory; returns its
// path.
static std::string WriteTga(const char *name, uint8_t type, int width, int height, int bits,
                            const std::vector<uint8_t> &pixels) {
    uint8_t header[18] = {0};
    header[2] = type;
    header[12] = uint8_t(width & 0xFF);
    header[13] = uint8_t(width >> 8);
    header[14] = uint8_t(height & 0xFF);
    header[15] = uint8_t(height >> 8);
    header[16] = uint8_t(bits);
    std::string path = temp_dir + name;
    written.push_back(path);
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return path;
    std::fwrite(header, 1, sizeof header, file);
    if (!pixels.empty())
        std::fwrite(pixels.data(), 1, pixels.size(), file);
    std::fclose(file);
    return path;
}

static std::vector<uint8_t> FileBytes(const std::string &path) {
    std::vector<uint8_t> bytes;
    if (FILE *file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;)
            bytes.push_back(uint8_t(c));
        std::fclose(file);
    }
    return bytes;
}

static std::vector<uint8_t> Pattern(size_t bytes, int seed) {
    std::vector<uint8_t> out(bytes);
    for (size_t i = 0; i < bytes; ++i)
        out[i] = uint8_t((i * 7 + size_t(seed)) & 0xFF);
    return out;
}

static std::vector<uint8_t> Texels(GLenum target, GLenum format, int components) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0)
        return {};
    std::vector<uint8_t> texels(size_t(width) * size_t(height) * size_t(components));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

static GLint Integer(GLenum which) {
    GLint value = -1;
    glGetIntegerv(which, &value);
    return value;
}

// A hidden window with a pixel format for OpenGL and a current context.
static bool MakeContext(HWND *window, HDC *dc, HGLRC *context) {
    WNDCLASSA window_class = {};
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "tga_dll_check";
    if (!RegisterClassA(&window_class))
        return false;
    *window = CreateWindowExA(0, "tga_dll_check", "tga_dll_check", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                              nullptr, nullptr, window_class.hInstance, nullptr);
    if (!*window)
        return false;
    *dc = GetDC(*window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    int chosen = ChoosePixelFormat(*dc, &format);
    if (!chosen || !SetPixelFormat(*dc, chosen, &format))
        return false;
    *context = wglCreateContext(*dc);
    return *context && wglMakeCurrent(*dc, *context);
}

int main() {
    HMODULE library = LoadLibraryA("tga.dll");
    if (!library) {
        std::printf("FAIL: LoadLibraryA(\"tga.dll\") failed, error %lu\n", GetLastError());
        return 1;
    }
    UploadImageFn upload_image = reinterpret_cast<UploadImageFn>(
        reinterpret_cast<void *>(GetProcAddress(library, "TGA_UploadImage")));
    UploadCubeFn upload_cube = reinterpret_cast<UploadCubeFn>(
        reinterpret_cast<void *>(GetProcAddress(library, "TGA_UploadCube")));
    UploadDot3Fn upload_dot3 = reinterpret_cast<UploadDot3Fn>(
        reinterpret_cast<void *>(GetProcAddress(library, "TGA_UploadDOT3")));
    UploadDudvFn upload_dudv = reinterpret_cast<UploadDudvFn>(
        reinterpret_cast<void *>(GetProcAddress(library, "TGA_UploadDUDV")));
    Check(upload_image != nullptr, "export TGA_UploadImage");
    Check(upload_cube != nullptr, "export TGA_UploadCube");
    Check(upload_dot3 != nullptr, "export TGA_UploadDOT3");
    Check(upload_dudv != nullptr, "export TGA_UploadDUDV");
    UploadImageMemoryFn upload_memory = reinterpret_cast<UploadImageMemoryFn>(
        reinterpret_cast<void *>(GetProcAddress(library, "TGA_UploadImageMemory")));
    Check(upload_memory != nullptr, "export TGA_UploadImageMemory");
    if (failures)
        return 1;

    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    if (!MakeContext(&window, &dc, &context)) {
        std::printf("FAIL: no WGL context, error %lu\n", GetLastError());
        return 1;
    }

    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    temp_dir = std::string(temp, length) + "tga_dll_check_" + std::to_string(GetCurrentProcessId()) + "_";

    // 24-bit: blue-green-red bytes arrive unchanged.
    std::vector<uint8_t> bgr = Pattern(2 * 2 * 3, 1);
    std::string bgr_path = WriteTga("bgr.tga", 2, 2, 2, 24, bgr);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint name = upload_image(bgr_path.c_str());
    Check(name != 0, "TGA_UploadImage of a 24-bit file gives a texture");
    Check(glIsTexture(name) == GL_TRUE, "24-bit texture exists");
    Check(Integer(GL_TEXTURE_BINDING_2D) == GLint(name), "24-bit texture is bound");
    Check(Integer(GL_UNPACK_ALIGNMENT) == 1, "unpack alignment is 1 afterwards");
    GLint env_mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env_mode);
    Check(env_mode == GL_MODULATE, "texture environment mode is GL_MODULATE");
    Check(Texels(GL_TEXTURE_2D, GL_BGR_EXT, 3) == bgr, "24-bit texels read back");
    GLint levels_1 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levels_1);
    Check(levels_1 == 1, "24-bit texture has its mipmap level 1");

    // 3 x 5: 9-byte rows, rescaled by GLU; a uniform colour survives that.
    std::vector<uint8_t> odd;
    for (int i = 0; i < 15; ++i)
        odd.insert(odd.end(), {20, 120, 220});
    Check(upload_image(WriteTga("odd.tga", 2, 3, 5, 24, odd).c_str()) != 0, "3 x 5 upload");
    std::vector<uint8_t> odd_texels = Texels(GL_TEXTURE_2D, GL_BGR_EXT, 3);
    bool odd_ok = !odd_texels.empty();
    for (size_t i = 0; i + 2 < odd_texels.size(); i += 3)
        odd_ok = odd_ok && odd_texels[i] == 20 && odd_texels[i + 1] == 120 && odd_texels[i + 2] == 220;
    Check(odd_ok, "3 x 5 texels keep their colour");

    // 32-bit and 8-bit.
    std::vector<uint8_t> bgra = Pattern(4 * 4 * 4, 2);
    std::string bgra_path = WriteTga("bgra.tga", 2, 4, 4, 32, bgra);
    Check(upload_image(bgra_path.c_str()) != 0, "32-bit upload");
    Check(Texels(GL_TEXTURE_2D, GL_BGRA_EXT, 4) == bgra, "32-bit texels read back");
    std::vector<uint8_t> bgra_file = FileBytes(bgra_path);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    Check(upload_memory(bgra_file.data(), bgra_file.size()) != 0, "32-bit upload from memory");
    Check(Integer(GL_UNPACK_ALIGNMENT) == 1, "unpack alignment is 1 after the upload from memory");
    Check(Texels(GL_TEXTURE_2D, GL_BGRA_EXT, 4) == bgra, "32-bit texels from memory read back");
    Check(upload_memory(bgra_file.data(), 17) == 0, "17 bytes from memory give 0");
    std::vector<uint8_t> alpha = Pattern(4 * 4, 3);
    Check(upload_image(WriteTga("alpha.tga", 3, 4, 4, 8, alpha).c_str()) != 0, "8-bit upload");
    Check(Texels(GL_TEXTURE_2D, GL_ALPHA, 1) == alpha, "8-bit texels read back as alpha");

    // Failures make no texture.
    Check(upload_image((temp_dir + "missing.tga").c_str()) == 0, "missing file gives 0");
    Check(upload_image(WriteTga("sixteen.tga", 2, 2, 2, 16, Pattern(8, 4)).c_str()) == 0, "16-bit file gives 0");
    // Headers that promise more than glu32's mipmap builder can take.
    Check(upload_image(WriteTga("huge32.tga", 2, 23171, 23171, 32, {}).c_str()) == 0,
          "23171 x 23171 32-bit header gives 0");
    Check(glGetError() == GL_NO_ERROR, "a refused upload leaves no GL error");

    // Cube map: six faces in argument order.
    std::vector<std::string> faces;
    std::vector<std::vector<uint8_t>> face_pixels;
    for (int i = 0; i < 6; ++i) {
        face_pixels.push_back(Pattern(2 * 2 * 3, 10 * (i + 1)));
        std::string face_name = "face" + std::to_string(i) + ".tga";
        faces.push_back(WriteTga(face_name.c_str(), 2, 2, 2, 24, face_pixels.back()));
    }
    GLuint cube = upload_cube(faces[0].c_str(), faces[1].c_str(), faces[2].c_str(), faces[3].c_str(),
                              faces[4].c_str(), faces[5].c_str());
    Check(cube != 0, "TGA_UploadCube gives a texture");
    Check(Integer(GL_TEXTURE_BINDING_CUBE_MAP) == GLint(cube), "cube map is bound");
    for (int i = 0; i < 6; ++i)
        Check(Texels(GL_TEXTURE_CUBE_MAP_POSITIVE_X + GLenum(i), GL_BGR_EXT, 3) == face_pixels[size_t(i)],
              ("cube face " + std::to_string(i) + " read back").c_str());
    Check(upload_cube(faces[0].c_str(), faces[1].c_str(), faces[2].c_str(), (temp_dir + "none.tga").c_str(),
                      faces[4].c_str(), faces[5].c_str()) == 0,
          "cube map with a missing face gives 0");

    // Height maps: a flat map is a flat normal map.
    std::string flat = WriteTga("flat.tga", 3, 4, 4, 8, std::vector<uint8_t>(16, 90));
    glDisable(GL_TEXTURE_2D);
    GLuint dot3 = upload_dot3(flat.c_str());
    Check(dot3 != 0, "TGA_UploadDOT3 gives a texture");
    Check(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, "GL_TEXTURE_2D enabled after TGA_UploadDOT3");
    std::vector<uint8_t> normals = Texels(GL_TEXTURE_2D, GL_RGB, 3);
    bool flat_ok = normals.size() == 48;
    for (size_t i = 0; flat_ok && i < normals.size(); i += 3)
        flat_ok = normals[i] == 127 && normals[i + 1] == 127 && normals[i + 2] == 255;
    Check(flat_ok, "DOT3 texels of a flat map are (127, 127, 255)");
    Check(upload_dot3(bgr_path.c_str()) == 0, "24-bit height map gives 0");
    Check(upload_dot3(WriteTga("huge8.tga", 3, 26755, 26755, 8, {}).c_str()) == 0,
          "height map whose DOT3 map passes 2^31 - 1 bytes gives 0");
    while (glGetError() != GL_NO_ERROR) {
    }
    glDisable(GL_TEXTURE_2D);
    GLuint dudv = upload_dudv(flat.c_str());
    Check(dudv != 0 && dudv != dot3, "TGA_UploadDUDV gives a new texture");
    Check(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, "GL_TEXTURE_2D enabled after TGA_UploadDUDV");
    // The du/dv formats belong to drivers that have them; any error stays
    // with the caller.
    while (glGetError() != GL_NO_ERROR) {
    }

    for (const std::string &path : written)
        DeleteFileA(path.c_str());
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    FreeLibrary(library);

    if (failures) {
        std::printf("tga_dll_check: %d check(s) failed\n", failures);
        return 1;
    }
    std::printf("tga_dll_check: all checks passed\n");
    return 0;
}

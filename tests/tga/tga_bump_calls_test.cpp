// The GL calls of the du/dv upload, recorded by stand-ins that this program
// defines in place of Mesa's entry points: no driver here accepts the du/dv
// formats, so what is handed to glTexImage2D can only be seen this way.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tga/tga.h"
#include "tga/tga_gl.h"
#include "tga_test_files.h"

namespace {

struct Call {
    std::string name;
    std::vector<double> args;
    std::vector<uint8_t> data;   // the texel bytes of an upload
};
std::vector<Call> calls;
GLuint next_name = 41;

void Record(const char *name, std::vector<double> args = {}, std::vector<uint8_t> data = {}) {
    calls.push_back(Call{name, args, data});
}

}  // namespace

extern "C" {
void glPixelStorei(GLenum, GLint) { Record("PixelStorei"); }
void glGenTextures(GLsizei, GLuint *names) {
    Record("GenTextures");
    names[0] = next_name++;
}
void glBindTexture(GLenum, GLuint) { Record("BindTexture"); }
void glEnable(GLenum) { Record("Enable"); }
void glTexParameteri(GLenum, GLenum, GLint) { Record("TexParameteri"); }
void glTexEnvf(GLenum, GLenum, GLfloat) { Record("TexEnvf"); }
void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void *pixels) {
    const uint8_t *bytes = static_cast<const uint8_t *>(pixels);
    Record("TexImage2D",
           {double(target), double(level), double(internal_format), double(width), double(height), double(border),
            double(format), double(type)},
           std::vector<uint8_t>(bytes, bytes + size_t(width) * size_t(height) * 2));
}
}

namespace {

struct TgaBumpCallsTest : ::testing::Test {
    std::string dir;
    std::string path;
    void SetUp() override {
        dir = TgaTest_MakeDir();
        ASSERT_FALSE(dir.empty());
        // 4 x 4, H = 10 * column: s = -80/255 inside, +80/255 at the wrapped edges.
        std::vector<uint8_t> map;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                map.push_back(uint8_t(10 * x));
        path = TgaTest_WriteImage(dir, "h.tga", 3, 4, 4, 8, map);
        calls.clear();
    }
    void TearDown() override { TgaTest_RemoveDir(dir); }
};

// The names of the calls made, in order.
std::vector<std::string> CallNames() {
    std::vector<std::string> names;
    for (const Call &call : calls)
        names.push_back(call.name);
    return names;
}

TEST_F(TgaBumpCallsTest, DudvHandsSignedOffsetsInItsOwnFormats) {
    const GLuint name = TGA_UploadDUDV(path.c_str());
    ASSERT_EQ(next_name - 1, name);
    // The texture is set up (its state is read back against Mesa in
    // tga_bump_test.cpp) before its data goes to GL.
    const std::vector<std::string> want = {"PixelStorei",   "GenTextures",   "BindTexture",
                                           "Enable",        "TexParameteri", "TexParameteri",
                                           "TexParameteri", "TexParameteri", "TexEnvf",
                                           "TexImage2D"};
    ASSERT_EQ(want, CallNames());
    const Call &upload = calls[9];
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, 0, 0x60A5, 4, 4, 0, 0x60A4, GL_BYTE}), upload.args);
    // du, dv per texel: 38 at the wrapped columns 0 and 3, -38 inside, no dv.
    const int8_t row[8] = {38, 0, -38, 0, -38, 0, 38, 0};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(0, std::memcmp(upload.data.data() + y * 8, row, 8)) << "row " << y;
}

}  // namespace

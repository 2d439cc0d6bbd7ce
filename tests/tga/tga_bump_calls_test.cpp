// The GL calls of the height-map uploads, recorded by stand-ins that this
// program defines in place of Mesa's entry points: no driver here accepts
// the du/dv formats, so what is handed to glTexImage2D can only be seen
// this way.
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

void Record(const char *name, std::vector<double> args, std::vector<uint8_t> data = {}) {
    calls.push_back(Call{name, args, data});
}

}  // namespace

extern "C" {
void glPixelStorei(GLenum name, GLint value) { Record("PixelStorei", {double(name), double(value)}); }
void glGenTextures(GLsizei count, GLuint *names) {
    Record("GenTextures", {double(count)});
    names[0] = next_name++;
}
void glBindTexture(GLenum target, GLuint name) { Record("BindTexture", {double(target), double(name)}); }
void glEnable(GLenum cap) { Record("Enable", {double(cap)}); }
void glTexParameteri(GLenum target, GLenum name, GLint value) {
    Record("TexParameteri", {double(target), double(name), double(value)});
}
void glTexEnvf(GLenum target, GLenum name, GLfloat value) {
    Record("TexEnvf", {double(target), double(name), double(value)});
}
void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void *pixels) {
    const uint8_t *bytes = static_cast<const uint8_t *>(pixels);
    Record("TexImage2D",
           {double(target), double(level), double(internal_format), double(width), double(height), double(border),
            double(format), double(type)},
           std::vector<uint8_t>(bytes, bytes + size_t(width) * size_t(height) * 2));
}
GLint gluBuild2DMipmaps(GLenum target, GLint internal_format, GLsizei width, GLsizei height, GLenum format,
                        GLenum type, const void *data) {
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    Record("Build2DMipmaps",
           {double(target), double(internal_format), double(width), double(height), double(format), double(type)},
           std::vector<uint8_t>(bytes, bytes + size_t(width) * size_t(height) * 3));
    return 0;
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

// The texture's set-up before its data goes to `upload`.
std::vector<std::string> WantedNames(const char *upload) {
    return {"PixelStorei",   "GenTextures",   "BindTexture",   "Enable",  "TexParameteri",
            "TexParameteri", "TexParameteri", "TexParameteri", "TexEnvf", upload};
}

void ExpectSetUp(GLuint name, GLint min_filter) {
    ASSERT_EQ(10u, calls.size());
    EXPECT_EQ((std::vector<double>{GL_UNPACK_ALIGNMENT, 1}), calls[0].args);
    EXPECT_EQ((std::vector<double>{1}), calls[1].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, double(name)}), calls[2].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D}), calls[3].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}), calls[4].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}), calls[5].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}), calls[6].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, double(min_filter)}), calls[7].args);
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, 8448.0}), calls[8].args);
}

TEST_F(TgaBumpCallsTest, DudvHandsSignedOffsetsInItsOwnFormats) {
    const GLuint name = TGA_UploadDUDV(path.c_str());
    ASSERT_EQ(next_name - 1, name);
    ASSERT_EQ(WantedNames("TexImage2D"), CallNames());
    ExpectSetUp(name, GL_LINEAR);
    const Call &upload = calls[9];
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, 0, 0x60A5, 4, 4, 0, 0x60A4, GL_BYTE}), upload.args);
    // du, dv per texel: 38 at the wrapped columns 0 and 3, -38 inside, no dv.
    const int8_t row[8] = {38, 0, -38, 0, -38, 0, 38, 0};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(0, std::memcmp(upload.data.data() + y * 8, row, 8)) << "row " << y;
}

TEST_F(TgaBumpCallsTest, Dot3BuildsMipmapsFromUnsignedNormals) {
    const GLuint name = TGA_UploadDOT3(path.c_str());
    ASSERT_EQ(next_name - 1, name);
    ASSERT_EQ(WantedNames("Build2DMipmaps"), CallNames());
    ExpectSetUp(name, GL_LINEAR_MIPMAP_NEAREST);
    const Call &upload = calls[9];
    EXPECT_EQ((std::vector<double>{GL_TEXTURE_2D, GL_RGB8, 4, 4, GL_RGB, GL_UNSIGNED_BYTE}), upload.args);
    const uint8_t row[12] = {165, 127, 249, 89, 127, 249, 89, 127, 249, 165, 127, 249};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(0, std::memcmp(upload.data.data() + y * 12, row, 12)) << "row " << y;
}

TEST_F(TgaBumpCallsTest, RefusedMapsMakeNoCall) {
    std::vector<uint8_t> rgb(4 * 4 * 3, 9);
    const std::string wrong_depth = TgaTest_WriteImage(dir, "rgb.tga", 2, 4, 4, 24, rgb);
    EXPECT_EQ(0u, TGA_UploadDUDV(wrong_depth.c_str()));
    EXPECT_EQ(0u, TGA_UploadDOT3((dir + "/missing.tga").c_str()));
    EXPECT_TRUE(calls.empty());
}

}  // namespace

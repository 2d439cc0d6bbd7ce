// TGA_UploadDOT3 and TGA_UploadDUDV in a real Mesa context, read back.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tga/tga.h"
#include "tga_gl_checks.h"
#include "tga_gl_fixture.h"
#include "tga_test_files.h"

namespace {

using TgaBumpTest = TgaGlTest;

// 4 x 4 map, H = 10 * column.
std::vector<uint8_t> RisingColumns() {
    std::vector<uint8_t> map;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            map.push_back(uint8_t(10 * x));
    return map;
}

void ExpectBumpState(GLuint name, GLint min_filter) {
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(GLint(name), TgaGl_Integer(GL_TEXTURE_BINDING_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(1, TgaGl_Integer(GL_UNPACK_ALIGNMENT));
    EXPECT_EQ(GL_MODULATE, TgaGl_EnvMode());
    EXPECT_EQ(GL_REPEAT, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_REPEAT, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T));
    EXPECT_EQ(GL_LINEAR, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER));
    EXPECT_EQ(min_filter, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER));
}

TEST_F(TgaBumpTest, Dot3NormalMapWithMipmaps) {
    for (uint8_t type : {uint8_t(3), uint8_t(2)}) {   // both 8-bit types alike
        std::string path = TgaTest_WriteImage(dir, "h.tga", type, 4, 4, 8, RisingColumns());
        GLuint name = TGA_UploadDOT3(path.c_str());
        ASSERT_NE(0u, name) << int(type);
        ExpectBumpState(name, GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(GLenum(GL_NO_ERROR), TgaGl_TakeError());
        EXPECT_EQ(GL_RGB8, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT));
        EXPECT_EQ(2, TgaGl_LevelParameter(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH));
        EXPECT_EQ(1, TgaGl_LevelParameter(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH));

        std::vector<uint8_t> texels = TgaGl_Texels(GL_TEXTURE_2D, 0, GL_RGB, 3);
        ASSERT_EQ(48u, texels.size());
        const uint8_t red[4] = {165, 89, 89, 165};
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const uint8_t *texel = &texels[size_t(y * 4 + x) * 3];
                EXPECT_EQ(red[x], texel[0]) << x << "," << y;
                EXPECT_EQ(127, texel[1]) << x << "," << y;
                EXPECT_EQ(249, texel[2]) << x << "," << y;
            }
        }
        glDisable(GL_TEXTURE_2D);
    }
}

TEST_F(TgaBumpTest, Dot3OfAFlatMapIsFlat) {
    std::string path = TgaTest_WriteImage(dir, "flat.tga", 3, 8, 2, 8, std::vector<uint8_t>(16, 200));
    ASSERT_NE(0u, TGA_UploadDOT3(path.c_str()));
    std::vector<uint8_t> texels = TgaGl_Texels(GL_TEXTURE_2D, 0, GL_RGB, 3);
    ASSERT_EQ(48u, texels.size());
    for (size_t i = 0; i < texels.size(); i += 3)
        EXPECT_TRUE(texels[i] == 127 && texels[i + 1] == 127 && texels[i + 2] == 255) << i / 3;
}

TEST_F(TgaBumpTest, DudvReturnsATextureEvenWhenTheDriverRefusesItsFormat) {
    std::string path = TgaTest_WriteImage(dir, "h.tga", 3, 4, 4, 8, RisingColumns());
    GLuint name = TGA_UploadDUDV(path.c_str());
    ASSERT_NE(0u, name);
    ExpectBumpState(name, GL_LINEAR);
    // Mesa knows no du/dv format: the error is left for the caller and the
    // texture stays empty.
    EXPECT_NE(GLenum(GL_NO_ERROR), TgaGl_TakeError());
    EXPECT_EQ(0, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH));
}

TEST_F(TgaBumpTest, EveryCallMakesANewTexture) {
    std::string path = TgaTest_WriteImage(dir, "h.tga", 3, 4, 4, 8, RisingColumns());
    GLuint a = TGA_UploadDOT3(path.c_str());
    GLuint b = TGA_UploadDOT3(path.c_str());
    GLuint c = TGA_UploadDUDV(path.c_str());
    EXPECT_NE(0u, a);
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, c);
    TgaGl_TakeError();
}

TEST_F(TgaBumpTest, OnlyEightBitHeightMapsAreAccepted) {
    const char *not_8_bit = "24 bits per pixel is not a height map (8 bits)";
    for (auto upload : {TGA_UploadDOT3, TGA_UploadDUDV}) {
        ExpectNoGlCall(upload, dir + "/missing.tga", "file cannot be opened: No such file or directory");
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "gray24.tga", 3, 4, 4, 24, std::vector<uint8_t>(48, 1)),
                       not_8_bit);
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "rgb24.tga", 2, 4, 4, 24, std::vector<uint8_t>(48, 1)),
                       not_8_bit);
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "rgba.tga", 2, 4, 4, 32, std::vector<uint8_t>(64, 1)),
                       "32 bits per pixel is not a height map (8 bits)");
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "sixteen.tga", 2, 4, 4, 16, std::vector<uint8_t>(32, 1)),
                       "16 bits per pixel is not a height map (8 bits)");
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "rle.tga", 11, 4, 4, 8, std::vector<uint8_t>(16, 1)),
                       "image type 11 (run-length encoded grayscale) is not read");
    }
    // 26755 x 26755 texels make more than 2^31 - 1 bytes of DOT3 normals.
    ExpectNoGlCall(TGA_UploadDOT3, TgaTest_WriteImage(dir, "huge.tga", 3, 26755, 26755, 8, {}),
                   "26755 x 26755 x 3 bytes is over TGA_MAX_UPLOAD_BYTES");
}

TEST_F(TgaBumpTest, OutputBufferThatCannotBeAllocatedGivesZero) {
    // A 16384 x 8192 height map: 128 MiB of heights, 384 MiB of DOT3 and
    // 256 MiB of du/dv output. Leaks would fail the child's exit code.
    std::string path = TgaTest_WriteImage(dir, "huge.tga", 3, 16384, 8192, 8, {});
    TgaTest_PrepareAllocationLimit(200);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (auto upload : {TGA_UploadDOT3, TGA_UploadDUDV}) {
        EXPECT_EXIT(
            {
                TgaTest_LimitAllocations(200);
                std::exit(upload(path.c_str()) == 0 ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

}  // namespace

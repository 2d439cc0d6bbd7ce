// TGA_UploadImage, TGA_UploadImageMemory and TGA_UploadCube in a real Mesa
// context, read back.
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tga/tga.h"
#include "tga_gl_checks.h"
#include "tga_gl_fixture.h"
#include "tga_test_files.h"
#include "tools/tga_writer.h"

namespace {

using TgaUploadTest = TgaGlTest;

// The state every successful 2D upload leaves.
void ExpectImageState(GLuint name) {
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(GLint(name), TgaGl_Integer(GL_TEXTURE_BINDING_2D));
    EXPECT_EQ(1, TgaGl_Integer(GL_UNPACK_ALIGNMENT));
    EXPECT_EQ(GL_MODULATE, TgaGl_EnvMode());
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GL_REPEAT, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_REPEAT, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T));
    EXPECT_EQ(GL_LINEAR, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER));
    EXPECT_EQ(GL_LINEAR_MIPMAP_NEAREST, TgaGl_TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER));
    EXPECT_EQ(GLenum(GL_NO_ERROR), TgaGl_TakeError());
}

// TGA_UploadImageMemory with the bytes of the file at path (none when it
// cannot be read), so that the 2D tests take both uploads.
unsigned int UploadFileBytes(const char *path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return TGA_UploadImageMemory(file ? bytes.data() : nullptr, bytes.size());
}
using UploadFn = unsigned int (*)(const char *);
const UploadFn kUploads2D[] = {TGA_UploadImage, UploadFileBytes};

// Level sizes down to 1 x 1 for a square power-of-two texture.
void ExpectMipmapChain(int size) {
    int level = 0;
    for (int side = size; side >= 1; side /= 2, ++level) {
        EXPECT_EQ(side, TgaGl_LevelParameter(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH)) << level;
        EXPECT_EQ(side, TgaGl_LevelParameter(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT)) << level;
    }
}

TEST_F(TgaUploadTest, EightBitBecomesAnAlphaTexture) {
    for (uint8_t type : {uint8_t(3), uint8_t(2)}) {
        std::vector<uint8_t> pixels = TgaTest_Pattern(4 * 4, 40);
        std::string path = TgaTest_WriteImage(dir, "alpha.tga", type, 4, 4, 8, pixels);
        GLuint name = TGA_UploadImage(path.c_str());
        ASSERT_NE(0u, name);
        ExpectImageState(name);
        EXPECT_EQ(GL_ALPHA8, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT));
        EXPECT_EQ(8, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE));
        EXPECT_EQ(0, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE));
        EXPECT_EQ(pixels, TgaGl_Texels(GL_TEXTURE_2D, 0, GL_ALPHA, 1));
        ExpectMipmapChain(4);
    }
}

TEST_F(TgaUploadTest, AlphaTextureModulatesOnlyTheAlphaOfWhatIsDrawn) {
    std::vector<uint8_t> pixels(2 * 2, 128);
    std::string path = TgaTest_WriteImage(dir, "half.tga", 3, 2, 2, 8, pixels);
    GLuint name = TGA_UploadImage(path.c_str());
    ASSERT_NE(0u, name);

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glColor4ub(200, 100, 50, 255);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(-1, -1);
    glTexCoord2f(1, 0); glVertex2f(1, -1);
    glTexCoord2f(1, 1); glVertex2f(1, 1);
    glTexCoord2f(0, 1); glVertex2f(-1, 1);
    glEnd();
    uint8_t rgba[4];
    TestGl_ReadPixel(16, 16, rgba);
    EXPECT_EQ(200, rgba[0]);
    EXPECT_EQ(100, rgba[1]);
    EXPECT_EQ(50, rgba[2]);
    EXPECT_NEAR(128, rgba[3], 1);
}

TEST_F(TgaUploadTest, TwentyFourBitKeepsBlueGreenRedOrder) {
    std::vector<uint8_t> pixels = TgaTest_Pattern(2 * 2 * 3, 60);
    std::string path = TgaTest_WriteImage(dir, "bgr.tga", 2, 2, 2, 24, pixels);
    GLuint name = TGA_UploadImage(path.c_str());
    ASSERT_NE(0u, name);
    ExpectImageState(name);
    EXPECT_EQ(GL_RGB8, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT));
    EXPECT_EQ(pixels, TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3));
    // The file's first byte is blue: red comes from the third.
    std::vector<uint8_t> rgb = TgaGl_Texels(GL_TEXTURE_2D, 0, GL_RGB, 3);
    ASSERT_EQ(12u, rgb.size());
    EXPECT_EQ(pixels[2], rgb[0]);
    EXPECT_EQ(pixels[0], rgb[2]);
    // First file row is texture row 0.
    EXPECT_EQ(pixels[8], rgb[6]);
    ExpectMipmapChain(2);
}

TEST_F(TgaUploadTest, ThirtyTwoBitKeepsBlueGreenRedAlphaOrder) {
    std::vector<uint8_t> pixels = TgaTest_Pattern(8 * 8 * 4, 70);
    std::string path = TgaTest_WriteImage(dir, "bgra.tga", 2, 8, 8, 32, pixels, 0x08);
    for (UploadFn upload : kUploads2D) {
        GLuint name = upload(path.c_str());
        ASSERT_NE(0u, name);
        ExpectImageState(name);
        EXPECT_EQ(GL_RGBA8, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT));
        EXPECT_EQ(pixels, TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGRA_EXT, 4));
        ExpectMipmapChain(8);
    }
}

TEST_F(TgaUploadTest, OddRowLengthsNeedNoPadding) {
    // 3 x 5 at 24 bits: 9-byte rows. GLU rescales it to 4 x 4, so the level
    // is compared with GLU's own result for tightly packed rows.
    std::vector<uint8_t> pixels = TgaTest_Pattern(3 * 5 * 3, 80);
    std::string path = TgaTest_WriteImage(dir, "odd.tga", 2, 3, 5, 24, pixels);
    GLuint name = TGA_UploadImage(path.c_str());
    ASSERT_NE(0u, name);
    ExpectImageState(name);
    EXPECT_EQ(4, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH));
    EXPECT_EQ(4, TgaGl_LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT));
    std::vector<uint8_t> uploaded = TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3);

    GLuint reference = 0;
    glGenTextures(1, &reference);
    glBindTexture(GL_TEXTURE_2D, reference);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 3, 5, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_EQ(TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3), uploaded);
    // At alignment 4 GLU reads 12-byte rows, 60 bytes in all: the buffer is
    // lengthened so that it does not read past its end.
    std::vector<uint8_t> padded = pixels;
    padded.resize(5 * 12, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 3, 5, GL_BGR_EXT, GL_UNSIGNED_BYTE, padded.data());
    EXPECT_NE(TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3), uploaded);   // the test can tell
}

TEST_F(TgaUploadTest, OddSizedUniformImageKeepsItsColour) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 3 * 5; ++i)
        pixels.insert(pixels.end(), {10, 140, 250});
    std::string path = TgaTest_WriteImage(dir, "odd_uniform.tga", 2, 3, 5, 24, pixels);
    ASSERT_NE(0u, TGA_UploadImage(path.c_str()));
    std::vector<uint8_t> texels = TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3);
    ASSERT_EQ(4u * 4u * 3u, texels.size());
    for (size_t i = 0; i < texels.size(); i += 3)
        EXPECT_TRUE(texels[i] == 10 && texels[i + 1] == 140 && texels[i + 2] == 250) << i / 3;
}

TEST_F(TgaUploadTest, FailedUploadsMakeNoTexture) {
    std::vector<uint8_t> pixels(4 * 4 * 2, 0x33);
    std::vector<uint8_t> bytes = TgaWriter_Encode(2, 4, 4, 24, pixels.data(), pixels.size());
    bytes[0] = 5;
    std::string id = TgaTest_WriteBytes(dir, "id.tga", bytes);
    bytes.resize(10);
    std::string cut = TgaTest_WriteBytes(dir, "short.tga", bytes);
    // The memory upload of a missing file is one of no bytes at null.
    for (UploadFn upload : kUploads2D) {
        ExpectNoGlCall(upload, dir + "/missing.tga", "file cannot be opened: No such file or directory");
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "16.tga", 2, 4, 4, 16, pixels), "16 bits per pixel is not read");
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "rle.tga", 10, 4, 4, 24, pixels),
                       "image type 10 (run-length encoded) is not read");
        ExpectNoGlCall(upload, id, "image ID present (length 5)");
        ExpectNoGlCall(upload, cut, "file of 10 bytes is shorter than its 18-byte header");
        // Sizes whose data GLU's mipmap builder cannot take (it crashes on them).
        ExpectNoGlCall(upload, TgaTest_WriteImage(dir, "huge32.tga", 2, 23171, 23171, 32, {}),
                       "23171 x 23171 x 4 bytes is over TGA_MAX_UPLOAD_BYTES");
    }
    ExpectNoGlCall(TGA_UploadImage, TgaTest_WriteImage(dir, "huge24.tga", 2, 32767, 32767, 24, {}),
                   "32767 x 32767 x 3 bytes is over TGA_MAX_UPLOAD_BYTES");
    EXPECT_EQ(0u, TGA_UploadImageMemory(nullptr, 1 << 20));
}

TEST_F(TgaUploadTest, EveryLoadMakesANewTexture) {
    std::vector<uint8_t> pixels = TgaTest_Pattern(2 * 2 * 3, 90);
    std::string path = TgaTest_WriteImage(dir, "twice.tga", 2, 2, 2, 24, pixels);
    GLuint first = TGA_UploadImage(path.c_str());
    GLuint second = TGA_UploadImage(path.c_str());
    EXPECT_NE(0u, first);
    EXPECT_NE(0u, second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(glIsTexture(first));
    EXPECT_TRUE(glIsTexture(second));
    glBindTexture(GL_TEXTURE_2D, first);
    EXPECT_EQ(pixels, TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3));
}

TEST_F(TgaUploadTest, TruncatedFileUploadsWithZeroTexels) {
    std::vector<uint8_t> pixels = TgaTest_Pattern(4 * 4 * 3, 100);
    std::vector<uint8_t> bytes = TgaWriter_Encode(2, 4, 4, 24, pixels.data(), pixels.size());
    bytes.resize(18 + 24);   // the first two rows only
    std::string path = TgaTest_WriteBytes(dir, "cut.tga", bytes);
    for (UploadFn upload : kUploads2D) {
        ASSERT_NE(0u, upload(path.c_str()));
        std::vector<uint8_t> texels = TgaGl_Texels(GL_TEXTURE_2D, 0, GL_BGR_EXT, 3);
        ASSERT_EQ(48u, texels.size());
        EXPECT_EQ(0, std::memcmp(texels.data(), pixels.data(), 24));
        EXPECT_EQ(std::vector<uint8_t>(24, 0), std::vector<uint8_t>(texels.begin() + 24, texels.end()));
    }
}

// Cube maps ---------------------------------------------------------------

const GLenum kFaces[6] = {
    GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X, GL_TEXTURE_CUBE_MAP_POSITIVE_Y,
    GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z,
};

struct TgaCubeTest : TgaUploadTest {
    std::vector<std::string> paths;
    std::vector<std::vector<uint8_t>> faces;

    // Six distinct 24-bit faces of side x side pixels.
    void WriteFaces(int side) {
        for (int i = 0; i < 6; ++i) {
            faces.push_back(TgaTest_Pattern(size_t(side * side * 3), 17 * (i + 1)));
            std::string name = "face" + std::to_string(i) + ".tga";
            paths.push_back(TgaTest_WriteImage(dir, name.c_str(), 2, side, side, 24, faces.back()));
        }
    }
    GLuint Upload() {
        return TGA_UploadCube(paths[0].c_str(), paths[1].c_str(), paths[2].c_str(), paths[3].c_str(),
                              paths[4].c_str(), paths[5].c_str());
    }
    // A failed cube upload: 0 and no GL call, face refused for reason;
    // returns which files it opened.
    std::vector<int> ExpectRefused(int face, const char *reason) {
        TgaTestOpenWatch watch;
        EXPECT_LE(0, TgaTest_WatchBegin(&watch, paths));
        GLuint before = TgaGl_ProbeName();
        EXPECT_EQ(0u, Upload());
        std::vector<int> opened = TgaTest_WatchEnd(&watch);
        EXPECT_EQ(before + 1, TgaGl_ProbeName());
        EXPECT_EQ(4, TgaGl_Integer(GL_UNPACK_ALIGNMENT));
        EXPECT_EQ(GL_REPLACE, TgaGl_EnvMode());
        EXPECT_EQ(0, TgaGl_Integer(GL_TEXTURE_BINDING_CUBE_MAP));
        EXPECT_EQ(GLenum(GL_NO_ERROR), TgaGl_TakeError());
        ExpectReason(paths[size_t(face)], TGA_USE_CUBE_FACE, reason);
        return opened;
    }
};

TEST_F(TgaCubeTest, SixFacesInArgumentOrder) {
    WriteFaces(4);
    GLuint name = Upload();
    ASSERT_NE(0u, name);
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(GLint(name), TgaGl_Integer(GL_TEXTURE_BINDING_CUBE_MAP));
    EXPECT_EQ(1, TgaGl_Integer(GL_UNPACK_ALIGNMENT));
    EXPECT_EQ(GL_MODULATE, TgaGl_EnvMode());
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GL_CLAMP_TO_EDGE, TgaGl_TexParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_CLAMP_TO_EDGE, TgaGl_TexParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T));
    EXPECT_EQ(GL_REPEAT, TgaGl_TexParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R));
    EXPECT_EQ(GL_LINEAR, TgaGl_TexParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER));
    EXPECT_EQ(GL_LINEAR, TgaGl_TexParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(GL_RGB8, TgaGl_LevelParameter(kFaces[i], 0, GL_TEXTURE_INTERNAL_FORMAT)) << i;
        EXPECT_EQ(faces[size_t(i)], TgaGl_Texels(kFaces[i], 0, GL_BGR_EXT, 3)) << "face " << i;
        // Base level only.
        EXPECT_EQ(0, TgaGl_LevelParameter(kFaces[i], 1, GL_TEXTURE_WIDTH)) << i;
    }
    EXPECT_EQ(GLenum(GL_NO_ERROR), TgaGl_TakeError());
}

TEST_F(TgaCubeTest, OddSizedFacesNeedNoPadding) {
    // Faces are sent at their own size; 3-pixel rows are 9 bytes long. Mesa
    // wants square faces for a complete cube, but every face still loads.
    for (int i = 0; i < 6; ++i) {
        faces.push_back(TgaTest_Pattern(3 * 3 * 3, 5 * i + 1));
        std::string name = "odd" + std::to_string(i) + ".tga";
        paths.push_back(TgaTest_WriteImage(dir, name.c_str(), 2, 3, 3, 24, faces.back()));
    }
    ASSERT_NE(0u, Upload());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(faces[size_t(i)], TgaGl_Texels(kFaces[i], 0, GL_BGR_EXT, 3)) << "face " << i;
    TgaGl_TakeError();
}

TEST_F(TgaCubeTest, MissingFourthFileStopsTheLoad) {
    WriteFaces(2);
    std::string fourth = paths[3];
    ASSERT_EQ(0, std::remove(fourth.c_str()));
    // The watch needs the file to exist; it is removed again right after.
    ASSERT_TRUE(TgaWriter_Save(fourth.c_str(), {}));
    TgaTestOpenWatch watch;
    ASSERT_LE(0, TgaTest_WatchBegin(&watch, paths));
    ASSERT_EQ(0, std::remove(fourth.c_str()));
    GLuint before = TgaGl_ProbeName();
    EXPECT_EQ(0u, Upload());
    std::vector<int> opened = TgaTest_WatchEnd(&watch);
    EXPECT_EQ(before + 1, TgaGl_ProbeName());
    EXPECT_EQ(4, TgaGl_Integer(GL_UNPACK_ALIGNMENT));
    EXPECT_EQ(0, TgaGl_Integer(GL_TEXTURE_BINDING_CUBE_MAP));
    EXPECT_EQ((std::vector<int>{1, 1, 1, 0, 0, 0}), opened);
    ExpectReason(fourth, TGA_USE_CUBE_FACE, "file cannot be opened: No such file or directory");
}

TEST_F(TgaCubeTest, RefusedHeaderStopsTheLoad) {
    WriteFaces(2);
    paths[1] = TgaTest_WriteImage(dir, "rle.tga", 10, 2, 2, 24, faces[1]);
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0, 0, 0}), ExpectRefused(1, "image type 10 (run-length encoded) is not read"));
}

TEST_F(TgaCubeTest, FaceBeyondTheUploadLimitStopsTheLoad) {
    WriteFaces(2);
    paths[1] = TgaTest_WriteImage(dir, "huge.tga", 2, 26756, 26756, 24, {});
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0, 0, 0}),
              ExpectRefused(1, "26756 x 26756 x 3 bytes is over TGA_MAX_UPLOAD_BYTES"));
}

TEST_F(TgaCubeTest, FaceThatIsNotTwentyFourBitIsRefused) {
    WriteFaces(2);
    // An 8-bit face would be read past its buffer; a 16-bit one has none.
    paths[2] = TgaTest_WriteImage(dir, "gray.tga", 3, 2, 2, 8, std::vector<uint8_t>(4, 9));
    EXPECT_EQ((std::vector<int>{1, 1, 1, 0, 0, 0}), ExpectRefused(2, "8 bits per pixel is not a cube face (24 bits)"));
    paths[2] = dir + "/face2.tga";
    paths[5] = TgaTest_WriteImage(dir, "sixteen.tga", 2, 2, 2, 16, std::vector<uint8_t>(8, 9));
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 1, 1}), ExpectRefused(5, "16 bits per pixel is not a cube face (24 bits)"));
    paths[5] = dir + "/face5.tga";
    paths[0] = TgaTest_WriteImage(dir, "rgba.tga", 2, 2, 2, 32, std::vector<uint8_t>(16, 9));
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0, 0, 0}), ExpectRefused(0, "32 bits per pixel is not a cube face (24 bits)"));
}

}  // namespace

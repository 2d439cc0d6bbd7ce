// TGA_Read and TGA_ReadMemory: the accepted subset, byte-exact buffers and
// the refused files with their reasons.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "tga/tga_read.h"
#include "tga_test_files.h"
#include "tools/tga_writer.h"

// fopen is wrapped (see tests.cmake): a file opened as failing_name gives
// failing_bytes, then a read error.
static const char failing_name[] = "/read error";
static std::vector<uint8_t> failing_bytes;

static ssize_t read_then_fail(void *, char *buffer, size_t size) {
    size_t given = failing_bytes.size() < size ? failing_bytes.size() : size;
    if (given == 0) {
        errno = EIO;
        return -1;
    }
    std::memcpy(buffer, failing_bytes.data(), given);
    failing_bytes.erase(failing_bytes.begin(), failing_bytes.begin() + long(given));
    return ssize_t(given);
}

extern "C" FILE *__real_fopen(const char *name, const char *mode);
extern "C" FILE *__wrap_fopen(const char *name, const char *mode) {
    if (std::strcmp(name, failing_name) != 0)
        return __real_fopen(name, mode);
    return fopencookie(nullptr, mode, cookie_io_functions_t{read_then_fail, nullptr, nullptr, nullptr});
}

namespace {

struct TgaReadTest : ::testing::Test {
    std::string dir;
    void SetUp() override {
        dir = TgaTest_MakeDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { TgaTest_RemoveDir(dir); }

    // Both readers refuse the bytes for `use` with this reason, and leave
    // no buffer.
    void ExpectRefused(const std::vector<uint8_t> &bytes, TgaUse use, const std::string &reason) {
        std::string path = TgaTest_WriteBytes(dir, "r.tga", bytes);
        for (int memory : {0, 1}) {
            char why[tga_reason_size] = "";
            TgaImage image;
            image.pixels = reinterpret_cast<uint8_t *>(&image);   // must be cleared
            EXPECT_EQ(0, memory ? TGA_ReadMemory(bytes.data(), bytes.size(), &image, use, why)
                                : TGA_Read(path.c_str(), &image, use, why)) << reason;
            EXPECT_EQ(reason, why) << "from memory: " << memory;
            EXPECT_EQ(nullptr, image.pixels) << reason;
        }
    }
};

std::vector<uint8_t> Valid2x2() {
    std::vector<uint8_t> pixels = TgaTest_Pattern(12, 1);
    return TgaWriter_Encode(2, 2, 2, 24, pixels.data(), pixels.size());
}

TEST_F(TgaReadTest, TrueColourBufferEqualsFileBytesAndHeaderFields) {
    std::vector<uint8_t> bytes = Valid2x2();
    // Origins and descriptor are little-endian and signed as stored.
    bytes[8] = 0x34;
    bytes[9] = 0x12;
    bytes[10] = 0xFE;
    bytes[11] = 0xFF;
    bytes[17] = 0x08;
    std::string path = TgaTest_WriteBytes(dir, "a.tga", bytes);

    TgaImage image, copy;
    std::memset(&image, 0, sizeof image);   // padding too: the two records are compared
    std::memset(&copy, 0, sizeof copy);
    ASSERT_EQ(1, TGA_Read(path.c_str(), &image));
    EXPECT_EQ(0, image.id_length);
    EXPECT_EQ(0, image.color_map_type);
    EXPECT_EQ(2, image.image_type);
    EXPECT_EQ(0x1234, image.x_origin);
    EXPECT_EQ(-2, image.y_origin);
    EXPECT_EQ(2, image.width);
    EXPECT_EQ(2, image.height);
    EXPECT_EQ(24, image.bits_per_pixel);
    EXPECT_EQ(0x08, image.descriptor);
    ASSERT_NE(nullptr, image.pixels);
    EXPECT_EQ(0, std::memcmp(image.pixels, bytes.data() + 18, 12));
    std::free(image.pixels);
    ASSERT_EQ(1, TGA_ReadMemory(bytes.data(), bytes.size(), &copy, TGA_USE_IMAGE, nullptr));
    EXPECT_EQ(0, std::memcmp(&image, &copy, offsetof(TgaImage, pixels)));
    EXPECT_EQ(0, std::memcmp(copy.pixels, bytes.data() + 18, 12));
    std::free(copy.pixels);
}

TEST_F(TgaReadTest, ThirtyTwoBitAndWideSizes) {
    // 300 x 2 needs the high byte of the width.
    std::vector<uint8_t> pixels = TgaTest_Pattern(300 * 2 * 4, 3);
    std::string path = TgaTest_WriteImage(dir, "wide.tga", 2, 300, 2, 32, pixels);
    TgaImage image;
    ASSERT_EQ(1, TGA_Read(path.c_str(), &image));
    EXPECT_EQ(300, image.width);
    EXPECT_EQ(32, image.bits_per_pixel);
    ASSERT_NE(nullptr, image.pixels);
    EXPECT_EQ(0, std::memcmp(image.pixels, pixels.data(), pixels.size()));
    std::free(image.pixels);
}

TEST_F(TgaReadTest, GrayscaleEightBitHasOneBytePerPixel) {
    std::vector<uint8_t> pixels = TgaTest_Pattern(5 * 3, 9);
    std::string path = TgaTest_WriteImage(dir, "g.tga", 3, 5, 3, 8, pixels);
    TgaImage image;
    ASSERT_EQ(1, TGA_Read(path.c_str(), &image));
    EXPECT_EQ(3, image.image_type);
    ASSERT_NE(nullptr, image.pixels);
    EXPECT_EQ(0, std::memcmp(image.pixels, pixels.data(), pixels.size()));
    std::free(image.pixels);
}

TEST_F(TgaReadTest, TopLeftOriginKeepsFileRowOrder) {
    std::vector<uint8_t> pixels = TgaTest_Pattern(2 * 3 * 3, 5);
    std::string path = TgaTest_WriteImage(dir, "top.tga", 2, 2, 3, 24, pixels, 0x20);
    TgaImage image;
    ASSERT_EQ(1, TGA_Read(path.c_str(), &image));
    EXPECT_EQ(0x20, image.descriptor);
    ASSERT_NE(nullptr, image.pixels);
    EXPECT_EQ(0, std::memcmp(image.pixels, pixels.data(), pixels.size()));
    std::free(image.pixels);
}

TEST_F(TgaReadTest, DepthsAnUploadDoesNotTakeAreRefused) {
    struct Case { int depth; TgaUse use; const char *reason; } cases[] = {
        {1, TGA_USE_IMAGE, "1 bits per pixel is not read"}, {15, TGA_USE_IMAGE, "15 bits per pixel is not read"},
        {16, TGA_USE_IMAGE, "16 bits per pixel is not read"}, {48, TGA_USE_IMAGE, "48 bits per pixel is not read"},
        {8, TGA_USE_CUBE_FACE, "8 bits per pixel is not a cube face (24 bits)"},
        {32, TGA_USE_CUBE_FACE, "32 bits per pixel is not a cube face (24 bits)"},
        {24, TGA_USE_DOT3, "24 bits per pixel is not a height map (8 bits)"},
        {16, TGA_USE_DUDV, "16 bits per pixel is not a height map (8 bits)"},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> pixels(2 * 2 * 2, 0x55);
        ExpectRefused(TgaWriter_Encode(2, 2, 2, uint8_t(c.depth), pixels.data(), pixels.size()), c.use, c.reason);
    }
}

TEST_F(TgaReadTest, ZeroSizesGiveAnEmptyBuffer) {
    for (int shape : {0, 1, 2}) {
        int width = shape == 1 ? 0 : 4;
        int height = shape == 1 ? 4 : 0;
        if (shape == 2)
            width = 0;
        std::string path = TgaTest_WriteImage(dir, "z.tga", 2, width, height, 24, {});
        TgaImage image;
        ASSERT_EQ(1, TGA_Read(path.c_str(), &image)) << shape;
        EXPECT_EQ(width, image.width);
        EXPECT_EQ(height, image.height);
        // A buffer, unlike an unread depth, even though it holds no pixels.
        EXPECT_NE(nullptr, image.pixels);
        std::free(image.pixels);
    }
}

struct ByteCase {
    int offset;
    uint8_t value;
    const char *reason;
};

TEST_F(TgaReadTest, RefusedHeaders) {
    // Image ID, colour map, colour-mapped, RLE and unknown types, each in an
    // otherwise valid file.
    const ByteCase cases[] = {
        {0, 5, "image ID present (length 5)"}, {0, 1, "image ID present (length 1)"},
        {1, 1, "colour map present (map type 1)"}, {2, 0, "image type 0 is not read"},
        {2, 1, "image type 1 (colour-mapped) is not read"},
        {2, 9, "image type 9 (run-length encoded colour-mapped) is not read"},
        {2, 10, "image type 10 (run-length encoded) is not read"},
        {2, 11, "image type 11 (run-length encoded grayscale) is not read"},
        {2, 4, "image type 4 is not read"}, {2, 32, "image type 32 is not read"},
    };
    for (const ByteCase &c : cases) {
        std::vector<uint8_t> bytes = Valid2x2();
        bytes[size_t(c.offset)] = c.value;
        ExpectRefused(bytes, TGA_USE_IMAGE, c.reason);
    }
}

TEST_F(TgaReadTest, NegativeSizesAreRefused) {
    // The high byte of a width or height of 2.
    const ByteCase cases[] = {{13, 0x80, "width -32766 is negative"}, {13, 0xFF, "width -254 is negative"},
                              {15, 0x80, "height -32766 is negative"}, {15, 0xFF, "height -254 is negative"}};
    for (const ByteCase &c : cases) {
        std::vector<uint8_t> bytes = Valid2x2();
        bytes[size_t(c.offset)] = c.value;
        ExpectRefused(bytes, TGA_USE_IMAGE, c.reason);
    }
}

TEST_F(TgaReadTest, FilesShorterThanTheHeaderAreRefused) {
    std::vector<uint8_t> full = Valid2x2();
    for (size_t length : {size_t(0), size_t(1), size_t(3), size_t(8), size_t(17)}) {
        std::vector<uint8_t> bytes(full.begin(), full.begin() + long(length));
        ExpectRefused(bytes, TGA_USE_IMAGE,
                      "file of " + std::to_string(length) + " bytes is shorter than its 18-byte header");
    }
}

TEST_F(TgaReadTest, TruncatedPixelDataIsZeroFilled) {
    const size_t size = 16 * 16 * 3;
    std::vector<uint8_t> pixels = TgaTest_Pattern(size, 11);
    std::vector<uint8_t> bytes = TgaWriter_Encode(2, 16, 16, 24, pixels.data(), pixels.size());
    bytes.resize(18 + 100);
    std::string path = TgaTest_WriteBytes(dir, "t.tga", bytes);

    // Leave a dirty block of the same size for the allocator to hand back.
    void *dirty = std::malloc(size);
    ASSERT_NE(nullptr, dirty);
    std::memset(dirty, 0xCD, size);
    std::free(dirty);

    TgaImage image;
    ASSERT_EQ(1, TGA_Read(path.c_str(), &image));
    ASSERT_NE(nullptr, image.pixels);
    EXPECT_EQ(0, std::memcmp(image.pixels, pixels.data(), 100));
    size_t nonzero = 0;
    for (size_t i = 100; i < size; ++i)
        nonzero += image.pixels[i] != 0;
    EXPECT_EQ(0u, nonzero);
    std::free(image.pixels);
}

TEST_F(TgaReadTest, FilesThatCannotBeOpenedOrReadAreRefused) {
    TgaImage image;
    std::memset(&image, 0xAB, sizeof image);
    TgaImage before = image;
    std::string path = dir + "/missing.tga";
    char reason[tga_reason_size] = "";
    EXPECT_EQ(0, TGA_Read(path.c_str(), &image, TGA_USE_IMAGE, reason));
    EXPECT_EQ(0, std::memcmp(&before, &image, sizeof image));
    EXPECT_STREQ("file cannot be opened: No such file or directory", reason);
    // A directory opens on Linux but has no header to read.
    EXPECT_EQ(0, TGA_Read(dir.c_str(), &image, TGA_USE_IMAGE, reason));
    EXPECT_STREQ("file cannot be read", reason);
    EXPECT_EQ(0, std::memcmp(&before, &image, sizeof image));
    // A read error in the pixel data is not a file that ends early.
    failing_bytes = Valid2x2();
    failing_bytes.resize(tga_header_size + 5);
    EXPECT_EQ(0, TGA_Read(failing_name, &image, TGA_USE_IMAGE, reason));
    EXPECT_STREQ("file cannot be read", reason);
    EXPECT_EQ(nullptr, image.pixels);
}

TEST_F(TgaReadTest, BufferThatCannotBeAllocatedGivesZero) {
    // 16384 x 16384 at 32 bits: a 1 GiB buffer (and a row and a pixel of
    // slack) for a header-only file.
    std::vector<uint8_t> bytes = TgaWriter_Encode(2, 16384, 16384, 32, nullptr, 0);
    std::string path = TgaTest_WriteBytes(dir, "huge.tga", bytes);
    TgaTest_PrepareAllocationLimit(256);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TgaTest_LimitAllocations(256);
            ExpectRefused(bytes, TGA_USE_IMAGE, "out of memory (1073807364 bytes)");
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The uploads hand at most TGA_MAX_UPLOAD_BYTES of texel data to GL: a
// header that promises more is refused before its pixel data is read, and
// one byte less still loads. Header-only files, so buffers stay untouched.
TEST_F(TgaReadTest, ImagesBeyondTheUploadLimitAreRefused) {
    struct Case { int width, height, depth; TgaUse use; const char *reason; } cases[] = {
        {23171, 23171, 32, TGA_USE_IMAGE, "23171 x 23171 x 4 bytes is over TGA_MAX_UPLOAD_BYTES"},   // 2147580964
        {26756, 26756, 24, TGA_USE_IMAGE, "26756 x 26756 x 3 bytes is over TGA_MAX_UPLOAD_BYTES"},
        // 2147490075: GLU would still cope, the limit does not
        {26755, 26755, 24, TGA_USE_IMAGE, "26755 x 26755 x 3 bytes is over TGA_MAX_UPLOAD_BYTES"},
        {32767, 32767, 32, TGA_USE_IMAGE, "32767 x 32767 x 4 bytes is over TGA_MAX_UPLOAD_BYTES"},
        {26756, 26756, 24, TGA_USE_CUBE_FACE, "26756 x 26756 x 3 bytes is over TGA_MAX_UPLOAD_BYTES"},
        {24576, 12287, 32, TGA_USE_IMAGE, nullptr},   // GLU scales it to 32768 x 8192 x 4 = 2^30 bytes and builds it
        {24576, 12288, 32, TGA_USE_IMAGE, nullptr},   // to 32768 x 16384 x 4 = 2^31: GLU_OUT_OF_MEMORY, no stray write
        {26754, 26754, 8, TGA_USE_DOT3, nullptr},   // a DOT3 map of 2147329548 bytes, scaled to 32768 x 32768 x 3
        {26755, 26755, 8, TGA_USE_DOT3, "26755 x 26755 x 3 bytes is over TGA_MAX_UPLOAD_BYTES"},
        {23170, 23170, 8, TGA_USE_DUDV, nullptr},   // 2147395600 at 4 bytes: what the 32-bit image may reach
        {23171, 23171, 8, TGA_USE_DUDV, nullptr},   // the du/dv map has 2
        {32767, 32767, 16, TGA_USE_IMAGE, "16 bits per pixel is not read"},   // the depth comes first
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.depth) +
                     ", use " + std::to_string(c.use));
        std::vector<uint8_t> bytes = TgaWriter_Encode(c.depth == 8 ? 3 : 2, c.width, c.height, uint8_t(c.depth),
                                                      nullptr, 0);
        if (c.reason) {
            ExpectRefused(bytes, c.use, c.reason);
        } else {
            std::string path = TgaTest_WriteBytes(dir, "big.tga", bytes);
            TgaImage image;
            ASSERT_EQ(1, TGA_Read(path.c_str(), &image, c.use));
            std::free(image.pixels);
        }
    }
}

TEST(TgaPixelBytes, LargestSizesDoNotOverflow) {
    EXPECT_EQ(uint64_t(32767) * 32767 * 4, TGA_PixelBytes(32767, 32767, 32));
    EXPECT_EQ(uint64_t(32767) * 32767 * 3, TGA_PixelBytes(32767, 32767, 24));
    EXPECT_EQ(uint64_t(32767) * 32767, TGA_PixelBytes(32767, 32767, 8));
    EXPECT_EQ(0u, TGA_PixelBytes(32767, 32767, 16));
    EXPECT_EQ(0u, TGA_PixelBytes(0, 5, 24));
    EXPECT_EQ(0u, TGA_PixelBytes(-1, 5, 24));
}

}  // namespace

// TGA_Read: the accepted subset, byte-exact buffers and the refused files.
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "tga/tga_read.h"
#include "tga_test_files.h"
#include "tools/tga_writer.h"

namespace {

struct TgaReadTest : ::testing::Test {
    std::string dir;
    void SetUp() override {
        dir = TgaTest_MakeDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { TgaTest_RemoveDir(dir); }
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

    TgaImage image;
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

TEST_F(TgaReadTest, UnreadDepthsGiveOneWithoutPixels) {
    for (int depth : {1, 15, 16, 48}) {
        std::vector<uint8_t> pixels(2 * 2 * 2, 0x55);
        std::string path = TgaTest_WriteImage(dir, "d.tga", 2, 2, 2, uint8_t(depth), pixels);
        TgaImage image;
        image.pixels = reinterpret_cast<uint8_t *>(&image);   // must be cleared
        ASSERT_EQ(1, TGA_Read(path.c_str(), &image)) << depth;
        EXPECT_EQ(depth, image.bits_per_pixel);
        EXPECT_EQ(nullptr, image.pixels) << depth;
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

TEST_F(TgaReadTest, RefusedHeaders) {
    struct Case {
        int offset;
        uint8_t value;
    };
    // Image ID, colour map, colour-mapped, RLE and unknown types, each in an
    // otherwise valid file.
    const Case cases[] = {{0, 5}, {0, 1}, {1, 1}, {2, 0}, {2, 1}, {2, 9}, {2, 10}, {2, 11}, {2, 4}, {2, 32}};
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = Valid2x2();
        bytes[size_t(c.offset)] = c.value;
        std::string path = TgaTest_WriteBytes(dir, "r.tga", bytes);
        TgaImage image;
        EXPECT_EQ(0, TGA_Read(path.c_str(), &image)) << c.offset << "=" << int(c.value);
    }
}

TEST_F(TgaReadTest, NegativeSizesAreRefused) {
    for (int field : {12, 14}) {
        for (uint8_t high : {uint8_t(0x80), uint8_t(0xFF)}) {
            std::vector<uint8_t> bytes = Valid2x2();
            bytes[size_t(field) + 1] = high;
            std::string path = TgaTest_WriteBytes(dir, "n.tga", bytes);
            TgaImage image;
            EXPECT_EQ(0, TGA_Read(path.c_str(), &image)) << field << " " << int(high);
        }
    }
}

TEST_F(TgaReadTest, FilesShorterThanTheHeaderAreRefused) {
    std::vector<uint8_t> full = Valid2x2();
    for (size_t length : {size_t(0), size_t(1), size_t(3), size_t(8), size_t(17)}) {
        std::vector<uint8_t> bytes(full.begin(), full.begin() + long(length));
        std::string path = TgaTest_WriteBytes(dir, "s.tga", bytes);
        TgaImage image;
        std::memset(&image, 0, sizeof image);
        EXPECT_EQ(0, TGA_Read(path.c_str(), &image)) << length;
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

TEST_F(TgaReadTest, MissingFileLeavesTheRecordUntouched) {
    TgaImage image;
    std::memset(&image, 0xAB, sizeof image);
    TgaImage before = image;
    std::string path = dir + "/missing.tga";
    EXPECT_EQ(0, TGA_Read(path.c_str(), &image));
    EXPECT_EQ(0, std::memcmp(&before, &image, sizeof image));
    // A directory opens on Linux but has no header to read.
    EXPECT_EQ(0, TGA_Read(dir.c_str(), &image));
}

TEST_F(TgaReadTest, BufferThatCannotBeAllocatedGivesZero) {
    // 16384 x 16384 at 32 bits: a 1 GiB buffer for a header-only file.
    std::string path = TgaTest_WriteImage(dir, "huge.tga", 2, 16384, 16384, 32, {});
    TgaTest_PrepareAllocationLimit(256);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TgaTest_LimitAllocations(256);
            TgaImage image;
            std::exit(TGA_Read(path.c_str(), &image) == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The uploads hand at most TGA_MAX_UPLOAD_BYTES of texel data to GL: a
// header that promises more is refused before its pixel data is read, and
// one byte less still loads. Header-only files, so buffers stay untouched.
TEST_F(TgaReadTest, ImagesBeyondTheUploadLimitAreRefused) {
    struct Case { int width, height, depth, upload_bytes, result; } cases[] = {
        {23171, 23171, 32, 0, 0},   // 2147580964 bytes
        {26756, 26756, 24, 0, 0},
        {26755, 26755, 24, 0, 0},   // 2147490075: GLU would still cope, the limit does not
        {32767, 32767, 32, 0, 0},
        {24576, 12287, 32, 0, 1},   // GLU scales it to 32768 x 8192 x 4 = 1073741824 bytes and builds it
        {24576, 12288, 32, 0, 1},   // to 32768 x 16384 x 4 = 2147483648: GLU_OUT_OF_MEMORY, no stray write
        {26754, 26754, 8, 3, 1},    // a DOT3 map of 2147329548 bytes, which GLU scales to 32768 x 32768 x 3
        {26755, 26755, 8, 3, 0},
        {23170, 23170, 8, 4, 1},    // 2147395600: what the 32-bit image may reach
        {23171, 23171, 8, 4, 0},
        {32767, 32767, 16, 0, 1},   // a depth that is never read
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.depth) +
                     ", " + std::to_string(c.upload_bytes) + " bytes per texel");
        std::string path = TgaTest_WriteImage(dir, "big.tga", c.depth == 8 ? 3 : 2, c.width, c.height,
                                              uint8_t(c.depth), {});
        TgaImage image;
        image.pixels = nullptr;
        EXPECT_EQ(c.result, TGA_Read(path.c_str(), &image, c.upload_bytes));
        if (c.result == 0)
            EXPECT_EQ(nullptr, image.pixels);
        else
            std::free(image.pixels);
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

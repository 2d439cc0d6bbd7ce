// Image_Decode on JPEG and PNG files written here by stb_image_write and on
// hand-made TGA files; Image_NamesToTry against the lookup order.
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/image.h"
#include "tools/tga_writer.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

typedef std::vector<uint8_t> Bytes;

void append(void *context, void *data, int size) {
    Bytes *bytes = static_cast<Bytes *>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t *>(data), static_cast<uint8_t *>(data) + size);
}

Bytes png(int width, int height, int comp, const Bytes &pixels) {
    Bytes out;
    stbi_write_png_to_func(append, &out, width, height, comp, pixels.data(), width * comp);
    return out;
}

// The IHDR's width, height and bit depth changed, its CRC made anew.
Bytes png_header(Bytes file, uint32_t width, uint32_t height, uint8_t depth) {
    for (int i = 0; i < 4; ++i) {
        file[16 + i] = uint8_t(width >> (24 - 8 * i));
        file[20 + i] = uint8_t(height >> (24 - 8 * i));
    }
    file[24] = depth;
    uLong crc = crc32(0, file.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        file[29 + i] = uint8_t(crc >> (24 - 8 * i));
    return file;
}

// The decoded TGA file, or "refused: " and the reason.
std::string decode(const Bytes &bytes, const char *name) {
    ImageTga tga;
    char reason[tga_reason_size] = "";
    if (!Image_Decode(bytes.data(), bytes.size(), name, &tga, reason))
        return std::string("refused: ") + reason;
    std::string out(reinterpret_cast<char *>(tga.bytes), tga.size);
    std::free(tga.bytes);
    return out;
}

std::string tga(uint8_t type, int width, int height, uint8_t bits, const Bytes &pixels, uint8_t descriptor = 0) {
    Bytes file = TgaWriter_Encode(type, width, height, bits, pixels.data(), pixels.size(), descriptor);
    return std::string(file.begin(), file.end());
}

}  // namespace

TEST(ImageDecode, PngKeepsPixelsExactlyWithRowsBottomToTopAndAlphaOnlyWhenPresent) {
    // Two rows, top (1,2,3) (4,5,6), bottom (7,8,9) (10,11,12).
    Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(decode(png(2, 2, 3, rgb), "a.png"), tga(2, 2, 2, 24, {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
    Bytes rgba = {1, 2, 3, 255, 4, 5, 6, 128};
    EXPECT_EQ(decode(png(2, 1, 4, rgba), "a.PNG"), tga(2, 2, 1, 32, {3, 2, 1, 255, 6, 5, 4, 128}, 8));
    EXPECT_EQ(decode(png(1, 2, 1, {10, 20}), "a.png"), tga(3, 1, 2, 8, {20, 10}));
}

TEST(ImageDecode, JpegComesWithinToleranceBottomToTop) {
    // 16 x 16: the top half red, the bottom half blue.
    Bytes pixels(16 * 16 * 3, 0);
    for (int i = 0; i < 256; ++i)
        pixels[i * 3 + (i < 128 ? 0 : 2)] = 255;
    Bytes file;
    stbi_write_jpg_to_func(append, &file, 16, 16, 3, pixels.data(), 100);
    std::string out = decode(file, "x.jpg");
    ASSERT_EQ(out.size(), 18u + 16 * 16 * 3) << out;
    EXPECT_EQ(out.substr(0, 18), tga(2, 16, 16, 24, {}));
    for (int i = 0; i < 256; ++i) {
        const uint8_t *bgr = reinterpret_cast<const uint8_t *>(out.data()) + 18 + i * 3;
        int blue = i < 128 ? 255 : 0;   // stored bottom row first
        EXPECT_NEAR(bgr[0], blue, 12) << i;
        EXPECT_NEAR(bgr[1], 0, 12) << i;
        EXPECT_NEAR(bgr[2], 255 - blue, 12) << i;
    }
    EXPECT_EQ(decode(Bytes(file.begin(), file.end() - 40), "x.jpg").substr(0, 25), "refused: truncated JPEG (");
    // The scan's data ended early by the end-of-image marker: stb_image
    // 2.27 would shift its bit buffer past its width.
    Bytes cut(file.begin(), file.end() - 12);
    cut.insert(cut.end(), {0xFF, 0xD9});
    EXPECT_EQ(decode(cut, "x.jpg"), "refused: JPEG scan data ends before its last block");
    // A byte left after the last block: stb_image would look on for a
    // marker of its own and read segments not judged.
    Bytes left = file;
    left.insert(left.end() - 2, 0x00);
    EXPECT_EQ(decode(left, "x.jpg"), "refused: JPEG scan holds data after its last block");
    // The same frame marked progressive.
    for (size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0)
            file[i + 1] = 0xC2;
    EXPECT_EQ(decode(file, "x.jpg"), "refused: progressive JPEG is not read (only baseline JPEG is)");
}

TEST(ImageDecode, RefusesOversizedSixteenBitTruncatedAndMislabelledFiles) {
    Bytes small = png(2, 2, 3, Bytes(12, 7));
    EXPECT_EQ(decode(png_header(small, 5000, 5000, 8), "a.png"),
              "refused: PNG of 5000 x 5000 pixels is over 16777216 pixels");
    EXPECT_EQ(decode(png_header(small, 8193, 1, 8), "a.png"), "refused: PNG of 8193 x 1 pixels: a side is over 8192");
    EXPECT_EQ(decode(png_header(small, 2, 2, 16), "a.png"), "refused: PNG of 16 bits per channel is not read");
    EXPECT_EQ(decode(Bytes(small.begin(), small.end() - 20), "a.png").substr(0, 24), "refused: truncated PNG (");
    EXPECT_EQ(decode(small, "a.jpg"), "refused: not a JPEG file (no start-of-image marker)");
    EXPECT_EQ(decode(small, "a.bmp"), "refused: not a .tga, .jpg or .png name");
    Bytes row(8193 * 3, 0), wide = TgaWriter_Encode(2, 8193, 1, 24, row.data(), row.size());
    EXPECT_EQ(decode(wide, "a.tga"), "refused: TGA of 8193 x 1 pixels: a side is over 8192");
}

TEST(ImageDecode, RunLengthTgaGivesTheUncompressedPixels) {
    // 3 x 2 stored top to bottom: a run of three (1,2,3), then three raw.
    Bytes rle = TgaWriter_Encode(10, 3, 2, 24, nullptr, 0, 0x20);
    Bytes packets = {0x82, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    rle.insert(rle.end(), packets.begin(), packets.end());
    std::string plain = tga(2, 3, 2, 24, {4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 1, 2, 3, 1, 2, 3});
    EXPECT_EQ(decode(rle, "skin.tga"), plain);
    EXPECT_EQ(decode(Bytes(plain.begin(), plain.end()), "skin.TGA"), plain);
}

TEST(ImageNames, OwnNameFirstThenTheOtherKinds) {
    typedef std::vector<std::string> Names;
    EXPECT_EQ(Image_NamesToTry("m/x.tga"), (Names{"m/x.tga", "m/x.jpg", "m/x.png"}));
    EXPECT_EQ(Image_NamesToTry("x.JPG"), (Names{"x.JPG", "x.tga", "x.png"}));
    EXPECT_EQ(Image_NamesToTry("x.png"), (Names{"x.png", "x.tga", "x.jpg"}));
    EXPECT_EQ(Image_NamesToTry("a.b/x"), (Names{"a.b/x.tga", "a.b/x.jpg", "a.b/x.png"}));
    EXPECT_EQ(Image_NamesToTry("x.bmp"), (Names{"x.bmp"}));
}

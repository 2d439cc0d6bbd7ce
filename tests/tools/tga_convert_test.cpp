// TgaConvert_Memory on hand-made files of the kinds that Pillow never
// writes, with the expected bytes worked out by hand, and the refusals.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tga/tga_convert.h"
#include "tools/tga_writer.h"

namespace {

typedef std::vector<uint8_t> Bytes;

struct Header {
    uint8_t type;
    int width, height;
    uint8_t bits, descriptor;
    uint8_t map_type = 0;
    int map_first = 0, map_length = 0;
    uint8_t map_bits = 0;
    uint8_t id_length = 0;
};

Bytes file(const Header &h, const Bytes &rest) {
    TgaWriterHeader header = {h.id_length, h.map_type, h.type, h.map_first, h.map_length, h.map_bits,
                              h.width, h.height, h.bits, h.descriptor};
    return TgaWriter_EncodeHeader(header, rest.data(), rest.size());
}

// The converted file's expected header followed by its pixels.
Bytes expected(uint8_t type, int width, int height, uint8_t bits, const Bytes &pixels) {
    return file(Header{type, width, height, bits, uint8_t(bits == 32 ? 8 : 0)}, pixels);
}

// The converted bytes, or the reason prefixed by "refused: ".
std::string convert(const Bytes &bytes, int *unchanged = nullptr) {
    TgaConverted converted;
    char reason[tga_reason_size] = "";
    if (!TgaConvert_Memory(bytes.data(), bytes.size(), &converted, reason)) {
        EXPECT_EQ(nullptr, converted.bytes);
        return std::string("refused: ") + reason;
    }
    std::string out(reinterpret_cast<char *>(converted.bytes), converted.size);
    std::free(converted.bytes);
    if (unchanged)
        *unchanged = converted.unchanged;
    return out;
}

std::string text(const Bytes &bytes) {
    return std::string(bytes.begin(), bytes.end());
}

const uint8_t R[3] = {0, 0, 255}, G[3] = {0, 255, 0}, B[3] = {255, 0, 0};

}  // namespace

// Packets that cross from one row into the next, in all four origins: a run
// of four red pixels, then a raw packet of green and blue (3 x 2 pixels).
TEST(TgaConvert, RunLengthPacketsCrossRowsInEveryOrigin) {
    Bytes packets = {0x83, 0, 0, 255, 0x01, 0, 255, 0, 255, 0, 0};
    // The pixels as stored: first row R R R, second row R G B.
    const Bytes bottom_left = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};
    const Bytes top_left = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255};
    const Bytes bottom_right = {0, 0, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    const Bytes top_right = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255};
    const std::pair<uint8_t, Bytes> origins[] = {
        {0x00, bottom_left}, {0x20, top_left}, {0x10, bottom_right}, {0x30, top_right}};
    for (const auto &origin : origins)
        EXPECT_EQ(text(expected(2, 3, 2, 24, origin.second)), convert(file({10, 3, 2, 24, origin.first}, packets)))
            << "descriptor " << int(origin.first);
}

// 5-bit channels round to nearest, (v * 255 + 15) / 31: 3 -> 25, 7 -> 58,
// 24 -> 197, 28 -> 230, 31 -> 255. The top bit is alpha only with exactly
// one attribute bit.
TEST(TgaConvert, FiveBitChannelsRoundAndTheTopBitIsAlphaWithOneAttributeBit) {
    // B 24, G 7, R 3 with the top bit set; B 28, G 31, R 0 with it clear.
    Bytes pixels = {0xF8, 0x8C, 0xFC, 0x03};
    EXPECT_EQ(text(expected(2, 2, 1, 32, {197, 58, 25, 255, 230, 255, 0, 0})), convert(file({2, 2, 1, 16, 1}, pixels)));
    EXPECT_EQ(text(expected(2, 2, 1, 24, {197, 58, 25, 230, 255, 0})), convert(file({2, 2, 1, 16, 0}, pixels)));
    EXPECT_EQ(text(expected(2, 2, 1, 24, {197, 58, 25, 230, 255, 0})), convert(file({2, 2, 1, 16, 8}, pixels)));
    EXPECT_EQ(text(expected(2, 2, 1, 24, {197, 58, 25, 230, 255, 0})), convert(file({2, 2, 1, 15, 1}, pixels)));
}

// Colour maps: a first entry index other than 0, 15-, 16-, 24- and 32-bit
// entries, 8- and 16-bit indices, run-length encoded too.
TEST(TgaConvert, ColourMapsWithAFirstIndexEntryDepthsAndIndexSizes) {
    Header mapped24 = {1, 3, 1, 8, 0, 1, 5, 2, 24};
    EXPECT_EQ(text(expected(2, 3, 1, 24, {1, 2, 3, 4, 5, 6, 1, 2, 3})),
              convert(file(mapped24, {1, 2, 3, 4, 5, 6, 5, 6, 5})));
    EXPECT_EQ("refused: index 7 beyond the colour map of 2 entries from 5",
              convert(file(mapped24, {1, 2, 3, 4, 5, 6, 5, 7, 5})));
    EXPECT_EQ("refused: index 4 beyond the colour map of 2 entries from 5",
              convert(file(mapped24, {1, 2, 3, 4, 5, 6, 4, 5, 5})));
    // 32-bit entries keep their alpha.
    Header mapped32 = {1, 2, 1, 8, 0, 1, 0, 2, 32};
    EXPECT_EQ(text(expected(2, 2, 1, 32, {5, 6, 7, 8, 1, 2, 3, 4})), convert(file(mapped32, {1, 2, 3, 4, 5, 6, 7, 8, 1, 0})));
    // Type 9, 16-bit indices from 300 into 16-bit entries, one attribute bit:
    // a run of three of entry 301 (B 24, G 7, R 3, alpha), then 300 raw.
    Header mapped16 = {9, 4, 1, 16, 1, 1, 300, 2, 16};
    EXPECT_EQ(text(expected(2, 4, 1, 32, {197, 58, 25, 255, 197, 58, 25, 255, 197, 58, 25, 255, 230, 255, 0, 0})),
              convert(file(mapped16, {0xFC, 0x03, 0xF8, 0x8C, 0x82, 0x2D, 0x01, 0x00, 0x2C, 0x01})));
    // 15-bit entries have no alpha, whatever the descriptor.
    Header mapped15 = {1, 1, 1, 8, 1, 1, 0, 1, 15};
    EXPECT_EQ(text(expected(2, 1, 1, 24, {197, 58, 25})), convert(file(mapped15, {0xF8, 0x8C, 0})));
}

// Greyscale at 8 bits stays 8-bit type 3; with alpha (16 bits) it becomes
// grey, grey, grey, alpha. An image ID and an unused colour map are
// skipped, and whatever follows the pixels (a TGA 2.0 footer) is left out.
TEST(TgaConvert, GreyscaleImageIdUnusedMapAndFooter) {
    Header grey = {11, 3, 1, 8, 0};
    EXPECT_EQ(text(expected(3, 3, 1, 8, {9, 9, 7})), convert(file(grey, {0x81, 9, 0x00, 7})));
    Header grey_alpha = {3, 2, 1, 16, 8};
    EXPECT_EQ(text(expected(2, 2, 1, 32, {10, 10, 10, 200, 20, 20, 20, 0})), convert(file(grey_alpha, {10, 200, 20, 0})));
    Header extras = {2, 1, 1, 24, 0, 1, 0, 2, 24, 3};
    Bytes rest = {'i', 'd', '!', 1, 1, 1, 2, 2, 2, 7, 8, 9};
    const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    rest.insert(rest.end(), footer, footer + sizeof footer);
    EXPECT_EQ(text(expected(2, 1, 1, 24, {7, 8, 9})), convert(file(extras, rest)));
}

// A file that the library reads as it is keeps its pixel bytes; only its
// header is rewritten, with alpha bits that tell the truth.
TEST(TgaConvert, FilesTheLibraryReadsKeepTheirPixels) {
    Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    int unchanged = 0;
    EXPECT_EQ(text(expected(2, 2, 1, 32, pixels)), convert(file({2, 2, 1, 32, 0}, pixels), &unchanged));
    EXPECT_EQ(1, unchanged);
    EXPECT_EQ(text(expected(3, 8, 1, 8, pixels)), convert(file({2, 8, 1, 8, 0}, pixels), &unchanged));
    EXPECT_EQ(1, unchanged);
    convert(file({2, 2, 1, 32, 0x28}, pixels), &unchanged);
    EXPECT_EQ(0, unchanged) << "rows top to bottom";
}

TEST(TgaConvert, RefusesWhatItCannotConvertWithReasons) {
    const std::pair<Bytes, const char *> cases[] = {
        {Bytes(10, 0), "file of 10 bytes is shorter than its 18-byte header"},
        {file({0, 1, 1, 24, 0}, {}), "image type 0 is not read"},
        {file({32, 1, 1, 24, 0}, {}), "image type 32 is not read"},
        {file({1, 1, 1, 8, 0}, {0}), "image type 1 (colour-mapped) has no colour map"},
        {file({2, -1, 1, 24, 0}, {}), "width -1 is negative"},
        {file({1, 1, 1, 24, 0, 1, 0, 1, 24}, {0, 0, 0, 0, 0, 0}), "depth 24 is not allowed for type 1 (colour-mapped)"},
        {file({10, 1, 1, 8, 0}, {0, 0}), "depth 8 is not allowed for type 10 (run-length encoded)"},
        {file({1, 1, 1, 8, 0, 1, 0, 1, 8}, {0, 0}), "colour map entries of 8 bits are not read"},
        {file({1, 1, 1, 8, 0, 1, 0, 2, 24}, {0, 0, 0}), "truncated colour map (3 of 6 bytes)"},
        // A short type 2 file that the library takes, its missing bytes zero.
        {file({2, 2, 2, 24, 0}, Bytes(11, 0)), "truncated pixel data (11 of 12 bytes)"},
        {file({10, 4, 1, 24, 0}, {0x81, 1, 2, 3}), "truncated pixel data (2 of 4 pixels)"},
        {file({10, 4, 1, 24, 0}, {0x81, 1, 2, 3, 0x01, 1, 2, 3}), "truncated packet at pixel 2"},
        {file({10, 4, 1, 24, 0}, {0x82, 1, 2, 3, 0x81, 1, 2, 3}), "packet of 2 pixels at pixel 3 overflows the image of 4"},
        // 8 bytes encode at most two runs of 128 pixels, far fewer than claimed.
        {file({10, 16384, 16384, 24, 0}, Bytes(8, 0xFF)),
         "truncated pixel data (8 bytes hold at most 256 of 268435456 pixels)"},
        {file({2, 32767, 32767, 32, 0}, {}), "32767 x 32767 x 4 bytes is over TGA_MAX_UPLOAD_BYTES"},
        {file({2, 32767, 32767, 16, 1}, {}), "32767 x 32767 x 4 bytes is over TGA_MAX_UPLOAD_BYTES"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(std::string("refused: ") + c.second, convert(c.first));
}

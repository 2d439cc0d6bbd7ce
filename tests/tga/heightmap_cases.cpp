#include "heightmap_cases.h"

#include <cstdio>

namespace {

// A 4 x 4 pattern repeated tiles_x x tiles_y times: the tiling keeps the
// wrap-around, so every copy of a texel gets the same bytes.
HeightMapCase tiled(const char *name, const uint8_t pattern[16], int tiles_x, int tiles_y) {
    HeightMapCase map{name, 4 * tiles_x, 4 * tiles_y, {}};
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            map.heights.push_back(pattern[(y % 4) * 4 + x % 4]);
    return map;
}

// Noise from a fixed generator; "extremes" draws only 0 and 255, for the
// steepest slopes.
HeightMapCase noise(int width, int height, uint32_t seed, bool extremes) {
    char name[64];
    std::snprintf(name, sizeof name, "%s %d x %d", extremes ? "extremes" : "noise", width, height);
    HeightMapCase map{name, width, height, std::vector<uint8_t>(size_t(width) * size_t(height))};
    for (uint8_t &value : map.heights) {
        seed = seed * 1664525u + 1013904223u;
        value = uint8_t(seed >> 24);
        if (extremes)
            value = value & 0x80 ? 255 : 0;
    }
    return map;
}

struct Pinned {
    uint8_t block[9];
    int channel;  // 0..2 DOT3 red, green, blue; 3, 4 du, dv
    int value;
};

const Pinned pinned[] = {
    {{149, 21, 9, 209, 181, 58, 112, 141, 36}, 4, 46},
    {{43, 159, 134, 228, 193, 77, 106, 128, 253}, 2, 239},
    {{148, 254, 189, 28, 90, 125, 68, 59, 169}, 3, -66},
    {{102, 100, 102, 101, 103, 100, 100, 102, 101}, 1, 128},
    {{159, 63, 118, 246, 82, 89, 240, 152, 73}, 0, 235},
};

// 3 x 3 blocks whose centre texel changes a byte when s, t or n (16 of
// each) moves by one unit in the last place: any reassociation, fused
// operation or shortcut in the arithmetic shows on some of them. Found by a
// search over random blocks with the scalar path.
const uint8_t knife_edges[][9] = {
    // s
    {200, 118, 227, 93, 174, 224, 222, 186, 69}, {23, 168, 51, 178, 7, 15, 106, 120, 64},
    {206, 71, 60, 178, 146, 121, 44, 122, 240}, {39, 54, 186, 38, 30, 70, 22, 216, 83},
    {246, 27, 250, 224, 112, 100, 105, 242, 13}, {147, 0, 130, 4, 9, 58, 82, 34, 127},
    {79, 77, 91, 122, 246, 192, 168, 2, 152}, {154, 211, 151, 35, 205, 231, 247, 85, 166},
    {60, 66, 245, 198, 95, 121, 95, 71, 200}, {150, 74, 102, 69, 176, 108, 41, 106, 147},
    {50, 184, 53, 182, 233, 142, 122, 167, 79}, {239, 5, 168, 25, 159, 171, 18, 131, 137},
    {85, 255, 53, 255, 208, 191, 187, 23, 143}, {97, 234, 71, 132, 21, 242, 7, 40, 27},
    {220, 115, 139, 44, 164, 252, 35, 161, 28}, {39, 229, 69, 25, 209, 72, 15, 64, 219},
    // t
    {132, 182, 161, 22, 242, 48, 232, 150, 245}, {7, 208, 94, 237, 189, 242, 134, 243, 197},
    {130, 233, 88, 10, 221, 165, 173, 65, 109}, {150, 213, 69, 181, 129, 134, 54, 111, 69},
    {188, 136, 105, 17, 160, 18, 23, 151, 104}, {149, 156, 238, 202, 97, 182, 32, 148, 35},
    {134, 98, 90, 178, 201, 147, 132, 10, 164}, {13, 24, 17, 1, 255, 102, 149, 246, 247},
    {232, 157, 192, 177, 177, 219, 45, 152, 53}, {26, 135, 69, 44, 56, 152, 230, 224, 23},
    {127, 181, 226, 227, 40, 212, 49, 77, 184}, {140, 125, 154, 220, 121, 223, 74, 38, 54},
    {213, 94, 168, 31, 131, 107, 84, 60, 29}, {52, 45, 42, 158, 242, 254, 143, 194, 175},
    {5, 182, 170, 248, 170, 195, 112, 159, 173}, {126, 203, 80, 225, 59, 236, 223, 99, 127},
    // n
    {13, 101, 194, 120, 159, 140, 116, 171, 15}, {4, 125, 15, 154, 182, 119, 101, 72, 160},
    {130, 214, 85, 214, 190, 21, 142, 158, 237}, {216, 92, 114, 85, 72, 78, 208, 229, 52},
    {13, 77, 217, 158, 173, 201, 226, 83, 56}, {237, 242, 24, 23, 144, 87, 9, 253, 94},
    {55, 79, 207, 114, 4, 76, 85, 245, 153}, {123, 140, 174, 217, 104, 126, 138, 153, 133},
    {166, 110, 249, 107, 27, 114, 23, 77, 130}, {247, 172, 98, 142, 125, 194, 28, 226, 209},
    {4, 85, 123, 114, 154, 57, 215, 166, 50}, {224, 6, 17, 45, 13, 236, 206, 90, 175},
    {38, 213, 199, 170, 149, 142, 44, 74, 143}, {28, 224, 73, 84, 134, 104, 72, 153, 51},
    {17, 229, 62, 241, 149, 86, 198, 8, 163}, {147, 143, 195, 112, 38, 142, 207, 133, 35},
};

// 4 x 4 tiles side by side, each one block top-left and zeros elsewhere,
// count blocks repeated `repeats` times: texel (1, 1) of a tile depends on
// its block alone.
HeightMapCase blocks_in_tiles(const char *name, const uint8_t (*blocks)[9], int count, int repeats) {
    HeightMapCase map{name, 4 * count * repeats, 4, {}};
    map.heights.assign(size_t(map.width) * 4, 0);
    for (int tile = 0; tile < count * repeats; ++tile)
        for (int i = 0; i < 9; ++i)
            map.heights[size_t(i / 3) * size_t(map.width) + size_t(tile * 4 + i % 3)] = blocks[tile % count][i];
    return map;
}

template <typename Texel>
std::string first_difference(const char *encoding, const std::vector<Texel> &want, const std::vector<Texel> &got,
                             int width, int channels) {
    for (size_t i = 0; i < want.size(); ++i) {
        if (want[i] != got[i]) {
            size_t texel = i / size_t(channels);
            char text[128];
            std::snprintf(text, sizeof text, "%s texel (%d, %d) byte %d: scalar %d, path %d", encoding,
                          int(texel % size_t(width)), int(texel / size_t(width)), int(i % size_t(channels)),
                          int(want[i]), int(got[i]));
            return text;
        }
    }
    return "";
}

}  // namespace

std::vector<HeightMapCase> HeightMapCases_All() {
    const uint8_t flat[16] = {100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100};
    const uint8_t columns[16] = {0, 10, 20, 30, 0, 10, 20, 30, 0, 10, 20, 30, 0, 10, 20, 30};
    const uint8_t rows[16] = {0, 0, 0, 0, 10, 10, 10, 10, 20, 20, 20, 20, 30, 30, 30, 30};
    const uint8_t bump[16] = {0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const uint8_t steep[16] = {255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0};
    std::vector<HeightMapCase> maps = {tiled("flat", flat, 9, 2), tiled("rising columns", columns, 9, 2),
                                       tiled("rising rows", rows, 9, 2), tiled("bump", bump, 9, 2),
                                       tiled("steepest", steep, 9, 2)};
    for (const Pinned &pin : pinned)
        maps.push_back(blocks_in_tiles("pinned block", &pin.block, 1, 11));
    maps.push_back(blocks_in_tiles("knife edges", knife_edges, int(sizeof knife_edges / sizeof knife_edges[0]), 1));
    uint32_t seed = 1;
    const int sizes[][2] = {{0, 5}, {40, 0}, {1, 1}, {1, 17}, {17, 1}, {2, 2}, {2, 19}, {19, 2}, {35, 1},
                            {33, 17}, {63, 5}, {257, 31}, {1021, 9}};
    for (const auto &size : sizes)
        maps.push_back(noise(size[0], size[1], ++seed, false));
    for (int width = 3; width <= 41; ++width)
        for (int height = 1; height <= 3; ++height)
            maps.push_back(noise(width, height, ++seed, height == 3));
    maps.push_back(noise(101, 13, ++seed, true));
    return maps;
}

std::string HeightMapCases_Compare(HeightMapPath path, const HeightMapCase &map) {
    size_t texels = size_t(map.width) * size_t(map.height);
    // Different fillers, so that a byte a path leaves unwritten differs.
    std::vector<uint8_t> dot3_want(texels * 3, 0xEE), dot3_got(texels * 3, 0x11);
    std::vector<int8_t> dudv_want(texels * 2, int8_t(0x55)), dudv_got(texels * 2, int8_t(0x22));
    HeightMap_EncodeDOT3WithPath(HEIGHTMAP_SCALAR, map.heights.data(), map.width, map.height, dot3_want.data());
    HeightMap_EncodeDUDVWithPath(HEIGHTMAP_SCALAR, map.heights.data(), map.width, map.height, dudv_want.data());
    if (!HeightMap_EncodeDOT3WithPath(path, map.heights.data(), map.width, map.height, dot3_got.data()) ||
        !HeightMap_EncodeDUDVWithPath(path, map.heights.data(), map.width, map.height, dudv_got.data()))
        return "path not available";
    std::string fault = first_difference("DOT3", dot3_want, dot3_got, map.width, 3);
    return fault.empty() ? first_difference("du/dv", dudv_want, dudv_got, map.width, 2) : fault;
}

std::string HeightMapCases_CheckPinned(HeightMapPath path) {
    const int width = 44, height = 4;
    for (const Pinned &pin : pinned) {
        HeightMapCase map = blocks_in_tiles("pinned", &pin.block, 1, width / 4);
        std::vector<uint8_t> dot3(size_t(width) * height * 3);
        std::vector<int8_t> dudv(size_t(width) * height * 2);
        if (!HeightMap_EncodeDOT3WithPath(path, map.heights.data(), width, height, dot3.data()) ||
            !HeightMap_EncodeDUDVWithPath(path, map.heights.data(), width, height, dudv.data()))
            return "path not available";
        for (int x = 1; x < width; x += 4) {
            size_t texel = size_t(width) + size_t(x);
            int got = pin.channel < 3 ? dot3[texel * 3 + size_t(pin.channel)]
                                      : dudv[texel * 2 + size_t(pin.channel - 3)];
            if (got != pin.value) {
                char text[96];
                std::snprintf(text, sizeof text, "block %d,%d,%d... channel %d texel (%d, 1): %d, pinned %d",
                              pin.block[0], pin.block[1], pin.block[2], pin.channel, x, got, pin.value);
                return text;
            }
        }
    }
    return "";
}

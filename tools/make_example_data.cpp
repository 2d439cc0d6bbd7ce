// make_example_data OUTDIR
//
// Writes the data of examples/tga_example into OUTDIR:
//   cube_px.tga ... cube_nz.tga  the six 24-bit faces of a cube map, each in
//                                its own colour with a black border and its
//                                name (+X, -X, +Y, -Y, +Z, -Z) in black
//   stone_height.tga             an 8-bit height map of stone blocks in a
//                                running bond, mortar sunk between them
//   stone_colour.tga             the blocks' 24-bit grey colour map
// Pixel rows go to the files in memory order: row 0 is the top of a face,
// as the cube-map face layout of OpenGL has it, and the bottom of the
// stone images.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tga_writer.h"

namespace {

const int face_size = 128;
const int stone_size = 256;

struct FaceRecipe {
    const char *file;
    const char *label;
    uint8_t red, green, blue;
};

// Opposite faces in complementary colours.
const FaceRecipe faces[6] = {
    {"cube_px.tga", "+X", 220, 40, 40},  {"cube_nx.tga", "-X", 40, 200, 200},
    {"cube_py.tga", "+Y", 40, 200, 40},  {"cube_ny.tga", "-Y", 200, 40, 200},
    {"cube_pz.tga", "+Z", 50, 80, 230},  {"cube_nz.tga", "-Z", 220, 200, 40},
};

// 5 x 7 glyphs of the label characters, top row first.
struct Glyph {
    char code;
    const char *rows[7];
};
const Glyph glyphs[5] = {
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
};

const Glyph *find_glyph(char code) {
    for (const Glyph &glyph : glyphs)
        if (glyph.code == code)
            return &glyph;
    return nullptr;
}

int save(const std::string &dir, const char *file, uint8_t type, int size, uint8_t bits,
         const std::vector<uint8_t> &pixels) {
    std::string path = dir + "/" + file;
    if (!TgaWriter_Save(path.c_str(), TgaWriter_Encode(type, size, size, bits, pixels.data(), pixels.size()))) {
        std::fprintf(stderr, "make_example_data: cannot write %s\n", path.c_str());
        return 0;
    }
    return 1;
}

int write_face(const std::string &dir, const FaceRecipe &face) {
    const int border = 4, scale = 5;
    std::vector<uint8_t> mark(size_t(face_size) * face_size, 0);
    for (int y = 0; y < face_size; ++y)
        for (int x = 0; x < face_size; ++x)
            if (x < border || y < border || x >= face_size - border || y >= face_size - border)
                mark[size_t(y) * face_size + size_t(x)] = 1;
    // Two glyphs with one glyph column between them, centred.
    int left = (face_size - 11 * scale) / 2, top = (face_size - 7 * scale) / 2;
    for (int i = 0; i < 2; ++i) {
        const Glyph *glyph = find_glyph(face.label[i]);
        for (int row = 0; row < 7 * scale; ++row)
            for (int col = 0; col < 5 * scale; ++col)
                if (glyph->rows[row / scale][col / scale] == '#')
                    mark[size_t(top + row) * face_size + size_t(left + i * 6 * scale + col)] = 1;
    }
    std::vector<uint8_t> pixels(mark.size() * 3);
    for (size_t i = 0; i < mark.size(); ++i) {
        pixels[i * 3 + 0] = mark[i] ? 0 : face.blue;
        pixels[i * 3 + 1] = mark[i] ? 0 : face.green;
        pixels[i * 3 + 2] = mark[i] ? 0 : face.red;
    }
    return save(dir, face.file, 2, face_size, 24, pixels);
}

// Stone blocks of 128 x 64 texels, every other course shifted by half a
// block, so that the picture tiles.
const int block_width = 128;
const int block_height = 64;
const int mortar = 3;   // half the joint's width
const int bevel = 8;    // rise from the joint to the block's face

// Distance of a texel from the nearest joint (0 inside the mortar), and
// the block it lies in.
int joint_distance(int x, int y, int *block) {
    int course = y / block_height;
    int shifted = (x + (course % 2) * block_width / 2) % stone_size;
    int bx = shifted % block_width, by = y % block_height;
    *block = course * (stone_size / block_width) + shifted / block_width;
    int d = std::min(std::min(bx, block_width - 1 - bx), std::min(by, block_height - 1 - by));
    return std::max(0, d - mortar);
}

int write_stone(const std::string &dir) {
    const double pi = 3.14159265358979323846;
    std::vector<uint8_t> heights(size_t(stone_size) * stone_size);
    std::vector<uint8_t> colours(heights.size() * 3);
    for (int y = 0; y < stone_size; ++y)
        for (int x = 0; x < stone_size; ++x) {
            int block = 0;
            int d = joint_distance(x, y, &block);
            // A gentle unevenness of whole periods across the picture keeps
            // the tiling seamless.
            double rough = 10.0 * std::sin(2 * pi * (3 * x + 5 * y) / stone_size) *
                           std::sin(2 * pi * (7 * x - 2 * y) / stone_size);
            double h = d >= bevel ? 200.0 + rough : 40.0 + 160.0 * d / bevel;
            size_t i = size_t(y) * stone_size + size_t(x);
            heights[i] = uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, h))));
            // Close greys: the relief, not the colour, makes the light and
            // shade.
            int grey = d == 0 ? 170 : 200 + (block * 37) % 16;
            colours[i * 3 + 0] = colours[i * 3 + 1] = colours[i * 3 + 2] = uint8_t(grey);
        }
    return save(dir, "stone_height.tga", 3, stone_size, 8, heights) &&
           save(dir, "stone_colour.tga", 2, stone_size, 24, colours);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example_data OUTDIR\n");
        return 2;
    }
    int ok = 1;
    for (const FaceRecipe &face : faces)
        ok &= write_face(argv[1], face);
    ok &= write_stone(argv[1]);
    return ok ? 0 : 1;
}

// make_samples OUTDIR [--legs-frames N] [--torso-frames N] [--font FILE]
//
// Writes the viewer's sample data into OUTDIR: a player figure in four MD3
// pieces (legs walking, torso breathing and aiming, head with a visor, a
// rocket launcher held in the right hand), four 24-bit skins and the 8-bit
// glyph-grid font image (see font/font.h) rendered from a TrueType font.
// The figure itself is sample_figure's.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "font/font.h"
#include "md3_writer.h"
#include "sample_figure.h"
#include "tga_writer.h"

namespace {

int write_piece(const std::string &dir, const SampleFigurePiece &piece) {
    Md3ModelData model;
    char reason[sample_figure_reason_size];
    if (!SampleFigure_Model(piece, &model, reason)) {
        std::fprintf(stderr, "make_samples: %s\n", reason);
        return 0;
    }
    std::string path = dir + "/" + piece.name + ".md3";
    if (!Md3Writer_Save(path.c_str(), Md3Writer_Encode(model))) {
        std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------- skins

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double f) { return Rgb{a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f}; }

// Cheap deterministic per-cell noise in [0, 1).
double hash(int x, int y) {
    unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65536.0;
}

typedef Rgb (*SkinFn)(int x, int y, int size);

Rgb armour_skin(int x, int y, int size) {
    Rgb base = mix(Rgb{0.22, 0.36, 0.18}, Rgb{0.36, 0.50, 0.26}, hash(x / 8, y / 8));
    int panel = size / 4;
    if (x % panel < 2 || y % panel < 2)
        return Rgb{0.10, 0.14, 0.08};   // panel seams
    int rx = x % panel - panel / 2, ry = y % panel - panel / 2;
    if (rx * rx + ry * ry < 5)
        return Rgb{0.75, 0.75, 0.70};   // rivets
    return base;
}

Rgb chest_skin(int x, int y, int size) {
    Rgb red = mix(Rgb{0.62, 0.10, 0.08}, Rgb{0.78, 0.16, 0.10}, hash(x / 4, y / 4) * 0.5);
    if (x < 4 || y < 4 || x >= size - 4 || y >= size - 4)
        return Rgb{0.95, 0.85, 0.20};   // gold trim
    int d = (x + y) % (size / 2);
    if (d < size / 10)
        return Rgb{0.95, 0.95, 0.92};   // white chevrons
    return red;
}

Rgb metal_skin(int x, int y, int size) {
    double shade = 0.45 + 0.15 * std::sin(2.0 * sample_figure_pi * x / size) + 0.05 * hash(x, y / 16);
    Rgb metal = Rgb{shade * 0.85, shade * 0.9, shade};
    if (y % (size / 4) < 5)
        return Rgb{0.15, 0.15, 0.18};   // bands round the tube
    return metal;
}

Rgb hazard_skin(int x, int y, int size) {
    return ((x + y) / (size / 8)) % 2 ? Rgb{0.08, 0.08, 0.08} : Rgb{0.96, 0.78, 0.10};
}

int write_skin(const std::string &dir, const char *file, SkinFn skin) {
    const int size = 128;
    std::vector<uint8_t> pixels(size_t(size) * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb c = skin(x, y, size);
            uint8_t *p = &pixels[(size_t(y) * size + size_t(x)) * 3];
            // TGA keeps blue, green, red.
            p[0] = uint8_t(std::lround(std::fmin(1.0, std::fmax(0.0, c.b)) * 255.0));
            p[1] = uint8_t(std::lround(std::fmin(1.0, std::fmax(0.0, c.g)) * 255.0));
            p[2] = uint8_t(std::lround(std::fmin(1.0, std::fmax(0.0, c.r)) * 255.0));
        }
    std::string path = dir + "/" + file;
    if (!TgaWriter_Save(path.c_str(), TgaWriter_Encode(2, size, size, 24, pixels.data(), pixels.size()))) {
        std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
        return 0;
    }
    return 1;
}

// ----------------------------------------------------------------- font

int write_font(const std::string &dir, const char *font_file) {
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library)) {
        std::fprintf(stderr, "make_samples: FreeType does not start\n");
        return 0;
    }
    if (FT_New_Face(library, font_file, 0, &face)) {
        std::fprintf(stderr, "make_samples: cannot open font %s\n", font_file);
        FT_Done_FreeType(library);
        return 0;
    }
    FT_Set_Pixel_Sizes(face, 0, 14);
    // Picture rows top-down here; the file stores them bottom-up.
    std::vector<uint8_t> picture(size_t(FONT_IMAGE_SIZE) * FONT_IMAGE_SIZE, 0);
    for (int code = 33; code < 256; ++code) {
        if (code >= 127 && code < 160)
            continue;   // control codes have no glyphs
        if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER))
            continue;
        FT_Bitmap &bitmap = face->glyph->bitmap;
        int cell_x = (code % FONT_GRID) * FONT_CELL, cell_y = (code / FONT_GRID) * FONT_CELL;
        int left = face->glyph->bitmap_left, top = FONT_BASELINE - face->glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                int x = left + int(col), y = top + int(row);
                // Clip to the cell so that no glyph bleeds into its neighbour.
                if (x < 0 || y < 0 || x >= FONT_CELL || y >= FONT_CELL)
                    continue;
                uint8_t value = bitmap.buffer[int(row) * bitmap.pitch + int(col)];
                picture[size_t(cell_y + y) * FONT_IMAGE_SIZE + size_t(cell_x + x)] = value;
            }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    std::vector<uint8_t> file_rows(picture.size());
    for (int y = 0; y < FONT_IMAGE_SIZE; ++y)
        std::memcpy(&file_rows[size_t(FONT_IMAGE_SIZE - 1 - y) * FONT_IMAGE_SIZE],
                    &picture[size_t(y) * FONT_IMAGE_SIZE], FONT_IMAGE_SIZE);
    std::string path = dir + "/font.tga";
    if (!TgaWriter_Save(path.c_str(), TgaWriter_Encode(3, FONT_IMAGE_SIZE, FONT_IMAGE_SIZE, 8,
                                                       file_rows.data(), file_rows.size()))) {
        std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
        return 0;
    }
    return 1;
}

int parse_count(const char *text, int *out) {
    char *end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 10000)
        return 0;
    *out = int(value);
    return 1;
}

int usage() {
    std::fprintf(stderr, "usage: make_samples OUTDIR [--legs-frames N] [--torso-frames N] [--font FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2)
        return usage();
    std::string dir = argv[1];
    int legs_frames = 120, torso_frames = 120;
    const char *font_file = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    for (int i = 2; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc)
            return usage();
        const char *value = argv[++i];
        if (option == "--legs-frames") {
            if (!parse_count(value, &legs_frames))
                return usage();
        } else if (option == "--torso-frames") {
            if (!parse_count(value, &torso_frames))
                return usage();
        } else if (option == "--font") {
            font_file = value;
        } else {
            return usage();
        }
    }

    const SampleFigurePiece pieces[4] = {
        {"lower", legs_frames, {{"l_legs", "models/players/sample/l_legs", SAMPLE_FIGURE_LEGS}},
         {{"tag_torso", SAMPLE_FIGURE_TAG_TORSO}}},
        {"upper", torso_frames,
         {{"u_arms", "models/players/sample/u_arms", SAMPLE_FIGURE_ARMS},
          {"u_chest", "models/players/sample/u_chest", SAMPLE_FIGURE_CHEST}},
         {{"tag_head", SAMPLE_FIGURE_TAG_HEAD}, {"tag_weapon", SAMPLE_FIGURE_TAG_WEAPON}}},
        {"head", 1,
         {{"h_helmet", "models/players/sample/h_helmet", SAMPLE_FIGURE_HELMET},
          {"h_visor", "models/players/sample/h_visor", SAMPLE_FIGURE_VISOR}},
         {}},
        {"rocketl", 1,
         {{"w_rocketl", "models/players/sample/w_rocketl", SAMPLE_FIGURE_TUBE},
          {"w_rocketl01", "models/players/sample/w_rocketl01", SAMPLE_FIGURE_FITTINGS}},
         {}},
    };
    int ok = 1;
    for (const SampleFigurePiece &piece : pieces)
        ok &= write_piece(dir, piece);
    ok &= write_skin(dir, "base.tga", armour_skin);
    ok &= write_skin(dir, "base1.tga", chest_skin);
    ok &= write_skin(dir, "base2.tga", metal_skin);
    ok &= write_skin(dir, "base3.tga", hazard_skin);
    ok &= write_font(dir, font_file);
    return ok ? 0 : 1;
}

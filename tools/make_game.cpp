// make_game OUTDIR
//
// Writes a small game folder into OUTDIR for the tests of the game data
// readers and for trying the viewer on a game folder, all of it made here:
//
//   pak0.pk3   (members deflated)
//     models/players/testman/lower.md3   46 frames: l_legs, l_fin; tag_torso
//     models/players/testman/upper.md3   30 frames: u_chest, u_arms, u_hair;
//                                        tag_head, tag_weapon
//     models/players/testman/head.md3    1 frame: h_helmet, h_visor, h_crest, h_ears
//     models/players/testman/{lower,upper,head}_{default,red,blue}.skin
//         (upper_default.skin has tag_ lines and one line ending in CR LF)
//     models/players/testman/animation.cfg   sex, footsteps, headoffset, 25 rows
//     models/players/testman/*.tga, helmet.jpg, visor.png, testman_blue.png
//     scripts/testman.shader
//     models/weapons2/machinegun/machinegun.md3          w_machinegun; tag_barrel
//     models/weapons2/machinegun/machinegun_barrel.md3   w_barrel
//     models/weapons2/machinegun/machinegun.tga, machinegun_barrel.tga
//   pak1.pk3   models/players/testman/legs.tga, overriding pak0's
//   models/players/testman/head_red.skin   loose, overriding pak0's
//
// The images, each one colour (R G B) unless said:
//   legs.tga (pak0)       128 128 128   run-length encoded, 24 bits
//   legs.tga (pak1)        96 128  48   uncompressed
//   fin.tga               255 128   0   rows top to bottom
//   red.tga               255   0   0   uncompressed
//   green.tga               0 255   0   uncompressed
//   env.tga               192 192 192   colour-mapped
//   hair.tga              stripes 8 pixels wide: 139 69 19 opaque, from the
//                         left edge, and the cut-away 0 255 255 at alpha 0;
//                         run-length encoded, 32 bits
//   helmet.jpg            224 224 224   JPEG (the skins name helmet.tga)
//   visor.png              96   0 160   PNG
//   testman_red.tga       200  20  20   colour-mapped, rows top to bottom
//   testman_blue.png       20  40 220   PNG
//   stale.tga             100 100 100   named only by pak0's head_red.skin
//   machinegun.tga         60  90 140   rows top to bottom
//   machinegun_barrel.tga 160 160  40   run-length encoded
//
// What each surface should show (folder images under models/players/testman/
// unless a path is given; shaders in scripts/testman.shader):
//   skin default
//     l_legs    legs.tga from pak1.pk3 (overrides pak0's): 96 128 48
//     l_fin     shader .../fin: fin.tga, rgbGen identity, cull none: 255 128 0
//               from both sides
//     u_chest   shader .../chest (the skin names chest.tga, which is no image):
//               red.tga, then green.tga with blendFunc add, both rgbGen
//               identity: yellow 255 255 0
//     u_arms    shader .../arms_env: env.tga with tcGen environment; its
//               deformVertexes is ignored: 192 192 192, lit
//     u_hair    shader .../hair: hair.tga with alphaFunc GE128 and cull none:
//               brown stripes, never the cut-away 0 255 255
//     h_helmet  helmet.jpg, the skin's helmet.tga being missing: 224 224 224
//     h_visor   visor.png: 96 0 160
//     h_crest   missing: its line names null
//     h_ears    missing: no line in head_default.skin
//   skin red
//     l_legs, u_chest   testman_red.tga: 200 20 20
//     l_fin, u_arms, u_hair   the shaders as in the default skin
//     h_*       testman_red.tga, through the loose head_red.skin (pak0's
//               names stale.tga for all four)
//   skin blue
//     l_legs, u_chest, h_*   testman_blue.png: 20 40 220
//     l_fin                  hidden: its line leaves the image empty
//     u_arms, u_hair         the shaders as in the default skin
//   weapon machinegun
//     w_machinegun   its MD3 shader record names .../machinegun.tga: 60 90 140
//     w_barrel       .../machinegun_barrel.tga on the weapon's tag_barrel: 160 160 40
//
// animation.cfg: frames 0-5 are both pieces' deaths, 6-29 the torso's own,
// and the legs' rows count on from 30, so each is lowered by 24 onto
// lower.md3's frames 6-45 (LEGS_IDLE: 60 in the file, 36 8 8 10 as used).
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include <filesystem>

#include "file_bytes.h"
#include "pk3_writer.h"
#include "sample_figure.h"
#include "tga_writer.h"

// stb_image_write writes the JPEG and PNG images; it is not code of ours,
// so its own warnings are not ours either.
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wconversion"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

const int image_side = 32;
const int hair_stripe = 8;
const char *const player_dir = "models/players/testman/";
const char *const weapon_dir = "models/weapons2/machinegun/";

// An image in memory: rows top to bottom, RGBA.
struct Picture {
    int width;
    int height;
    std::vector<uint8_t> rgba;
};

struct Colour {
    uint8_t r, g, b, a;
};

Picture solid(Colour c) {
    Picture p{image_side, image_side, {}};
    for (int i = 0; i < image_side * image_side; ++i)
        p.rgba.insert(p.rgba.end(), {c.r, c.g, c.b, c.a});
    return p;
}

// Vertical stripes of `kept` from the left edge, every other one `cut`.
Picture stripes(Colour kept, Colour cut) {
    Picture p{image_side, image_side, {}};
    for (int y = 0; y < image_side; ++y)
        for (int x = 0; x < image_side; ++x) {
            Colour c = (x / hair_stripe) % 2 ? cut : kept;
            p.rgba.insert(p.rgba.end(), {c.r, c.g, c.b, c.a});
        }
    return p;
}

// The pixel at column x of file row `row` as TGA stores it: BGR(A).
void append_bgr(const Picture &p, int row_from_top, int x, int channels, std::vector<uint8_t> *out) {
    const uint8_t *px = &p.rgba[(size_t(row_from_top) * size_t(p.width) + size_t(x)) * 4];
    out->insert(out->end(), {px[2], px[1], px[0]});
    if (channels == 4)
        out->push_back(px[3]);
}

int row_in_file_order(const Picture &p, int file_row, int top_down) {
    return top_down ? file_row : p.height - 1 - file_row;
}

const uint8_t descriptor_top_down = 0x20;

// Uncompressed true-colour TGA (type 2), 24 bits, bottom to top or top down.
std::vector<uint8_t> tga_plain(const Picture &p, int top_down) {
    std::vector<uint8_t> pixels;
    for (int row = 0; row < p.height; ++row)
        for (int x = 0; x < p.width; ++x)
            append_bgr(p, row_in_file_order(p, row, top_down), x, 3, &pixels);
    return TgaWriter_Encode(2, p.width, p.height, 24, pixels.data(), pixels.size(),
                            top_down ? descriptor_top_down : 0);
}

// Run-length encoded true colour (type 10), rows bottom to top, runs kept
// within a row; 32 bits carry alpha (8 alpha bits in the descriptor).
std::vector<uint8_t> tga_rle(const Picture &p, int channels) {
    std::vector<uint8_t> packets;
    for (int row = 0; row < p.height; ++row) {
        int source_row = row_in_file_order(p, row, 0);
        const uint8_t *line = &p.rgba[size_t(source_row) * size_t(p.width) * 4];
        int x = 0;
        while (x < p.width) {
            int run = 1;
            while (x + run < p.width && run < 128 && std::equal(line + x * 4, line + x * 4 + 4, line + (x + run) * 4))
                ++run;
            packets.push_back(uint8_t(0x80 | (run - 1)));
            append_bgr(p, source_row, x, channels, &packets);
            x += run;
        }
    }
    return TgaWriter_Encode(10, p.width, p.height, uint8_t(channels * 8), packets.data(), packets.size(),
                            channels == 4 ? 8 : 0);
}

// Colour-mapped (type 1): a 24-bit map of the image's colours and one 8-bit
// index a pixel.
std::vector<uint8_t> tga_mapped(const Picture &p, int top_down) {
    std::vector<uint8_t> map, indexes;
    std::vector<uint32_t> colours;
    for (int row = 0; row < p.height; ++row)
        for (int x = 0; x < p.width; ++x) {
            size_t source_row = size_t(row_in_file_order(p, row, top_down));
            const uint8_t *px = &p.rgba[(source_row * size_t(p.width) + size_t(x)) * 4];
            uint32_t key = uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | px[2];
            size_t index = 0;
            while (index < colours.size() && colours[index] != key)
                ++index;
            if (index == colours.size()) {
                colours.push_back(key);
                map.insert(map.end(), {px[2], px[1], px[0]});
            }
            indexes.push_back(uint8_t(index));
        }
    TgaWriterHeader header = {0, 1, 1, 0, int(colours.size()), 24, p.width, p.height, 8,
                              uint8_t(top_down ? descriptor_top_down : 0)};
    std::vector<uint8_t> rest = map;
    rest.insert(rest.end(), indexes.begin(), indexes.end());
    return TgaWriter_EncodeHeader(header, rest.data(), rest.size());
}

void append_bytes(void *context, void *data, int size) {
    std::vector<uint8_t> *out = static_cast<std::vector<uint8_t> *>(context);
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// RGB, no alpha, for both.
std::vector<uint8_t> rgb_of(const Picture &p) {
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i < p.rgba.size(); i += 4)
        rgb.insert(rgb.end(), {p.rgba[i], p.rgba[i + 1], p.rgba[i + 2]});
    return rgb;
}

std::vector<uint8_t> jpeg(const Picture &p) {
    std::vector<uint8_t> out, rgb = rgb_of(p);
    stbi_write_jpg_to_func(append_bytes, &out, p.width, p.height, 3, rgb.data(), 95);
    return out;
}

std::vector<uint8_t> png(const Picture &p) {
    std::vector<uint8_t> out, rgb = rgb_of(p);
    stbi_write_png_to_func(append_bytes, &out, p.width, p.height, 3, rgb.data(), p.width * 3);
    return out;
}

std::vector<uint8_t> text(const std::string &s) { return std::vector<uint8_t>(s.begin(), s.end()); }

int add_model(std::vector<Pk3WriterMember> *pak, const std::string &path, const SampleFigurePiece &piece) {
    Md3ModelData model;
    char reason[sample_figure_reason_size];
    if (!SampleFigure_Model(piece, &model, reason)) {
        std::fprintf(stderr, "make_game: %s: %s\n", path.c_str(), reason);
        return 0;
    }
    pak->push_back(Pk3WriterMember{path, Md3Writer_Encode(model), 1});
    return 1;
}

void add_file(std::vector<Pk3WriterMember> *pak, const std::string &path, const std::vector<uint8_t> &bytes) {
    pak->push_back(Pk3WriterMember{path, bytes, 1});
}

// A head skin naming the image for all four surfaces.
std::string head_skin(const std::string &image) {
    const std::string path = std::string(player_dir) + image + "\n";
    return "h_helmet," + path + "h_visor," + path + "h_crest," + path + "h_ears," + path;
}

// Three skins, one a piece, naming `image` for every surface but the
// shaders' (l_fin, u_arms, u_hair), which keep them, and the head's, which
// name head_image.
void add_coloured_skins(std::vector<Pk3WriterMember> *pak, const std::string &skin, const std::string &image,
                        const std::string &head_image, const std::string &fin_entry) {
    std::string p = player_dir;
    add_file(pak, p + "lower_" + skin + ".skin",
             text("l_legs," + p + image + "\nl_fin," + fin_entry + "\n"));
    add_file(pak, p + "upper_" + skin + ".skin",
             text("u_chest," + p + image + "\nu_arms," + p + "arms_env\nu_hair," + p + "hair.tga\n"));
    add_file(pak, p + "head_" + skin + ".skin",
             text(head_skin(head_image)));
}

const char *const shader_script =
    "// testman: the stages that the test game's checks look at\n"
    "models/players/testman/chest\n"
    "{\n"
    "\t{\n"
    "\t\tmap models/players/testman/red.tga\n"
    "\t\trgbGen identity\n"
    "\t}\n"
    "\t{\n"
    "\t\tmap models/players/testman/green.tga\n"
    "\t\tblendFunc add\n"
    "\t\trgbGen identity\n"
    "\t}\n"
    "}\n"
    "\n"
    "models/players/testman/arms_env\n"
    "{\n"
    "\tdeformVertexes wave 100 sin 0 0.5 0 1\n"
    "\t{\n"
    "\t\tmap models/players/testman/env.tga\n"
    "\t\ttcGen environment\n"
    "\t}\n"
    "}\n"
    "\n"
    "models/players/testman/fin\n"
    "{\n"
    "\tcull none\n"
    "\t{\n"
    "\t\tmap models/players/testman/fin.tga\n"
    "\t\trgbGen identity\n"
    "\t}\n"
    "}\n"
    "\n"
    "models/players/testman/hair\n"
    "{\n"
    "\tcull none\n"
    "\t{\n"
    "\t\tmap models/players/testman/hair.tga\n"
    "\t\talphaFunc GE128\n"
    "\t}\n"
    "}\n";

// Frames: 0-5 both pieces, 6-29 the torso's own, the legs' own from 30 in
// the file's count (6-45 of lower.md3).
const int lower_frames = 46;
const int upper_frames = 30;

const char *const animation_config =
    "// testman\n"
    "sex m\n"
    "footsteps boot\n"
    "headoffset 0 0 0\n"
    "\n"
    "0\t2\t0\t10\t// BOTH_DEATH1\n"
    "1\t1\t0\t10\t// BOTH_DEAD1\n"
    "2\t2\t0\t10\t// BOTH_DEATH2\n"
    "3\t1\t0\t10\t// BOTH_DEAD2\n"
    "4\t2\t0\t10\t// BOTH_DEATH3\n"
    "5\t1\t0\t10\t// BOTH_DEAD3\n"
    "6\t6\t0\t15\t// TORSO_GESTURE\n"
    "12\t3\t0\t15\t// TORSO_ATTACK\n"
    "15\t3\t0\t15\t// TORSO_ATTACK2\n"
    "18\t2\t0\t10\t// TORSO_DROP\n"
    "20\t2\t0\t10\t// TORSO_RAISE\n"
    "22\t6\t6\t10\t// TORSO_STAND\n"
    "28\t2\t2\t5\t// TORSO_STAND2\n"
    "30\t4\t4\t15\t// LEGS_WALKCR\n"
    "34\t10\t10\t20\t// LEGS_WALK\n"
    "44\t4\t4\t20\t// LEGS_RUN\n"
    "48\t4\t4\t20\t// LEGS_BACK\n"
    "52\t2\t2\t10\t// LEGS_SWIM\n"
    "54\t2\t0\t10\t// LEGS_JUMP\n"
    "56\t1\t0\t10\t// LEGS_LAND\n"
    "57\t2\t0\t10\t// LEGS_JUMPB\n"
    "59\t1\t0\t10\t// LEGS_LANDB\n"
    "60\t8\t8\t10\t// LEGS_IDLE\n"
    "68\t1\t1\t10\t// LEGS_IDLECR\n"
    "69\t1\t1\t10\t// LEGS_TURN\n";

int add_player(std::vector<Pk3WriterMember> *pak) {
    const std::string p = player_dir;
    const std::string shader = p + "shader";   // the records are not used: the skins name the images
    int ok = add_model(pak, p + "lower.md3",
                       {"lower", lower_frames,
                        {{"l_legs", shader.c_str(), SAMPLE_FIGURE_LEGS}, {"l_fin", shader.c_str(), SAMPLE_FIGURE_FIN}},
                        {{"tag_torso", SAMPLE_FIGURE_TAG_TORSO}}});
    ok &= add_model(pak, p + "upper.md3",
                    {"upper", upper_frames,
                     {{"u_chest", shader.c_str(), SAMPLE_FIGURE_CHEST},
                      {"u_arms", shader.c_str(), SAMPLE_FIGURE_ARMS},
                      {"u_hair", shader.c_str(), SAMPLE_FIGURE_HAIR}},
                     {{"tag_head", SAMPLE_FIGURE_TAG_HEAD}, {"tag_weapon", SAMPLE_FIGURE_TAG_WEAPON}}});
    ok &= add_model(pak, p + "head.md3",
                    {"head", 1,
                     {{"h_helmet", shader.c_str(), SAMPLE_FIGURE_DOME},
                      {"h_visor", shader.c_str(), SAMPLE_FIGURE_VISOR},
                      {"h_crest", shader.c_str(), SAMPLE_FIGURE_CREST},
                      {"h_ears", shader.c_str(), SAMPLE_FIGURE_EARS}},
                     {}});

    add_file(pak, p + "lower_default.skin", text("l_legs," + p + "legs.tga\nl_fin," + p + "fin\ntag_torso,\n"));
    add_file(pak, p + "upper_default.skin",
             text("u_chest," + p + "chest.tga\r\nu_arms," + p + "arms_env\nu_hair," + p + "hair.tga\n"
                  "tag_head,\ntag_weapon,\n"));
    add_file(pak, p + "head_default.skin",
             text("h_helmet," + p + "helmet.tga\nh_visor," + p + "visor.png\nh_crest,null\n"));
    // The loose head_red.skin overrides this one's stale.tga.
    add_coloured_skins(pak, "red", "testman_red.tga", "stale.tga", p + "fin");
    // The blue skin leaves the fin's image empty: it has no fin.
    add_coloured_skins(pak, "blue", "testman_blue.png", "testman_blue.png", "");
    add_file(pak, p + "animation.cfg", text(animation_config));
    add_file(pak, "scripts/testman.shader", text(shader_script));

    add_file(pak, p + "legs.tga", tga_rle(solid({128, 128, 128, 255}), 3));
    add_file(pak, p + "fin.tga", tga_plain(solid({255, 128, 0, 255}), 1));
    add_file(pak, p + "red.tga", tga_plain(solid({255, 0, 0, 255}), 0));
    add_file(pak, p + "green.tga", tga_plain(solid({0, 255, 0, 255}), 0));
    add_file(pak, p + "env.tga", tga_mapped(solid({192, 192, 192, 255}), 0));
    add_file(pak, p + "hair.tga", tga_rle(stripes({139, 69, 19, 255}, {0, 255, 255, 0}), 4));
    add_file(pak, p + "helmet.jpg", jpeg(solid({224, 224, 224, 255})));
    add_file(pak, p + "visor.png", png(solid({96, 0, 160, 255})));
    add_file(pak, p + "testman_red.tga", tga_mapped(solid({200, 20, 20, 255}), 1));
    add_file(pak, p + "testman_blue.png", png(solid({20, 40, 220, 255})));
    add_file(pak, p + "stale.tga", tga_plain(solid({100, 100, 100, 255}), 0));
    return ok;
}

int add_weapon(std::vector<Pk3WriterMember> *pak) {
    const std::string w = weapon_dir;
    const std::string body_image = w + "machinegun.tga", barrel_image = w + "machinegun_barrel.tga";
    int ok = add_model(pak, w + "machinegun.md3",
                       {"machinegun", 1, {{"w_machinegun", body_image.c_str(), SAMPLE_FIGURE_TUBE}},
                        {{"tag_barrel", SAMPLE_FIGURE_TAG_BARREL}}});
    ok &= add_model(pak, w + "machinegun_barrel.md3",
                    {"machinegun_barrel", 1, {{"w_barrel", barrel_image.c_str(), SAMPLE_FIGURE_BARREL}}, {}});
    add_file(pak, body_image, tga_plain(solid({60, 90, 140, 255}), 1));
    add_file(pak, barrel_image, tga_rle(solid({160, 160, 40, 255}), 3));
    return ok;
}

int save(const std::filesystem::path &path, const std::vector<uint8_t> &bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error || !FileBytes_Save(path.string().c_str(), bytes)) {
        std::fprintf(stderr, "make_game: cannot write %s\n", path.string().c_str());
        return 0;
    }
    return 1;
}

int save_zip(const std::filesystem::path &path, const std::vector<Pk3WriterMember> &members) {
    std::vector<uint8_t> zip;
    if (!Pk3Writer_Zip(members, &zip)) {
        std::fprintf(stderr, "make_game: cannot deflate %s\n", path.string().c_str());
        return 0;
    }
    return save(path, zip);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_game OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::vector<Pk3WriterMember> pak0, pak1;
    int ok = add_player(&pak0);
    ok &= add_weapon(&pak0);
    add_file(&pak1, std::string(player_dir) + "legs.tga", tga_plain(solid({96, 128, 48, 255}), 0));
    ok &= save_zip(dir / "pak0.pk3", pak0);
    ok &= save_zip(dir / "pak1.pk3", pak1);
    ok &= save(dir / (std::string(player_dir) + "head_red.skin"), text(head_skin("testman_red.tga")));
    return ok ? 0 : 1;
}

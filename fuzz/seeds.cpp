#include "seeds.h"

#include <cstdio>

#include "tools/md3_writer.h"
#include "tools/tga_writer.h"

namespace {

Md3SurfaceData tetrahedron(const char *name, int32_t frames) {
    Md3SurfaceData surface;
    surface.name = name;
    surface.num_frames = frames;
    Md3Shader shader = {};
    std::snprintf(shader.name, sizeof shader.name, "models/%s.tga", name);
    surface.shaders.push_back(shader);
    const int32_t corners[4][3] = {{0, 1, 2}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}};
    for (const auto &c : corners)
        surface.triangles.push_back(Md3Triangle{{c[0], c[1], c[2]}});
    const int16_t points[4][3] = {{64, 0, 0}, {-64, 64, 0}, {-64, -64, 0}, {0, 0, 128}};
    for (int v = 0; v < 4; ++v)
        surface.texcoords.push_back(Md3TexCoord{0.25f * float(v), 1.0f - 0.25f * float(v)});
    for (int32_t f = 0; f < frames; ++f)
        for (int v = 0; v < 4; ++v) {
            Md3Vertex vertex = {};
            vertex.x = int16_t(points[v][0] + 16 * f);
            vertex.y = points[v][1];
            vertex.z = points[v][2];
            Md3Writer_PackNormal(float(points[v][0]), float(points[v][1]), float(points[v][2]), vertex.normal);
            surface.vertices.push_back(vertex);
        }
    return surface;
}

Md3ModelData model(int32_t frames, int32_t tags, int surfaces) {
    Md3ModelData data;
    data.name = "seed";
    const float lo[3] = {-1, -1, 0}, hi[3] = {1, 1, 2};
    for (int32_t f = 0; f < frames; ++f)
        data.frames.push_back(Md3Writer_Frame(lo, hi, "frame"));
    data.num_tags = tags;
    const float axis[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int32_t f = 0; f < frames; ++f)
        for (int32_t t = 0; t < tags; ++t) {
            const float origin[3] = {float(t), 0, float(f)};
            data.tags.push_back(Md3Writer_Tag(t == 0 ? "tag_torso" : "tag_head", origin, axis));
        }
    for (int s = 0; s < surfaces; ++s)
        data.surfaces.push_back(tetrahedron(s == 0 ? "l_legs" : "u_torso", frames));
    return data;
}

FuzzSeed tga(const char *name, uint8_t type, int w, int h, uint8_t bits, size_t keep_bytes = size_t(-1)) {
    std::vector<uint8_t> pixels(size_t(w) * size_t(h) * (bits + 7) / 8);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 37 + 11);
    if (keep_bytes < pixels.size())
        pixels.resize(keep_bytes);
    return FuzzSeed{name, TgaWriter_Encode(type, w, h, bits, pixels.data(), pixels.size()), 1};
}

// A seed the reader must refuse.
FuzzSeed refused(FuzzSeed seed) {
    seed.accepted = 0;
    return seed;
}

}  // namespace

std::vector<FuzzSeed> FuzzSeeds_Md3() {
    std::vector<FuzzSeed> seeds;
    seeds.push_back({"two_surfaces.md3", Md3Writer_Encode(model(2, 2, 2)), 1});
    seeds.push_back({"one_frame.md3", Md3Writer_Encode(model(1, 1, 1)), 1});
    seeds.push_back({"no_tags_no_surfaces.md3", Md3Writer_Encode(model(1, 0, 0)), 1});
    Md3ModelData gaps = model(3, 1, 1);
    gaps.surfaces[0].gap_before_triangles = 12;
    gaps.surfaces[0].gap_before_st = 4;
    gaps.surfaces[0].gap_before_xyz = 8;
    gaps.surfaces[0].gap_after = 16;
    seeds.push_back({"gaps.md3", Md3Writer_Encode(gaps), 1});
    std::vector<uint8_t> version16 = Md3Writer_Encode(model(1, 0, 1));
    version16[4] = 16;
    seeds.push_back({"version16.md3", version16, 0});
    return seeds;
}

std::vector<FuzzSeed> FuzzSeeds_Tga() {
    return {
        tga("gray8_4x4.tga", 3, 4, 4, 8),
        tga("true8_3x5.tga", 2, 3, 5, 8),
        tga("gray8_1x1.tga", 3, 1, 1, 8),
        tga("gray8_2x7.tga", 3, 2, 7, 8),
        tga("bgr24_3x5.tga", 2, 3, 5, 24),
        tga("bgra32_2x2.tga", 2, 2, 2, 32),
        refused(tga("rgb16_2x2.tga", 2, 2, 2, 16)),   // a depth no upload takes
        tga("empty_0x0.tga", 2, 0, 0, 24),
        tga("truncated_8x8.tga", 3, 8, 8, 8, 20),
    };
}

namespace {

// An 18-byte header: type, size, depth and descriptor, and a colour map
// (first index, entries, entry bits) and ID length when given; then `rest`.
FuzzSeed converter_file(const char *name, uint8_t type, int w, int h, uint8_t bits, uint8_t descriptor,
                        std::vector<uint8_t> rest, int map_first = -1, int map_length = 0, uint8_t map_bits = 0,
                        uint8_t id_length = 0) {
    uint8_t map_type = map_first >= 0 ? 1 : 0;
    TgaWriterHeader header = {id_length, map_type, type, map_type ? map_first : 0, map_length, map_bits,
                              w, h, bits, descriptor};
    return FuzzSeed{name, TgaWriter_EncodeHeader(header, rest.data(), rest.size()), 1};
}

}  // namespace

std::vector<FuzzSeed> FuzzSeeds_TgaConvert() {
    const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    std::vector<uint8_t> with_footer = {0x81, 1, 2, 3, 4, 0x00, 5, 6, 7, 8, 0x80, 9, 9, 9, 9};
    with_footer.insert(with_footer.end(), footer, footer + sizeof footer);
    return {
        converter_file("rle24_top_left.tga", 10, 3, 2, 24, 0x20, {0x83, 0, 0, 255, 0x01, 0, 255, 0, 255, 0, 0}),
        converter_file("rle32_footer.tga", 10, 2, 2, 32, 0x08, with_footer),
        converter_file("rle16_right.tga", 10, 3, 1, 16, 0x11, {0x81, 0xF8, 0x8C, 0x00, 0xFC, 0x03}),
        converter_file("true15.tga", 2, 2, 1, 15, 0x00, {0xF8, 0x0C, 0xFC, 0x03}),
        converter_file("grey_alpha_rle.tga", 11, 3, 1, 16, 0x08, {0x82, 10, 200}),
        converter_file("grey_rle_top.tga", 11, 2, 2, 8, 0x20, {0x81, 9, 0x01, 7, 8}),
        converter_file("mapped24_first5.tga", 1, 3, 1, 8, 0x00, {1, 2, 3, 4, 5, 6, 5, 6, 5}, 5, 2, 24),
        converter_file("mapped32.tga", 1, 2, 1, 8, 0x08, {1, 2, 3, 4, 5, 6, 7, 8, 1, 0}, 0, 2, 32),
        converter_file("mapped16_index16_rle.tga", 9, 4, 1, 16, 0x01,
                       {0xFC, 0x03, 0xF8, 0x8C, 0x82, 0x2D, 0x01, 0x00, 0x2C, 0x01}, 300, 2, 16),
        converter_file("id_unused_map.tga", 2, 1, 1, 24, 0x00, {'i', 'd', '!', 1, 1, 1, 2, 2, 2, 7, 8, 9}, 0, 2, 24, 3),
    };
}

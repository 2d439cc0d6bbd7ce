#include "bench_data.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include <unistd.h>

#include "support/gl_context.h"
#include "tools/md3_writer.h"
#include "tools/tga_writer.h"

namespace {

std::string temp_dir;
std::vector<std::string> written;
std::map<int, std::string> tga_files;
std::string large_model;
TestGlContext gl;

void save(const std::string &path, const std::vector<uint8_t> &bytes) {
    if (!Md3Writer_Save(path.c_str(), bytes)) {
        std::fprintf(stderr, "bench: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    written.push_back(path);
}

// One surface: a grid of columns x rows vertices rippling from frame to
// frame, two triangles per cell.
Md3SurfaceData grid_surface(int index, int columns, int rows, int frames) {
    Md3SurfaceData surface;
    surface.name = "grid" + std::to_string(index);
    surface.num_frames = frames;
    surface.shaders.push_back(Md3Shader{});
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            int32_t v = r * columns + c;
            surface.triangles.push_back(Md3Triangle{{v, v + 1, v + columns}});
            surface.triangles.push_back(Md3Triangle{{v + 1, v + columns + 1, v + columns}});
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            surface.texcoords.push_back(Md3TexCoord{float(c) / float(columns - 1), float(r) / float(rows - 1)});
    surface.vertices.reserve(size_t(frames) * size_t(rows) * size_t(columns));
    for (int f = 0; f < frames; ++f)
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                double phase = 0.1 * f + 0.3 * c + 0.2 * r + index;
                Md3Vertex vertex;
                vertex.x = int16_t(c * 32 + index * 64 * 40);
                vertex.y = int16_t(r * 32);
                vertex.z = int16_t(64.0 * std::sin(phase));
                Md3Writer_PackNormal(float(-std::cos(phase)), 0.2f, 1.0f, vertex.normal);
                surface.vertices.push_back(vertex);
            }
    return surface;
}

}  // namespace

int BenchData_Init() {
    char pattern[] = "/tmp/md3v-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 0;
    temp_dir = pattern;
    return TestGl_Create(&gl, 640, 480);
}

void BenchData_Cleanup() {
    TestGl_Destroy(&gl);
    for (const std::string &path : written)
        std::remove(path.c_str());
    rmdir(temp_dir.c_str());
}

const std::string &BenchData_Tga(int bits_per_pixel, int size) {
    int key = bits_per_pixel * 100000 + size;
    auto found = tga_files.find(key);
    if (found != tga_files.end())
        return found->second;
    size_t bytes = size_t(size) * size_t(size) * size_t(bits_per_pixel / 8);
    std::vector<uint8_t> pixels(bytes);
    // Smooth gradients with some noise: like a skin, not constant.
    uint32_t noise = 12345;
    for (size_t i = 0; i < bytes; ++i) {
        noise = noise * 1103515245u + 12345u;
        size_t texel = i / size_t(bits_per_pixel / 8);
        pixels[i] = uint8_t((texel % size_t(size)) + texel / size_t(size) / 3 + (noise >> 28));
    }
    std::string path = temp_dir + "/image" + std::to_string(bits_per_pixel) + "_" + std::to_string(size) + ".tga";
    save(path, TgaWriter_Encode(bits_per_pixel == 8 ? 3 : 2, size, size, uint8_t(bits_per_pixel), pixels.data(), bytes));
    return tga_files[key] = path;
}

std::vector<uint8_t> BenchData_HeightNoise(int size) {
    std::vector<uint8_t> map(size_t(size) * size_t(size));
    uint32_t noise = 777;
    for (size_t i = 0; i < map.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        map[i] = uint8_t(noise >> 24);
    }
    return map;
}

void BenchData_HeightMapSizes(benchmark::internal::Benchmark *b) {
    for (int size : {256, 1024, 4096})
        b->Arg(size);
}

const std::string &BenchData_LargeModel() {
    if (!large_model.empty())
        return large_model;
    Md3ModelData model;
    model.name = "large";
    const float lo[3] = {-100, -100, -100}, hi[3] = {100, 100, 100};
    const int frames = 200;
    for (int f = 0; f < frames; ++f)
        model.frames.push_back(Md3Writer_Frame(lo, hi, "frame"));
    model.num_tags = 1;
    const float origin[3] = {0, 0, 0}, axis[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int f = 0; f < frames; ++f)
        model.tags.push_back(Md3Writer_Tag("tag_torso", origin, axis));
    // 41 x 51 vertices give 40 x 50 x 2 = 4,000 triangles per surface,
    // inside the per-surface limits that other MD3 readers keep.
    for (int s = 0; s < 25; ++s)
        model.surfaces.push_back(grid_surface(s, 41, 51, frames));
    large_model = temp_dir + "/large.md3";
    save(large_model, Md3Writer_Encode(model));
    return large_model;
}

std::string BenchData_Sample(const char *file_name) {
    return std::string(MD3V_SAMPLE_DIR) + "/" + file_name;
}

#include "md3_test_files.h"

#include <cstring>

#include "support/temp_dir.h"

Md3Vertex TestMd3_Vertex(int16_t x, int16_t y, int16_t z, uint8_t b0, uint8_t b1) {
    Md3Vertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    vertex.normal[0] = b0;
    vertex.normal[1] = b1;
    return vertex;
}

Md3SurfaceData TestMd3_Triangle(const char *name, int32_t frames) {
    Md3SurfaceData surface;
    surface.name = name;
    surface.num_frames = frames;
    surface.triangles.push_back(Md3Triangle{{0, 1, 2}});
    surface.texcoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
    for (int f = 0; f < frames; ++f)
        for (int v = 0; v < 3; ++v)
            surface.vertices.push_back(TestMd3_Vertex(int16_t(64 * (v + 10 * f)), int16_t(v), int16_t(f)));
    return surface;
}

Md3Tag TestMd3_Tag(const char *name, float ox, float oy, float oz, const float axis[9]) {
    const float origin[3] = {ox, oy, oz};
    return Md3Writer_Tag(name, origin, axis);
}

Md3ModelData TestMd3_Model() {
    static const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    static const float turned[9] = {0, 1, 0, -1, 0, 0, 0, 0, 1};
    const float low[3] = {-1, -2, -3};
    const float high[3] = {4, 5, 6};
    Md3ModelData model;
    model.name = "test_model";
    model.frames = {Md3Writer_Frame(low, high, "frame0"), Md3Writer_Frame(high, high, "frame1")};
    model.num_tags = 2;
    model.tags = {TestMd3_Tag("tag_a", 1, 2, 3, identity), TestMd3_Tag("tag_b", 4, 5, 6, turned),
                  TestMd3_Tag("tag_a", 7, 8, 9, turned), TestMd3_Tag("tag_b", 10, 11, 12, identity)};

    Md3SurfaceData first;
    first.name = "first";
    first.num_frames = 2;
    Md3Shader shader;
    std::memset(&shader, 0, sizeof shader);
    std::strcpy(shader.name, "shader_one");
    shader.shader_index = 5;
    first.shaders.push_back(shader);
    std::strcpy(shader.name, "shader_two");
    shader.shader_index = 6;
    first.shaders.push_back(shader);
    first.triangles = {Md3Triangle{{0, 1, 2}}, Md3Triangle{{2, 3, 0}}};
    first.texcoords = {{0.0f, 0.5f}, {1.0f, 0.25f}, {0.75f, 1.0f}, {0.125f, 0.0f}};
    for (int f = 0; f < 2; ++f)
        for (int v = 0; v < 4; ++v)
            first.vertices.push_back(TestMd3_Vertex(int16_t(100 * f + v), int16_t(-v), int16_t(7),
                                                    uint8_t(v), uint8_t(f)));
    model.surfaces.push_back(first);
    model.surfaces.push_back(TestMd3_Triangle("second", 2));
    return model;
}

std::string TestMd3_Path(const char *name) {
    static std::string directory;
    if (directory.empty())
        directory = TestTemp_MakeDir("md3_test_");
    return directory + "/" + name;
}

int TestMd3_LoadBytes(const std::vector<uint8_t> &bytes, Md3Model *model, std::string *reason) {
    const std::string path = TestMd3_Path("patched.md3");
    if (!Md3Writer_Save(path.c_str(), bytes))
        return -1;
    char text[md3_reason_size] = "";
    const int loaded = MD3_Load(path.c_str(), model, text);
    if (reason)
        *reason = text;
    return loaded;
}

bool TestMd3_IsEmpty(const Md3Model &model) {
    static const Md3Header zero = {};
    return std::memcmp(&model.header, &zero, sizeof zero) == 0 && !model.frames && !model.tags &&
           !model.surfaces && !model.links;
}

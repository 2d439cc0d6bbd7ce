// MD3_DrawSurfaces and MD3_Draw against Mesa: the vertices that reach GL are
// read back through feedback mode, textures through the pixels drawn.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <vector>

#include "md3_test_files.h"
#include "support/gl_context.h"
#include "viewer/draw.h"

namespace {

const int SIZE = 200;   // viewport; glOrtho maps object x, y to x + 100, y + 100

struct Corner {
    float x, y, z, s, t;
};
typedef std::vector<Corner> Polygon;

class DrawTest : public ::testing::Test {
protected:
    TestGlContext gl = {};
    void SetUp() override {
        ASSERT_EQ(TestGl_Create(&gl, SIZE, SIZE), 1);
        glViewport(0, 0, SIZE, SIZE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-100, 100, -100, 100, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        glFinish();   // llvmpipe must be done with the buffer before it goes
        TestGl_Destroy(&gl);
    }

    // The polygons that `draw` sends, in object coordinates of the ortho view.
    std::vector<Polygon> Capture(const std::function<void()> &draw) {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer(GLsizei(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint used = glRenderMode(GL_RENDER);
        EXPECT_GE(used, 0) << "feedback buffer overflow";
        std::vector<Polygon> polygons;
        for (GLint i = 0; i < used;) {
            EXPECT_EQ(buffer[i], GLfloat(GL_POLYGON_TOKEN));
            const int count = int(buffer[i + 1]);
            i += 2;
            Polygon polygon;
            for (int v = 0; v < count; ++v, i += 12) {
                const GLfloat *f = &buffer[i];
                // Window z = (1 - z / 100) / 2; texture s, t follow the colour.
                polygon.push_back({f[0] - 100, f[1] - 100, 100 * (1 - 2 * f[2]), f[8], f[9]});
            }
            polygons.push_back(polygon);
        }
        return polygons;
    }
};

void ExpectCorner(const Corner &c, float x, float y, float z, float tolerance = 2e-4f) {
    EXPECT_NEAR(c.x, x, tolerance);
    EXPECT_NEAR(c.y, y, tolerance);
    EXPECT_NEAR(c.z, z, tolerance);
}

// One surface, two frames, triangle corners in the order 2, 0, 1.
Md3ModelData BlendModel() {
    Md3ModelData data;
    data.name = "blend";
    const float box[3] = {0, 0, 0};
    data.frames = {Md3Writer_Frame(box, box, "a"), Md3Writer_Frame(box, box, "b")};
    Md3SurfaceData surface;
    surface.name = "s";
    surface.num_frames = 2;
    surface.triangles = {Md3Triangle{{2, 0, 1}}};
    surface.texcoords = {{0.25f, 0.75f}, {0.5f, -0.125f}, {1.0f, 2.0f}};
    surface.vertices = {TestMd3_Vertex(64, -128, 1, 0, 0), TestMd3_Vertex(640, 0, 0, 0, 0),
                        TestMd3_Vertex(0, 640, -64, 0, 0),
                        TestMd3_Vertex(192, 64, -63, 64, 0), TestMd3_Vertex(640, 0, 0, 64, 0),
                        TestMd3_Vertex(-640, 640, -64, 128, 0)};
    data.surfaces.push_back(surface);
    return data;
}

TEST_F(DrawTest, SendsBlendedPositionsAndNegatedTextureT) {
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(BlendModel()), &model), 1);
    struct Case { int32_t a, b; float f; float x0, y0, z0; } cases[] = {
        {0, 1, 0.0f, 1.0f, -2.0f, 0.015625f},
        {0, 1, 1.0f, 3.0f, 1.0f, -0.984375f},
        {0, 1, 0.5f, 2.0f, -0.5f, -0.484375f},
        {0, 1, 2.0f, 5.0f, 4.0f, -1.984375f},     // extrapolates
        {1, 0, 0.25f, 2.5f, 0.25f, -0.734375f},
        {1, 1, 0.6f, 3.0f, 1.0f, -0.984375f},
        {7, -2, 0.0f, 3.0f, 1.0f, -0.984375f},    // clamped to frame 1 ...
        {7, -2, 1.0f, 1.0f, -2.0f, 0.015625f},    // ... and frame 0
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " " + std::to_string(c.b) + " " + std::to_string(c.f));
        std::vector<Polygon> drawn = Capture([&] { MD3_DrawSurfaces(&model, c.a, c.b, c.f); });
        ASSERT_EQ(drawn.size(), 1u);
        ASSERT_EQ(drawn[0].size(), 3u);
        ExpectCorner(drawn[0][1], c.x0, c.y0, c.z0);          // vertex 0 is the second corner
        EXPECT_FLOAT_EQ(drawn[0][1].s, 0.25f);
        EXPECT_FLOAT_EQ(drawn[0][1].t, -0.75f);
        EXPECT_FLOAT_EQ(drawn[0][0].t, -2.0f);
        EXPECT_FLOAT_EQ(drawn[0][2].t, 0.125f);
        ExpectCorner(drawn[0][2], 10.0f, 0.0f, 0.0f);         // same in both frames
    }
    MD3_Free(&model);
}

// The last corner's normal stays current after the draw: vertex 1, bytes
// (0, 0) in frame 0 and (64, 0) in frame 1: entry 64 * 256, not 64.
TEST_F(DrawTest, NormalsComeFromTheTableBlendedAndNotRenormalised) {
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(BlendModel()), &model), 1);
    float n[4];
    const float *b = NormalTable[64 * 256];
    MD3_DrawSurfaces(&model, 0, 1, 1.0f);
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_NEAR(n[0], 0.99998128f, 1e-7);
    EXPECT_NEAR(n[1], 0.0f, 1e-7);
    EXPECT_NEAR(n[2], -0.0061134156f, 1e-7);
    MD3_DrawSurfaces(&model, 0, 1, 0.5f);
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_NEAR(n[0], 0.5f * b[0], 1e-7);
    EXPECT_NEAR(n[1], 0.5f * b[1], 1e-7);
    EXPECT_NEAR(n[2], 0.5f * (1 + b[2]), 1e-7);
    EXPECT_LT(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 0.72f);
    // Nearly opposite normals, (0, 0) and (128, 0), nearly cancel.
    model.surfaces[0].vertices[4].normal[0] = 128;
    model.surfaces[0].vertices[4].normal[1] = 0;
    MD3_DrawSurfaces(&model, 0, 1, 0.5f);
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_LT(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 0.01f);
    MD3_Free(&model);
}

TEST_F(DrawTest, ModelsWithoutFramesOrSurfacesDrawNothing) {
    Md3ModelData data;
    data.name = "frameless";
    Md3SurfaceData surface = TestMd3_Triangle("s", 0);
    data.surfaces.push_back(surface);
    Md3Model frameless = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &frameless), 1);
    Md3Model failed = {};
    EXPECT_EQ(MD3_Load(TestMd3_Path("absent.md3").c_str(), &failed), 0);
    EXPECT_EQ(Capture([&] { MD3_Draw(&frameless); MD3_Draw(&failed); }).size(), 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    MD3_Free(&frameless);
}

// A surface without a skin shows whatever texture is bound; a skinned
// surface without triangles still binds its texture.
TEST_F(DrawTest, BindsTexturesOnlyForSkinnedSurfaces) {
    GLuint textures[3];
    glGenTextures(3, textures);
    const uint8_t colours[3][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (int i = 0; i < 3; ++i) {
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, colours[i]);
    }
    Md3ModelData data;
    data.name = "skins";
    const float box[3] = {0, 0, 0};
    data.frames = {Md3Writer_Frame(box, box, "a")};
    for (int s = 0; s < 4; ++s) {
        Md3SurfaceData surface = TestMd3_Triangle(("s" + std::to_string(s)).c_str(), 1);
        // A triangle around x = -60 + 50 s, y = 0 (object units).
        const int16_t x = int16_t(64 * (-70 + 50 * s));
        surface.vertices = {TestMd3_Vertex(x, -640, 0), TestMd3_Vertex(int16_t(x + 1280), -640, 0),
                            TestMd3_Vertex(x, 640, 0)};
        if (s == 3)
            surface.triangles.clear();
        data.surfaces.push_back(surface);
    }
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &model), 1);
    MD3_SetSkin("s1", &model, textures[1]);
    MD3_SetSkin("s3", &model, textures[2]);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    auto colour_at = [](int s) {
        uint8_t rgba[4];
        TestGl_ReadPixel(100 - 63 + 50 * s, 99, rgba);
        return (rgba[0] > 128 ? 1 : 0) | (rgba[1] > 128 ? 2 : 0) | (rgba[2] > 128 ? 4 : 0);
    };
    MD3_DrawSurfaces(&model, 0, 0, 0.0f);
    EXPECT_EQ(colour_at(0), 1);   // red, bound before the draw
    EXPECT_EQ(colour_at(1), 2);   // its own green
    EXPECT_EQ(colour_at(2), 2);   // green left by the surface before
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), textures[2]);   // from the surface without triangles
    MD3_DrawSurfaces(&model, 0, 0, 0.0f);
    EXPECT_EQ(colour_at(0), 4);   // blue, left by the last surface of the first draw
    MD3_Free(&model);
}

// A parent with tags "slot0" and "slot1" and a child triangle at
// (0, 0, 0), (1, 0, 0), (0, 1, 0) offset by `x` along x.
Md3ModelData LinkModel(const float axis0[9], const float origin0[3], const float axis1[9],
                       const float origin1[3], int16_t x) {
    Md3ModelData data;
    data.name = "link";
    const float box[3] = {0, 0, 0};
    data.frames = {Md3Writer_Frame(box, box, "a"), Md3Writer_Frame(box, box, "b")};
    data.num_tags = 2;
    data.tags = {Md3Writer_Tag("slot0", origin0, axis0), Md3Writer_Tag("slot1", origin0, axis0),
                 Md3Writer_Tag("slot0", origin1, axis1), Md3Writer_Tag("slot1", origin1, axis1)};
    Md3SurfaceData surface = TestMd3_Triangle("s", 2);
    for (int f = 0; f < 2; ++f) {
        surface.vertices[3 * f] = TestMd3_Vertex(x, 0, 0);
        surface.vertices[3 * f + 1] = TestMd3_Vertex(int16_t(x + 64), 0, 0);
        surface.vertices[3 * f + 2] = TestMd3_Vertex(x, 64, 0);
    }
    data.surfaces.push_back(surface);
    return data;
}

TEST_F(DrawTest, PlacesChildrenAtTheBlendedTag) {
    const float a = 0.5f;
    const float turned_x[9] = {1, 0, 0, 0, std::cos(a), std::sin(a), 0, -std::sin(a), std::cos(a)};
    const float turned_z[9] = {0, 1, 0, -1, 0, 0, 0, 0, 1};
    const float o0[3] = {10, 20, 30}, o1[3] = {30, 0, -10};
    Md3Model parent = {}, child = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(LinkModel(turned_x, o0, turned_z, o1, 0)), &parent), 1);
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(LinkModel(turned_x, o0, turned_z, o1, 0)), &child), 1);
    ASSERT_EQ(MD3_AttachToTag("slot1", &parent, &child), 1);
    // Corner 0 lands on the origin, corners 1 and 2 one axis vector away.
    struct Case { int32_t current, next; float fraction; const float *axis, *origin; } cases[] = {
        {0, 1, 0.0f, turned_x, o0}, {0, 1, 1.0f, turned_z, o1}, {1, 0, 0.0f, turned_z, o1},
        {1, 1, 0.7f, turned_z, o1}, {0, 0, 0.3f, turned_x, o0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + " " + std::to_string(c.next) + " " + std::to_string(c.fraction));
        parent.current_frame = c.current;
        parent.next_frame = c.next;
        parent.fraction = c.fraction;
        std::vector<Polygon> drawn = Capture([&] { MD3_Draw(&parent); });
        ASSERT_EQ(drawn.size(), 2u);
        const Polygon &p = drawn[1];
        ExpectCorner(p[0], c.origin[0], c.origin[1], c.origin[2]);
        ExpectCorner(p[1], c.origin[0] + c.axis[0], c.origin[1] + c.axis[1], c.origin[2] + c.axis[2]);
        ExpectCorner(p[2], c.origin[0] + c.axis[3], c.origin[1] + c.axis[4], c.origin[2] + c.axis[5]);
    }
    // Half way: the origin blends linearly, the orientation stays a rotation.
    parent.current_frame = 0;
    parent.next_frame = 1;
    parent.fraction = 0.5f;
    std::vector<Polygon> drawn = Capture([&] { MD3_Draw(&parent); });
    ASSERT_EQ(drawn.size(), 2u);
    const Polygon &p = drawn[1];
    ExpectCorner(p[0], 20, 10, 10);
    const float u[3] = {p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z};
    const float v[3] = {p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z};
    EXPECT_NEAR(u[0] * u[0] + u[1] * u[1] + u[2] * u[2], 1.0f, 1e-3);
    EXPECT_NEAR(u[0] * v[0] + u[1] * v[1] + u[2] * v[2], 0.0f, 1e-3);
    MD3_Free(&parent);
    MD3_Free(&child);
}

TEST_F(DrawTest, DrawsDepthFirstAndLeavesTheMatrixStackAsFound) {
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const float up[3] = {0, 10, 0};
    // legs -> torso (slot0), extra (slot1); torso -> head (slot0), weapon (slot1).
    Md3Model models[5] = {};
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(LinkModel(identity, up, identity, up, int16_t(640 * i))),
                                    &models[i]), 1);
    Md3Model &legs = models[0], &torso = models[1], &head = models[2], &weapon = models[3], &extra = models[4];
    MD3_AttachToTag("slot1", &legs, &extra);
    MD3_AttachToTag("slot0", &legs, &torso);
    MD3_AttachToTag("slot0", &torso, &head);
    MD3_AttachToTag("slot1", &torso, &weapon);
    glTranslatef(1, 2, 3);
    glRotatef(30, 0, 1, 0);
    glPushMatrix();
    GLfloat before[16], after[16];
    GLint depth_before = 0, depth_after = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
    std::vector<Polygon> drawn = Capture([&] { MD3_Draw(&legs); });
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
    EXPECT_EQ(depth_after, depth_before);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]) << i;
    ASSERT_EQ(drawn.size(), 5u);
    // Each model's corner 0 sits at its own x offset, raised 10 per level.
    const int order[5] = {0, 1, 2, 3, 4};
    const int level[5] = {0, 1, 2, 2, 1};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const double angle = 30.0 * M_PI / 180.0;
        const double x = 10.0 * order[i], y = 10.0 * level[i];
        // The caller's translate and rotation about y apply to every corner.
        ExpectCorner(drawn[i][0], float(1 + x * std::cos(angle)), float(2 + y), float(3 - x * std::sin(angle)), 1e-3f);
    }
    for (Md3Model &model : models)
        MD3_Free(&model);
}

// Links deeper than the modelview stack: the children that fit are drawn,
// the rest left out, and no push or pop goes wrong.
TEST_F(DrawTest, NestingBeyondTheStackLeavesItIntact) {
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const float none[3] = {0, 0, 0};
    std::vector<Md3Model> chain(40);
    const std::vector<uint8_t> bytes = Md3Writer_Encode(LinkModel(identity, none, identity, none, 0));
    for (Md3Model &model : chain)
        ASSERT_EQ(TestMd3_LoadBytes(bytes, &model), 1);
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        ASSERT_EQ(MD3_AttachToTag("slot0", &chain[i], &chain[i + 1]), 0);
    GLint max_depth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &max_depth);
    ASSERT_LT(max_depth, 40);
    glTranslatef(5, 0, 0);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const size_t drawn = Capture([&] { MD3_Draw(&chain[0]); }).size();
    EXPECT_EQ(drawn, size_t(max_depth));   // the root at depth 1, then one per free entry
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]) << i;
    for (Md3Model &model : chain)
        MD3_Free(&model);
}

}  // namespace

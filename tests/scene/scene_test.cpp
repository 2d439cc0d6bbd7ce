#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <GL/gl.h>

#include "scene_fixture.h"
#include "viewer/fps.h"
#include "viewer/scene.h"

extern char fps_text[256];

namespace {

class SceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(SceneFixture_Start(MD3V_SAMPLE_DIR), 1); }
    static void TearDownTestSuite() { SceneFixture_Stop(); }
    void SetUp() override { std::strcpy(fps_text, "FPS: 60.0"); }
};

TEST_F(SceneTest, ShowsTheModelAtTheCentreAndTwoTextLinesAtTheLowerLeft) {
    Scene_Render();
    EXPECT_GT(SceneFixture_Count(300, 220, 40, 40).lit, 800);   // of 1600
    PixelCounts fps = SceneFixture_Count(0, 0, 160, 16);
    PixelCounts error = SceneFixture_Count(0, 16, 160, 16);
    EXPECT_GT(fps.white, 40);
    EXPECT_GT(error.white, 40);
    // Lettering, not filled cells; nothing beside or above the two lines.
    EXPECT_LT(fps.white, 160 * 16 / 2);
    EXPECT_EQ(SceneFixture_Count(200, 0, 440, 32).white, 0);
    EXPECT_EQ(SceneFixture_Count(0, 32, 160, 32).white, 0);
}

TEST_F(SceneTest, PrintsNoFrameRateLineBeforeTheFirstMeasurement) {
    fps_text[0] = '\0';
    Scene_Render();
    EXPECT_EQ(SceneFixture_Count(0, 0, 160, 16).white, 0);
    EXPECT_GT(SceneFixture_Count(0, 16, 160, 16).white, 40);
}

// Presents `frames` frames as the viewer's loop does, every reading at `now`;
// how many closed a window.
int StepFrames(FpsState *state, int frames, int64_t now, int64_t frequency, char (&text)[256]) {
    int closed = 0;
    for (int i = 0; i < frames; ++i)
        if (Fps_Count(state)) {
            Fps_Measure(state, now, frequency, text, sizeof text);
            ++closed;
        }
    return closed;
}

// The text that the scene prints: the rate over each window of 21 frames,
// to one decimal; a window whose rate is undefined leaves it as it was.
TEST(FrameRateTest, MeasuresEveryTwentyFirstFrameToOneDecimal) {
    FpsState state = {0, 1000};
    char text[256] = "";
    EXPECT_EQ(StepFrames(&state, 20, 1100, 1000, text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(StepFrames(&state, 1, 1360, 1000, text), 1);   // 21 frames in 0.36 s
    EXPECT_STREQ(text, "FPS: 58.3");
    state.window_start = 1370;   // the caller's second reading
    EXPECT_EQ(StepFrames(&state, 20, 1400, 1000, text), 0);
    EXPECT_STREQ(text, "FPS: 58.3");
    EXPECT_EQ(StepFrames(&state, 1, 1720, 1000, text), 1);   // 21 frames in 0.35 s
    EXPECT_STREQ(text, "FPS: 60.0");
    state.window_start = 1720;
    EXPECT_EQ(StepFrames(&state, 21, 1720, 1000, text), 1);   // no counts elapsed
    EXPECT_EQ(StepFrames(&state, 21, 2000, 0, text), 1);      // no frequency
    EXPECT_STREQ(text, "FPS: 60.0");
}

TEST_F(SceneTest, LeavesTheBetweenFramesStateBehind) {
    glBlendFunc(GL_DST_COLOR, GL_SRC_ALPHA);
    Scene_Render();
    GLint src = 0, dst = 0, cull = 0, mode = 0, modelview_depth = 0, projection_depth = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelview_depth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection_depth);
    EXPECT_EQ(src, GL_DST_COLOR);
    EXPECT_EQ(dst, GL_SRC_ALPHA);
    EXPECT_EQ(cull, GL_BACK);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(modelview_depth, 1);
    EXPECT_EQ(projection_depth, 1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    glBlendFunc(GL_ONE, GL_ZERO);
}

TEST_F(SceneTest, DrawsTheSamePictureEveryFrame) {
    Scene_Render();
    std::vector<unsigned char> first(640 * 480 * 4), second(first.size());
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, first.data());
    Scene_Render();
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, second.data());
    EXPECT_TRUE(first == second);
    EXPECT_EQ(lower_model.current_frame, SCENE_POSE_FRAME);
    EXPECT_EQ(upper_model.next_frame, SCENE_POSE_FRAME);
    EXPECT_EQ(head_model.current_frame, 0);
}

// The contents of a 24-bit TGA file's pixel data.
std::vector<unsigned char> FilePixels(const char *name) {
    std::vector<unsigned char> bytes;
    if (FILE *file = std::fopen(name, "rb")) {
        int c;
        while ((c = std::fgetc(file)) != EOF)
            bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(file);
    }
    return bytes.size() > 18 ? std::vector<unsigned char>(bytes.begin() + 18, bytes.end()) : bytes;
}

// Each texture variable holds its own file, and each surface the texture
// that the scene gives it by name.
TEST_F(SceneTest, SkinsEverySurfaceWithItsOwnTextureAndLinksEveryPiece) {
    const struct { const char *file; uint32_t texture; } textures[] = {
        {"base.tga", base_texture}, {"base1.tga", base1_texture}, {"base2.tga", base2_texture},
        {"base3.tga", base3_texture}};
    for (const auto &t : textures) {
        SCOPED_TRACE(t.file);
        ASSERT_NE(t.texture, 0u);
        std::vector<unsigned char> want = FilePixels(t.file);
        ASSERT_EQ(want.size(), 128u * 128u * 3u);
        std::vector<unsigned char> got(want.size());
        glBindTexture(GL_TEXTURE_2D, t.texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, got.data());
        EXPECT_TRUE(got == want);
    }
    const struct { const Md3Model *model; const char *surface; uint32_t texture; } skins[] = {
        {&lower_model, "l_legs", base_texture},      {&upper_model, "u_arms", base_texture},
        {&upper_model, "u_chest", base1_texture},    {&head_model, "h_helmet", base_texture},
        {&head_model, "h_visor", 0},                 {&weapon_model, "w_rocketl", base2_texture},
        {&weapon_model, "w_rocketl01", base3_texture}};
    for (const auto &skin : skins) {
        int found = 0;
        for (int i = 0; i < skin.model->header.num_surfaces; ++i) {
            const Md3Surface &surface = skin.model->surfaces[i];
            if (std::strcmp(surface.header.name, skin.surface) != 0)
                continue;
            ++found;
            EXPECT_EQ(surface.has_texture, 1) << skin.surface;
            EXPECT_EQ(surface.texture, skin.texture) << skin.surface;
        }
        EXPECT_EQ(found, 1) << skin.surface;
    }
    // The samples hold no other surface.
    int surfaces = 0;
    for (const Md3Model *model : {&lower_model, &upper_model, &head_model, &weapon_model})
        surfaces += model->header.num_surfaces;
    EXPECT_EQ(surfaces, 7);
    EXPECT_EQ(lower_model.links[0], &upper_model);
    ASSERT_EQ(upper_model.header.num_tags, 2);
    EXPECT_EQ(upper_model.links[0], &head_model);
    EXPECT_EQ(upper_model.links[1], &weapon_model);
    EXPECT_NE(font_texture, 0u);
}

// The projection is the 90-degree perspective of a 640 x 480 client with
// near plane 0.001f and far plane 400, as glFrustum would give it.
TEST_F(SceneTest, KeepsTheNinetyDegreePerspective) {
    Scene_Render();
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const double near_plane = double(0.001f), far_plane = 400.0;
    const double want[16] = {480.0 / 640.0, 0, 0, 0, 0, 1, 0, 0, 0, 0, -(far_plane + near_plane) / (far_plane - near_plane),
                             -1, 0, 0, -2 * far_plane * near_plane / (far_plane - near_plane), 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(m[i], float(want[i])) << i;
}

// Where the first corner of the legs lands in the window: model +x towards
// the eye, +y to the right, +z up, the origin 50 units ahead of the eye and
// 10 below it, seen through the 90-degree perspective.
TEST_F(SceneTest, PlacesTheModelInFrontOfTheCamera) {
    // Culling off, so the first polygon fed back is the legs' first triangle.
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    Scene_Render();
    const GLint used = glRenderMode(GL_RENDER);
    glEnable(GL_CULL_FACE);
    ASSERT_GT(used, 5);
    ASSERT_EQ(buffer[0], GLfloat(GL_POLYGON_TOKEN));
    ASSERT_EQ(buffer[1], 3.0f);
    const Md3Surface &legs = lower_model.surfaces[0];
    const Md3Vertex &v = legs.vertices[SCENE_POSE_FRAME * legs.header.num_verts + legs.triangles[0].indexes[0]];
    const double x = v.x / 64.0, y = v.y / 64.0, z = v.z / 64.0;
    const double eye[3] = {y, z - 10, x - 50};
    const double window_x = (0.75 * eye[0] / -eye[2] + 1) * 320, window_y = (eye[1] / -eye[2] + 1) * 240;
    EXPECT_NEAR(buffer[2], window_x, 0.01);
    EXPECT_NEAR(buffer[3], window_y, 0.01);
}

const Md3Vertex &VertexAt(const Md3Surface &surface, int frame, int index) {
    return surface.vertices[frame * surface.header.num_verts + index];
}

// The legs and torso move between frame 0 and the pose frame, and every
// triangle of every piece is wound clockwise as seen from the side its
// normals face (the scene culls front faces while it draws the model).
TEST_F(SceneTest, SampleModelIsAnimatedAndWoundAgainstItsNormals) {
    for (const Md3Model *model : {&lower_model, &upper_model}) {
        ASSERT_GT(model->header.num_frames, SCENE_POSE_FRAME);
        for (int s = 0; s < model->header.num_surfaces; ++s) {
            const Md3Surface &surface = model->surfaces[s];
            bool moved = false;
            for (int v = 0; v < surface.header.num_verts && !moved; ++v)
                moved = std::memcmp(&VertexAt(surface, 0, v), &VertexAt(surface, SCENE_POSE_FRAME, v), 6) != 0;
            EXPECT_TRUE(moved) << surface.header.name;
        }
    }
    for (const Md3Model *model : {&lower_model, &upper_model, &head_model, &weapon_model})
        for (int s = 0; s < model->header.num_surfaces; ++s) {
            const Md3Surface &surface = model->surfaces[s];
            int frame = model->header.num_frames > SCENE_POSE_FRAME ? SCENE_POSE_FRAME : 0;
            int wrong = 0;
            for (int t = 0; t < surface.header.num_triangles; ++t) {
                float p[3][3], n[3] = {0, 0, 0};
                for (int c = 0; c < 3; ++c) {
                    const Md3Vertex &v = VertexAt(surface, frame, surface.triangles[t].indexes[c]);
                    p[c][0] = v.x, p[c][1] = v.y, p[c][2] = v.z;
                    const float *normal = NormalTable[v.normal[0] * 256 + v.normal[1]];
                    for (int k = 0; k < 3; ++k)
                        n[k] += normal[k];
                }
                float e1[3], e2[3];
                for (int k = 0; k < 3; ++k)
                    e1[k] = p[1][k] - p[0][k], e2[k] = p[2][k] - p[0][k];
                float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                 e1[0] * e2[1] - e1[1] * e2[0]};
                wrong += face[0] * n[0] + face[1] * n[1] + face[2] * n[2] >= 0.0f;
            }
            EXPECT_EQ(wrong, 0) << surface.header.name << " of " << surface.header.num_triangles;
        }
}

}  // namespace

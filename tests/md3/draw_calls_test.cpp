// The order of the GL calls that drawing makes, recorded by stand-ins for
// the GL entry points that this program defines in place of Mesa's.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "bits_cases.h"
#include "md3_test_files.h"
#include "viewer/draw.h"

namespace {

struct Call {
    std::string name;
    std::vector<double> args;
};
std::vector<Call> calls;
int stack_depth = 1;

void Record(const char *name, std::vector<double> args = {}) {
    calls.push_back(Call{name, args});
}

}  // namespace

extern "C" {
void glBindTexture(GLenum target, GLuint texture) { Record("bind", {double(target), double(texture)}); }
void glBegin(GLenum mode) { Record("begin", {double(mode)}); }
void glEnd(void) { Record("end"); }
void glTexCoord2f(GLfloat s, GLfloat t) { Record("texcoord", {s, t}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Record("normal", {x, y, z}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("vertex", {x, y, z}); }
void glPushMatrix(void) { Record("push"); ++stack_depth; }
void glPopMatrix(void) { Record("pop"); --stack_depth; }
void glMultMatrixf(const GLfloat *m) { Record("mult", std::vector<double>(m, m + 16)); }
void glGetIntegerv(GLenum name, GLint *value) {
    Record("get");
    *value = name == GL_MODELVIEW_STACK_DEPTH ? stack_depth : name == GL_MAX_MODELVIEW_STACK_DEPTH ? 32 : 0;
}
}

namespace {

// The calls without the state queries, as "name" or "name(a,b,...)".
std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call &call : calls)
        if (call.name != "get")
            names.push_back(call.name);
    return names;
}

std::vector<std::string> Triangle() {
    return {"begin", "texcoord", "normal", "vertex", "texcoord", "normal", "vertex",
            "texcoord", "normal", "vertex", "end"};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(DrawCalls, OneBeginEndPerTriangleCornersInIndexOrder) {
    Md3ModelData data = TestMd3_Model();   // "first": 2 triangles, "second": 1
    Md3SurfaceData bare = TestMd3_Triangle("bare", 2);
    bare.triangles.clear();
    data.surfaces.push_back(bare);
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &model), 1);
    MD3_SetSkin("first", &model, 5);
    MD3_SetSkin("bare", &model, 0);
    calls.clear();
    MD3_DrawSurfaces(&model, 0, 1, 0.25f);
    const std::vector<std::string> want =
        Join({{"bind"}, Triangle(), Triangle(), Triangle(), {"bind"}});
    ASSERT_EQ(Names(), want);
    EXPECT_EQ(calls[0].args, (std::vector<double>{GL_TEXTURE_2D, 5}));
    EXPECT_EQ(calls.back().args, (std::vector<double>{GL_TEXTURE_2D, 0}));
    EXPECT_EQ(calls[1].args[0], double(GL_TRIANGLES));
    // Second triangle of "first": corners 2, 3, 0. Vertex v of frame f is at
    // (100 f + v, -v, 7) / 64 with normal bytes (v, f); texcoord t negated.
    const Md3Surface &first = model.surfaces[0];
    const int corners[3] = {2, 3, 0};
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        const int v = corners[c];
        const Call &texcoord = calls[12 + 1 + 3 * c], &normal = calls[12 + 2 + 3 * c], &vertex = calls[12 + 3 + 3 * c];
        EXPECT_EQ(texcoord.args, (std::vector<double>{first.texcoords[v].s, -first.texcoords[v].t}));
        const float *na = NormalTable[v * 256], *nb = NormalTable[v * 256 + 1];
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(normal.args[k], double(float(na[k] + 0.25 * (double(nb[k]) - na[k]))));
        EXPECT_EQ(vertex.args, (std::vector<double>{(v + 25.0) / 64, -v / 64.0, 7 / 64.0}));
    }
    // The blend runs in double from the float inputs, rounded once.
    for (int k = 1; k < 40; ++k) {
        const float fraction = float(k) / 97.0f;
        calls.clear();
        MD3_DrawSurfaces(&model, 0, 1, fraction);
        const double x = 2 / 64.0, y = 102 / 64.0;   // vertex 2, first corner of triangle 1
        EXPECT_EQ(calls[15].args[0], double(float(x + double(fraction) * (y - x)))) << fraction;
    }
    MD3_Free(&model);
}

// What drawing sends, worked out without GL: vertices and tags between
// frames, bit for bit (bits_cases.cpp).
TEST(Blend, PinnedVerticesAndTagsBitForBit) {
    ASSERT_EQ(BitsCases_FillNormalTable(), 1);
    EXPECT_EQ(BitsCases_CheckBlends(), "");
}

TEST(DrawCalls, NothingForAModelWithoutSurfacesOrLinks) {
    Md3ModelData data = TestMd3_Model();
    data.surfaces.clear();
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &model), 1);
    Md3Model empty = {};
    calls.clear();
    MD3_DrawSurfaces(&model, 0, 1, 0.5f);
    MD3_Draw(&model);
    MD3_Draw(&empty);
    MD3_Draw(nullptr);
    EXPECT_TRUE(calls.empty());
    MD3_Free(&model);
}

TEST(DrawCalls, OnePushMultiplyPopPerLinkedSlotWithTheBlendedTag) {
    // Slot "t1" turns from the identity to a quarter turn about z and moves
    // between two origins; the other slots stay put.
    const TagBlendCase &turn = BitsCases_QuarterTurn();
    const float *from = turn.origin_a;
    Md3ModelData data;
    data.name = "parent";
    data.frames = {Md3Writer_Frame(from, from, "a"), Md3Writer_Frame(from, from, "b")};
    data.num_tags = 3;
    for (int f = 0; f < 2; ++f)
        for (const char *name : {"t0", "t1", "t2"}) {
            const bool moving = f == 1 && std::string(name) == "t1";
            data.tags.push_back(
                Md3Writer_Tag(name, moving ? turn.origin_b : from, moving ? turn.axis_b : turn.axis_a));
        }
    data.surfaces.push_back(TestMd3_Triangle("s", 2));
    Md3Model parent = {}, child = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &parent), 1);
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &child), 1);
    ASSERT_EQ(MD3_AttachToTag("t1", &parent, &child), 1);
    parent.next_frame = 1;
    parent.fraction = turn.fraction;
    calls.clear();
    MD3_Draw(&parent);
    ASSERT_EQ(Names(), Join({Triangle(), {"push", "mult"}, Triangle(), {"pop"}}));
    // The pinned placement (bits_cases.cpp), bit for bit.
    for (const Call &call : calls) {
        if (call.name != "mult")
            continue;
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(call.args[i], double(turn.placement[i])) << i << ": " << std::hexfloat << call.args[i];
    }
    EXPECT_EQ(stack_depth, 1);
    MD3_Free(&parent);
    MD3_Free(&child);
}

}  // namespace

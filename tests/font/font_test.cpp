#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

#include "font/font.h"
#include "support/gl_context.h"

namespace {

const int kWidth = 128, kHeight = 64;
const unsigned char kTopHalfGlyph = 'A', kFullGlyph = 'B';

// A font image with only two glyphs: 'A' covers the top half of its cell,
// 'B' the whole cell. Rows are given top-down and stored bottom-up, as the
// TGA file stores them.
GLuint MakeFontTexture() {
    std::vector<unsigned char> texels(FONT_IMAGE_SIZE * FONT_IMAGE_SIZE, 0);
    for (unsigned char code : {kTopHalfGlyph, kFullGlyph}) {
        int cell_x = code % FONT_GRID * FONT_CELL, cell_y = code / FONT_GRID * FONT_CELL;
        int rows = code == kTopHalfGlyph ? FONT_CELL / 2 : FONT_CELL;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < FONT_CELL; ++x)
                texels[(FONT_IMAGE_SIZE - 1 - (cell_y + y)) * FONT_IMAGE_SIZE + cell_x + x] = 255;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, FONT_IMAGE_SIZE, FONT_IMAGE_SIZE, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TestGl_Create(&gl_, kWidth, kHeight), 1);
        base_ = Font_Build();
        ASSERT_NE(base_, 0u);
        texture_ = MakeFontTexture();
        // The state the viewer's overlay prints in: pixels, y up, blending,
        // back faces culled.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, kWidth, 0, kHeight);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glColor3f(1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { TestGl_Destroy(&gl_); }

    static bool Lit(int x, int y) {
        unsigned char rgba[4];
        TestGl_ReadPixel(x, y, rgba);
        return rgba[0] > 128 || rgba[1] > 128 || rgba[2] > 128;
    }

    TestGlContext gl_;
    uint32_t base_ = 0;
    GLuint texture_ = 0;
};

TEST_F(FontTest, DrawsTheGlyphCellWithItsLowerLeftCornerAtThePosition) {
    EXPECT_EQ(Font_Print(10, 20, base_, texture_, "B"), 1);
    EXPECT_TRUE(Lit(10, 20));
    EXPECT_TRUE(Lit(25, 35));
    EXPECT_FALSE(Lit(9, 28));
    EXPECT_FALSE(Lit(26, 28));
    EXPECT_FALSE(Lit(18, 19));
    EXPECT_FALSE(Lit(18, 36));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontTest, GlyphsStandUprightWithTheImageTopAtTheTop) {
    Font_Print(0, 0, base_, texture_, "A");
    EXPECT_TRUE(Lit(8, 12));
    EXPECT_FALSE(Lit(8, 4));
}

TEST_F(FontTest, FormatsLikeSprintfAndAdvancesPerCharacter) {
    // "%s%c" with two spaces and a B: the B lands two advances along.
    Font_Print(0, 0, base_, texture_, "%s%c", "  ", 'B');
    EXPECT_FALSE(Lit(FONT_ADVANCE, 8));
    EXPECT_TRUE(Lit(2 * FONT_ADVANCE + 1, 8));
    EXPECT_TRUE(Lit(2 * FONT_ADVANCE + FONT_CELL - 1, 8));
    EXPECT_FALSE(Lit(2 * FONT_ADVANCE + FONT_CELL, 8));

    glClear(GL_COLOR_BUFFER_BIT);
    Font_Print(0, 0, base_, texture_, "%d%s", 42, "B");
    EXPECT_TRUE(Lit(2 * FONT_ADVANCE + 8, 8));
}

TEST_F(FontTest, TakesItsColourFromTheCurrentColour) {
    glColor3f(1, 0, 0);
    Font_Print(0, 0, base_, texture_, "B");
    unsigned char rgba[4];
    TestGl_ReadPixel(8, 8, rgba);
    EXPECT_GT(rgba[0], 200);
    EXPECT_LT(rgba[1], 30);
    EXPECT_LT(rgba[2], 30);
}

TEST_F(FontTest, LeavesTheMatrixModeStacksAndModelviewAsFound) {
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3, 4, 0);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    GLint depth_before[2], depth_after[2], mode = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before[0]);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth_before[1]);

    Font_Print(0, 0, base_, texture_, "BBB");

    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after[0]);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth_after[1]);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_EQ(depth_after[0], depth_before[0]);
    EXPECT_EQ(depth_after[1], depth_before[1]);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(after[i], before[i]) << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontTest, CutsOffTextLongerThanItsBuffer) {
    std::string text(5 * FONT_MAX_TEXT, 'B');
    EXPECT_EQ(Font_Print(0, 0, base_, texture_, "%s", text.c_str()), 1);
    EXPECT_TRUE(Lit(kWidth - 1, 8));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontTest, DrawsNothingWithoutTextureListsFormatOrText) {
    EXPECT_EQ(Font_Print(0, 0, base_, 0, "B"), 0);
    EXPECT_EQ(Font_Print(0, 0, 0, texture_, "B"), 0);
    EXPECT_EQ(Font_Print(0, 0, base_, texture_, nullptr), 0);
    EXPECT_EQ(Font_Print(0, 0, base_, texture_, "%s", ""), 0);
    EXPECT_FALSE(Lit(8, 8));
}

}  // namespace

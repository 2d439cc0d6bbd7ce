// The fixture of the upload tests: a fresh Mesa context and a temporary
// directory, with GL state that a successful upload must change.
#ifndef TESTS_TGA_TGA_GL_FIXTURE_H
#define TESTS_TGA_TGA_GL_FIXTURE_H

#include <string>

#include <gtest/gtest.h>

#include "tga/tga_read.h"
#include "tga_gl_checks.h"
#include "tga_test_files.h"

struct TgaGlTest : ::testing::Test {
    TestGlContext gl{};
    std::string dir;
    void SetUp() override {
        ASSERT_EQ(1, TgaGl_Begin(&gl));
        dir = TgaTest_MakeDir();
        ASSERT_FALSE(dir.empty());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    }
    void TearDown() override {
        TgaTest_RemoveDir(dir);
        TgaGl_End(&gl);
    }

    // The reader, asked for an upload's use, refuses the file for reason:
    // the exports give none, so this says why they refuse it.
    void ExpectReason(const std::string &path, TgaUse use, const char *reason) {
        char why[tga_reason_size] = "";
        TgaImage image;
        EXPECT_EQ(0, TGA_Read(path.c_str(), &image, use, why)) << path;
        EXPECT_STREQ(reason, why) << path;
    }

    // A failed upload: 0, no name generated, no state changed, no error;
    // refused for reason.
    void ExpectNoGlCall(unsigned int (*upload)(const char *), const std::string &path, const char *reason) {
        GLuint before = TgaGl_ProbeName();
        EXPECT_EQ(0u, upload(path.c_str())) << path;
        EXPECT_EQ(before + 1, TgaGl_ProbeName()) << path;
        EXPECT_FALSE(glIsTexture(before + 1)) << path;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << path;
        EXPECT_EQ(4, TgaGl_Integer(GL_UNPACK_ALIGNMENT)) << path;
        EXPECT_EQ(GL_REPLACE, TgaGl_EnvMode()) << path;
        EXPECT_EQ(0, TgaGl_Integer(GL_TEXTURE_BINDING_2D)) << path;
        EXPECT_EQ(GLenum(GL_NO_ERROR), TgaGl_TakeError()) << path;
        ExpectReason(path, upload == TGA_UploadDOT3 ? TGA_USE_DOT3
                           : upload == TGA_UploadDUDV ? TGA_USE_DUDV : TGA_USE_IMAGE, reason);
    }
};

#endif

#include "scene_fixture.h"

#include <unistd.h>

#include <vector>

#include <GL/gl.h>

#include "support/gl_context.h"
#include "viewer/scene.h"
#include "viewer/view.h"

// The shell's globals that the scene reads; main.cpp holds them in the
// program.
int window_width = 640;
int window_height = 480;
char fps_text[256];

static TestGlContext scene_gl;

int SceneFixture_Start(const char *sample_dir) {
    if (!TestGl_Create(&scene_gl, window_width, window_height) || chdir(sample_dir) != 0)
        return 0;
    View_Resize(window_width, window_height);
    Scene_Init();
    return 1;
}

void SceneFixture_Stop(void) { TestGl_Destroy(&scene_gl); }

PixelCounts SceneFixture_Count(int x, int y, int width, int height) {
    std::vector<unsigned char> rgba(size_t(width) * size_t(height) * 4);
    glFinish();
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    PixelCounts counts = {0, 0};
    for (size_t i = 0; i < rgba.size(); i += 4) {
        unsigned char r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
        counts.lit += r > 40 || g > 40 || b > 40;
        counts.white += r > 200 && g > 200 && b > 200;
    }
    return counts;
}

// A 640 x 480 Mesa context with the viewer's projection and the scene set
// up from a sample folder, for the scene tests.
#ifndef TESTS_SCENE_SCENE_FIXTURE_H
#define TESTS_SCENE_SCENE_FIXTURE_H

#include <cstdint>

// Creates the context, sets the viewer's projection with View_Resize and
// runs Scene_Init in `sample_dir`. 1 on success.
int SceneFixture_Start(const char *sample_dir);
void SceneFixture_Stop(void);

// Pixel counts of a rectangle (x, y from the lower-left corner): pixels
// that are not the black clear colour, and pixels that are white text.
struct PixelCounts {
    int lit;
    int white;
};
PixelCounts SceneFixture_Count(int x, int y, int width, int height);

#endif

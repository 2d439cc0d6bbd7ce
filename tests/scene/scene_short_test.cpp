// Legs and torso with fewer frames than the pose frame: the scene holds
// them at their last frame instead of reading past their arrays (which the
// sanitizers would catch), and the figure still shows.
#include <gtest/gtest.h>

#include <cstring>

#include "scene_fixture.h"
#include "viewer/scene.h"

extern char fps_text[256];

TEST(SceneShortTest, HoldsShortPiecesAtTheirLastFrame) {
    ASSERT_EQ(SceneFixture_Start(MD3V_SAMPLE_DIR), 1);
    ASSERT_EQ(lower_model.header.num_frames, 60);
    ASSERT_EQ(upper_model.header.num_frames, 50);
    std::strcpy(fps_text, "FPS: 1.0");
    Scene_Render();
    EXPECT_EQ(lower_model.current_frame, 59);
    EXPECT_EQ(lower_model.next_frame, 59);
    EXPECT_EQ(upper_model.current_frame, 49);
    EXPECT_EQ(upper_model.next_frame, 49);
    EXPECT_GT(SceneFixture_Count(300, 220, 40, 40).lit, 800);   // of 1600
    EXPECT_GT(SceneFixture_Count(0, 0, 160, 16).white, 40);
    SceneFixture_Stop();
}

// The camera through its matrix and a 90-degree perspective worked out
// here, the key table against the documented bindings, the animation clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "camera.h"
#include "input.h"
#include "options.h"
#include "playback.h"

namespace {

typedef std::array<double, 3> Vec;
const double mins[3] = {-10, -15, -24}, maxs[3] = {10, 15, 32};
const Vec x_axis = {1, 0, 0}, z_axis = {0, 0, 1};

// p (w = 1) or a direction (w = 0) in eye space.
Vec eye_of(const Camera &camera, const Vec &p, double w = 0) {
    double m[16];
    Camera_ModelView(&camera, m);
    Vec out;
    for (int r = 0; r < 3; r++)
        out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r] * w;
    return out;
}

Camera framed() {
    Camera camera;
    Camera_Frame(&camera, mins, maxs, 90.0);
    return camera;
}

TEST(Camera, FramesTheBoxUprightFacingTheViewerTwoThirdsHigh) {
    Camera camera = framed();
    for (int c = 0; c < 8; c++) {
        Vec eye = eye_of(camera, {(c & 1 ? maxs : mins)[0], (c & 2 ? maxs : mins)[1], (c & 4 ? maxs : mins)[2]}, 1);
        ASSERT_LT(eye[2], 0) << "corner " << c << " behind the eye";
    }
    // The box's height at the target's depth: screen y, 1 at the top edge.
    double centre_x = (mins[0] + maxs[0]) / 2, centre_y = (mins[1] + maxs[1]) / 2;
    Vec top = eye_of(camera, {centre_x, centre_y, maxs[2]}, 1), bottom = eye_of(camera, {centre_x, centre_y, mins[2]}, 1);
    EXPECT_NEAR((top[1] / -top[2] - bottom[1] / -bottom[2]) / 2, 2.0 / 3.0, 1e-9);
    EXPECT_NEAR(eye_of(camera, x_axis)[2], 1, 1e-12);   // the front towards the eye
    EXPECT_NEAR(eye_of(camera, z_axis)[1], 1, 1e-12);   // upright
    for (const double *corner : {mins, maxs}) {         // flat, then empty boxes
        Camera_Frame(&camera, corner, mins, 90.0);
        EXPECT_TRUE(0 < camera.min_distance && camera.min_distance < camera.view.distance &&
                    camera.view.distance < camera.max_distance);
    }
}

TEST(Camera, OrbitKeepsDistanceNeverRollsAndClampsPitch) {
    Camera camera = framed();
    const double moves[][2] = {{20, 0}, {0, 20}, {-300, 700}, {45, -2000}, {1e4, 3}, {-7, 500}, {3, -181}};
    for (const auto &move : moves) {
        Camera_Orbit(&camera, move[0], move[1]);
        Vec target = {camera.view.target[0], camera.view.target[1], camera.view.target[2]};
        EXPECT_NEAR(eye_of(camera, target, 1)[2], -camera.home.distance, 1e-9);
        EXPECT_NEAR(eye_of(camera, z_axis)[0], 0, 1e-12) << "rolled";
        EXPECT_GT(eye_of(camera, z_axis)[1], 0) << "over the pole";
        EXPECT_LE(std::fabs(camera.view.pitch), 89);
    }
    EXPECT_EQ(camera.view.pitch, 89 - 90.5);   // down from the clamp, not from 250 above it
    Camera down = framed(), right = framed();
    Camera_Orbit(&down, 0, 10), Camera_Orbit(&right, 10, 0);
    EXPECT_GT(eye_of(down, z_axis)[2], 0);     // seen from above
    EXPECT_GT(eye_of(right, x_axis)[0], 0);    // the front follows the mouse
}

TEST(Camera, ZoomStaysWithinLimitsAndHomeRestoresExactly) {
    Camera camera = framed(), home = framed();
    Camera_Zoom(&camera, 1);
    EXPECT_LT(camera.view.distance, camera.home.distance);
    Camera_Zoom(&camera, -1);
    EXPECT_NEAR(camera.view.distance, camera.home.distance, 1e-9);
    Camera_Zoom(&camera, 1000);
    EXPECT_EQ(camera.view.distance, camera.min_distance);
    Camera_Zoom(&camera, -1e4);
    EXPECT_EQ(camera.view.distance, camera.max_distance);
    Camera_Orbit(&camera, 33, -12), Camera_Pan(&camera, 5, 9, 480, 90), Camera_Home(&camera);
    double now[16], first[16];
    Camera_ModelView(&camera, now), Camera_ModelView(&home, first);
    EXPECT_EQ(std::memcmp(now, first, sizeof now), 0);
}

TEST(Camera, PanCarriesThePointUnderTheCursorWithIt) {
    for (const Vec &drag : {Vec{40, 0}, Vec{0, -25}, Vec{-13, 71}}) {
        Camera camera = framed();
        Camera_Orbit(&camera, 50, 30);
        Vec old_target = {camera.view.target[0], camera.view.target[1], camera.view.target[2]};
        Camera_Pan(&camera, drag[0], drag[1], 480, 90);
        Vec eye = eye_of(camera, old_target, 1);
        EXPECT_NEAR(eye[2], -camera.view.distance, 1e-9) << "left the eye's plane";
        EXPECT_NEAR(eye[0] / -eye[2] * 240, drag[0], 1e-9);    // pixels right
        EXPECT_NEAR(eye[1] / -eye[2] * 240, -drag[1], 1e-9);   // and down
    }
}

// The documented bindings: a virtual key or a character (a mouse gesture: neither), and its name in
// the help, "" for no line of its own.
const struct { int key; unsigned character; ViewerAction action; const char *name; } documented[] = {
    {0x1B, 0, ACTION_QUIT, "Esc"}, {0x70, 0, ACTION_HELP, "F1"}, {0x24, 0, ACTION_HOME, "Home"},
    {0x22, 0, ACTION_NEXT_MODEL, "Page Down"}, {0x21, 0, ACTION_PREVIOUS_MODEL, "Page Up"},
    {0x74, 0, ACTION_RELOAD, "F5"}, {0x7B, 0, ACTION_SCREENSHOT, "F12"}, {0, 's', ACTION_NEXT_SKIN, "S"},
    {0, 'S', ACTION_PREVIOUS_SKIN, "Shift+S"}, {0, 'l', ACTION_NEXT_LEGS, "L"}, {0, 'L', ACTION_PREVIOUS_LEGS, "Shift+L"},
    {0, 't', ACTION_NEXT_TORSO, "T"}, {0, 'T', ACTION_PREVIOUS_TORSO, "Shift+T"}, {0, ' ', ACTION_PAUSE, "Space"},
    {0, '.', ACTION_STEP_FORWARD, "."}, {0, ',', ACTION_STEP_BACK, ","}, {0, '+', ACTION_FASTER, "+"},
    {0, '=', ACTION_FASTER, ""}, {0, '-', ACTION_SLOWER, "-"}, {0, 'i', ACTION_INTERPOLATION, "I"},
    {0, 'I', ACTION_INTERPOLATION, ""}, {0, 'w', ACTION_WIREFRAME, "W"}, {0, 'W', ACTION_WIREFRAME, ""},
    {0, 'g', ACTION_TAGS, "G"}, {0, 'G', ACTION_TAGS, ""}, {0, 'x', ACTION_NONE, ""}, {'S', 0, ACTION_NONE, ""},
    {-1, 0, ACTION_NONE, "left drag"}, {-1, 0, ACTION_NONE, "wheel or right drag"}, {-1, 0, ACTION_NONE, "middle drag"},
};

TEST(Input, EveryDocumentedKeyActsAndHasItsHelpLine) {
    std::vector<std::string> help = Input_HelpLines();
    int reached[ACTION_SCREENSHOT + 1] = {};
    for (const auto &b : documented) {
        EXPECT_EQ(b.key ? Input_ActionOfKey(b.key) : Input_ActionOfChar(b.character), b.action) << b.character;
        reached[b.action] = 1;
        // The name once among the keys before the first gap, between " / ".
        EXPECT_EQ(std::count_if(help.begin(), help.end(), [&](const std::string &line) {
                      return (" / " + line.substr(0, line.find("   ")) + " / ").find(" / " + std::string(b.name) + " / ")
                             != std::string::npos; }), *b.name ? 1 : 0) << b.name;
    }
    EXPECT_EQ(std::count(reached, reached + ACTION_SCREENSHOT + 1, 1), ACTION_SCREENSHOT + 1) << "an action has no key";
}

TEST(Playback, SpeedStaysWithinLimitsPauseStopsTheClockAndStepsLandOnFrames) {
    Playback playback;
    Playback_Start(&playback);
    const double speeds[] = {2, 4, 8, 8, 4, 2, 1, 0.5, 0.25, 0.125, 0.125};   // four times faster, then slower
    for (int i = 0; i < 11; i++) {
        i < 4 ? Playback_Faster(&playback) : Playback_Slower(&playback);
        EXPECT_EQ(playback.speed, speeds[i]);
    }
    Playback_Advance(&playback, 2);
    playback.paused = 1;
    Playback_Advance(&playback, 2);
    EXPECT_EQ(playback.seconds, 0.25);
    for (int fps : {1, 7, 15, 24, 30, 60}) {
        Playback_Start(&playback);
        Playback_Step(&playback, 1, fps);
        EXPECT_EQ(playback.seconds, 0) << "running";
        playback.paused = 1;
        for (int step = 1; step <= 402; step++) {   // 200 frames forward, then back past 0
            Playback_Step(&playback, step <= 200 ? 1 : -1, fps);
            ASSERT_EQ(playback.seconds, double(std::max(step <= 200 ? step : 400 - step, 0)) / fps) << fps << " fps";
        }
        for (int direction : {1, -1}) {   // from between frames 2 and 3
            playback.seconds = 2.5 / fps;
            Playback_Step(&playback, direction, fps);
            EXPECT_EQ(playback.seconds, (2.5 + 0.5 * direction) / fps);
        }
        Playback_Step(&playback, 1, 0);
        EXPECT_EQ(playback.seconds, 2.0 / fps);
    }
}

} // namespace

TEST(ViewerOptions, TakesItsOwnOptionsAndLeavesTheModelsInOrder) {
    ViewerOptions options;
    std::vector<std::string> rest;
    char reason[options_reason_size] = "";
    ASSERT_EQ(ViewerOptions_Parse({"game", "--size", "320x200", "sarge", "--screenshot", "d", "--all", "--skin", "red"},
                                  &options, &rest, reason), 1) << reason;
    EXPECT_EQ(rest, (std::vector<std::string>{"game", "sarge", "--skin", "red"}));
    EXPECT_TRUE(options.has_size && options.width == 320 && options.height == 200 && options.all);
    EXPECT_EQ(options.screenshot, "d");
    for (const char *size : {"0x10", "10x", "x10", "10x8193", "-5x5", "10*10", "99999999999x1"})
        EXPECT_EQ(ViewerOptions_Parse({"game", "--size", size}, &options, &rest, reason), 0) << size;
    EXPECT_EQ(ViewerOptions_Parse({"game", "--all"}, &options, &rest, reason), 0);
    EXPECT_EQ(ViewerOptions_Parse({"--screenshot", "a.tga"}, &options, &rest, reason), 0);
    EXPECT_STREQ(reason, "--screenshot needs a model: GAME [MODEL], or FILE.md3");
}

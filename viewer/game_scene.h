// What the viewer shows when it is given a model on the command line: the
// model found in the game data by the game's rules (game/model_resolve.h),
// every image reaching GL through tga.dll, the legs and torso animated on
// their own clocks, and lines that say what is shown and what is missing.
// Without arguments the viewer shows scene.h's scene instead.
#ifndef VIEWER_GAME_SCENE_H
#define VIEWER_GAME_SCENE_H

#include <string>
#include <vector>

// Loads what the arguments name (those after the program's name). Anything
// that cannot be found or loaded is said on screen and on stderr; the window
// opens all the same.
void GameScene_Init(const std::vector<std::string> &args);

// Draws one frame at `seconds` since the model appeared.
void GameScene_Render(double seconds);

// The lines shown under the frame rate, for the tests: what is shown, then
// at most three missing images and "and N more".
std::vector<std::string> GameScene_Lines(double seconds);

#endif

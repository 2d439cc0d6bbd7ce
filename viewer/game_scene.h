// What the viewer shows when it is given a model on the command line: the
// model found in the game data by the game's rules (game/model_resolve.h),
// every image reaching GL through tga.dll, the legs and torso animated on
// their own clocks, and lines that say what is shown and what is missing.
// The camera orbits, zooms and pans; keys (input.h) flip through models,
// skins and animations, step frames, reload and save the window.
// Without arguments the viewer shows scene.h's scene instead.
#ifndef VIEWER_GAME_SCENE_H
#define VIEWER_GAME_SCENE_H

#include <string>
#include <vector>

#include "input.h"

// Loads what the arguments name (those after the program's name, without
// the viewer's own options). Anything that cannot be found or loaded is
// said on screen and on stderr; the window opens all the same. 1 when a
// model is shown (some of it may be missing), 0 when there is none.
int GameScene_Init(const std::vector<std::string> &args);

// Draws one frame, the animation having run on by real_seconds (times the
// speed, unless paused) since the frame before.
void GameScene_Render(double real_seconds);

// The model alone, without the lines over it, at the animation's time now.
void GameScene_DrawModel(void);

// The lines shown under the frame rate, for the tests: what is shown, then
// at most three missing images and "and N more", then what the last action
// said.
std::vector<std::string> GameScene_Lines(void);

// What a key asks for; 1 when it changed what is shown.
int GameScene_Action(ViewerAction action);

// A drag of dx, dy pixels (y down) with a mouse button: 0 left orbits, 1
// right zooms, 2 middle pans; and wheel notches, positive away from the user.
void GameScene_Drag(int button, int dx, int dy);
void GameScene_Wheel(double notches);

// Shows what `path` holds as if it had been given alone on the command line;
// 0 leaves the current model in place, with the reason on screen.
int GameScene_Open(const std::string &path);

// The player models of the game data, in name order, and showing one of them
// with the skin and animations asked for at the start, from their start; 1
// when it is shown.
std::vector<std::string> GameScene_PlayerModels(void);
int GameScene_ShowPlayer(const std::string &model);

// The window's title: the model and its skin.
std::string GameScene_Title(void);

// Writes the GL back buffer as a 24-bit TGA file that tga.dll reads; 1, or 0
// with the reason on stderr.
int GameScene_SaveScreen(const std::string &path);

#endif

// What the viewer shows: the assembled player model in a fixed pose and two
// lines of text (the OpenGL error and the frame rate) at the lower left.
#ifndef VIEWER_SCENE_H
#define VIEWER_SCENE_H

#include <cstdint>

#include "md3.h"

// The pieces: legs (root), torso, head and weapon.
extern Md3Model lower_model;
extern Md3Model upper_model;
extern Md3Model head_model;
extern Md3Model weapon_model;

extern uint32_t font_texture;
extern uint32_t base_texture;
extern uint32_t base1_texture;
extern uint32_t base2_texture;
extern uint32_t base3_texture;
extern uint32_t font_base;

// Frame the legs and torso are held at.
#define SCENE_POSE_FRAME 100

// Loads the font, the textures and the four pieces from the current
// directory, skins and links them. Missing files leave pieces out or
// untextured; nothing else can go wrong.
void Scene_Init(void);

// Draws one frame: the model, then the overlay text.
void Scene_Render(void);

// The model's placement before the eye, applied to the current matrix; the
// scene of a model given on the command line places its model the same way.
void Scene_PlaceModel(void);

// The two status lines at the lower left, white: the OpenGL error (reading
// it clears it) and the frame rate. Between Overlay_Begin and Overlay_End.
void Scene_PrintStatus(void);

// Pixel-space 2D state for text over a width x height client; Overlay_End
// puts back everything Overlay_Begin changed.
void Overlay_Begin(int width, int height);
void Overlay_End(void);

#endif

// Drawing MD3 models in OpenGL 1.1 immediate mode.
#ifndef VIEWER_DRAW_H
#define VIEWER_DRAW_H

#include <cstdint>

#include "md3.h"

// Draws every surface of the model between frame a (fraction 0) and frame b
// (fraction 1), in the current modelview transform.
void MD3_DrawSurfaces(const Md3Model *model, int32_t frame_a, int32_t frame_b, float fraction);

// Draws the model with its own animation fields, then every linked child
// placed at its parent's interpolated tag, depth first. Leaves the matrix
// stack as it found it.
void MD3_Draw(const Md3Model *model);

// Draws one surface between frame a (fraction 0) and frame b (fraction 1)
// in the current transform, binding its texture when it has one.
void MD3_DrawSurface(const Md3Surface *surface, int32_t frame_a, int32_t frame_b, float fraction);

// The surfaces of one model at the frames MD3_Draw gives it, in its place.
typedef void (*Md3SurfacesDrawer)(const Md3Model *model, int32_t frame_a, int32_t frame_b, float fraction,
                                  void *context);

// MD3_Draw with each model's surfaces drawn by `draw` instead, as a viewer
// with its own materials draws them.
void MD3_DrawWith(const Md3Model *model, Md3SurfacesDrawer draw, void *context);

#endif

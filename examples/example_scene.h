// What the example shows: on the left a sphere that reflects a cube map
// made by TGA_UploadCube, on the right a stone wall lit per texel through a
// normal map made by TGA_UploadDOT3, and below them what each upload gave,
// TGA_UploadDUDV's included.
#ifndef EXAMPLES_EXAMPLE_SCENE_H
#define EXAMPLES_EXAMPLE_SCENE_H

// Loads the textures and the font from the current folder and takes the
// multitexture entry points from the current context. Files or entry points
// that are missing leave their part undrawn and say so on screen.
void Example_Load(void);

// Draws one frame into a client area of width x height pixels.
void Example_Draw(int width, int height);

#endif

#include "scene.h"

#include "draw.h"
#include "font.h"
#include "shell.h"
#include "tga.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

Md3Model lower_model;
Md3Model upper_model;
Md3Model head_model;
Md3Model weapon_model;

uint32_t font_texture;
uint32_t base_texture;
uint32_t base1_texture;
uint32_t base2_texture;
uint32_t base3_texture;
uint32_t font_base;

void Scene_Init(void) {
    font_base = Font_Build();

    font_texture = TGA_UploadImage("font.tga");
    base_texture = TGA_UploadImage("base.tga");
    base1_texture = TGA_UploadImage("base1.tga");
    base2_texture = TGA_UploadImage("base2.tga");
    base3_texture = TGA_UploadImage("base3.tga");

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    // A piece that fails to load stays an empty model: nothing matches it
    // below and nothing of it is drawn.
    MD3_Load("lower.md3", &lower_model);
    MD3_Load("upper.md3", &upper_model);
    MD3_Load("head.md3", &head_model);
    MD3_Load("rocketl.md3", &weapon_model);

    MD3_SetSkin("l_legs", &lower_model, base_texture);
    MD3_SetSkin("u_arms", &upper_model, base_texture);
    MD3_SetSkin("u_chest", &upper_model, base1_texture);
    MD3_SetSkin("h_helmet", &head_model, base_texture);
    MD3_SetSkin("h_visor", &head_model, 0);
    MD3_SetSkin("w_rocketl", &weapon_model, base2_texture);
    MD3_SetSkin("w_rocketl01", &weapon_model, base3_texture);

    MD3_AttachToTag("tag_torso", &lower_model, &upper_model);
    MD3_AttachToTag("tag_head", &upper_model, &head_model);
    MD3_AttachToTag("tag_weapon", &upper_model, &weapon_model);
}

// Holds a model still at the pose frame, or at its last frame when it has
// fewer. This sets the pose; it guards nothing, as MD3_Draw and each surface
// clamp their frames to those stored.
static void hold_frame(Md3Model *model, int32_t frame) {
    int32_t last = model->header.num_frames - 1;
    if (frame > last)
        frame = last < 0 ? 0 : last;
    model->current_frame = frame;
    model->next_frame = frame;
    model->fraction = 0.0f;
}

void Scene_Render(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The model's outward faces are wound clockwise.
    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_2D);

    glPushMatrix();
    Scene_PlaceModel();
    hold_frame(&lower_model, SCENE_POSE_FRAME);
    hold_frame(&upper_model, SCENE_POSE_FRAME);
    MD3_Draw(&lower_model);
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
    glCullFace(GL_BACK);

    Overlay_Begin(window_width, window_height);
    Scene_PrintStatus();
    Overlay_End();
}

void Scene_PlaceModel(void) {
    // Model +x towards the viewer, +y to the right, +z up; origin 50 units
    // ahead of the eye and 10 below it.
    glTranslatef(0.0f, -10.0f, -50.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
}

void Scene_PrintStatus(void) {
    glColor3f(1.0f, 1.0f, 1.0f);
    // Reading the error here also clears it for the next frame.
    Font_Print(0, 16, font_base, font_texture, "%s",
               reinterpret_cast<const char *>(gluErrorString(glGetError())));
    // The frame-rate text holds no conversion, so it serves as the format.
    Font_Print(0, 0, font_base, font_texture, fps_text);
}

void Overlay_Begin(int width, int height) {
    // GL_COLOR_BUFFER_BIT among them: the pop puts the blend function back.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, double(width), 0.0, double(height));
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void Overlay_End(void) {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

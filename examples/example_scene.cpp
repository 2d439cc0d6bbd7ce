#include "example_scene.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>
#include <string.h>

#include "font.h"
#include "tga.h"

// OpenGL 1.3 names that the OpenGL 1.1 header of Windows lacks.
#ifndef GL_TEXTURE0
#define GL_TEXTURE0 0x84C0
#define GL_TEXTURE1 0x84C1
#endif
#ifndef GL_REFLECTION_MAP
#define GL_REFLECTION_MAP 0x8512
#endif
#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#endif
#ifndef GL_COMBINE
#define GL_COMBINE 0x8570
#define GL_COMBINE_RGB 0x8571
#define GL_PRIMARY_COLOR 0x8577
#define GL_SOURCE0_RGB 0x8580
#define GL_SOURCE1_RGB 0x8581
#define GL_OPERAND0_RGB 0x8590
#define GL_OPERAND1_RGB 0x8591
#endif
#ifndef GL_DOT3_RGB
#define GL_DOT3_RGB 0x86AE
#endif

// Multitexture entry points: opengl32.dll exports OpenGL 1.1 only, the
// driver hands out the rest through wglGetProcAddress.
typedef void(APIENTRY *ActiveTextureProc)(GLenum unit);
typedef void(APIENTRY *MultiTexCoord2fProc)(GLenum unit, GLfloat s, GLfloat t);
static ActiveTextureProc gl_active_texture = NULL;
static MultiTexCoord2fProc gl_multi_tex_coord_2f = NULL;
static int dot3_ready = 0;

static GLuint cube_texture = 0;
static GLuint normal_texture = 0;
static GLuint stone_texture = 0;
static GLuint font_texture = 0;
static GLuint font_base = 0;
static GLUquadric *sphere = NULL;

// What each upload gave, as the text under the pictures says it.
static char cube_text[64];
static char normal_text[64];
static char dudv_text[96];

// Direction towards the light over the wall (upper left, in front), unit
// length, in the wall's texture space.
const float light_s = -0.55f;
const float light_t = 0.55f;
const float light_n = 0.628f;

static void *gl_proc(const char *name, const char *arb_name) {
    PROC proc = wglGetProcAddress(name);
    if (proc == NULL)
        proc = wglGetProcAddress(arb_name);
    return reinterpret_cast<void *>(proc);
}

// The DOT3 combine needs OpenGL 1.3 or the ARB extension of that name.
static int has_dot3(void) {
    const char *version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    const char *extensions = reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS));
    int major = 0, minor = 0;
    if (version && sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 1 || minor >= 3))
        return 1;
    return extensions && strstr(extensions, "GL_ARB_texture_env_dot3") != NULL;
}

// TGA_UploadDUDV makes its texture whatever the driver says; the GL error
// and the size of level 0 tell whether the driver kept it.
static void describe_dudv(void) {
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = TGA_UploadDUDV("stone_height.tga");
    GLenum error = glGetError();
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    const char *error_text = reinterpret_cast<const char *>(gluErrorString(error));
    if (name == 0)
        snprintf(dudv_text, sizeof dudv_text, "TGA_UploadDUDV: no texture (stone_height.tga)");
    else if (error != GL_NO_ERROR || width == 0)
        snprintf(dudv_text, sizeof dudv_text, "TGA_UploadDUDV: texture %u empty, %s: no du/dv format", name,
                 error_text ? error_text : "no GL error");
    else
        snprintf(dudv_text, sizeof dudv_text, "TGA_UploadDUDV: texture %u, %dx%d du/dv offsets (not drawn)", name,
                 int(width), int(height));
    // The height-map uploads leave 2D texturing on.
    glDisable(GL_TEXTURE_2D);
}

void Example_Load(void) {
    font_base = Font_Build();
    font_texture = TGA_UploadImage("font.tga");

    cube_texture = TGA_UploadCube("cube_px.tga", "cube_nx.tga", "cube_py.tga", "cube_ny.tga", "cube_pz.tga",
                                  "cube_nz.tga");
    if (cube_texture)
        snprintf(cube_text, sizeof cube_text, "TGA_UploadCube: texture %u", cube_texture);
    else
        snprintf(cube_text, sizeof cube_text, "TGA_UploadCube: no texture (cube_*.tga)");

    normal_texture = TGA_UploadDOT3("stone_height.tga");
    stone_texture = TGA_UploadImage("stone_colour.tga");
    if (normal_texture)
        snprintf(normal_text, sizeof normal_text, "TGA_UploadDOT3: texture %u", normal_texture);
    else
        snprintf(normal_text, sizeof normal_text, "TGA_UploadDOT3: no texture");
    glDisable(GL_TEXTURE_2D);

    gl_active_texture = reinterpret_cast<ActiveTextureProc>(gl_proc("glActiveTexture", "glActiveTextureARB"));
    gl_multi_tex_coord_2f =
        reinterpret_cast<MultiTexCoord2fProc>(gl_proc("glMultiTexCoord2f", "glMultiTexCoord2fARB"));
    dot3_ready = gl_active_texture && gl_multi_tex_coord_2f && has_dot3();

    describe_dudv();

    sphere = gluNewQuadric();
    gluQuadricNormals(sphere, GLU_SMOOTH);
}

// A unit sphere six units ahead whose reflection vectors, in eye space,
// look up the cube map: the middle of it shows +Z (behind the viewer), the
// right +X, the top +Y, and the rim -Z.
static void draw_sphere(int x, int y, int width, int height) {
    if (!cube_texture)
        return;
    glViewport(x, y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, double(width) / double(height), 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -6.0f);
    // Poles up and down rather than at the middle.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);

    glEnable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube_texture);
    glEnable(GL_TEXTURE_CUBE_MAP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    gluSphere(sphere, 1.0, 64, 48);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_DEPTH_TEST);
}

// A viewport of width x height pixels at (x, y), one unit a pixel, origin
// at its lower left.
static void pixel_view(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, double(width), 0.0, double(height));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// A square of wall facing the viewer. Unit 0 takes the dot product of the
// normal map and the light direction, which the primary colour carries as
// 0.5 + 0.5 * direction (GL_DOT3_RGB); unit 1 multiplies in the stone's
// colour.
static void draw_wall(int x, int y, int width, int height) {
    if (!normal_texture || !dot3_ready)
        return;
    pixel_view(x, y, width, height);
    float side = 0.9f * float(width < height ? width : height);
    float left = 0.5f * (float(width) - side), bottom = 0.5f * (float(height) - side);

    gl_active_texture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, normal_texture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_DOT3_RGB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    if (stone_texture) {
        gl_active_texture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, stone_texture);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }

    // The normal map's second component grows with height along t where a
    // surface normal would shrink, so the light's t goes in negated.
    glColor3f(0.5f + 0.5f * light_s, 0.5f - 0.5f * light_t, 0.5f + 0.5f * light_n);
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const float *corner : corners) {
        gl_multi_tex_coord_2f(GL_TEXTURE0, corner[0], corner[1]);
        gl_multi_tex_coord_2f(GL_TEXTURE1, corner[0], corner[1]);
        glVertex2f(left + side * corner[0], bottom + side * corner[1]);
    }
    glEnd();

    gl_active_texture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    gl_active_texture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Three lines under the pictures, white on black.
static void draw_text(int width, int height) {
    pixel_view(0, 0, width, height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(1.0f, 1.0f, 1.0f);
    int half = width / 2;
    Font_Print(0, 2 * FONT_CELL, font_base, font_texture, "%s", cube_text);
    Font_Print(0, FONT_CELL, font_base, font_texture, "%s", "reflection map, six faces");
    Font_Print(half, 2 * FONT_CELL, font_base, font_texture, "%s", normal_text);
    Font_Print(half, FONT_CELL, font_base, font_texture, "%s",
               dot3_ready ? "per-texel light, GL_DOT3_RGB" : "no DOT3 combine: not drawn");
    Font_Print(0, 0, font_base, font_texture, "%s", dudv_text);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void Example_Draw(int width, int height) {
    int text_height = 3 * FONT_CELL;
    int half = width / 2;
    int scene_height = height - text_height > 1 ? height - text_height : 1;
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_sphere(0, text_height, half > 0 ? half : 1, scene_height);
    draw_wall(half, text_height, width - half > 0 ? width - half : 1, scene_height);
    draw_text(width, height);
}

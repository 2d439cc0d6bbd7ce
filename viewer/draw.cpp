// Immediate-mode drawing of MD3 models: surfaces blended between two frames,
// children placed at their parent's blended tags.
#include "draw.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include "blend.h"

namespace {

// Frames outside the stored ones show the nearest stored frame.
int32_t clamp_frame(int32_t frame, int32_t num_frames) {
    if (frame < 0)
        return 0;
    if (frame >= num_frames)
        return num_frames - 1;
    return frame;
}

}  // namespace

void MD3_DrawSurface(const Md3Surface *surface, int32_t frame_a, int32_t frame_b, float fraction) {
    const Md3SurfaceHeader *header = &surface->header;
    if (surface->has_texture)
        glBindTexture(GL_TEXTURE_2D, surface->texture);
    if (header->num_frames < 1 || header->num_verts < 1 || !surface->triangles ||
        !surface->texcoords || !surface->vertices)
        return;
    const int32_t n = header->num_verts;
    const Md3Vertex *frame_a_vertices = surface->vertices + int64_t(clamp_frame(frame_a, header->num_frames)) * n;
    const Md3Vertex *frame_b_vertices = surface->vertices + int64_t(clamp_frame(frame_b, header->num_frames)) * n;
    for (int32_t t = 0; t < header->num_triangles; ++t) {
        const int32_t *indexes = surface->triangles[t].indexes;
        // The loader refuses such indices; a hand-made record skips the triangle.
        if (indexes[0] < 0 || indexes[0] >= n || indexes[1] < 0 || indexes[1] >= n ||
            indexes[2] < 0 || indexes[2] >= n)
            continue;
        glBegin(GL_TRIANGLES);
        for (int corner = 0; corner < 3; ++corner) {
            const int32_t v = indexes[corner];
            float position[3], normal[3];
            Blend_Vertex(&frame_a_vertices[v], &frame_b_vertices[v], fraction, position, normal);
            const Md3TexCoord *st = &surface->texcoords[v];
            glTexCoord2f(st->s, -st->t);
            glNormal3f(normal[0], normal[1], normal[2]);
            glVertex3f(position[0], position[1], position[2]);
        }
        glEnd();
    }
}

namespace {

// Whether one more matrix fits on the modelview stack. A push on a full
// stack is ignored by GL, and the matching pop would then remove the
// caller's matrix, so such a child is left out instead.
int modelview_has_room() {
    GLint depth = 0;
    GLint max_depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &max_depth);
    return depth < max_depth;
}

}  // namespace

void MD3_DrawSurfaces(const Md3Model *model, int32_t frame_a, int32_t frame_b, float fraction) {
    if (!model || !model->surfaces)
        return;
    for (int32_t i = 0; i < model->header.num_surfaces; ++i)
        MD3_DrawSurface(&model->surfaces[i], frame_a, frame_b, fraction);
}

void MD3_Draw(const Md3Model *model) {
    MD3_DrawWith(model, nullptr, nullptr);
}

void MD3_DrawWith(const Md3Model *model, Md3SurfacesDrawer draw, void *context) {
    if (!model)
        return;
    const int32_t num_frames = model->header.num_frames;
    int32_t current = model->current_frame;
    int32_t next = model->next_frame;
    if (num_frames > 0) {
        // Surfaces and tags show the same frames.
        current = clamp_frame(current, num_frames);
        next = clamp_frame(next, num_frames);
    }
    if (draw)
        draw(model, current, next, model->fraction, context);
    else
        MD3_DrawSurfaces(model, current, next, model->fraction);
    if (num_frames < 1 || !model->tags || !model->links)
        return;
    const float fraction = model->fraction;
    for (int32_t i = 0; i < model->header.num_tags; ++i) {
        const Md3Model *child = model->links[i];
        if (!child)
            continue;
        const int64_t num_tags = model->header.num_tags;
        float placement[16];
        Blend_Tag(&model->tags[current * num_tags + i], &model->tags[next * num_tags + i], fraction, placement);
        if (!modelview_has_room())
            continue;
        glPushMatrix();
        glMultMatrixf(placement);
        MD3_DrawWith(child, draw, context);
        glPopMatrix();
    }
}

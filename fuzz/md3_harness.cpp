#include "md3_harness.h"

#include <cstring>

#include "md3.h"

namespace {

// Reads every byte of a block so that AddressSanitizer (or valgrind) sees
// a block shorter than its count; the sum keeps the reads alive.
volatile unsigned checksum_sink;

void touch(const void *block, size_t bytes) {
    const unsigned char *p = static_cast<const unsigned char *>(block);
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += p[i];
    checksum_sink = checksum_sink + sum;
}

bool named(const char *field, size_t size) {
    return std::memchr(field, 0, size) != nullptr;
}

// A loaded surface must be drawable at every frame of its model: the draw
// reads the triangles, then for each corner the texture coordinate and the
// vertex of two frames.
const char *check_surface(const Md3Surface &surface, int32_t model_frames) {
    const Md3SurfaceHeader &h = surface.header;
    if (h.num_frames < 0 || h.num_shaders < 0 || h.num_verts < 0 || h.num_triangles < 0)
        return "negative surface count kept";
    if (surface.has_texture != 0)
        return "surface loaded with a texture";
    if (h.num_triangles > 0 && h.num_frames < model_frames)
        return "surface has fewer frames than its model";
    if ((h.num_shaders > 0 && !surface.shaders) || (h.num_triangles > 0 && !surface.triangles) ||
        (h.num_verts > 0 && (!surface.texcoords || (h.num_frames > 0 && !surface.vertices))))
        return "surface array missing";
    touch(surface.shaders, size_t(h.num_shaders) * sizeof(Md3Shader));
    touch(surface.texcoords, size_t(h.num_verts) * sizeof(Md3TexCoord));
    touch(surface.vertices, size_t(h.num_frames) * size_t(h.num_verts) * sizeof(Md3Vertex));
    for (int32_t i = 0; i < h.num_triangles; ++i)
        for (int corner = 0; corner < 3; ++corner) {
            int32_t index = surface.triangles[i].indexes[corner];
            if (index < 0 || index >= h.num_verts)
                return "triangle index outside the surface's vertices";
        }
    return nullptr;
}

// Bytes of every block that a loaded model holds.
uint64_t bytes_held(const Md3Model &model) {
    const Md3Header &h = model.header;
    uint64_t total = uint64_t(h.num_frames) * sizeof(Md3Frame) +
                     uint64_t(h.num_frames) * uint64_t(h.num_tags) * sizeof(Md3Tag) +
                     uint64_t(h.num_tags) * sizeof(Md3Model *) + uint64_t(h.num_surfaces) * sizeof(Md3Surface);
    for (int32_t i = 0; i < h.num_surfaces; ++i) {
        const Md3SurfaceHeader &s = model.surfaces[i].header;
        total += uint64_t(s.num_shaders) * sizeof(Md3Shader) + uint64_t(s.num_triangles) * sizeof(Md3Triangle) +
                 uint64_t(s.num_verts) * sizeof(Md3TexCoord) +
                 uint64_t(s.num_frames) * uint64_t(s.num_verts) * sizeof(Md3Vertex);
    }
    return total;
}

const char *check_loaded(const Md3Model &model, size_t file_size) {
    const Md3Header &h = model.header;
    if (h.num_frames < 0 || h.num_tags < 0 || h.num_surfaces < 0)
        return "negative model count kept";
    if ((h.num_frames > 0 && !model.frames) || (h.num_surfaces > 0 && !model.surfaces) ||
        (h.num_tags > 0 && (!model.links || (h.num_frames > 0 && !model.tags))))
        return "model array missing";
    touch(model.frames, size_t(h.num_frames) * sizeof(Md3Frame));
    touch(model.tags, size_t(h.num_frames) * size_t(h.num_tags) * sizeof(Md3Tag));
    for (int32_t i = 0; i < h.num_tags; ++i)
        if (model.links[i])
            return "tag loaded with a link";
    for (int32_t i = 0; i < h.num_surfaces; ++i)
        if (const char *fault = check_surface(model.surfaces[i], h.num_frames))
            return fault;
    if (bytes_held(model) > 2 * uint64_t(file_size))
        return "model holds more than twice its file's length";
    return nullptr;
}

// The by-name operations on whatever the load left, as the scene set-up
// calls them whether or not the load worked.
const char *check_by_name(Md3Model *model, int loaded) {
    if (MD3_SetSkin("fuzz_surface_that_is_not_there", model, 7) != -1 && !loaded)
        return "skin found on a model that did not load";
    if (MD3_AttachToTag("fuzz_tag_that_is_not_there", model, nullptr) != -1 && !loaded)
        return "tag found on a model that did not load";
    if (!loaded)
        return nullptr;
    const Md3Header &h = model->header;
    if (h.num_surfaces > 0 && named(model->surfaces[0].header.name, sizeof model->surfaces[0].header.name)) {
        int found = MD3_SetSkin(model->surfaces[0].header.name, model, 7);
        if (found != 0 || !model->surfaces[0].has_texture || model->surfaces[0].texture != 7)
            return "first surface not found by its own name";
    }
    if (h.num_tags > 0 && h.num_frames > 0 && named(model->tags[0].name, sizeof model->tags[0].name)) {
        static Md3Model child;
        if (MD3_AttachToTag(model->tags[0].name, model, &child) != 0 || model->links[0] != &child)
            return "first tag not found by its own name";
        model->links[0] = nullptr;
    }
    return nullptr;
}

// A refused file must leave the empty model that the header promises, so
// that skinning, linking and drawing it do nothing.
const char *check_refused(const Md3Model &model) {
    const Md3Header &h = model.header;
    if (h.num_frames || h.num_tags || h.num_surfaces || model.frames || model.tags ||
        model.surfaces || model.links)
        return "refused file left a non-empty record";
    return nullptr;
}

}  // namespace

Md3HarnessResult Md3Harness_Run(const uint8_t *data, size_t size) {
    Md3HarnessResult result = {0, nullptr};
    // Zero-filled, like the viewer's static records.
    Md3Model model;
    std::memset(&model, 0, sizeof model);
    char reason[md3_reason_size] = "";
    result.loaded = MD3_Read(data, size, &model, reason);
    if (result.loaded != 0 && result.loaded != 1)
        result.fault = "MD3_Read returned neither 1 nor 0";
    else if ((reason[0] != 0) == (result.loaded == 1))
        result.fault = result.loaded ? "a loaded file has a reason" : "a refused file has no reason";
    else
        result.fault = result.loaded ? check_loaded(model, size) : check_refused(model);
    if (!result.fault)
        result.fault = check_by_name(&model, result.loaded);
    MD3_Free(&model);
    return result;
}

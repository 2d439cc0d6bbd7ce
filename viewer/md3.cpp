// MD3 loading, the packed normal table, skins and tag links.
#include "md3.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

float NormalTable[65536][3];

namespace {

// 6.283 / 255 rounded to float, given by its bits so that no compiler
// rounding can change the table.
const uint32_t NORMAL_ANGLE_STEP_BITS = 0x3CC9D82Eu;

// 64-bit positions: a file may be longer than a 32-bit long can say.
int seek_to(FILE *file, int64_t position) {
#ifdef _WIN32
    return _fseeki64(file, position, SEEK_SET) == 0;
#else
    return fseeko(file, off_t(position), SEEK_SET) == 0;
#endif
}

int64_t file_length(FILE *file) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return -1;
    int64_t length = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    int64_t length = int64_t(ftello(file));
#endif
    if (!seek_to(file, 0))
        return -1;
    return length;
}

// Whether `count` records of `size` bytes starting at `position` lie inside
// [0, limit). Division keeps huge counts from overflowing.
int fits(int64_t position, int64_t count, int64_t size, int64_t limit) {
    if (position < 0 || count < 0 || position > limit)
        return 0;
    return count <= (limit - position) / size;
}

// What one load may allocate: twice the file's length. A file whose
// surfaces all point at one large block is refused rather than expanded.
struct Budget {
    int64_t left;
};

// Takes `bytes` from the budget; 0 when they are not left.
int spend(Budget *budget, int64_t bytes) {
    if (bytes > budget->left)
        return 0;
    budget->left -= bytes;
    return 1;
}

// Allocates and reads `count` records at `position`, which the caller has
// checked to lie inside the file; a zero count gives a null array. 1 on
// success; on failure *out still holds the block, if any.
template <typename T>
int read_array(FILE *file, int64_t position, int64_t count, Budget *budget, T **out) {
    *out = nullptr;
    if (count == 0)
        return 1;
    if (!spend(budget, count * int64_t(sizeof(T))))
        return 0;
    size_t bytes = size_t(count) * sizeof(T);
    T *array = static_cast<T *>(std::malloc(bytes));
    if (!array)
        return 0;
    *out = array;
    if (!seek_to(file, position))
        return 0;
    return std::fread(array, 1, bytes, file) == bytes;
}

// Exact, case-sensitive comparison of a name field with a string; never
// reads past the field, so a name that fills its field without a NUL is
// compared as the whole field.
int name_equals(const char *field, size_t size, const char *name) {
    size_t length = std::strlen(name);
    if (length > size)
        return 0;
    return std::memcmp(field, name, length) == 0 && (length == size || field[length] == 0);
}

void free_surface(Md3Surface *surface) {
    std::free(surface->shaders);
    std::free(surface->triangles);
    std::free(surface->texcoords);
    std::free(surface->vertices);
    surface->shaders = nullptr;
    surface->triangles = nullptr;
    surface->texcoords = nullptr;
    surface->vertices = nullptr;
}

void fill_normal_table() {
    float step_float;
    std::memcpy(&step_float, &NORMAL_ANGLE_STEP_BITS, sizeof step_float);
    const double step = step_float;
    // Both angles take the same 256 values: their sines and cosines are
    // worked out once here rather than for each of the 65536 entries.
    double sines[256], cosines[256];
    for (int i = 0; i < 256; ++i) {
        double angle = i * step;
        sines[i] = std::sin(angle);
        cosines[i] = std::cos(angle);
    }
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) {
            float *entry = NormalTable[r * 256 + c];
            entry[0] = float(cosines[c] * sines[r]);
            entry[1] = float(sines[c] * sines[r]);
            entry[2] = float(cosines[r]);
        }
    }
}

// Reads the surface that starts at `start` into `surface`. Its arrays may
// lie anywhere in the file that its offsets say; what is refused is data
// outside the file, negative counts, fewer frames than the model and
// triangle corners outside the surface's vertices.
int load_surface(FILE *file, int64_t start, int64_t length, int32_t model_frames, Budget *budget,
                 Md3Surface *surface) {
    Md3SurfaceHeader *header = &surface->header;
    if (!fits(start, 1, sizeof(Md3SurfaceHeader), length) || !seek_to(file, start) ||
        std::fread(header, 1, sizeof *header, file) != sizeof *header)
        return 0;
    if (header->num_frames < 0 || header->num_shaders < 0 || header->num_verts < 0 ||
        header->num_triangles < 0 || header->num_frames < model_frames)
        return 0;
    const int64_t shaders_at = start + int64_t(sizeof(Md3SurfaceHeader));
    const int64_t triangles_at = start + int64_t(header->ofs_triangles);
    const int64_t st_at = start + int64_t(header->ofs_st);
    const int64_t vertices_at = start + int64_t(header->ofs_xyznormal);
    const int64_t vertex_count = int64_t(header->num_frames) * header->num_verts;
    // Offsets of empty arrays are never followed, so they need not be sane.
    if (!fits(shaders_at, header->num_shaders, sizeof(Md3Shader), length) ||
        (header->num_triangles > 0 &&
         !fits(triangles_at, header->num_triangles, sizeof(Md3Triangle), length)) ||
        (header->num_verts > 0 && !fits(st_at, header->num_verts, sizeof(Md3TexCoord), length)) ||
        (vertex_count > 0 && !fits(vertices_at, vertex_count, sizeof(Md3Vertex), length)))
        return 0;

    if (!read_array(file, shaders_at, header->num_shaders, budget, &surface->shaders) ||
        !read_array(file, triangles_at, header->num_triangles, budget, &surface->triangles) ||
        !read_array(file, st_at, header->num_verts, budget, &surface->texcoords) ||
        !read_array(file, vertices_at, vertex_count, budget, &surface->vertices))
        return 0;

    for (int32_t i = 0; i < header->num_triangles; ++i)
        for (int corner = 0; corner < 3; ++corner) {
            int32_t index = surface->triangles[i].indexes[corner];
            if (index < 0 || index >= header->num_verts)
                return 0;
        }
    return 1;
}

// The body of MD3_Load after the file is open. Whatever it allocated stays in
// the record for the caller to release on failure.
int load_model(FILE *file, Md3Model *model) {
    const int64_t length = file_length(file);
    Md3Header *header = &model->header;
    if (length < int64_t(sizeof(Md3Header)) ||
        std::fread(header, 1, sizeof *header, file) != sizeof *header)
        return 0;
    if (std::memcmp(header->ident, "IDP3", 4) != 0 || header->version != 15)
        return 0;
    if (header->num_frames < 0 || header->num_tags < 0 || header->num_surfaces < 0)
        return 0;
    // Tag slots are named by frame 0's records: without frames there are none.
    if (header->num_frames == 0 && header->num_tags > 0)
        return 0;

    Budget budget = {2 * length};
    const int64_t frames_at = int64_t(sizeof(Md3Header));
    if (!fits(frames_at, header->num_frames, sizeof(Md3Frame), length))
        return 0;
    const int64_t tags_at = frames_at + int64_t(header->num_frames) * int64_t(sizeof(Md3Frame));
    const int64_t tag_count = int64_t(header->num_frames) * header->num_tags;
    if (!fits(tags_at, tag_count, sizeof(Md3Tag), length))
        return 0;
    if (!read_array(file, frames_at, header->num_frames, &budget, &model->frames) ||
        !read_array(file, tags_at, tag_count, &budget, &model->tags))
        return 0;

    if (header->num_tags > 0) {
        if (!spend(&budget, int64_t(header->num_tags) * int64_t(sizeof(Md3Model *))))
            return 0;
        model->links = static_cast<Md3Model **>(
            std::calloc(size_t(header->num_tags), sizeof(Md3Model *)));
        if (!model->links)
            return 0;
    }
    if (header->num_surfaces > 0) {
        if (!spend(&budget, int64_t(header->num_surfaces) * int64_t(sizeof(Md3Surface))))
            return 0;
        // calloc: every surface starts with null arrays and has_texture 0.
        model->surfaces = static_cast<Md3Surface *>(
            std::calloc(size_t(header->num_surfaces), sizeof(Md3Surface)));
        if (!model->surfaces)
            return 0;
    }
    // The first surface follows the last tag; each further one starts at
    // the previous start plus its ofs_end. The last ofs_end is never used.
    int64_t start = tags_at + tag_count * int64_t(sizeof(Md3Tag));
    for (int32_t i = 0; i < header->num_surfaces; ++i) {
        if (i > 0)
            start += model->surfaces[i - 1].header.ofs_end;
        if (!load_surface(file, start, length, header->num_frames, &budget, &model->surfaces[i]))
            return 0;
    }
    return 1;
}

// Whether `target` can be reached from `from` through links (or is `from`).
int reaches(const Md3Model *from, const Md3Model *target) {
    std::vector<const Md3Model *> pending(1, from);
    std::vector<const Md3Model *> seen;
    while (!pending.empty()) {
        const Md3Model *model = pending.back();
        pending.pop_back();
        if (model == target)
            return 1;
        int visited = 0;
        for (const Md3Model *done : seen)
            visited |= done == model;
        if (visited)
            continue;
        seen.push_back(model);
        if (!model->links)
            continue;
        for (int32_t i = 0; i < model->header.num_tags; ++i)
            if (model->links[i])
                pending.push_back(model->links[i]);
    }
    return 0;
}

}  // namespace

void MD3_Free(Md3Model *model) {
    if (!model)
        return;
    if (model->surfaces)
        for (int32_t i = 0; i < model->header.num_surfaces; ++i)
            free_surface(&model->surfaces[i]);
    std::free(model->surfaces);
    std::free(model->frames);
    std::free(model->tags);
    std::free(model->links);
    std::memset(&model->header, 0, sizeof model->header);
    model->frames = nullptr;
    model->tags = nullptr;
    model->surfaces = nullptr;
    model->links = nullptr;
}

int MD3_Load(const char *file_name, Md3Model *model) {
    if (!model || !file_name)
        return 0;
    // A file that cannot be opened leaves the record as it was.
    FILE *file = std::fopen(file_name, "rb");
    if (!file)
        return 0;
    // From here on a failure leaves an empty model.
    std::memset(&model->header, 0, sizeof model->header);
    model->frames = nullptr;
    model->tags = nullptr;
    model->surfaces = nullptr;
    model->links = nullptr;
    int loaded = load_model(file, model);
    std::fclose(file);
    if (!loaded) {
        // The header's counts may be short of what was allocated only for
        // surfaces, and those were allocated zeroed, so MD3_Free is exact.
        MD3_Free(model);
        return 0;
    }
    fill_normal_table();
    return 1;
}

int MD3_SetSkin(const char *name, Md3Model *model, uint32_t texture) {
    if (!name || !model || !model->surfaces)
        return -1;
    for (int32_t i = 0; i < model->header.num_surfaces; ++i) {
        Md3Surface *surface = &model->surfaces[i];
        if (name_equals(surface->header.name, sizeof surface->header.name, name)) {
            surface->texture = texture;
            surface->has_texture = 1;
            return i;
        }
    }
    return -1;
}

int MD3_AttachToTag(const char *name, Md3Model *parent, Md3Model *child) {
    if (!name || !parent || !parent->tags || !parent->links || parent->header.num_frames < 1)
        return -1;
    for (int32_t i = 0; i < parent->header.num_tags; ++i) {
        const Md3Tag *tag = &parent->tags[i];
        if (!name_equals(tag->name, sizeof tag->name, name))
            continue;
        if (child && reaches(child, parent))
            return -1;
        parent->links[i] = child;
        return i;
    }
    return -1;
}

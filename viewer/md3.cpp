// MD3 loading, the packed normal table, skins and tag links.
#include "md3.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

float NormalTable[65536][3];

namespace {

// 6.283 / 255 rounded to float, given by its bits so that no compiler
// rounding can change the table.
const uint32_t NORMAL_ANGLE_STEP_BITS = 0x3CC9D82Eu;

// Writes the reason for a refusal into the caller's buffer, if any, and
// gives the 0 that the refusing function returns.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int refuse(char *reason, const char *format, ...) {
    if (reason) {
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(reason, md3_reason_size, format, arguments);
        va_end(arguments);
    }
    return 0;
}

// Whether `count` records of `size` bytes starting at `position` lie inside
// [0, limit). Division keeps huge counts from overflowing.
int fits(int64_t position, int64_t count, int64_t size, int64_t limit) {
    if (position < 0 || count < 0 || position > limit)
        return 0;
    return count <= (limit - position) / size;
}

// Where a reading of the file finds the frames, the tags and the first
// surface. Frame f is the first sizeof(Md3Frame) bytes at frames_at + f *
// frame_stride.
struct Layout {
    int64_t frames_at;
    int64_t frame_stride;
    int64_t tags_at;
    int64_t surfaces_at;
};

// The file order that exporters of this format write: frames right after the
// header, tags right after the frames, the first surface after the tags.
Layout sequential_layout(const Md3Header *header) {
    Layout layout;
    layout.frames_at = int64_t(sizeof(Md3Header));
    layout.frame_stride = int64_t(sizeof(Md3Frame));
    layout.tags_at = layout.frames_at + int64_t(header->num_frames) * layout.frame_stride;
    // Tags too many to count in bytes cannot fit the file, which the reading
    // finds before it looks for the first surface.
    const int64_t tag_count = int64_t(header->num_frames) * header->num_tags;
    layout.surfaces_at = tag_count > INT32_MAX ? -1 : layout.tags_at + tag_count * int64_t(sizeof(Md3Tag));
    return layout;
}

// The header's own offsets. Some exporters write longer frame records (with
// a 64-byte name); the space between the frames and the tags tells.
Layout header_layout(const Md3Header *header) {
    Layout layout;
    layout.frames_at = header->ofs_frames;
    layout.frame_stride = int64_t(sizeof(Md3Frame));
    const int64_t frames_span = int64_t(header->ofs_tags) - header->ofs_frames;
    if (header->num_frames > 0 && frames_span % header->num_frames == 0 &&
        frames_span / header->num_frames >= int64_t(sizeof(Md3Frame)))
        layout.frame_stride = frames_span / header->num_frames;
    layout.tags_at = header->ofs_tags;
    layout.surfaces_at = header->ofs_surfaces;
    return layout;
}

// Where the file's bytes come from, a block in memory or an open file, and
// what the reading under way may still allocate (see read_model).
struct Source {
    const uint8_t *bytes;   // the file in memory, or null
    FILE *file;             // the open file when bytes is null
    int64_t length;
    int64_t budget;
    char no_memory[48];     // the reason of the last allocation that failed
};

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
    return _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    return int64_t(ftello(file));
#endif
}

// Copies `size` bytes at `position`, which the caller has checked to lie
// inside the file: a file is read straight into the record's own blocks.
// 0 when a file gives fewer bytes than its length promised, a read failure.
int fetch(Source *source, int64_t position, size_t size, void *out) {
    if (source->bytes) {
        std::memcpy(out, source->bytes + position, size);
        return 1;
    }
    return seek_to(source->file, position) && std::fread(out, 1, size, source->file) == size;
}

// What stops a reading. The budget is a verdict on the file; memory and
// reading are the system's, and end the load with their own reason.
const char *const too_much = "more to allocate than twice the file's length";
const char *const unreadable = "file cannot be read";

// Writes the reason for a fault (prefixed with its surface unless that is
// -1): 0 for a fault of the file's content, -1 for a failure of memory or
// reading.
int fail(char *reason, int32_t surface, const char *fault) {
    if (surface < 0)
        refuse(reason, "%s", fault);
    else
        refuse(reason, "surface %d: %s", surface, fault);
    return fault == too_much ? 0 : -1;
}

// Takes `bytes` from the budget; 0 when they are not left.
int spend(Source *source, int64_t bytes) {
    if (bytes > source->budget)
        return 0;
    source->budget -= bytes;
    return 1;
}

// A new array of `count` records from the budget, zeroed when asked; a zero
// count gives a null array. Null on success, else what went wrong. The
// caller has checked that the count's bytes lie inside the file or are few,
// so they cannot overflow; a size_t too small for them (a 32-bit process)
// is out of memory, never truncated.
template <typename T>
const char *take_array(Source *source, int64_t count, T **out, bool zeroed = false) {
    *out = nullptr;
    if (count == 0)
        return nullptr;
    const int64_t bytes = count * int64_t(sizeof(T));
    if (!spend(source, bytes))
        return too_much;
    if (uint64_t(bytes) <= SIZE_MAX)
        *out = static_cast<T *>(zeroed ? std::calloc(size_t(count), sizeof(T)) : std::malloc(size_t(bytes)));
    if (*out)
        return nullptr;
    std::snprintf(source->no_memory, sizeof source->no_memory, "out of memory (%lld bytes)",
                  static_cast<long long>(bytes));
    return source->no_memory;
}

// A new array of the `count` records at `position`, which the caller has
// checked to lie inside the file. Null on success, else what went wrong.
template <typename T>
const char *copy_array(Source *source, int64_t position, int64_t count, T **out) {
    const char *fault = take_array(source, count, out);
    if (fault || count == 0)
        return fault;
    // The block was allocated: its size fits size_t.
    return fetch(source, position, size_t(count) * sizeof(T), *out) ? nullptr : unreadable;
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

// The table's values never change, so it is filled once, by the first
// successful load.
void fill_normal_table() {
    static int filled = 0;
    if (filled)
        return;
    filled = 1;
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

// Reads surface `index`, which starts at `start`. Its arrays may lie
// anywhere in the file that its offsets say; what is refused is data outside
// the file, negative counts, fewer frames than the model and triangle
// corners outside the surface's vertices. 1, 0 when refused, -1 when memory
// or reading fails.
int read_surface(Source *source, int32_t index, int64_t start, int32_t model_frames, Md3Surface *surface,
                 char *reason) {
    Md3SurfaceHeader *header = &surface->header;
    if (!fits(start, 1, sizeof(Md3SurfaceHeader), source->length))
        return refuse(reason, "surface %d: header lies outside the file", index);
    if (!fetch(source, start, sizeof *header, header))
        return fail(reason, index, unreadable);
    if (header->num_frames < 0 || header->num_shaders < 0 || header->num_verts < 0 || header->num_triangles < 0)
        return refuse(reason, "surface %d: negative count", index);
    if (header->num_frames < model_frames)
        return refuse(reason, "surface %d: fewer frames (%d) than the model (%d)", index, header->num_frames,
                      model_frames);
    const int64_t shaders_at = start + int64_t(sizeof(Md3SurfaceHeader));
    const int64_t triangles_at = start + int64_t(header->ofs_triangles);
    const int64_t st_at = start + int64_t(header->ofs_st);
    const int64_t vertices_at = start + int64_t(header->ofs_xyznormal);
    const int64_t vertex_count = int64_t(header->num_frames) * header->num_verts;
    const int64_t length = source->length;
    // Offsets of empty arrays are never followed, so they need not be sane.
    if (!fits(shaders_at, header->num_shaders, sizeof(Md3Shader), length))
        return refuse(reason, "surface %d: shaders lie outside the file", index);
    if (header->num_triangles > 0 && !fits(triangles_at, header->num_triangles, sizeof(Md3Triangle), length))
        return refuse(reason, "surface %d: triangles lie outside the file", index);
    if (header->num_verts > 0 && !fits(st_at, header->num_verts, sizeof(Md3TexCoord), length))
        return refuse(reason, "surface %d: texture coordinates lie outside the file", index);
    if (vertex_count > 0 && !fits(vertices_at, vertex_count, sizeof(Md3Vertex), length))
        return refuse(reason, "surface %d: vertices lie outside the file", index);

    const char *fault = copy_array(source, shaders_at, header->num_shaders, &surface->shaders);
    if (!fault)
        fault = copy_array(source, triangles_at, header->num_triangles, &surface->triangles);
    if (!fault)
        fault = copy_array(source, st_at, header->num_verts, &surface->texcoords);
    if (!fault)
        fault = copy_array(source, vertices_at, vertex_count, &surface->vertices);
    if (fault)
        return fail(reason, index, fault);

    for (int32_t i = 0; i < header->num_triangles; ++i)
        for (int corner = 0; corner < 3; ++corner) {
            int32_t vertex = surface->triangles[i].indexes[corner];
            if (vertex < 0 || vertex >= header->num_verts)
                return refuse(reason, "surface %d: triangle %d uses vertex %d of %d", index, i, vertex,
                              header->num_verts);
        }
    return 1;
}

// One reading of the file through `layout` into the model, whose header is
// already read and checked: 1, 0 when it refuses the file's content, -1
// when memory or reading fails. Whatever it allocated stays in the record
// for the caller to release on failure. A reading may allocate twice the
// file's length, so that a file whose surfaces all point at one large block
// is refused rather than expanded.
int read_model(Source *source, const Layout &layout, Md3Model *model, char *reason) {
    source->budget = 2 * source->length;
    const Md3Header *header = &model->header;
    const int64_t length = source->length;
    const int64_t tag_count = int64_t(header->num_frames) * header->num_tags;
    if (header->num_frames > 0 &&
        !(fits(layout.frames_at, header->num_frames - 1, layout.frame_stride, length) &&
          fits(layout.frames_at + (header->num_frames - 1) * layout.frame_stride, 1, sizeof(Md3Frame), length)))
        return refuse(reason, "frames lie outside the file");
    if (tag_count > 0 && !fits(layout.tags_at, tag_count, sizeof(Md3Tag), length))
        return refuse(reason, "tags lie outside the file");

    // Frame records of Md3Frame's own length are read in one go, longer
    // ones one by one.
    const char *fault = take_array(source, header->num_frames, &model->frames);
    const bool packed = layout.frame_stride == int64_t(sizeof(Md3Frame));
    const int32_t reads = packed ? (header->num_frames > 0) : header->num_frames;
    // The frames' block was allocated, so its size fits size_t.
    const size_t read_size = packed ? size_t(header->num_frames) * sizeof(Md3Frame) : sizeof(Md3Frame);
    for (int32_t f = 0; !fault && f < reads; ++f)
        if (!fetch(source, layout.frames_at + f * layout.frame_stride, read_size, &model->frames[f]))
            fault = unreadable;
    if (!fault)
        fault = copy_array(source, layout.tags_at, tag_count, &model->tags);
    if (!fault)
        fault = take_array(source, header->num_tags, &model->links, true);
    // Zeroed: every surface starts with null arrays and has_texture 0.
    if (!fault)
        fault = take_array(source, header->num_surfaces, &model->surfaces, true);
    if (fault)
        return fail(reason, -1, fault);
    // Each surface after the first starts at the previous start plus its
    // ofs_end. The last ofs_end is never used.
    int64_t start = layout.surfaces_at;
    for (int32_t i = 0; i < header->num_surfaces; ++i) {
        if (i > 0)
            start += model->surfaces[i - 1].header.ofs_end;
        const int read = read_surface(source, i, start, header->num_frames, &model->surfaces[i], reason);
        if (read != 1)
            return read;
    }
    return 1;
}

// Leaves the record an empty model; the animation fields are kept.
void clear_model(Md3Model *model) {
    std::memset(&model->header, 0, sizeof model->header);
    model->frames = nullptr;
    model->tags = nullptr;
    model->surfaces = nullptr;
    model->links = nullptr;
}

// Releases what a failed reading allocated. The header's counts may be short
// of what was allocated only for surfaces, and those were allocated zeroed,
// so MD3_Free is exact. The header is kept for a second reading.
void release_arrays(Md3Model *model) {
    const Md3Header header = model->header;
    MD3_Free(model);
    model->header = header;
}

int read_header(Source *source, Md3Model *model, char *reason) {
    Md3Header *header = &model->header;
    if (source->length < int64_t(sizeof(Md3Header)))
        return refuse(reason, "shorter than the %d-byte header", int(sizeof(Md3Header)));
    if (!fetch(source, 0, sizeof *header, header))
        return fail(reason, -1, unreadable);
    if (std::memcmp(header->ident, md3_ident, sizeof md3_ident) != 0)
        return refuse(reason, "not an MD3 file (no IDP3 ident)");
    if (header->version != md3_version)
        return refuse(reason, "version %d, not %d", header->version, md3_version);
    if (header->num_frames < 0 || header->num_tags < 0 || header->num_surfaces < 0)
        return refuse(reason, "negative count in the header");
    // Tag slots are named by frame 0's records: without frames there are none.
    if (header->num_frames == 0 && header->num_tags > 0)
        return refuse(reason, "tags need frames");
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

// Both layers: the header, the file order, then the header's offsets.
int read_source(Source *source, Md3Model *model, char *reason) {
    if (reason)
        reason[0] = 0;
    if (read_header(source, model, reason) != 1) {
        clear_model(model);
        return 0;
    }
    // The file order first; a file whose content it refuses is read once
    // more through the header's offsets, and keeps the first refusal when
    // that reading refuses it too. A failure of memory or reading in either
    // ends the load with its own reason.
    const Layout sequential = sequential_layout(&model->header);
    int read = read_model(source, sequential, model, reason);
    if (read == 0) {
        release_arrays(model);
        const Layout offsets = header_layout(&model->header);
        char second[md3_reason_size];
        read = std::memcmp(&offsets, &sequential, sizeof offsets) == 0 ? 0 : read_model(source, offsets, model, second);
        if (read < 0 && reason)
            std::memcpy(reason, second, sizeof second);
        else if (read == 1 && reason)
            reason[0] = 0;
    }
    if (read != 1) {
        MD3_Free(model);
        return 0;
    }
    fill_normal_table();
    return 1;
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

int MD3_Read(const void *bytes, size_t size, Md3Model *model, char *reason) {
    if (!model || (!bytes && size > 0))
        return refuse(reason, "no data or record");
    clear_model(model);
    Source source = {static_cast<const uint8_t *>(bytes), nullptr, int64_t(size), 0, ""};
    return read_source(&source, model, reason);
}

int MD3_Load(const char *file_name, Md3Model *model, char *reason) {
    if (!model || !file_name)
        return refuse(reason, "no file name or record");
    // A file that cannot be opened leaves the record as it was.
    FILE *file = std::fopen(file_name, "rb");
    if (!file)
        return refuse(reason, "file cannot be opened: %s", std::strerror(errno));
    clear_model(model);
    const int64_t length = file_length(file);
    int loaded = 0;
    if (length < 0) {
        refuse(reason, "%s", unreadable);
    } else {
        Source source = {nullptr, file, length, 0, ""};
        loaded = read_source(&source, model, reason);
    }
    std::fclose(file);
    return loaded;
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

// MD3 models: the file records, the in-memory model, the loader, the packed
// normal table and the by-name assembly (skins on surfaces, children on tags).
#ifndef VIEWER_MD3_H
#define VIEWER_MD3_H

#include <cstddef>
#include <cstdint>

// The format's magic and version, which every file starts with, and the unit
// of an Md3Vertex position.
const char md3_ident[4] = {'I', 'D', 'P', '3'};
const int32_t md3_version = 15;
const float md3_position_scale = 1.0f / 64;

// Room for the reason a load gives for refusing a file, its NUL included.
const size_t md3_reason_size = 96;

// File records, byte for byte as they stand in the file (little-endian).
struct Md3Header {
    char ident[4];            // "IDP3"
    int32_t version;          // 15
    char name[64];
    int32_t flags;
    int32_t num_frames;
    int32_t num_tags;         // tags in each frame
    int32_t num_surfaces;
    int32_t num_skins;
    int32_t ofs_frames;       // followed only when the file order fails
    int32_t ofs_tags;
    int32_t ofs_surfaces;
    int32_t ofs_end;
};

struct Md3Frame {
    float min_bounds[3];
    float max_bounds[3];
    float local_origin[3];
    float radius;
    char name[16];
};

struct Md3Tag {
    char name[64];
    float origin[3];
    float axis[9];            // row r is axis vector r
};

struct Md3SurfaceHeader {
    char ident[4];
    char name[64];
    int32_t flags;
    int32_t num_frames;
    int32_t num_shaders;
    int32_t num_verts;
    int32_t num_triangles;
    int32_t ofs_triangles;    // offsets count from the surface's first byte
    int32_t ofs_shaders;      // kept, never followed: shaders follow the header
    int32_t ofs_st;
    int32_t ofs_xyznormal;
    int32_t ofs_end;          // length of the surface; the next one starts here
};

struct Md3Shader {
    char name[64];
    int32_t shader_index;
};

struct Md3Triangle {
    int32_t indexes[3];
};

struct Md3TexCoord {
    float s;
    float t;
};

struct Md3Vertex {
    int16_t x, y, z;          // units of 1/64
    uint8_t normal[2];        // packed normal, see NormalTable
};

static_assert(sizeof(Md3Header) == 108, "Md3Header is 108 bytes");
static_assert(sizeof(Md3Frame) == 56, "Md3Frame is 56 bytes");
static_assert(sizeof(Md3Tag) == 112, "Md3Tag is 112 bytes");
static_assert(sizeof(Md3SurfaceHeader) == 108, "Md3SurfaceHeader is 108 bytes");
static_assert(sizeof(Md3Shader) == 68, "Md3Shader is 68 bytes");
static_assert(sizeof(Md3Triangle) == 12, "Md3Triangle is 12 bytes");
static_assert(sizeof(Md3TexCoord) == 8, "Md3TexCoord is 8 bytes");
static_assert(sizeof(Md3Vertex) == 8, "Md3Vertex is 8 bytes");

// In-memory records. Every array is its own heap block owned by the record.
struct Md3Surface {
    Md3SurfaceHeader header;
    Md3Shader *shaders;       // num_shaders
    Md3Triangle *triangles;   // num_triangles
    Md3TexCoord *texcoords;   // num_verts
    Md3Vertex *vertices;      // num_frames * num_verts, frame after frame
    int32_t has_texture;      // 1: bind texture before drawing
    uint32_t texture;
};

struct Md3Model {
    Md3Header header;
    Md3Frame *frames;         // num_frames
    Md3Tag *tags;             // num_frames * num_tags, frame after frame
    Md3Surface *surfaces;     // num_surfaces
    int32_t current_frame;    // drawn at fraction 0
    int32_t next_frame;       // drawn at fraction 1
    float fraction;
    Md3Model **links;         // num_tags child pointers, null where none
};

// Decoded packed normals: entry b0 * 256 + b1 for the bytes b0 = normal[0],
// b1 = normal[1]. All zero until the first successful load fills it; its
// values never change after that.
extern float NormalTable[65536][3];

// Reads an MD3 file into the caller's record. 1 on success. 0 when the file
// cannot be opened, and the record is then left exactly as it was; 0 when
// the file is refused, and the record is then an empty model. Unless
// `reason` is null, it receives (md3_reason_size bytes at most) one line
// that says why on 0, and an empty string on 1. The file is read as
// MD3_Read reads its bytes, each array where it lies, from the open file
// straight into the array's own block; it is never read whole. Failures of
// the system are not refusals of the file and have reasons of their own:
// "file cannot be opened: " and the system's text for errno; "file cannot
// be read" when its length cannot be found, a seek fails or a read gives
// less than that length promised; and those of MD3_Read.
int MD3_Load(const char *file_name, Md3Model *model, char *reason = nullptr);

// Reads an MD3 file held in memory (`size` bytes) into the caller's record,
// which it first empties; 1, or 0 with the record an empty model and the
// reason as for MD3_Load. The bytes are copied: the caller keeps them.
//
// What is read: the header, then the frames, the tags and the first surface
// in file order (frames right after the header, tags right after the
// frames, the first surface after the last tag); each further surface
// starts at the previous one's start plus its ofs_end, and each surface's
// shaders follow its header while its triangles, texture coordinates and
// vertices are found through its own offsets, anywhere in the file. When
// that reading refuses the file, it is read once more through the header's
// offsets: num_frames frame records of 56 bytes, record f being the first
// 56 bytes at ofs_frames + f * S, where S = (ofs_tags - ofs_frames) /
// num_frames when that division is exact and gives at least 56 (exporters
// that write 64-byte frame names), and 56 otherwise; the tags at ofs_tags;
// the first surface at ofs_surfaces; everything else as above. The file
// loads when that reading passes every check below; otherwise the refusal
// is the first reading's. A file the first reading accepts never has its
// header offsets followed.
//
// Only a refusal of the content leads to the second reading. Memory that
// runs out, in either reading, ends the load at once with "out of memory
// (N bytes)", N the bytes of the failed request (count x record size),
// prefixed "surface S: " inside a surface as every surface's reason is;
// more than size_t can hold counts as such a request, never truncated.
//
// A file is refused only when reading or drawing it would be unsafe: a
// short header, another ident or version, negative counts, records or
// arrays outside the file, triangle corners outside the surface's vertices,
// a surface with fewer frames than the model, tags without frames, or more
// to allocate than twice the file's length (so surfaces that point at one
// shared array are refused once their copies pass it). Names that fill
// their field without a NUL are kept as they are (every by-name search
// compares within the field), and the last surface's ofs_end is never
// followed. The animation fields (current_frame, next_frame, fraction) are
// never touched. The previous contents of the record are not released (see
// MD3_Free). The normal table is filled by the first successful read.
int MD3_Read(const void *bytes, size_t size, Md3Model *model, char *reason = nullptr);

// Gives the first surface named `name` the texture. Its index, or -1.
int MD3_SetSkin(const char *name, Md3Model *model, uint32_t texture);

// Links `child` (may be null) at the first tag named `name` of frame 0.
// Its index, or -1 when no tag matches or the link would make a cycle
// (child is the parent, or the parent is reachable from the child); on -1
// nothing changes.
int MD3_AttachToTag(const char *name, Md3Model *parent, Md3Model *child);

// Releases the record's arrays and leaves it an empty model (zero header, no
// arrays); the animation fields are kept. The record must hold a model that
// MD3_Load filled, or be all zero. Call it before loading a record again.
void MD3_Free(Md3Model *model);

#endif

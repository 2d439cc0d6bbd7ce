// Builds MD3 files from in-memory descriptions, for the sample model, the
// tests and the benchmarks. The layout is the one the loader reads: header,
// frames, tags, then each surface (header, shaders, triangles, texture
// coordinates, vertices), with optional gaps to exercise the offsets.
#ifndef TOOLS_MD3_WRITER_H
#define TOOLS_MD3_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

#include "../viewer/md3.h"

struct Md3SurfaceData {
    std::string name;
    int32_t num_frames = 1;
    std::vector<Md3Shader> shaders;
    std::vector<Md3Triangle> triangles;
    std::vector<Md3TexCoord> texcoords;   // one per vertex
    std::vector<Md3Vertex> vertices;      // num_frames * texcoords.size()
    // Extra bytes (filled with 0xCD) placed before an array or after the
    // surface; the header's offsets account for them.
    uint32_t gap_before_triangles = 0;
    uint32_t gap_before_st = 0;
    uint32_t gap_before_xyz = 0;
    uint32_t gap_after = 0;
};

struct Md3ModelData {
    std::string name;
    std::vector<Md3Frame> frames;
    int32_t num_tags = 0;
    std::vector<Md3Tag> tags;             // frames.size() * num_tags
    std::vector<Md3SurfaceData> surfaces;
};

// Byte offsets of the pieces of an encoded file, for tests that patch them.
struct Md3Layout {
    uint32_t frames;
    uint32_t tags;
    std::vector<uint32_t> surfaces;       // start of each surface
};

std::vector<uint8_t> Md3Writer_Encode(const Md3ModelData &model, Md3Layout *layout = nullptr);

// Writes the bytes to a file; 1 on success, 0 on failure.
int Md3Writer_Save(const char *path, const std::vector<uint8_t> &bytes);

// Packs a unit vector into the two normal bytes (the nearest entry of the
// loader's table): normal[0] the angle from +z, normal[1] the angle around z.
void Md3Writer_PackNormal(float x, float y, float z, uint8_t normal[2]);

// A frame record with the given bounds and name; a tag with origin and rows.
Md3Frame Md3Writer_Frame(const float min_bounds[3], const float max_bounds[3], const char *name);
Md3Tag Md3Writer_Tag(const char *name, const float origin[3], const float axis[9]);

#endif

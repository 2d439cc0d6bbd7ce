// Small MD3 models for the tests, written with the project's writer.
#ifndef TESTS_MD3_TEST_FILES_H
#define TESTS_MD3_TEST_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "tools/md3_writer.h"
#include "viewer/md3.h"

// One vertex; normal bytes given as they stand in the file.
Md3Vertex TestMd3_Vertex(int16_t x, int16_t y, int16_t z, uint8_t b0 = 0, uint8_t b1 = 0);

// A surface of one triangle (0, 1, 2) over `frames` frames; vertex v of frame
// f sits at (64 * (v + 10 * f), v, f).
Md3SurfaceData TestMd3_Triangle(const char *name, int32_t frames);

// A tag of the given name, origin and axis rows.
Md3Tag TestMd3_Tag(const char *name, float ox, float oy, float oz, const float axis[9]);

// Two frames, tags "tag_a" and "tag_b" (different in each frame), two
// surfaces: "first" (2 shaders, 2 triangles, 4 vertices) and "second".
Md3ModelData TestMd3_Model();

// A path in a directory of this process's own, under TMPDIR; the directory
// goes when the process exits.
std::string TestMd3_Path(const char *name);

// Saves the bytes and loads them into the record; MD3_Load's result and,
// when `reason` is given, its reason.
int TestMd3_LoadBytes(const std::vector<uint8_t> &bytes, Md3Model *model, std::string *reason = nullptr);

// Whether the record is the empty model a failed load leaves.
bool TestMd3_IsEmpty(const Md3Model &model);

// Writes a value into the encoded bytes at `offset`.
template <typename T>
void TestMd3_Patch(std::vector<uint8_t> &bytes, size_t offset, T value) {
    const uint8_t *source = reinterpret_cast<const uint8_t *>(&value);
    for (size_t i = 0; i < sizeof value; ++i)
        bytes.at(offset + i) = source[i];
}

#endif

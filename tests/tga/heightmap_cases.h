// Height maps on which the filter's vector paths are compared with the
// scalar reference, byte for byte; shared by the unit test and by the
// check program that runs the Windows build under Wine.
#ifndef TESTS_TGA_HEIGHTMAP_CASES_H
#define TESTS_TGA_HEIGHTMAP_CASES_H

#include <cstdint>
#include <string>
#include <vector>

#include "heightmap_paths.h"

struct HeightMapCase {
    std::string name;
    int width;
    int height;
    std::vector<uint8_t> heights;
};

// The worked examples and the pinned precision blocks, tiled so that their
// texels also fall inside the vector steps, and noise maps of awkward sizes:
// none at all (0 rows or columns), 1 x 1, one or two rows or columns, every
// width from 3 to 41 (every remainder of both step lengths), odd and large
// widths.
std::vector<HeightMapCase> HeightMapCases_All();

// "" when path writes the scalar path's bytes for both encodings (into
// buffers of exactly the map's size), else the first difference.
std::string HeightMapCases_Compare(HeightMapPath path, const HeightMapCase &map);

// "" when path gives the pinned byte at every copy of texel (1, 1) of each
// pinned block (a 3 x 3 block top-left in a 4 x 4 map of zeros, tiled 11
// times across), else the first texel that differs.
std::string HeightMapCases_CheckPinned(HeightMapPath path);

#endif

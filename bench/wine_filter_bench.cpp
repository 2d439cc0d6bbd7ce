// The height-map filter of the Windows tga library, timed under Wine:
//   wine_filter_bench [REPEATS]
// Encodes a 2048 x 2048 map of noise as DOT3 and as du/dv through the path
// the processor runs (HeightMap_EncodeDOT3 / HeightMap_EncodeDUDV, built
// with the library's own flags), REPEATS times each (default 15), and
// prints the fastest run of each in milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "heightmap.h"
#include "heightmap_paths.h"

namespace {

const int map_size = 2048;

double milliseconds_since(const LARGE_INTEGER &start, const LARGE_INTEGER &frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char **argv) {
    int repeats = argc > 1 ? std::atoi(argv[1]) : 15;
    if (repeats < 1)
        repeats = 1;
    std::vector<uint8_t> heights(size_t(map_size) * map_size);
    uint32_t state = 12345;
    for (uint8_t &height : heights) {
        state = state * 1664525u + 1013904223u;
        height = uint8_t(state >> 24);
    }
    std::vector<uint8_t> dot3(heights.size() * 3);
    std::vector<int8_t> dudv(heights.size() * 2);
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    double best_dot3 = 1e30, best_dudv = 1e30;
    for (int i = 0; i < repeats; ++i) {
        QueryPerformanceCounter(&start);
        HeightMap_EncodeDOT3(heights.data(), map_size, map_size, dot3.data());
        double ms = milliseconds_since(start, frequency);
        best_dot3 = ms < best_dot3 ? ms : best_dot3;
        QueryPerformanceCounter(&start);
        HeightMap_EncodeDUDV(heights.data(), map_size, map_size, dudv.data());
        ms = milliseconds_since(start, frequency);
        best_dudv = ms < best_dudv ? ms : best_dudv;
    }
    std::printf("path %s\ndot3_ms %.3f\ndudv_ms %.3f\n", HeightMap_PathName(HeightMap_BestPath()), best_dot3,
                best_dudv);
    return 0;
}

// The height-map filter's vector paths against its scalar path in the
// Windows build, on the cases of the host's unit test (heightmap_cases.h).
// Run under Wine it shows that the run-time choice of path works there and
// that the AVX2 code survives the Windows stack, which the compiler does
// not align for 256-bit values. Exit code 0 when every path the processor
// runs gives the scalar bytes; each difference is printed.
#include <cstdio>
#include <string>
#include <vector>

#include "heightmap_cases.h"

int main() {
    int failures = 0;
    std::vector<HeightMapCase> maps = HeightMapCases_All();
    for (HeightMapPath path : {HEIGHTMAP_SSE2, HEIGHTMAP_AVX2}) {
        const char *name = HeightMap_PathName(path);
        if (!HeightMap_PathAvailable(path)) {
            std::printf("%s: not available on this processor\n", name);
            continue;
        }
        int differing = 0;
        for (const HeightMapCase &map : maps) {
            std::string fault = HeightMapCases_Compare(path, map);
            if (!fault.empty()) {
                std::printf("FAIL: %s, %s: %s\n", name, map.name.c_str(), fault.c_str());
                ++differing;
            }
        }
        std::string pinned = HeightMapCases_CheckPinned(path);
        if (!pinned.empty()) {
            std::printf("FAIL: %s, pinned texels: %s\n", name, pinned.c_str());
            ++differing;
        }
        std::printf("%s: %d maps and the pinned texels against scalar, %d differ\n", name, int(maps.size()),
                    differing);
        failures += differing;
    }
    // Without the vector paths every comparison above would pass unseen.
    if (!HeightMap_PathAvailable(HEIGHTMAP_SSE2)) {
        std::printf("FAIL: the SSE2 path is missing from this build\n");
        ++failures;
    }
#if defined(__GNUC__)
    if (__builtin_cpu_supports("avx2") && !HeightMap_PathAvailable(HEIGHTMAP_AVX2)) {
        std::printf("FAIL: the processor has AVX2 but the library does not use it\n");
        ++failures;
    }
#endif
    std::printf("encodings use: %s\n", HeightMap_PathName(HeightMap_BestPath()));
    return failures ? 1 : 0;
}

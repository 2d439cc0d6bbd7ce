// The filter's vector paths against the scalar reference, byte for byte, on
// every path this processor runs.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "heightmap_cases.h"
#include "tga_test_files.h"

namespace {

std::vector<HeightMapPath> VectorPaths() {
    std::vector<HeightMapPath> paths;
    for (HeightMapPath path : {HEIGHTMAP_SSE2, HEIGHTMAP_AVX2})
        if (HeightMap_PathAvailable(path))
            paths.push_back(path);
    return paths;
}

TEST(HeightMapPaths, VectorPathsAreBuiltAndDetected) {
    // The comparisons below would pass vacuously without them.
#if defined(__x86_64__)
    EXPECT_TRUE(HeightMap_PathAvailable(HEIGHTMAP_SSE2));
    EXPECT_EQ(__builtin_cpu_supports("avx2") != 0, HeightMap_PathAvailable(HEIGHTMAP_AVX2) != 0);
#endif
    HeightMapPath best = HeightMap_BestPath();
    for (HeightMapPath path : VectorPaths())
        EXPECT_GE(best, path);
    // The public encodings take the best path.
    std::vector<HeightMapCase> maps = HeightMapCases_All();
    const HeightMapCase &map = maps.back();
    std::vector<uint8_t> plain(map.heights.size() * 3), chosen(plain.size());
    HeightMap_EncodeDOT3(map.heights.data(), map.width, map.height, plain.data());
    HeightMap_EncodeDOT3WithPath(best, map.heights.data(), map.width, map.height, chosen.data());
    EXPECT_EQ(plain, chosen);
}

TEST(HeightMapPaths, EveryMapGivesTheScalarBytes) {
    std::vector<HeightMapCase> maps = HeightMapCases_All();
    for (HeightMapPath path : VectorPaths())
        for (const HeightMapCase &map : maps)
            EXPECT_EQ("", HeightMapCases_Compare(path, map)) << HeightMap_PathName(path) << ", " << map.name;
}

TEST(HeightMapPaths, PinnedPrecisionTexels) {
    EXPECT_EQ("", HeightMapCases_CheckPinned(HEIGHTMAP_SCALAR));
    for (HeightMapPath path : VectorPaths())
        EXPECT_EQ("", HeightMapCases_CheckPinned(path)) << HeightMap_PathName(path);
}

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

TEST(HeightMapPaths, InverseSqrtGivesTheScalarBits) {
    // Counts of every remainder of both vector lengths; values from 1 to
    // 33 (s*s + t*t + 1 of the steepest slopes), exact squares among them.
    std::vector<float> in;
    uint32_t seed = 5;
    for (int i = 0; i < 45; ++i) {
        seed = seed * 1664525u + 1013904223u;
        in.push_back(i % 5 == 0 ? float((i / 5 + 1) * (i / 5 + 1)) : 1.0f + float(seed >> 8) * (32.0f / 16777216.0f));
    }
    for (size_t count = 0; count <= in.size(); count += 1) {
        std::vector<float> want(count + 1, -1.0f);
        ASSERT_TRUE(HeightMap_InverseSqrtWithPath(HEIGHTMAP_SCALAR, in.data(), count, want.data()));
        for (HeightMapPath path : VectorPaths()) {
            std::vector<float> got(count + 1, -2.0f);
            ASSERT_TRUE(HeightMap_InverseSqrtWithPath(path, in.data(), count, got.data()));
            for (size_t i = 0; i < count; ++i)
                ASSERT_EQ(Bits(want[i]), Bits(got[i])) << HeightMap_PathName(path) << " value " << in[i];
            EXPECT_EQ(-2.0f, got[count]) << "written past count";
        }
    }
}

// In a death-test child: both encodings through path with allocations
// limited to 1 MB, against the scalar bytes; exit code 0 when they match.
void EncodeWithLittleMemory(HeightMapPath path, const std::vector<uint8_t> &heights, int width, int height) {
    std::vector<uint8_t> dot3_want(heights.size() * 3), dot3_got(dot3_want.size());
    std::vector<int8_t> dudv_want(heights.size() * 2), dudv_got(dudv_want.size());
    HeightMap_EncodeDOT3WithPath(HEIGHTMAP_SCALAR, heights.data(), width, height, dot3_want.data());
    HeightMap_EncodeDUDVWithPath(HEIGHTMAP_SCALAR, heights.data(), width, height, dudv_want.data());
    TgaTest_LimitAllocations(1);
    HeightMap_EncodeDOT3WithPath(path, heights.data(), width, height, dot3_got.data());
    HeightMap_EncodeDUDVWithPath(path, heights.data(), width, height, dudv_got.data());
    std::exit(dot3_want == dot3_got && dudv_want == dudv_got ? 0 : 1);
}

TEST(HeightMapPaths, WithoutItsBufferAPathGivesTheScalarBytes) {
    // 40000 columns: a vector path's weighted rows take 1.3 MB, more than
    // the child may allocate, so the scalar expression fills the interior.
    const int width = 40000, height = 3;
    std::vector<uint8_t> heights(size_t(width) * height);
    for (size_t i = 0; i < heights.size(); ++i)
        heights[i] = uint8_t(i * 37 + i / 11);
    TgaTest_PrepareAllocationLimit(1);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (HeightMapPath path : VectorPaths())
        EXPECT_EXIT(EncodeWithLittleMemory(path, heights, width, height), ::testing::ExitedWithCode(0), "")
            << HeightMap_PathName(path);
}

TEST(HeightMapPaths, UnknownPathWritesNothing) {
    const uint8_t heights[4] = {1, 2, 3, 4};
    uint8_t dot3[12];
    std::memset(dot3, 0xEE, sizeof dot3);
    EXPECT_FALSE(HeightMap_PathAvailable(HeightMapPath(heightmap_path_count)));
    EXPECT_EQ(0, HeightMap_EncodeDOT3WithPath(HeightMapPath(heightmap_path_count), heights, 2, 2, dot3));
    for (uint8_t value : dot3)
        EXPECT_EQ(0xEE, value);
}

}  // namespace

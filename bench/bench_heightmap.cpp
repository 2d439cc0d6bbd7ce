// The height-map filter with each encoding, in texels per second, against
// a plain copy of as many bytes as the encoding writes and against its
// compute floor; and each of its paths on its own.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "heightmap_paths.h"

namespace {

template <typename Texel, typename Encode>
void EncodeMap(benchmark::State &state, int bytes_per_texel, Encode encode) {
    int size = int(state.range(0));
    std::vector<uint8_t> map = BenchData_HeightNoise(size);
    std::vector<Texel> out(map.size() * size_t(bytes_per_texel));
    for (auto _ : state) {
        encode(map.data(), size, out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(map.size()));
}

void HeightMapDOT3(benchmark::State &state) {
    EncodeMap<uint8_t>(state, 3, [](const uint8_t *map, int size, uint8_t *out) {
        HeightMap_EncodeDOT3(map, size, size, out);
    });
    state.SetLabel(HeightMap_PathName(HeightMap_BestPath()));
}

void HeightMapDUDV(benchmark::State &state) {
    EncodeMap<int8_t>(state, 2, [](const uint8_t *map, int size, int8_t *out) {
        HeightMap_EncodeDUDV(map, size, size, out);
    });
    state.SetLabel(HeightMap_PathName(HeightMap_BestPath()));
}

// One path of the filter: arguments path (HeightMapPath) and size.
template <typename Texel>
void EncodeWithPath(benchmark::State &state, int bytes_per_texel,
                    int (*encode)(HeightMapPath, const uint8_t *, int, int, Texel *)) {
    HeightMapPath path = HeightMapPath(state.range(0));
    if (!HeightMap_PathAvailable(path)) {
        state.SkipWithError("path not available on this processor");
        return;
    }
    int size = int(state.range(1));
    std::vector<uint8_t> map = BenchData_HeightNoise(size);
    std::vector<Texel> out(map.size() * size_t(bytes_per_texel));
    for (auto _ : state) {
        encode(path, map.data(), size, size, out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(map.size()));
    state.SetLabel(HeightMap_PathName(path));
}

void HeightMapPathDOT3(benchmark::State &state) { EncodeWithPath(state, 3, HeightMap_EncodeDOT3WithPath); }
void HeightMapPathDUDV(benchmark::State &state) { EncodeWithPath(state, 2, HeightMap_EncodeDUDVWithPath); }

void paths(benchmark::internal::Benchmark *b) {
    for (int path = 0; path < heightmap_path_count; ++path)
        b->Args({path, 4096});
}

// Ceiling: copying the encoding's output bytes, texels counted the same way.
void CopyBytes(benchmark::State &state, int bytes_per_texel) {
    int size = int(state.range(0));
    size_t texels = size_t(size) * size_t(size);
    std::vector<uint8_t> from(texels * size_t(bytes_per_texel), 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(texels));
}

void CopyDOT3Bytes(benchmark::State &state) { CopyBytes(state, 3); }
void CopyDUDVBytes(benchmark::State &state) { CopyBytes(state, 2); }

// Compute floor: the one step of the filter that its bytes fix to a costly
// instruction pair, float(1 / sqrt(double(q))), alone over as many values
// (q = s*s + t*t + 1 of each texel of the same map), float in and out,
// through the widest path the processor has.
void InverseSqrtFloor(benchmark::State &state) {
    int size = int(state.range(0));
    std::vector<uint8_t> map = BenchData_HeightNoise(size);
    std::vector<float> q(map.size()), out(map.size());
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            HeightMapSlope slope = HeightMap_Slope(map.data(), size, size, x, y);
            q[size_t(y) * size_t(size) + size_t(x)] = slope.s * slope.s + slope.t * slope.t + 1.0f;
        }
    }
    HeightMapPath path = HeightMap_BestPath();
    for (auto _ : state) {
        HeightMap_InverseSqrtWithPath(path, q.data(), q.size(), out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(map.size()));
    state.SetLabel(HeightMap_PathName(path));
}

}  // namespace

BENCHMARK(HeightMapDOT3)->Apply(BenchData_HeightMapSizes)->ArgName("size");
BENCHMARK(CopyDOT3Bytes)->Apply(BenchData_HeightMapSizes)->ArgName("size");
BENCHMARK(HeightMapDUDV)->Apply(BenchData_HeightMapSizes)->ArgName("size");
BENCHMARK(CopyDUDVBytes)->Apply(BenchData_HeightMapSizes)->ArgName("size");
BENCHMARK(InverseSqrtFloor)->Apply(BenchData_HeightMapSizes)->ArgName("size");
BENCHMARK(HeightMapPathDOT3)->Apply(paths)->ArgNames({"path", "size"});
BENCHMARK(HeightMapPathDUDV)->Apply(paths)->ArgNames({"path", "size"});

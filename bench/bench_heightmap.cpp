// The height-map filter with each encoding, in texels per second, against
// a plain copy of as many bytes as the encoding writes.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "heightmap.h"

namespace {

std::vector<uint8_t> heights(int size) {
    std::vector<uint8_t> map(size_t(size) * size_t(size));
    uint32_t noise = 777;
    for (size_t i = 0; i < map.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        map[i] = uint8_t(noise >> 24);
    }
    return map;
}

void sizes(benchmark::internal::Benchmark *b) {
    for (int size : {256, 1024, 4096})
        b->Arg(size);
}

void HeightMapDOT3(benchmark::State &state) {
    int size = int(state.range(0));
    std::vector<uint8_t> map = heights(size);
    std::vector<uint8_t> out(map.size() * 3);
    for (auto _ : state) {
        HeightMap_EncodeDOT3(map.data(), size, size, out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(map.size()));
}

void HeightMapDUDV(benchmark::State &state) {
    int size = int(state.range(0));
    std::vector<uint8_t> map = heights(size);
    std::vector<int8_t> out(map.size() * 2);
    for (auto _ : state) {
        HeightMap_EncodeDUDV(map.data(), size, size, out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(map.size()));
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

}  // namespace

BENCHMARK(HeightMapDOT3)->Apply(sizes)->ArgName("size");
BENCHMARK(CopyDOT3Bytes)->Apply(sizes)->ArgName("size");
BENCHMARK(HeightMapDUDV)->Apply(sizes)->ArgName("size");
BENCHMARK(CopyDUDVBytes)->Apply(sizes)->ArgName("size");

// The height-map filter's peer: NVIDIA Texture Tools (Debian's libnvtt-dev)
// turning the same height map into a normal map with its smallest filter,
// the map tiling, no mipmaps, uncompressed 24-bit output. Only nvtt's
// processing is timed: the input copy and the options are made once.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>
#include <nvtt/nvtt.h>

#include "bench_data.h"

namespace {

// Takes nvtt's output into one buffer, as the filter writes its texels.
struct CollectOutput : nvtt::OutputHandler {
    std::vector<uint8_t> bytes;
    size_t used = 0;

    void beginImage(int, int, int, int, int, int) override { used = 0; }

    bool writeData(const void *data, int size) override {
        if (used + size_t(size) > bytes.size())
            bytes.resize(used + size_t(size));
        std::memcpy(bytes.data() + used, data, size_t(size));
        used += size_t(size);
        return true;
    }
};

void NvttNormalMap(benchmark::State &state) {
    int size = int(state.range(0));
    std::vector<uint8_t> map = BenchData_HeightNoise(size);
    // nvtt reads BGRA images: the height in every colour channel, its
    // height taken from red alone.
    std::vector<uint8_t> bgra(map.size() * 4);
    for (size_t i = 0; i < map.size(); ++i) {
        bgra[4 * i] = bgra[4 * i + 1] = bgra[4 * i + 2] = map[i];
        bgra[4 * i + 3] = 255;
    }
    nvtt::InputOptions input;
    input.setTextureLayout(nvtt::TextureType_2D, size, size);
    input.setMipmapData(bgra.data(), size, size);
    input.setFormat(nvtt::InputFormat_BGRA_8UB);
    input.setWrapMode(nvtt::WrapMode_Repeat);
    input.setGamma(1.0f, 1.0f);
    input.setNormalMap(false);
    input.setConvertToNormalMap(true);
    input.setHeightEvaluation(1.0f, 0.0f, 0.0f, 0.0f);
    input.setNormalFilter(1.0f, 0.0f, 0.0f, 0.0f);
    input.setMipmapGeneration(false);
    nvtt::CompressionOptions compression;
    compression.setFormat(nvtt::Format_RGB);
    compression.setPixelFormat(24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    CollectOutput collect;
    collect.bytes.resize(map.size() * 3);
    nvtt::OutputOptions output;
    output.setOutputHeader(false);
    output.setOutputHandler(&collect);
    nvtt::Compressor compressor;
    for (auto _ : state) {
        if (!compressor.process(input, compression, output)) {
            state.SkipWithError("nvtt::Compressor::process failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    if (collect.used != map.size() * 3)
        state.SkipWithError("nvtt wrote an unexpected number of bytes");
    state.SetItemsProcessed(state.iterations() * int64_t(map.size()));
}

}  // namespace

BENCHMARK(NvttNormalMap)->Apply(BenchData_HeightMapSizes)->ArgName("size")->Unit(benchmark::kMillisecond);

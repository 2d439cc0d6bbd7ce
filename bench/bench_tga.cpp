// Reading and uploading 24- and 32-bit TGA files, next to stb_image
// decoding the same files and the same mipmapped upload of its pixels, and
// the reader next to the least any reader does: read the file into a block.
#include <cstdio>
#include <cstdlib>

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include "bench_data.h"
#include "tga.h"
#include "tga_read.h"

namespace {

void image_args(benchmark::internal::Benchmark *b) {
    for (int bits : {24, 32})
        for (int size : {64, 256, 1024, 4096})
            b->Args({bits, size});
}

void set_counters(benchmark::State &state) {
    int64_t size = state.range(1);
    state.SetItemsProcessed(state.iterations() * size * size);
    state.SetBytesProcessed(state.iterations() * size * size * state.range(0) / 8);
}

void TgaRead(benchmark::State &state) {
    const std::string &path = BenchData_Tga(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        TgaImage image;
        if (!TGA_Read(path.c_str(), &image)) {
            state.SkipWithError("TGA_Read failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
        std::free(image.pixels);
    }
    set_counters(state);
}

// fopen, then malloc and one fread of the whole file: what reading it costs
// before the reader does anything of its own.
void FreadFile(benchmark::State &state) {
    const std::string &path = BenchData_Tga(int(state.range(0)), int(state.range(1)));
    const size_t size = 18 + size_t(state.range(1)) * size_t(state.range(1)) * size_t(state.range(0) / 8);
    for (auto _ : state) {
        FILE *file = std::fopen(path.c_str(), "rb");
        void *bytes = file ? std::malloc(size) : nullptr;
        size_t got = bytes ? std::fread(bytes, 1, size, file) : 0;
        if (file)
            std::fclose(file);
        benchmark::DoNotOptimize(bytes);
        std::free(bytes);
        if (got != size) {
            state.SkipWithError("fopen, malloc or fread failed");
            break;
        }
    }
    set_counters(state);
}

void StbLoad(benchmark::State &state) {
    const std::string &path = BenchData_Tga(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        int w, h, channels;
        unsigned char *pixels = stbi_load(path.c_str(), &w, &h, &channels, 0);
        if (!pixels) {
            state.SkipWithError("stbi_load failed");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    set_counters(state);
}

void TgaUploadImage(benchmark::State &state) {
    const std::string &path = BenchData_Tga(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        GLuint name = TGA_UploadImage(path.c_str());
        glFinish();
        if (!name) {
            state.SkipWithError("TGA_UploadImage failed");
            break;
        }
        glDeleteTextures(1, &name);
    }
    set_counters(state);
}

// The same GL calls as the library's 2D upload, on stb_image's RGB(A).
void StbUpload(benchmark::State &state) {
    const std::string &path = BenchData_Tga(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        int w, h, channels;
        unsigned char *pixels = stbi_load(path.c_str(), &w, &h, &channels, 0);
        if (!pixels) {
            state.SkipWithError("stbi_load failed");
            break;
        }
        bool alpha = channels == 4;
        GLuint name;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(GL_MODULATE));
        gluBuild2DMipmaps(GL_TEXTURE_2D, alpha ? GL_RGBA8 : GL_RGB8, w, h, alpha ? GL_RGBA : GL_RGB,
                          GL_UNSIGNED_BYTE, pixels);
        stbi_image_free(pixels);
        glFinish();
        glDeleteTextures(1, &name);
    }
    set_counters(state);
}

}  // namespace

BENCHMARK(TgaRead)->Apply(image_args)->ArgNames({"bits", "size"});
BENCHMARK(FreadFile)->Apply(image_args)->ArgNames({"bits", "size"});
BENCHMARK(StbLoad)->Apply(image_args)->ArgNames({"bits", "size"});
BENCHMARK(TgaUploadImage)->Apply(image_args)->ArgNames({"bits", "size"})->UseRealTime();
BENCHMARK(StbUpload)->Apply(image_args)->ArgNames({"bits", "size"})->UseRealTime();

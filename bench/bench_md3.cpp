// MD3 loading next to assimp's MD3 importer on the same files and the floor
// of reading them whole, and the CPU cost of drawing the large model's
// surfaces once.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "draw.h"
#include "md3.h"

namespace {

const char *const sample_pieces[] = {"lower.md3", "upper.md3", "head.md3", "rocketl.md3"};

std::vector<std::string> files_for(int which) {
    if (which == 1)
        return {BenchData_LargeModel()};
    std::vector<std::string> files;
    for (const char *piece : sample_pieces)
        files.push_back(BenchData_Sample(piece));
    return files;
}

void models(benchmark::internal::Benchmark *b) {
    b->ArgName("large")->Arg(0)->Arg(1);
}

void Md3Load(benchmark::State &state) {
    std::vector<std::string> files = files_for(int(state.range(0)));
    for (auto _ : state) {
        for (const std::string &file : files) {
            Md3Model model;
            std::memset(&model, 0, sizeof model);
            if (!MD3_Load(file.c_str(), &model)) {
                state.SkipWithError("MD3_Load failed");
                return;
            }
            benchmark::DoNotOptimize(model.surfaces);
            MD3_Free(&model);
        }
    }
}

// The floor under any loader: each file read whole into one heap block.
void Md3FileFloor(benchmark::State &state) {
    std::vector<std::string> files = files_for(int(state.range(0)));
    for (auto _ : state) {
        for (const std::string &file : files) {
            FILE *f = std::fopen(file.c_str(), "rb");
            if (!f) {
                state.SkipWithError("cannot open");
                return;
            }
            std::fseek(f, 0, SEEK_END);
            long size = std::ftell(f);
            std::rewind(f);
            void *bytes = std::malloc(size_t(size));
            benchmark::DoNotOptimize(std::fread(bytes, 1, size_t(size), f));
            std::fclose(f);
            std::free(bytes);
        }
    }
}

// Each piece on its own, as MD3_Load reads it: assimp's joining of a
// player's lower/upper/head files is switched off.
void AssimpMd3(benchmark::State &state) {
    std::vector<std::string> files = files_for(int(state.range(0)));
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_MD3_HANDLE_MULTIPART, false);
    for (auto _ : state) {
        for (const std::string &file : files) {
            const aiScene *scene = importer.ReadFile(file, 0);
            if (!scene) {
                state.SkipWithError(importer.GetErrorString());
                return;
            }
            benchmark::DoNotOptimize(scene);
            importer.FreeScene();
        }
    }
}

struct LoadedLarge {
    Md3Model model;
    int loaded;
};

LoadedLarge &large() {
    static LoadedLarge data = [] {
        LoadedLarge d;
        std::memset(&d.model, 0, sizeof d.model);
        d.loaded = MD3_Load(BenchData_LargeModel().c_str(), &d.model);
        return d;
    }();
    return data;
}

int64_t corners(const Md3Model &model) {
    int64_t n = 0;
    for (int32_t s = 0; s < model.header.num_surfaces; ++s)
        n += 3 * int64_t(model.surfaces[s].header.num_triangles);
    return n;
}

// One MD3_DrawSurfaces between frames 10 and 11 at fraction 0.5, compiled
// into a display list: Mesa stores the calls without drawing them, so the
// time is our interpolation plus the cost of the GL entry points.
void Md3DrawSurfaces(benchmark::State &state) {
    LoadedLarge &data = large();
    if (!data.loaded) {
        state.SkipWithError("large model did not load");
        return;
    }
    for (auto _ : state) {
        GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        MD3_DrawSurfaces(&data.model, 10, 11, 0.5f);
        glEndList();
        glDeleteLists(list, 1);
    }
    state.SetItemsProcessed(state.iterations() * corners(data.model));
}

// Ceiling: the same call sequence (a glBegin/glEnd pair per triangle, three
// calls per corner) into a display list with values that need no work: the
// GL entry points alone.
void BareImmediateCalls(benchmark::State &state) {
    LoadedLarge &data = large();
    if (!data.loaded) {
        state.SkipWithError("large model did not load");
        return;
    }
    const Md3Model &model = data.model;
    for (auto _ : state) {
        GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        for (int32_t s = 0; s < model.header.num_surfaces; ++s) {
            int32_t n = model.surfaces[s].header.num_triangles;
            for (int32_t i = 0; i < n; ++i) {
                glBegin(GL_TRIANGLES);
                for (int corner = 0; corner < 3; ++corner) {
                    float v = float(i + corner);
                    glTexCoord2f(v, -v);
                    glNormal3f(0.0f, 0.0f, 1.0f);
                    glVertex3f(v, v, v);
                }
                glEnd();
            }
        }
        glEndList();
        glDeleteLists(list, 1);
    }
    state.SetItemsProcessed(state.iterations() * corners(model));
}

}  // namespace

BENCHMARK(Md3Load)->Apply(models)->Unit(benchmark::kMillisecond);
BENCHMARK(Md3FileFloor)->Apply(models)->Unit(benchmark::kMillisecond);
BENCHMARK(AssimpMd3)->Apply(models)->Unit(benchmark::kMillisecond);
BENCHMARK(Md3DrawSurfaces)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareImmediateCalls)->Unit(benchmark::kMillisecond)->UseRealTime();

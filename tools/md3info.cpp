// md3info: what the viewer makes of MD3 files. For each file, "FILE: ok"
// and what it holds, or "FILE: refused: REASON" with the loader's reason.
// Exit status 0 when every file loads, 1 when any is refused, 2 on a usage
// error. `md3info --resolve ARGS...` takes the viewer's arguments and prints
// what the viewer would load, one tab-separated record a line: 0 when every
// piece loads, 1 otherwise.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "md3.h"
#include "model_resolve.h"

namespace {

// A name field, which may fill its field without a NUL.
void print_name(const char *field, size_t size) {
    std::printf("%.*s", int(strnlen(field, size)), field);
}

void print_model(const Md3Model &model) {
    const Md3Header &header = model.header;
    std::printf("  %d frames, %d tags", header.num_frames, header.num_tags);
    for (int32_t i = 0; i < header.num_tags; ++i) {
        std::printf(i == 0 ? ": " : ", ");
        print_name(model.tags[i].name, sizeof model.tags[i].name);
    }
    std::printf("\n  %d surfaces\n", header.num_surfaces);
    for (int32_t i = 0; i < header.num_surfaces; ++i) {
        const Md3SurfaceHeader &surface = model.surfaces[i].header;
        std::printf("  surface %d \"", i);
        print_name(surface.name, sizeof surface.name);
        std::printf("\": %d frames, %d vertices, %d triangles, %d shaders\n", surface.num_frames,
                    surface.num_verts, surface.num_triangles, surface.num_shaders);
    }
}

int resolve(int argc, char **argv) {
    ModelArgs args;
    char reason[resolve_reason_size] = "";
    if (!ModelArgs_Parse(std::vector<std::string>(argv, argv + argc), &args, reason)) {
        std::fprintf(stderr, "md3info --resolve: %s\n", reason);
        return 2;
    }
    GameFiles files = {};
    ResolvedModel model;
    int ok = Model_Resolve(args, &files, &model, reason);
    for (const std::string &line : Model_ResolveLines(model, args))
        std::printf("%s\n", line.c_str());
    if (!ok)
        std::fprintf(stderr, "md3info --resolve: %s\n", reason);
    GameFiles_Close(&files);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--resolve") == 0)
        return resolve(argc - 2, argv + 2);
    if (argc < 2) {
        std::fprintf(stderr, "usage: md3info FILE.md3...\n       md3info --resolve GAME [MODEL] [--skin NAME] "
                             "[--weapon NAME|none] [--legs ANIM] [--torso ANIM] [--time SECONDS]\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        Md3Model model = {};
        char reason[md3_reason_size] = "";
        if (MD3_Load(argv[i], &model, reason)) {
            std::printf("%s: ok\n", argv[i]);
            print_model(model);
        } else {
            std::printf("%s: refused: %s\n", argv[i], reason);
            status = 1;
        }
        MD3_Free(&model);
    }
    return status;
}

// Writes the seed corpora of the fuzz targets:
// make_seeds MD3_DIR TGA_DIR [CONVERT_DIR]
#include <cstdio>
#include <string>

#include "seeds.h"
#include "tools/md3_writer.h"

namespace {

int save_all(const std::string &dir, const std::vector<FuzzSeed> &seeds) {
    int failed = 0;
    for (const FuzzSeed &seed : seeds)
        failed += !Md3Writer_Save((dir + "/" + seed.name).c_str(), seed.bytes);
    return failed;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_seeds MD3_DIR TGA_DIR [CONVERT_DIR]\n");
        return 2;
    }
    int failed = save_all(argv[1], FuzzSeeds_Md3()) + save_all(argv[2], FuzzSeeds_Tga());
    if (argc == 4)
        failed += save_all(argv[3], FuzzSeeds_TgaConvert());
    if (failed)
        std::fprintf(stderr, "make_seeds: %d files not written\n", failed);
    return failed ? 1 : 0;
}

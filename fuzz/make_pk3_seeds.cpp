// Writes fuzz_pk3's seed corpus: make_pk3_seeds DIR
#include <cstdio>
#include <string>

#include "pk3_seeds.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pk3_seeds DIR\n");
        return 2;
    }
    int failed = 0;
    for (const Pk3Seed &seed : Pk3Seeds_All()) {
        std::string path = std::string(argv[1]) + "/" + seed.name;
        FILE *file = std::fopen(path.c_str(), "wb");
        bool written = file && std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file) == seed.bytes.size();
        if (file && std::fclose(file) != 0)
            written = false;
        failed += !written;
    }
    if (failed)
        std::fprintf(stderr, "make_pk3_seeds: %d files not written\n", failed);
    return failed ? 1 : 0;
}

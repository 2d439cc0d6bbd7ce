// Seed inputs for the fuzz targets, made with the project's own writers:
// small MD3 and TGA files, each showing one feature the readers handle
// (gaps between arrays, several surfaces, tags, every pixel depth, a short
// file). The host tests replay them too, with the result each must give.
#ifndef FUZZ_SEEDS_H
#define FUZZ_SEEDS_H

#include <cstdint>
#include <string>
#include <vector>

struct FuzzSeed {
    std::string name;
    std::vector<uint8_t> bytes;
    int accepted;   // what the reader must return for it
};

std::vector<FuzzSeed> FuzzSeeds_Md3();
std::vector<FuzzSeed> FuzzSeeds_Tga();

// Hand-made files in the forms that only the converter reads (run-length
// packets across rows, colour maps, 15/16-bit pixels, every origin, an ID
// and a footer); `accepted` says whether the converter takes them.
std::vector<FuzzSeed> FuzzSeeds_TgaConvert();

#endif

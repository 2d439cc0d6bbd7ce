// Seed archives for fuzz_pk3, made with pk3_writer: stored and deflated
// members, an empty member, a folder entry, several members. The host tests
// replay them too, with the members each must give.
#ifndef FUZZ_PK3_SEEDS_H
#define FUZZ_PK3_SEEDS_H

#include <cstdint>
#include <string>
#include <vector>

struct Pk3Seed {
    std::string name;
    std::vector<uint8_t> bytes;
    int members_read;   // members that must read
};

std::vector<Pk3Seed> Pk3Seeds_All();

#endif

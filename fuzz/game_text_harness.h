// One fuzz input through the three game text readers: the same bytes as a
// skin, a shader script and an animation config, then checks that what
// each kept holds together and that the lookups and the timing stay inside
// it. Shared by the libFuzzer target and the host test's replays.
#ifndef FUZZ_GAME_TEXT_HARNESS_H
#define FUZZ_GAME_TEXT_HARNESS_H

#include <cstddef>
#include <cstdint>

struct GameTextHarnessResult {
    int skin;            // what each reader returned: 1 read cleanly
    int shaders;
    int anim;
    const char *fault;   // null, or what was wrong with a reader's result
};

GameTextHarnessResult GameTextHarness_Run(const uint8_t *data, size_t size);

#endif

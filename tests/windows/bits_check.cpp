// The model core's results that are fixed to the bit, in the Windows build:
// the normal table, the rotations and the blends between frames, against
// the values the host's unit tests pin (bits_cases.h). Run under Wine; exit
// code 0 when every check holds, each failing one printed.
#include <cstdio>
#include <string>

#include "bits_cases.h"

int main() {
    if (!BitsCases_FillNormalTable()) {
        std::printf("FAIL: an empty model does not load, so the normal table stays empty\n");
        return 1;
    }
    const struct {
        const char *name;
        std::string (*check)();
    } checks[] = {{"normal table", BitsCases_CheckNormalTable},
                  {"rotations", BitsCases_CheckRotations},
                  {"blends", BitsCases_CheckBlends}};
    int failures = 0;
    for (const auto &check : checks) {
        const std::string fault = check.check();
        std::printf("%s: %s%s\n", check.name, fault.empty() ? "ok" : "FAIL: ", fault.c_str());
        failures += !fault.empty();
    }
    return failures ? 1 : 0;
}

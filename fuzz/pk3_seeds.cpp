#include "pk3_seeds.h"

#include "pk3_writer.h"

namespace {

std::vector<uint8_t> text(const std::string &s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

Pk3Seed seed(const char *name, const std::vector<Pk3WriterMember> &members) {
    Pk3Seed made = {name, {}, int(members.size())};
    Pk3Writer_Zip(members, &made.bytes);
    return made;
}

}  // namespace

std::vector<Pk3Seed> Pk3Seeds_All() {
    std::vector<uint8_t> repeated(600);
    for (size_t i = 0; i < repeated.size(); ++i)
        repeated[i] = uint8_t("tag_torso"[i % 9]);
    return {
        seed("stored.pk3", {{"scripts/a.shader", text("textures/a\n{\n\tmap a.tga\n}\n"), 0}}),
        seed("deflated.pk3", {{"models/players/x/lower.md3", repeated, 1}}),
        seed("several.pk3", {{"models/players/x/", {}, 0},
                             {"models/players/x/lower_default.skin", text("l_legs,models/players/x/x.tga\n"), 1},
                             {"models/players/x/empty.cfg", {}, 1},
                             {"Models\\Players\\X\\head.md3", repeated, 0}}),
        seed("empty.pk3", {}),
    };
}

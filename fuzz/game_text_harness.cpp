#include "game_text_harness.h"

#include <string>

#include "anim_config.h"
#include "shader.h"
#include "skin.h"

namespace {

// The lookups scan every entry, so only the first ones are looked up: a
// 64 KiB input can hold thousands.
const size_t entries_looked_up = 64;

const char *check_skin(const Skin &skin) {
    for (const SkinEntry &entry : skin.entries) {
        if (entry.surface.empty() || entry.surface.size() > game_text_max_name)
            return "skin entry with no surface name or an overlong one";
        if (size_t(&entry - skin.entries.data()) >= entries_looked_up)
            continue;
        const SkinEntry *found = Skin_Find(&skin, entry.surface.c_str());
        if (!found || found > &entry || !TextScan_Equal(found->surface.c_str(), entry.surface.c_str()))
            return "Skin_Find misses a surface's first line";
    }
    return nullptr;
}

const char *check_shaders(const ShaderSet &set) {
    for (const Shader &shader : set.shaders) {
        if (shader.stages.size() > shader_max_stages)
            return "shader with too many stages";
        if (size_t(&shader - set.shaders.data()) < entries_looked_up) {
            const Shader *found = Shader_Find(&set, shader.name.c_str());
            if (!found || found > &shader)
                return "Shader_Find misses a shader's first definition";
        }
        for (const ShaderStage &stage : shader.stages) {
            size_t images = stage.images.size();
            if (stage.map == SHADER_MAP_ANIMATED ? images < 1 || images > shader_max_anim_images
                                                 : stage.map != SHADER_MAP_NONE && images != 1)
                return "stage whose images do not match its map";
        }
    }
    return nullptr;
}

const char *check_anim(const AnimConfig &config) {
    if (config.rows_read < 0 || config.rows_read > anim_count)
        return "rows read outside 0..25";
    const double times[] = {0, 0.01, 0.5, 1.7, 33.3, 1e9};
    for (const AnimRow &row : config.rows) {
        if (row.first < 0 || row.count < 0 || row.looping < 0 || row.first > anim_max_frames ||
            row.count > anim_max_frames || row.looping > anim_max_frames || row.fps > anim_max_fps)
            return "row outside its limits";
        int last = row.count > 0 ? row.first + row.count - 1 : row.first;
        for (double t : times) {
            AnimFrame shown = Anim_FrameAt(&row, t);
            if (shown.frame < row.first || shown.frame > last || shown.next < row.first || shown.next > last ||
                !(shown.fraction >= 0 && shown.fraction < 1))
                return "Anim_FrameAt outside the row";
        }
    }
    return nullptr;
}

}  // namespace

GameTextHarnessResult GameTextHarness_Run(const uint8_t *data, size_t size) {
    GameTextHarnessResult result = {0, 0, 0, nullptr};
    const char *text = reinterpret_cast<const char *>(data);
    char reason[game_text_reason_size];

    Skin skin;
    result.skin = Skin_Parse(text, size, &skin, reason);
    result.fault = check_skin(skin);
    // The bytes as a file name too, up to their first NUL.
    std::string name(text, size);
    std::string piece, skin_name;
    if (Skin_SplitFileName(name.c_str(), &piece, &skin_name, reason) && (piece.empty() || skin_name.empty()))
        result.fault = "Skin_SplitFileName gave an empty part";

    ShaderSet set;
    result.shaders = Shader_ParseFile(text, size, "fuzz.shader", &set, reason);
    if (!result.fault)
        result.fault = check_shaders(set);
    std::string bare = Shader_NameWithoutExtension(name.c_str());
    if (bare.size() > name.size())
        result.fault = "Shader_NameWithoutExtension grew the name";

    AnimConfig config;
    result.anim = AnimConfig_Parse(text, size, &config, reason);
    if (!result.fault)
        result.fault = check_anim(config);
    return result;
}

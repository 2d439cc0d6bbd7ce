// The test game folder that make_game writes, read through the game data
// readers; the colours are the ones make_game.cpp's top comment lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "anim_config.h"
#include "game_files.h"
#include "image.h"
#include "md3.h"
#include "shader.h"
#include "skin.h"

namespace {

const std::string player = "models/players/testman/";

class SamplesGame : public ::testing::Test {
protected:
    void SetUp() override {
        char reason[pk3_reason_size] = "";
        ASSERT_EQ(GameFiles_Open(MD3V_GAME_SAMPLE_DIR, &files, reason), 1) << reason;
    }
    void TearDown() override { GameFiles_Close(&files); }
    std::vector<uint8_t> read(const std::string &path) {
        std::vector<uint8_t> bytes;
        char reason[pk3_reason_size] = "";
        EXPECT_EQ(GameFiles_Read(files, path, 1 << 20, &bytes, reason), 1) << path << ": " << reason;
        return bytes;
    }
    Skin skin(const std::string &path) {
        std::vector<uint8_t> bytes = read(path);
        Skin parsed;
        char reason[game_text_reason_size] = "";
        EXPECT_EQ(Skin_Parse(reinterpret_cast<const char *>(bytes.data()), bytes.size(), &parsed, reason), 1) << path;
        return parsed;
    }
    // A model's surface names, their shader records, its tags and frames.
    struct Piece { std::vector<std::string> surfaces, records, tags; int frames; };
    Piece piece(const std::string &path) {
        std::vector<uint8_t> bytes = read(path);
        Md3Model model = {};
        char reason[md3_reason_size] = "";
        Piece piece = {{}, {}, {}, 0};
        EXPECT_EQ(MD3_Read(bytes.data(), bytes.size(), &model, reason), 1) << path << ": " << reason;
        for (int s = 0; s < model.header.num_surfaces; ++s) {
            piece.surfaces.push_back(model.surfaces[s].header.name);
            piece.records.push_back(model.surfaces[s].shaders[0].name);
        }
        for (int t = 0; t < model.header.num_tags; ++t)
            piece.tags.push_back(model.tags[t].name);
        piece.frames = model.header.num_frames;
        MD3_Free(&model);
        return piece;
    }
    ShaderSet shaders() {
        std::vector<uint8_t> script = read("scripts/testman.shader");
        ShaderSet set;
        char reason[game_text_reason_size] = "";
        EXPECT_EQ(Shader_ParseFile(reinterpret_cast<const char *>(script.data()), script.size(), "testman.shader",
                                   &set, reason), 1) << reason;
        return set;
    }
    GameFiles files = {};
};

TEST_F(SamplesGame, LooseFilesThenTheLastArchiveWin) {
    EXPECT_TRUE(files.refused.empty());
    EXPECT_EQ(files.archive_names, (std::vector<std::string>{"pak1.pk3", "pak0.pk3"}));
    EXPECT_EQ(GameFiles_PlayerModels(files), std::vector<std::string>{"testman"});
    for (const char *name : {"legs.tga", "head_red.skin", "head_blue.skin"}) {
        const GameFilesRef *ref = GameFiles_Find(files, player + name);
        ASSERT_TRUE(ref);
        EXPECT_EQ(GameFiles_SourceName(files, *ref),
                  name[0] == 'l' ? "pak1.pk3" : name[5] == 'r' ? game_files_folder_source : "pak0.pk3");
    }
    for (const SkinEntry &entry : skin(player + "head_red.skin").entries)
        EXPECT_EQ(entry.image, player + "testman_red.tga");   // pak0's names stale.tga
}

// Every skin parses, names only its piece's surfaces, and each image it
// names is found or is a shader; only head_default leaves h_crest (null)
// and h_ears (no line) without one, and lower_blue hides l_fin.
TEST_F(SamplesGame, SkinsCoverThePiecesSurfaces) {
    ShaderSet set = shaders();
    char reason[game_text_reason_size] = "";
    std::vector<std::string> skins = GameFiles_List(files, player, ".skin");
    ASSERT_EQ(skins.size(), 9u);
    int missing = 0;
    for (const std::string &path : skins) {
        std::string piece_name, name;
        ASSERT_EQ(Skin_SplitFileName(path.c_str(), &piece_name, &name, reason), 1) << reason;
        std::vector<std::string> names = piece(player + piece_name + ".md3").surfaces;
        Skin parsed = skin(path);
        for (const SkinEntry &entry : parsed.entries)
            EXPECT_NE(std::find(names.begin(), names.end(), entry.surface), names.end()) << path;
        for (const std::string &surface : names) {
            const SkinEntry *entry = Skin_Find(&parsed, surface.c_str());
            if (entry && entry->image.empty()) {
                EXPECT_EQ(path + " " + surface, player + "lower_blue.skin l_fin");
            } else if (!entry || entry->image == "null") {
                ++missing;
                EXPECT_EQ(path, player + "head_default.skin") << surface;
                EXPECT_EQ(surface, entry ? "h_crest" : "h_ears");
            } else if (!Shader_Find(&set, Shader_NameWithoutExtension(entry->image.c_str()).c_str())) {
                std::vector<std::string> tried = Image_NamesToTry(entry->image);
                EXPECT_TRUE(std::any_of(tried.begin(), tried.end(), [&](const std::string &name) {
                    return GameFiles_Find(files, name) != nullptr; })) << path << ": " << entry->image;
            }
        }
    }
    EXPECT_EQ(missing, 2);
    // helmet.tga is there only as helmet.jpg.
    EXPECT_TRUE(!GameFiles_Find(files, player + "helmet.tga") && GameFiles_Find(files, player + "helmet.jpg"));
    const char *weapon = "models/weapons2/machinegun/machinegun";
    for (const char *suffix : {".md3", "_barrel.md3"}) {
        Piece model = piece(weapon + std::string(suffix));
        ASSERT_EQ(model.records.size(), 1u);
        EXPECT_TRUE(GameFiles_Find(files, model.records[0])) << model.records[0];
        EXPECT_EQ(model.tags.size(), std::string(suffix) == ".md3" ? 1u : 0u);   // tag_barrel
    }
}

TEST_F(SamplesGame, ShaderScriptHoldsTheStagesChecked) {
    ShaderSet set = shaders();
    ASSERT_EQ(set.shaders.size(), 4u);
    auto find = [&](const char *name) { return Shader_Find(&set, (player + name).c_str()); };
    const Shader *chest = find("chest"), *arms = find("arms_env"), *fin = find("fin"), *hair = find("hair");
    ASSERT_TRUE(chest && arms && fin && hair);
    ASSERT_EQ(chest->stages.size(), 2u);
    EXPECT_EQ(chest->stages[0].images, std::vector<std::string>{player + "red.tga"});
    EXPECT_EQ(chest->stages[1].images, std::vector<std::string>{player + "green.tga"});
    EXPECT_TRUE(chest->stages[1].blend && chest->stages[1].blend_src == SHADER_BLEND_ONE &&
                chest->stages[1].blend_dst == SHADER_BLEND_ONE);
    EXPECT_EQ(arms->stages.at(0).tc_gen, SHADER_TC_ENVIRONMENT);
    EXPECT_EQ(arms->ignored, std::vector<std::string>{"deformVertexes"});
    EXPECT_EQ(fin->cull, SHADER_CULL_NONE);
    EXPECT_EQ(hair->stages.at(0).alpha_func, SHADER_ALPHA_GE128);
}

TEST_F(SamplesGame, AnimationRowsFitThePieces) {
    std::vector<uint8_t> text = read(player + "animation.cfg");
    AnimConfig config;
    char reason[game_text_reason_size] = "";
    ASSERT_EQ(AnimConfig_Parse(reinterpret_cast<const char *>(text.data()), text.size(), &config, reason), 1)
        << reason;
    EXPECT_TRUE(config.rows_read == anim_count && config.sex == 'm' && config.footsteps == "boot");
    // 60 in the file, lowered by LEGS_WALKCR's 30 less TORSO_GESTURE's 6.
    EXPECT_EQ(config.rows[ANIM_LEGS_IDLE].first, 36);
    Piece torso = piece(player + "upper.md3");
    int lower = piece(player + "lower.md3").frames, upper = torso.frames;
    EXPECT_EQ(torso.tags, (std::vector<std::string>{"tag_head", "tag_weapon"}));
    for (int id = 0; id < anim_count; ++id) {
        const AnimRow &row = config.rows[id];
        int end = row.first + row.count;
        if (id <= ANIM_BOTH_DEAD3)
            EXPECT_LE(end, std::min(lower, upper)) << anim_names[id];
        else if (id <= ANIM_TORSO_STAND2)
            EXPECT_LE(end, upper) << anim_names[id];
        else
            EXPECT_TRUE(row.first >= config.rows[ANIM_BOTH_DEAD3].first + 1 && end <= lower) << anim_names[id];
    }
}

// Each image decodes, and its first pixel (bottom left; for hair.tga the
// next stripe too) is the colour listed, the JPEG's within a few levels.
TEST_F(SamplesGame, EveryImageDecodesToItsColour) {
    struct Expected { const char *path; int x, rgba[4], tolerance; } const expected[] = {
        {"legs.tga", 0, {96, 128, 48, 255}, 0}, {"fin.tga", 0, {255, 128, 0, 255}, 0},
        {"red.tga", 0, {255, 0, 0, 255}, 0}, {"green.tga", 0, {0, 255, 0, 255}, 0},
        {"env.tga", 0, {192, 192, 192, 255}, 0}, {"hair.tga", 0, {139, 69, 19, 255}, 0},
        {"hair.tga", 8, {0, 255, 255, 0}, 0}, {"helmet.jpg", 0, {224, 224, 224, 255}, 4},
        {"visor.png", 0, {96, 0, 160, 255}, 0}, {"testman_red.tga", 0, {200, 20, 20, 255}, 0},
        {"testman_blue.png", 0, {20, 40, 220, 255}, 0}, {"stale.tga", 0, {100, 100, 100, 255}, 0},
        {"models/weapons2/machinegun/machinegun.tga", 0, {60, 90, 140, 255}, 0},
        {"models/weapons2/machinegun/machinegun_barrel.tga", 0, {160, 160, 40, 255}, 0}};
    EXPECT_EQ(GameFiles_List(files, "", ".tga").size() + GameFiles_List(files, "", ".jpg").size() +
              GameFiles_List(files, "", ".png").size(), 13u);   // all of them below
    for (const Expected &e : expected) {
        std::string path = std::string(e.path).find('/') != std::string::npos ? e.path : player + e.path;
        std::vector<uint8_t> bytes = read(path);
        ImageTga tga = {nullptr, 0};
        char reason[tga_reason_size] = "";
        ASSERT_EQ(Image_Decode(bytes.data(), bytes.size(), path.c_str(), &tga, reason), 1) << path << ": " << reason;
        int channels = tga.bytes[16] / 8;
        const uint8_t *pixel = tga.bytes + 18 + tga.bytes[0] + e.x * channels;
        const int rgba[4] = {pixel[2], pixel[1], pixel[0], channels == 4 ? pixel[3] : 255};
        for (int c = 0; c < 4; ++c)
            EXPECT_LE(std::abs(rgba[c] - e.rgba[c]), e.tolerance) << path << " channel " << c;
        std::free(tga.bytes);
    }
}

}  // namespace

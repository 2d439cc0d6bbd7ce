// The text readers on texts written here, and the animation timing against
// frames worked out by hand from its rule.
#include <string>

#include <gtest/gtest.h>

#include "anim_config.h"
#include "shader.h"
#include "skin.h"

namespace {

// The readers take sized bytes: each text is passed with junk after its
// end, which they must not read.
std::string with_junk(const std::string &text) {
    return text + "\nx,junk { } 9 9 9 9";
}

int parse_skin(const std::string &text, Skin *skin, char *reason) {
    std::string bytes = with_junk(text);
    return Skin_Parse(bytes.data(), text.size(), skin, reason);
}

int parse_shaders(const std::string &text, const char *file, ShaderSet *set, char *reason) {
    std::string bytes = with_junk(text);
    return Shader_ParseFile(bytes.data(), text.size(), file, set, reason);
}

int parse_anim(const std::string &text, AnimConfig *config, char *reason) {
    std::string bytes = with_junk(text);
    return AnimConfig_Parse(bytes.data(), text.size(), config, reason);
}

void expect_frame(const AnimRow &row, double seconds, int frame, int next, double fraction) {
    AnimFrame shown = Anim_FrameAt(&row, seconds);
    EXPECT_EQ(shown.frame, frame) << "t = " << seconds;
    EXPECT_EQ(shown.next, next) << "t = " << seconds;
    EXPECT_DOUBLE_EQ(shown.fraction, fraction) << "t = " << seconds;
}

}  // namespace

TEST(Skin, LinesAreTrimmedTagsIgnoredAndEmptyImagesKept) {
    Skin skin;
    char reason[game_text_reason_size] = "stale";
    ASSERT_EQ(parse_skin("u_Torso , models/a.tga\r\n\r\n  \ntag_head,\r\ntag_weapon\r\nu_cape,null\n"
                         "u_belt,\r\nh_Hair,models/b.tga",
                         &skin, reason),
              1);
    EXPECT_STREQ(reason, "");
    ASSERT_EQ(skin.entries.size(), 4u);
    EXPECT_EQ(skin.entries[0].surface, "u_Torso");
    EXPECT_EQ(skin.entries[0].image, "models/a.tga");
    EXPECT_EQ(skin.entries[1].image, "null");
    EXPECT_EQ(skin.entries[2].image, "");
    EXPECT_EQ(skin.entries[3].image, "models/b.tga");   // last line without its line end
    EXPECT_EQ(skin.entries[3].line, 8);
    ASSERT_NE(Skin_Find(&skin, "U_TORSO"), nullptr);
    EXPECT_EQ(Skin_Find(&skin, "U_TORSO")->image, "models/a.tga");
    EXPECT_EQ(Skin_Find(&skin, "h_hair"), &skin.entries[3]);
    EXPECT_EQ(Skin_Find(&skin, "tag_head"), nullptr);
    EXPECT_EQ(Skin_Find(&skin, "u_tors"), nullptr);
}

TEST(Skin, FaultyLinesAreLeftOutWithTheirLine) {
    Skin skin;
    char reason[game_text_reason_size];
    EXPECT_EQ(parse_skin("a,x.tga\nno comma here\n ,y.tga\nb,z.tga\n", &skin, reason), 0);
    EXPECT_STREQ(reason, "line 2: no comma between surface and image");
    ASSERT_EQ(skin.faults.list.size(), 2u);
    EXPECT_EQ(skin.faults.list[1], "line 3: no surface name");
    ASSERT_EQ(skin.entries.size(), 2u);
    EXPECT_EQ(skin.entries[1].surface, "b");
    EXPECT_EQ(parse_skin("a," + std::string(game_text_max_name + 1, 'i'), &skin, reason), 0);
    EXPECT_TRUE(skin.entries.empty());
}

TEST(Skin, FileNamesSplitIntoPieceAndSkin) {
    std::string piece, name;
    char reason[game_text_reason_size];
    ASSERT_EQ(Skin_SplitFileName("upper_red.skin", &piece, &name, reason), 1);
    EXPECT_EQ(piece + "|" + name, "upper|red");
    ASSERT_EQ(Skin_SplitFileName("models/players/x_y\\head_blue_team.SKIN", &piece, &name, reason), 1);
    EXPECT_EQ(piece + "|" + name, "head|blue_team");
    for (const char *bad : {"flag.skin", "_red.skin", "upper_.skin", "upper_red.tga", ".skin", ""})
        EXPECT_EQ(Skin_SplitFileName(bad, &piece, &name, reason), 0) << bad;
    EXPECT_STREQ(reason, " is not a .skin file");
}

const char *const script =
    "// player shaders\n"
    "models/players/a/skin\n"
    "{\n"
    "\tCULL Disable  /* both sides */\n"
    "\tdeformVertexes wave 100 sin 0 1 0 1\n"
    "\t{ map $lightmap\n"
    "\t\ttcGen lightmap }\n"
    "\t{\n"
    "\t\tclampMap Models/A/Skin.TGA\n"
    "\t\tblendFunc GL_one_minus_dst_color GL_SRC_ALPHA_SATURATE\n"
    "\t\talphaFunc ge128\n"
    "\t\tdepthWrite\n"
    "\t\trgbGen const ( 0.5 1 0.25 )\n"
    "\t\ttcGen environment\n"
    "\t\ttcMod rotate -30\n"
    "\t\ttcMod scroll 0.5 -1\n"
    "\t\ttcMod turb 0 0.25 0.5 2\n"
    "\t\ttcMod scale 2 3\n"
    "\t\talphaGen lightingSpecular\n"
    "\t}\n"
    "}\n"
    "models/players/a/glow { cull back\n"
    "  { animMap 2.5 a.tga b.tga c.tga\n blendfunc add\n rgbGen wave inverseSawtooth 0.25 0.5 0 4 }\n"
    "  { map $whiteimage\n blendFunc filter\n rgbGen lightingDiffuse }\n"
    "  { map x.tga\n blendFunc blend\n rgbGen wave noise 0 1 0 1 }\n"
    "}\n"
    "\"models/players/a/plain\" {\n}\n";

TEST(Shader, EveryKeptKeywordIsRead) {
    ShaderSet set;
    char reason[game_text_reason_size] = "stale";
    ASSERT_EQ(parse_shaders(script, "scripts/a.shader", &set, reason), 1) << reason;
    EXPECT_STREQ(reason, "");
    ASSERT_EQ(set.shaders.size(), 3u);
    const Shader &skin = set.shaders[0];
    EXPECT_EQ(skin.name, "models/players/a/skin");
    EXPECT_EQ(skin.file, "scripts/a.shader");
    EXPECT_EQ(skin.line, 2);
    EXPECT_EQ(skin.cull, SHADER_CULL_NONE);
    EXPECT_EQ(skin.ignored, std::vector<std::string>{"deformVertexes"});
    ASSERT_EQ(skin.stages.size(), 2u);
    EXPECT_EQ(skin.stages[0].map, SHADER_MAP_LIGHTMAP);
    EXPECT_EQ(skin.stages[0].ignored, std::vector<std::string>{"tcGen lightmap"});
    const ShaderStage &stage = skin.stages[1];
    EXPECT_EQ(stage.line, 8);
    EXPECT_EQ(stage.map, SHADER_MAP_IMAGE);
    EXPECT_EQ(stage.images, std::vector<std::string>{"Models/A/Skin.TGA"});
    EXPECT_EQ(stage.clamp, 1);
    EXPECT_EQ(stage.blend, 1);
    EXPECT_EQ(stage.blend_src, SHADER_BLEND_ONE_MINUS_DST_COLOR);
    EXPECT_EQ(stage.blend_dst, SHADER_BLEND_SRC_ALPHA_SATURATE);
    EXPECT_EQ(stage.alpha_func, SHADER_ALPHA_GE128);
    EXPECT_EQ(stage.depth_write, 1);
    EXPECT_EQ(stage.rgb_gen, SHADER_RGB_CONST);
    EXPECT_EQ(stage.rgb_const[0], 0.5);
    EXPECT_EQ(stage.rgb_const[2], 0.25);
    EXPECT_EQ(stage.tc_gen, SHADER_TC_ENVIRONMENT);
    ASSERT_EQ(stage.tc_mods.size(), 4u);
    EXPECT_EQ(stage.tc_mods[0].kind, SHADER_TCMOD_ROTATE);
    EXPECT_EQ(stage.tc_mods[0].s, -30);
    EXPECT_EQ(stage.tc_mods[1].kind, SHADER_TCMOD_SCROLL);
    EXPECT_EQ(stage.tc_mods[1].t, -1);
    EXPECT_EQ(stage.tc_mods[2].kind, SHADER_TCMOD_TURB);
    EXPECT_EQ(stage.tc_mods[2].turb.amplitude, 0.25);
    EXPECT_EQ(stage.tc_mods[2].turb.frequency, 2);
    EXPECT_EQ(stage.tc_mods[3].kind, SHADER_TCMOD_SCALE);
    EXPECT_EQ(stage.tc_mods[3].t, 3);
    EXPECT_EQ(stage.ignored, std::vector<std::string>{"alphaGen"});

    const Shader &glow = set.shaders[1];
    EXPECT_EQ(glow.cull, SHADER_CULL_BACK);
    ASSERT_EQ(glow.stages.size(), 3u);
    EXPECT_EQ(glow.stages[0].map, SHADER_MAP_ANIMATED);
    EXPECT_EQ(glow.stages[0].anim_frequency, 2.5);
    EXPECT_EQ(glow.stages[0].images, (std::vector<std::string>{"a.tga", "b.tga", "c.tga"}));
    EXPECT_EQ(glow.stages[0].blend_src, SHADER_BLEND_ONE);
    EXPECT_EQ(glow.stages[0].blend_dst, SHADER_BLEND_ONE);
    EXPECT_EQ(glow.stages[0].rgb_gen, SHADER_RGB_WAVE);
    EXPECT_EQ(glow.stages[0].rgb_wave.func, SHADER_WAVE_INVERSE_SAWTOOTH);
    EXPECT_EQ(glow.stages[0].rgb_wave.base, 0.25);
    EXPECT_EQ(glow.stages[0].rgb_wave.frequency, 4);
    EXPECT_EQ(glow.stages[1].map, SHADER_MAP_WHITE);
    EXPECT_EQ(glow.stages[1].blend_src, SHADER_BLEND_DST_COLOR);
    EXPECT_EQ(glow.stages[1].blend_dst, SHADER_BLEND_ZERO);
    EXPECT_EQ(glow.stages[1].rgb_gen, SHADER_RGB_LIGHTING_DIFFUSE);
    EXPECT_EQ(glow.stages[2].blend_src, SHADER_BLEND_SRC_ALPHA);
    EXPECT_EQ(glow.stages[2].blend_dst, SHADER_BLEND_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(glow.stages[2].rgb_gen, SHADER_RGB_DEFAULT);
    EXPECT_EQ(glow.stages[2].ignored, std::vector<std::string>{"rgbGen wave noise"});
    EXPECT_EQ(set.shaders[2].name, "models/players/a/plain");
    EXPECT_EQ(set.shaders[2].cull, SHADER_CULL_FRONT);
    EXPECT_TRUE(set.shaders[2].stages.empty());
}

// Each broken shader sits between two good ones: it alone is left out,
// with a fault naming it and its line.
TEST(Shader, BrokenShadersAreSkippedWithTheirNameAndLine) {
    const struct {
        const char *broken;
        const char *fault;
    } cases[] = {
        {"bad\n{\n { map\n }\n}\n", "f: shader bad line 4: map lacks an argument"},
        {"bad\n{\n { blendFunc GL_ONE }\n}\n", "f: shader bad line 4: blendFunc GL_ONE lacks its second factor"},
        {"bad\n{\n { blendFunc GL_ONE GL_TWO }\n}\n", "f: shader bad line 4: blendFunc: unknown factor GL_TWO"},
        {"bad\n{\n\n { tcMod scroll 1 fast\n }\n}\n", "f: shader bad line 5: tcMod scroll: fast where a number belongs"},
        {"bad\n{\n { rgbGen const ( 1 1 ) }\n}\n", "f: shader bad line 4: rgbGen const: ) where a number belongs"},
        {"bad\n{\n { animMap 1 a b c d e f g h i }\n}\n", "f: shader bad line 4: animMap with more than 8 images"},
        {"bad\n{\n { { map a } }\n}\n", "f: shader bad line 4: a block inside a stage"},
        {"bad\n{\n cull sideways\n}\n", "f: shader bad line 4: cull sideways is not front, back, none, disable or twosided"},
        {"bad\n{\n { alphaFunc GT128 }\n}\n", "f: shader bad line 4: alphaFunc GT128 is not GT0, LT128 or GE128"},
        {"bad\n}\n", "f: shader bad line 3: } where { belongs"},
    };
    for (const auto &test : cases) {
        ShaderSet set;
        char reason[game_text_reason_size];
        std::string text = std::string("first { { map a.tga } }\n") + test.broken + "last\n{\n}\n";
        EXPECT_EQ(parse_shaders(text, "f", &set, reason), 0) << test.broken;
        EXPECT_STREQ(reason, test.fault);
        EXPECT_EQ(set.faults.list.size(), 1u) << test.broken;
        ASSERT_EQ(set.shaders.size(), 2u) << test.broken;
        EXPECT_EQ(set.shaders[0].name, "first");
        EXPECT_EQ(set.shaders.back().name, "last");
    }
}

TEST(Shader, TextEndingEarlyKeepsWhatCameBefore) {
    const struct {
        const char *tail;
        const char *fault;
    } cases[] = {
        {"bad {\n { map a.tga\n", "f: shader bad line 3: the text ends inside a stage"},
        {"bad {\n cull none\n", "f: shader bad line 2: the text ends inside the shader"},
        {"\nbad", "f: shader bad line 3: the text ends after the name"},
        {"bad { /* never closed\n}\n", "f: shader bad line 2: comment not closed"},
        {"/* never closed\nbad { }\n", "f line 2: comment not closed"},
        {"}\n", "f line 2: } outside a shader"},
    };
    for (const auto &test : cases) {
        ShaderSet set;
        char reason[game_text_reason_size];
        EXPECT_EQ(parse_shaders(std::string("first { }\n") + test.tail, "f", &set, reason), 0) << test.tail;
        EXPECT_STREQ(reason, test.fault);
        ASSERT_EQ(set.shaders.size(), 1u) << test.tail;
        EXPECT_EQ(set.shaders[0].name, "first");
    }
}

TEST(Shader, TheFirstDefinitionReadIsFound) {
    ShaderSet set;
    char reason[game_text_reason_size];
    ASSERT_EQ(parse_shaders("Models/X\\Skin { cull none }\n", "first.shader", &set, reason), 1);
    ASSERT_EQ(parse_shaders("models/x/skin { }\nother { }\n", "second.shader", &set, reason), 1);
    ASSERT_EQ(set.shaders.size(), 3u);
    const Shader *found = Shader_Find(&set, "MODELS/x/skin");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->file, "first.shader");
    EXPECT_EQ(Shader_Find(&set, "other")->file, "second.shader");
    EXPECT_EQ(Shader_Find(&set, "models/x/ski"), nullptr);
    EXPECT_EQ(Shader_Find(&set, "models/x/skin.tga"), nullptr);
    EXPECT_EQ(Shader_NameWithoutExtension("models/x/skin.TGA"), "models/x/skin");
    EXPECT_EQ(Shader_NameWithoutExtension("a.jpg"), "a");
    EXPECT_EQ(Shader_NameWithoutExtension("a.png"), "a.png");
    EXPECT_EQ(Shader_NameWithoutExtension(".tga"), "");
}

TEST(AnimConfig, KeywordsAndRowsAreReadAndTheLegsLowered) {
    std::string text = "// config\r\nsex F\r\nheadoffset 1.5 0 -2\r\nfootsteps mech\r\nfixedlegs\r\n"
                       "fixedtorso\r\n";
    // Rows of first = 10 x row, count 5, looping 2, fps 20; TORSO_GESTURE
    // starts at 60 and LEGS_WALKCR at 130, so the legs' rows start 70
    // lower: LEGS_WALKCR 130 - 70 = 60, LEGS_TURN 240 - 70 = 170.
    for (int row = 0; row < anim_count; ++row)
        text += std::to_string(10 * row) + "\t5 2 20 // " + anim_names[row] + "\r\n";
    AnimConfig config;
    char reason[game_text_reason_size] = "stale";
    ASSERT_EQ(parse_anim(text, &config, reason), 1) << reason;
    EXPECT_STREQ(reason, "");
    EXPECT_EQ(config.sex, 'f');
    EXPECT_EQ(config.head_offset[0], 1.5);
    EXPECT_EQ(config.head_offset[2], -2);
    EXPECT_EQ(config.footsteps, "mech");
    EXPECT_EQ(config.fixed_legs, 1);
    EXPECT_EQ(config.fixed_torso, 1);
    EXPECT_EQ(config.rows_read, anim_count);
    EXPECT_EQ(config.rows[ANIM_BOTH_DEATH1].first, 0);
    EXPECT_EQ(config.rows[ANIM_TORSO_STAND2].first, 120);
    EXPECT_EQ(config.rows[ANIM_LEGS_WALKCR].first, 60);
    EXPECT_EQ(config.rows[ANIM_LEGS_TURN].first, 170);
    EXPECT_EQ(config.rows[ANIM_LEGS_TURN].count, 5);
    EXPECT_EQ(config.rows[ANIM_LEGS_TURN].looping, 2);
    EXPECT_EQ(config.rows[ANIM_LEGS_TURN].fps, 20);
    EXPECT_EQ(Anim_Find("legs_Idle"), ANIM_LEGS_IDLE);
    EXPECT_EQ(Anim_Find("BOTH_DEATH1"), 0);
    EXPECT_EQ(Anim_Find("LEGS_TURN"), 24);
    EXPECT_EQ(Anim_Find("LEGS_TURN2"), -1);
    EXPECT_STREQ(anim_names[ANIM_TORSO_STAND], "TORSO_STAND");
}

TEST(AnimConfig, FaultsAreReasonsAndFaultyRowsHoldFrameZero) {
    AnimConfig config;
    char reason[game_text_reason_size];
    EXPECT_EQ(parse_anim("sex m\n0 10 0 15\n5 1 0 15\n", &config, reason), 0);
    EXPECT_STREQ(reason, "2 rows of 25: BOTH_DEATH2 to LEGS_TURN hold frame 0");
    EXPECT_EQ(config.rows_read, 2);
    EXPECT_EQ(config.rows[1].first, 5);
    EXPECT_EQ(config.rows[2].count + config.rows[24].first + config.rows[24].fps, 0);

    const struct {
        const char *text;
        const char *fault;
    } cases[] = {
        {"sex x\n", "line 1: sex x is not m, f or n"},
        {"headoffset 1 two 3\n", "line 1: headoffset wants three numbers, not two"},
        {"jump 1\n", "line 1: unknown keyword jump"},
        {"0 10 0 15\n1 x 0 15\n", "line 2: x is not a frame number or count in row 2"},
        {"0 10 0 15\n1 -1 0 15\n", "line 2: -1 is not a frame number or count in row 2"},
        {"0 10 0 15\n1 100001 0 15\n", "line 2: 100001 is not a frame number or count in row 2"},
        {"0 10 0 15\n1 1 0 1001\n", "line 2: 1001 is not a rate in frames per second in row 2"},
        {"0 10 0 15\nfixedlegs\n", "line 2: fixedlegs where row 2's first frame belongs"},
        {"0 10 0 15 /* open\n", "line 1: comment not closed"},
    };
    for (const auto &test : cases) {
        EXPECT_EQ(parse_anim(test.text, &config, reason), 0) << test.text;
        EXPECT_STREQ(reason, test.fault);
        EXPECT_EQ(config.rows[1].count, 0) << test.text;
    }
    // A legs row that lowering would take below 0 holds frame 0.
    std::string text;
    for (int row = 0; row < anim_count; ++row)
        text += std::to_string(row == ANIM_LEGS_IDLE ? 5 : 10 * row) + " 5 2 20\n";
    EXPECT_EQ(parse_anim(text, &config, reason), 0);
    EXPECT_STREQ(reason, "LEGS_IDLE: first frame 5 lowered by 70 is outside 0 to 100000");
    EXPECT_EQ(config.rows[ANIM_LEGS_IDLE].count, 0);
    EXPECT_EQ(config.rows[ANIM_LEGS_TURN].first, 170);
}

// Each expectation worked out by hand from the rule, with p = t x fps.
TEST(AnimTiming, FramesFollowTheRuleByHand) {
    const AnimRow row = {10, 5, 3, 4};   // f 10, n 5, L 3, r 4; the loop is frames 12..14
    expect_frame(row, 0, 10, 11, 0);         // p 0: i 0
    expect_frame(row, -1, 10, 11, 0);        // negative t counts as 0
    expect_frame(row, 0.625, 12, 13, 0.5);   // p 2.5 < 5: i 2.5
    expect_frame(row, 1.0, 14, 12, 0);       // p 4: floor(i) = n - 1, next f + n - L = 12
    expect_frame(row, 1.125, 14, 12, 0.5);   // p 4.5: still the last frame
    expect_frame(row, 1.25, 12, 13, 0);      // p 5: i = 2 + (3 mod 3) = 2
    expect_frame(row, 1.8125, 14, 12, 0.25); // p 7.25: i = 2 + (5.25 mod 3) = 4.25
    expect_frame(row, 2.0, 12, 13, 0);       // p 8: i = 2 + (6 mod 3) = 2

    const AnimRow whole_loop = {0, 4, 4, 2};  // L = n: the whole row loops
    expect_frame(whole_loop, 1.5, 3, 0, 0);      // p 3: last frame, next f + n - L = 0
    expect_frame(whole_loop, 2.75, 1, 2, 0.5);   // p 5.5: i = 0 + (5.5 mod 4) = 1.5
    const AnimRow long_loop = {20, 4, 9, 2};  // L 9 taken as n = 4
    expect_frame(long_loop, 1.75, 23, 20, 0.5);  // p 3.5: last frame, next 20 + 4 - 4
    expect_frame(long_loop, 2.75, 21, 22, 0.5);  // p 5.5: i = 0 + (5.5 mod 4) = 1.5

    const AnimRow once = {30, 6, 0, 10};      // L 0: holds its last frame, 35
    expect_frame(once, 0.25, 32, 33, 0.5);       // p 2.5
    expect_frame(once, 0.55, 35, 35, 0.5);       // p 5.5: last frame, next is itself
    expect_frame(once, 1.0, 35, 35, 0);          // p 10 >= 6: held
    expect_frame(once, 0.6, 35, 35, 0);          // p 6 = n: held

    expect_frame(AnimRow{7, 0, 0, 10}, 3, 7, 7, 0);    // n 0
    expect_frame(AnimRow{7, -2, 0, 10}, 3, 7, 7, 0);   // n < 0
    expect_frame(AnimRow{7, 5, 5, 0}, 3, 7, 7, 0);     // r 0
    expect_frame(AnimRow{7, 5, 5, -3}, 3, 7, 7, 0);    // r < 0
}

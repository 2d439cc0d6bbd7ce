// Shader scripts (scripts/*.shader): each shader a name and a { } block of
// shader keywords and stage blocks. The subset that models use is kept in
// plain values, with no GL: the viewer maps the enums onto GL itself.
// Everything else is kept as the keyword that was ignored.
#ifndef GAME_SHADER_H
#define GAME_SHADER_H

#include <cstddef>
#include <string>
#include <vector>

#include "text_scan.h"

// Stages per shader, and images per animMap.
const size_t shader_max_stages = 8;
const size_t shader_max_anim_images = 8;

// The game's words: `cull front` is its default, how a surface is drawn
// when its shader says nothing; none, disable and twosided draw both sides.
enum ShaderCull { SHADER_CULL_FRONT, SHADER_CULL_BACK, SHADER_CULL_NONE };

enum ShaderMap {
    SHADER_MAP_NONE,       // the stage names no image
    SHADER_MAP_IMAGE,      // map or clampMap: images[0]
    SHADER_MAP_WHITE,      // map $whiteimage
    SHADER_MAP_LIGHTMAP,   // map $lightmap: models have none, so it is skipped
    SHADER_MAP_ANIMATED    // animMap: images at anim_frequency per second
};

enum ShaderBlendFactor {
    SHADER_BLEND_ZERO, SHADER_BLEND_ONE,
    SHADER_BLEND_SRC_COLOR, SHADER_BLEND_ONE_MINUS_SRC_COLOR,
    SHADER_BLEND_DST_COLOR, SHADER_BLEND_ONE_MINUS_DST_COLOR,
    SHADER_BLEND_SRC_ALPHA, SHADER_BLEND_ONE_MINUS_SRC_ALPHA,
    SHADER_BLEND_DST_ALPHA, SHADER_BLEND_ONE_MINUS_DST_ALPHA,
    SHADER_BLEND_SRC_ALPHA_SATURATE
};

enum ShaderAlphaFunc { SHADER_ALPHA_ALL, SHADER_ALPHA_GT0, SHADER_ALPHA_LT128, SHADER_ALPHA_GE128 };

enum ShaderRgbGen {
    SHADER_RGB_DEFAULT,   // none given
    SHADER_RGB_IDENTITY, SHADER_RGB_IDENTITY_LIGHTING, SHADER_RGB_LIGHTING_DIFFUSE, SHADER_RGB_VERTEX,
    SHADER_RGB_EXACT_VERTEX, SHADER_RGB_ENTITY, SHADER_RGB_CONST, SHADER_RGB_WAVE
};

enum ShaderWaveFunc {
    SHADER_WAVE_SIN, SHADER_WAVE_TRIANGLE, SHADER_WAVE_SQUARE, SHADER_WAVE_SAWTOOTH,
    SHADER_WAVE_INVERSE_SAWTOOTH
};

struct ShaderWave {
    ShaderWaveFunc func;
    double base;
    double amplitude;
    double phase;
    double frequency;
};

enum ShaderTcGen { SHADER_TC_BASE, SHADER_TC_ENVIRONMENT };

enum ShaderTcModKind { SHADER_TCMOD_SCROLL, SHADER_TCMOD_ROTATE, SHADER_TCMOD_SCALE, SHADER_TCMOD_TURB };

// scroll: s, t per second; rotate: degrees per second in s; scale: s, t;
// turb: the wave (its func unused).
struct ShaderTcMod {
    ShaderTcModKind kind;
    double s;
    double t;
    ShaderWave turb;
};

struct ShaderStage {
    ShaderMap map;
    std::vector<std::string> images;   // one for map and clampMap, 1 to 8 for animMap
    int clamp;                         // clampMap
    double anim_frequency;
    int blend;                         // 1: blendFunc given, src and dst hold it
    ShaderBlendFactor blend_src;
    ShaderBlendFactor blend_dst;
    ShaderAlphaFunc alpha_func;
    int depth_write;
    ShaderRgbGen rgb_gen;
    double rgb_const[3];
    ShaderWave rgb_wave;
    ShaderTcGen tc_gen;
    std::vector<ShaderTcMod> tc_mods;   // in file order
    std::vector<std::string> ignored;   // keywords as written
    int line;
};

struct Shader {
    std::string name;
    std::string file;                   // the file_name given to Shader_ParseFile
    int line;
    ShaderCull cull;
    std::vector<std::string> ignored;   // shader keywords as written
    std::vector<ShaderStage> stages;
};

// Shaders of any number of files, in the order read.
struct ShaderSet {
    std::vector<Shader> shaders;
    TextFaults faults;
};

// Reads the script in text .. text + size and appends its shaders to *set,
// file_name naming them in faults. Keywords compare without regard to case;
// names and paths keep their text. A shader at fault (unbalanced braces, a
// keyword without its arguments, text where a number belongs, an unknown
// value of a closed set, the text ending inside it) is left out with a
// fault naming the file, the shader and the line, and reading goes on after
// its closing brace; a comment with no end stops reading there. Returns 1
// when the file read cleanly, 0 with its first fault in reason
// (game_text_reason_size bytes, null: not wanted) and all faults appended
// to set->faults.
int Shader_ParseFile(const char *text, size_t size, const char *file_name, ShaderSet *set, char *reason);

// The first shader read with this name, compared without regard to case
// and with \ and / the same; null when there is none.
const Shader *Shader_Find(const ShaderSet *set, const char *name);

// The name with a final .tga or .jpg (in any case) taken off, as skins and
// models name shaders by their images' names.
std::string Shader_NameWithoutExtension(const char *name);

#endif

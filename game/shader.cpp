#include "shader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// The script's tokens, with one token of look-ahead: a brace met among a
// keyword's arguments is given back, so that skipping the rest of a line
// never loses a block's end.
struct ScriptReader {
    TextScan scan;
    std::string pending;
    int has_pending;
    std::string fault;   // the current shader's fault, "" while there is none
};

int next_token(ScriptReader *reader, int cross_lines, std::string *token) {
    if (reader->has_pending) {
        reader->has_pending = 0;
        *token = reader->pending;
        return 1;
    }
    return TextScan_Token(&reader->scan, cross_lines, token);
}

int is_brace(const std::string &token) {
    return token == "{" || token == "}";
}

// The next argument on the keyword's line; a brace there is given back.
int next_argument(ScriptReader *reader, std::string *token) {
    if (!next_token(reader, 0, token))
        return 0;
    if (is_brace(*token)) {
        reader->pending = *token;
        reader->has_pending = 1;
        return 0;
    }
    return 1;
}

void skip_arguments(ScriptReader *reader) {
    std::string ignored;
    while (next_argument(reader, &ignored)) {
    }
}

void fail_on_line(ScriptReader *reader, int line, const char *format, va_list args) {
    if (!reader->fault.empty())
        return;
    char text[game_text_reason_size];
    std::vsnprintf(text, sizeof text, format, args);
    reader->fault = "line " + std::to_string(line) + ": " + text;
}

// Keeps the shader's first fault, on the line being read; returns 0.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int fail(ScriptReader *reader, const char *format, ...) {
    va_list args;
    va_start(args, format);
    fail_on_line(reader, reader->scan.line, format, args);
    va_end(args);
    return 0;
}

// The same for a block the text ends in, on the line where it opened.
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
int fail_at(ScriptReader *reader, int line, const char *format, ...) {
    va_list args;
    va_start(args, format);
    fail_on_line(reader, line, format, args);
    va_end(args);
    return 0;
}

int number_argument(ScriptReader *reader, const char *keyword, double *value) {
    std::string token;
    if (!next_argument(reader, &token))
        return fail(reader, "%s lacks an argument", keyword);
    if (!TextScan_Number(token, value))
        return fail(reader, "%s: %.32s where a number belongs", keyword, token.c_str());
    return 1;
}

int name_argument(ScriptReader *reader, const char *keyword, std::string *name) {
    if (!next_argument(reader, name))
        return fail(reader, "%s lacks an argument", keyword);
    if (name->size() > game_text_max_name)
        return fail(reader, "%s: name over %u bytes", keyword, unsigned(game_text_max_name));
    return 1;
}

int equal(const std::string &a, const char *b) {
    return TextScan_Equal(a.c_str(), b);
}

const struct {
    const char *name;
    ShaderBlendFactor factor;
} blend_factors[] = {
    {"GL_ZERO", SHADER_BLEND_ZERO},
    {"GL_ONE", SHADER_BLEND_ONE},
    {"GL_SRC_COLOR", SHADER_BLEND_SRC_COLOR},
    {"GL_ONE_MINUS_SRC_COLOR", SHADER_BLEND_ONE_MINUS_SRC_COLOR},
    {"GL_DST_COLOR", SHADER_BLEND_DST_COLOR},
    {"GL_ONE_MINUS_DST_COLOR", SHADER_BLEND_ONE_MINUS_DST_COLOR},
    {"GL_SRC_ALPHA", SHADER_BLEND_SRC_ALPHA},
    {"GL_ONE_MINUS_SRC_ALPHA", SHADER_BLEND_ONE_MINUS_SRC_ALPHA},
    {"GL_DST_ALPHA", SHADER_BLEND_DST_ALPHA},
    {"GL_ONE_MINUS_DST_ALPHA", SHADER_BLEND_ONE_MINUS_DST_ALPHA},
    {"GL_SRC_ALPHA_SATURATE", SHADER_BLEND_SRC_ALPHA_SATURATE},
};

int blend_factor(ScriptReader *reader, const std::string &name, ShaderBlendFactor *factor) {
    for (const auto &known : blend_factors)
        if (equal(name, known.name)) {
            *factor = known.factor;
            return 1;
        }
    return fail(reader, "blendFunc: unknown factor %.32s", name.c_str());
}

int read_blend(ScriptReader *reader, ShaderStage *stage) {
    std::string first, second;
    if (!next_argument(reader, &first))
        return fail(reader, "blendFunc lacks an argument");
    stage->blend = 1;
    if (equal(first, "add")) {
        stage->blend_src = SHADER_BLEND_ONE;
        stage->blend_dst = SHADER_BLEND_ONE;
    } else if (equal(first, "filter")) {
        stage->blend_src = SHADER_BLEND_DST_COLOR;
        stage->blend_dst = SHADER_BLEND_ZERO;
    } else if (equal(first, "blend")) {
        stage->blend_src = SHADER_BLEND_SRC_ALPHA;
        stage->blend_dst = SHADER_BLEND_ONE_MINUS_SRC_ALPHA;
    } else {
        if (!blend_factor(reader, first, &stage->blend_src))
            return 0;
        if (!next_argument(reader, &second))
            return fail(reader, "blendFunc %.32s lacks its second factor", first.c_str());
        return blend_factor(reader, second, &stage->blend_dst);
    }
    return 1;
}

// A wave's function; 0 (no fault) for one outside the subset.
int wave_func(const std::string &name, ShaderWaveFunc *func) {
    const struct {
        const char *name;
        ShaderWaveFunc func;
    } funcs[] = {{"sin", SHADER_WAVE_SIN},
                 {"triangle", SHADER_WAVE_TRIANGLE},
                 {"square", SHADER_WAVE_SQUARE},
                 {"sawtooth", SHADER_WAVE_SAWTOOTH},
                 {"inversesawtooth", SHADER_WAVE_INVERSE_SAWTOOTH}};
    for (const auto &known : funcs)
        if (equal(name, known.name)) {
            *func = known.func;
            return 1;
        }
    return 0;
}

int wave_numbers(ScriptReader *reader, const char *keyword, ShaderWave *wave) {
    return number_argument(reader, keyword, &wave->base) && number_argument(reader, keyword, &wave->amplitude) &&
           number_argument(reader, keyword, &wave->phase) && number_argument(reader, keyword, &wave->frequency);
}

int read_rgb_gen(ScriptReader *reader, ShaderStage *stage) {
    std::string kind;
    if (!next_argument(reader, &kind))
        return fail(reader, "rgbGen lacks an argument");
    const struct {
        const char *name;
        ShaderRgbGen gen;
    } plain[] = {{"identity", SHADER_RGB_IDENTITY},          {"identityLighting", SHADER_RGB_IDENTITY_LIGHTING},
                 {"lightingDiffuse", SHADER_RGB_LIGHTING_DIFFUSE}, {"vertex", SHADER_RGB_VERTEX},
                 {"exactVertex", SHADER_RGB_EXACT_VERTEX},   {"entity", SHADER_RGB_ENTITY}};
    for (const auto &known : plain)
        if (equal(kind, known.name)) {
            stage->rgb_gen = known.gen;
            return 1;
        }
    if (equal(kind, "const")) {
        std::string paren;
        if (!next_argument(reader, &paren) || paren != "(")
            return fail(reader, "rgbGen const lacks its (");
        for (double &channel : stage->rgb_const)
            if (!number_argument(reader, "rgbGen const", &channel))
                return 0;
        if (!next_argument(reader, &paren) || paren != ")")
            return fail(reader, "rgbGen const lacks its )");
        stage->rgb_gen = SHADER_RGB_CONST;
        return 1;
    }
    if (equal(kind, "wave")) {
        std::string func;
        if (!next_argument(reader, &func))
            return fail(reader, "rgbGen wave lacks its function");
        if (!wave_func(func, &stage->rgb_wave.func)) {
            stage->ignored.push_back("rgbGen wave " + func.substr(0, 32));
            return 1;
        }
        if (!wave_numbers(reader, "rgbGen wave", &stage->rgb_wave))
            return 0;
        stage->rgb_gen = SHADER_RGB_WAVE;
        return 1;
    }
    stage->ignored.push_back("rgbGen " + kind.substr(0, 32));
    return 1;
}

int read_tc_mod(ScriptReader *reader, ShaderStage *stage) {
    std::string kind;
    if (!next_argument(reader, &kind))
        return fail(reader, "tcMod lacks an argument");
    ShaderTcMod mod = ShaderTcMod();
    if (equal(kind, "scroll")) {
        mod.kind = SHADER_TCMOD_SCROLL;
        if (!number_argument(reader, "tcMod scroll", &mod.s) || !number_argument(reader, "tcMod scroll", &mod.t))
            return 0;
    } else if (equal(kind, "rotate")) {
        mod.kind = SHADER_TCMOD_ROTATE;
        if (!number_argument(reader, "tcMod rotate", &mod.s))
            return 0;
    } else if (equal(kind, "scale")) {
        mod.kind = SHADER_TCMOD_SCALE;
        if (!number_argument(reader, "tcMod scale", &mod.s) || !number_argument(reader, "tcMod scale", &mod.t))
            return 0;
    } else if (equal(kind, "turb")) {
        mod.kind = SHADER_TCMOD_TURB;
        if (!wave_numbers(reader, "tcMod turb", &mod.turb))
            return 0;
    } else {
        stage->ignored.push_back("tcMod " + kind.substr(0, 32));
        return 1;
    }
    stage->tc_mods.push_back(mod);
    return 1;
}

int read_map(ScriptReader *reader, const std::string &keyword, ShaderStage *stage) {
    std::string image;
    if (!name_argument(reader, keyword.c_str(), &image))
        return 0;
    stage->images.assign(1, image);
    stage->clamp = equal(keyword, "clampMap");
    if (equal(image, "$lightmap"))
        stage->map = SHADER_MAP_LIGHTMAP;
    else if (equal(image, "$whiteimage"))
        stage->map = SHADER_MAP_WHITE;
    else
        stage->map = SHADER_MAP_IMAGE;
    return 1;
}

int read_anim_map(ScriptReader *reader, ShaderStage *stage) {
    if (!number_argument(reader, "animMap", &stage->anim_frequency))
        return 0;
    std::vector<std::string> images;
    std::string image;
    while (next_argument(reader, &image)) {
        if (images.size() == shader_max_anim_images)
            return fail(reader, "animMap with more than %u images", unsigned(shader_max_anim_images));
        if (image.size() > game_text_max_name)
            return fail(reader, "animMap: name over %u bytes", unsigned(game_text_max_name));
        images.push_back(image);
    }
    if (images.empty())
        return fail(reader, "animMap lacks its images");
    stage->images = images;
    stage->clamp = 0;
    stage->map = SHADER_MAP_ANIMATED;
    return 1;
}

int read_stage_keyword(ScriptReader *reader, const std::string &keyword, ShaderStage *stage) {
    std::string value;
    if (equal(keyword, "map") || equal(keyword, "clampMap"))
        return read_map(reader, keyword, stage);
    if (equal(keyword, "animMap"))
        return read_anim_map(reader, stage);
    if (equal(keyword, "blendFunc"))
        return read_blend(reader, stage);
    if (equal(keyword, "alphaFunc")) {
        if (!next_argument(reader, &value))
            return fail(reader, "alphaFunc lacks an argument");
        if (equal(value, "GT0"))
            stage->alpha_func = SHADER_ALPHA_GT0;
        else if (equal(value, "LT128"))
            stage->alpha_func = SHADER_ALPHA_LT128;
        else if (equal(value, "GE128"))
            stage->alpha_func = SHADER_ALPHA_GE128;
        else
            return fail(reader, "alphaFunc %.32s is not GT0, LT128 or GE128", value.c_str());
        return 1;
    }
    if (equal(keyword, "depthWrite")) {
        stage->depth_write = 1;
        return 1;
    }
    if (equal(keyword, "rgbGen"))
        return read_rgb_gen(reader, stage);
    if (equal(keyword, "tcGen")) {
        if (!next_argument(reader, &value))
            return fail(reader, "tcGen lacks an argument");
        if (equal(value, "environment"))
            stage->tc_gen = SHADER_TC_ENVIRONMENT;
        else if (equal(value, "base"))
            stage->tc_gen = SHADER_TC_BASE;
        else
            stage->ignored.push_back("tcGen " + value.substr(0, 32));
        return 1;
    }
    if (equal(keyword, "tcMod"))
        return read_tc_mod(reader, stage);
    stage->ignored.push_back(keyword.substr(0, 64));
    return 1;
}

// Reads a stage after its {, up to and with its }; *depth as read_shader's.
int read_stage(ScriptReader *reader, ShaderStage *stage, int *depth) {
    std::string token;
    while (next_token(reader, 1, &token)) {
        if (token == "}")
            return 1;
        if (token == "{") {
            *depth = 3;
            return fail(reader, "a block inside a stage");
        }
        int ok = read_stage_keyword(reader, token, stage);
        skip_arguments(reader);
        if (!ok)
            return 0;
    }
    return fail_at(reader, stage->line, "the text ends inside a stage");
}

int read_shader_keyword(ScriptReader *reader, const std::string &keyword, Shader *shader) {
    if (!equal(keyword, "cull")) {
        shader->ignored.push_back(keyword.substr(0, 64));
        return 1;
    }
    std::string value;
    if (!next_argument(reader, &value))
        return fail(reader, "cull lacks an argument");
    if (equal(value, "front"))
        shader->cull = SHADER_CULL_FRONT;
    else if (equal(value, "back"))
        shader->cull = SHADER_CULL_BACK;
    else if (equal(value, "none") || equal(value, "disable") || equal(value, "twosided"))
        shader->cull = SHADER_CULL_NONE;
    else
        return fail(reader, "cull %.32s is not front, back, none, disable or twosided", value.c_str());
    return 1;
}

// Reads a shader's body after its {, up to and with its }. *depth is the
// blocks open when it stops, for skipping the rest after a fault.
int read_shader(ScriptReader *reader, Shader *shader, int *depth) {
    std::string token;
    *depth = 1;
    while (next_token(reader, 1, &token)) {
        if (token == "}") {
            *depth = 0;
            return 1;
        }
        if (token == "{") {
            if (shader->stages.size() == shader_max_stages) {
                *depth = 2;
                return fail(reader, "more than %u stages", unsigned(shader_max_stages));
            }
            ShaderStage stage = ShaderStage();
            stage.line = reader->scan.line;
            *depth = 2;
            if (!read_stage(reader, &stage, depth))
                return 0;
            *depth = 1;
            shader->stages.push_back(stage);
            continue;
        }
        int ok = read_shader_keyword(reader, token, shader);
        skip_arguments(reader);
        if (!ok)
            return 0;
    }
    return fail_at(reader, shader->line, "the text ends inside the shader");
}

void skip_blocks(ScriptReader *reader, int depth) {
    std::string token;
    while (depth > 0 && next_token(reader, 1, &token)) {
        if (token == "{")
            ++depth;
        else if (token == "}")
            --depth;
    }
}

char folded(char c) {
    if (c == '\\')
        return '/';
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

int Shader_ParseFile(const char *text, size_t size, const char *file_name, ShaderSet *set, char *reason) {
    if (reason)
        reason[0] = 0;
    size_t faults_before = set->faults.list.size() + set->faults.more;
    if (size > game_text_max_bytes)
        return TextFaults_Add(&set->faults, reason, "%.64s: %llu bytes is over the limit of %u", file_name,
                              static_cast<unsigned long long>(size), unsigned(game_text_max_bytes));
    ScriptReader reader;
    TextScan_Start(&reader.scan, text, size);
    reader.has_pending = 0;
    std::string token;
    while (next_token(&reader, 1, &token)) {
        if (is_brace(token)) {
            TextFaults_Add(&set->faults, reason, "%.64s line %d: %s outside a shader", file_name, reader.scan.line,
                           token.c_str());
            if (token == "{")
                skip_blocks(&reader, 1);
            continue;
        }
        Shader shader = Shader();
        shader.name = token;
        shader.file = file_name;
        shader.line = reader.scan.line;
        shader.cull = SHADER_CULL_FRONT;
        reader.fault.clear();
        std::string open;
        int depth = 0;
        if (!next_token(&reader, 1, &open)) {
            fail_at(&reader, shader.line, "the text ends after the name");
        } else if (open != "{") {
            // Not a shader: what follows may be the next one's name.
            fail(&reader, "%.32s where { belongs", open.c_str());
            if (open != "}") {
                reader.pending = open;
                reader.has_pending = 1;
            }
        } else if (shader.name.size() > game_text_max_name) {
            fail(&reader, "name over %u bytes", unsigned(game_text_max_name));
            depth = 1;
        } else if (read_shader(&reader, &shader, &depth)) {
            set->shaders.push_back(shader);
            continue;
        }
        if (reader.scan.unterminated_comment) {
            TextFaults_Add(&set->faults, reason, "%.64s: shader %.48s line %d: comment not closed", file_name,
                           shader.name.c_str(), reader.scan.unterminated_comment);
            return 0;
        }
        TextFaults_Add(&set->faults, reason, "%.64s: shader %.48s %s", file_name, shader.name.c_str(),
                       reader.fault.c_str());
        skip_blocks(&reader, depth);
    }
    if (reader.scan.unterminated_comment)
        TextFaults_Add(&set->faults, reason, "%.64s line %d: comment not closed", file_name,
                       reader.scan.unterminated_comment);
    return set->faults.list.size() + set->faults.more == faults_before;
}

const Shader *Shader_Find(const ShaderSet *set, const char *name) {
    size_t length = std::strlen(name);
    for (const Shader &shader : set->shaders) {
        if (shader.name.size() != length)
            continue;
        size_t i = 0;
        while (i < length && folded(shader.name[i]) == folded(name[i]))
            ++i;
        if (i == length)
            return &shader;
    }
    return nullptr;
}

std::string Shader_NameWithoutExtension(const char *name) {
    size_t length = std::strlen(name);
    if (length >= 4 && (TextScan_Equal(name + length - 4, ".tga") || TextScan_Equal(name + length - 4, ".jpg")))
        length -= 4;
    return std::string(name, length);
}

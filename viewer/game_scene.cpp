#include "game_scene.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "blend.h"
#include "camera.h"
#include "draw.h"
#include "font.h"
#include "image.h"
#include "model_resolve.h"
#include "playback.h"
#include "scene.h"
#include "shell.h"
#include "tga.h"
#include "tga_convert.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// Missing images show as magenta and black checks, seen at once.
const int checks_side = 8;
const uint8_t checks_magenta[3] = {255, 0, 255};   // B, G, R

// A wave's period in radians.
const double full_turn = 6.283185307179586;

// Lines of missing images shown before "and N more".
const size_t shown_missing = 3;

// How a surface is drawn: the stages of its shader with a texture each (an
// animMap several), or, without a shader, its one image lit.
struct SurfaceLook {
    const Shader *shader;                          // null: one lit stage of textures[0][0]
    std::vector<std::vector<uint32_t>> textures;   // by stage
    int blended;                                   // drawn after the opaque surfaces
    int hidden;                                    // not drawn at all
};

ModelArgs scene_args;
GameFiles scene_files;
ResolvedModel scene_model;
std::vector<Md3Model *> scene_pieces;   // by ResolvedModel::pieces, null where none loaded
std::vector<std::string> scene_faults;  // why nothing, or not everything, is shown
std::vector<std::vector<SurfaceLook>> scene_looks;   // by piece and surface
// Uploaded images by name as the data spells it, with why one is missing.
struct SceneTexture {
    uint32_t texture;   // 0: missing
    std::string missing;
};
std::map<std::string, SceneTexture> scene_textures;
uint32_t checks_texture;
uint32_t white_texture;

// How the model is looked at and played (camera.h, playback.h), and the
// switches the keys turn.
Camera scene_camera;
Playback scene_playback;
ModelArgs scene_first_args;   // as the command line gave them, for models shown later
int show_help, show_wireframe, show_tags;
int screen_wanted;            // F12: the frame drawn next is saved
std::string scene_notice;     // what the last action said

// When the model shown now began to load; the first frame that shows it
// says on stderr how long it took.
std::chrono::steady_clock::time_point load_started;
int load_timed = 1;

// The vertical field of view (view.h's) that the camera frames the model for.
const double field_of_view = 90.0;

// Tag axes as a share of the camera's first distance, so they suit any model's size.
const double tag_axis_share = 0.08;

// The name F12 saves under: md3view-NNNN.tga, the first free number.
const char *const screen_file_format = "md3view-%04d.tga";
const int screen_file_limit = 10000;

// A texture from pixels (B, G, R rows bottom to top) through tga.dll, as a
// TGA file written in memory.
uint32_t upload_pixels(const std::vector<uint8_t> &pixels, int width, int height) {
    std::vector<uint8_t> file(tga_header_size);
    TgaConvert_WriteHeader(file.data(), width, height, 24);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return TGA_UploadImageMemory(file.data(), file.size());
}

uint32_t make_checks() {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < checks_side; ++y)
        for (int x = 0; x < checks_side; ++x)
            for (int c = 0; c < 3; ++c)
                pixels.push_back((x + y) % 2 ? 0 : checks_magenta[c]);
    return upload_pixels(pixels, checks_side, checks_side);
}

// A decoded image's texture; a grey one goes as 24-bit, since tga.dll makes
// 8-bit files alpha textures.
uint32_t upload_decoded(const ImageTga &tga) {
    if (tga.size < tga_header_size || tga.bytes[16] != 8)
        return TGA_UploadImageMemory(tga.bytes, tga.size);
    std::vector<uint8_t> pixels;
    for (size_t i = tga_header_size; i < tga.size; ++i)
        pixels.insert(pixels.end(), 3, tga.bytes[i]);
    return upload_pixels(pixels, tga.bytes[12] | tga.bytes[13] << 8, tga.bytes[14] | tga.bytes[15] << 8);
}

// The image `name` from the game data, under any name it may have, decoded
// and uploaded once; 0 with the reason in *missing when it cannot be.
uint32_t upload_image(const std::string &name, std::string *missing) {
    if (name == "$whiteimage")
        return white_texture;
    auto known = scene_textures.find(name);
    if (known != scene_textures.end()) {
        if (!known->second.missing.empty())
            *missing = known->second.missing;
        return known->second.texture;
    }
    std::string fault;
    std::string found;
    for (const std::string &candidate : Image_NamesToTry(name)) {
        if (const GameFilesRef *ref = GameFiles_Find(scene_files, candidate)) {
            found = ref->name;
            break;
        }
    }
    uint32_t texture = 0;
    std::vector<uint8_t> bytes;
    char reason[pk3_reason_size] = "";
    ImageTga tga = {nullptr, 0};
    char why[tga_reason_size] = "";
    if (found.empty()) {
        fault = name + " not found";
    } else if (!GameFiles_Read(scene_files, found, resolve_max_file_bytes, &bytes, reason)) {
        fault = found + ": " + reason;
    } else if (!Image_Decode(bytes.data(), bytes.size(), found.c_str(), &tga, why)) {
        fault = found + ": " + why;
    } else {
        texture = upload_decoded(tga);
        std::free(tga.bytes);
        if (!texture)
            fault = found + ": tga.dll refused it";
    }
    if (!fault.empty())
        *missing = fault;
    scene_textures[name] = {texture, fault};
    return texture;
}

// The look of a resolved surface; what cannot be found shows as checks.
SurfaceLook look_of(ResolvedSurface *surface) {
    SurfaceLook look = {nullptr, {}, 0, surface->hidden};
    if (look.hidden)
        return look;
    if (surface->missing.empty() && surface->shader >= 0) {
        look.shader = &scene_model.shaders.shaders[size_t(surface->shader)];
        for (const ShaderStage &stage : look.shader->stages) {
            std::vector<uint32_t> textures;
            std::string missing;
            if (stage.map == SHADER_MAP_WHITE)
                textures.push_back(white_texture);
            for (const std::string &image : stage.images) {
                uint32_t texture = upload_image(image, &missing);
                textures.push_back(texture ? texture : checks_texture);
            }
            if (!missing.empty() && surface->missing.empty() && &stage == &look.shader->stages[0])
                surface->missing = missing;
            look.textures.push_back(textures);
        }
        look.blended = !look.shader->stages.empty() && look.shader->stages[0].blend &&
                       !(look.shader->stages[0].blend_src == SHADER_BLEND_ONE &&
                         look.shader->stages[0].blend_dst == SHADER_BLEND_ZERO);
        return look;
    }
    uint32_t texture = 0;
    if (surface->missing.empty())
        texture = upload_image(surface->image, &surface->missing);
    look.textures.push_back({texture ? texture : checks_texture});
    return look;
}

// The font image from the current folder, else from the viewer's own, as a
// program dropped onto starts in a folder of Explorer's choosing.
uint32_t upload_font() {
    uint32_t texture = TGA_UploadImage("font.tga");
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (!texture && length > 0 && length < MAX_PATH) {
        std::string folder(path, length);
        texture = TGA_UploadImage((folder.substr(0, folder.find_last_of("\\/") + 1) + "font.tga").c_str());
    }
#endif
    return texture;
}

Md3Model *piece_of(ResolvePiece kind) {
    for (size_t i = 0; i < scene_model.pieces.size(); ++i)
        if (scene_model.pieces[i].piece == kind)
            return scene_pieces[i];
    return nullptr;
}

void attach(ResolvePiece parent, const char *tag, ResolvePiece child) {
    if (piece_of(parent) && piece_of(child))
        MD3_AttachToTag(tag, piece_of(parent), piece_of(child));
}

// A tag places and turns what hangs on it; it does not scale it. Some
// models store longer axes (liz's are 4.69 long in every frame), which the
// game shows at the model's own size.
void unit_tag_axes(Md3Model *model) {
    int64_t tags = int64_t(model->header.num_frames) * model->header.num_tags;
    for (int64_t t = 0; model->tags && t < tags; ++t) {
        for (int row = 0; row < 3; ++row) {
            float *axis = model->tags[t].axis + row * 3;
            double length = std::sqrt(double(axis[0]) * axis[0] + double(axis[1]) * axis[1] + double(axis[2]) * axis[2]);
            if (length > 0 && std::isfinite(length))
                for (int i = 0; i < 3; ++i)
                    axis[i] = float(axis[i] / length);
        }
    }
}

void load_pieces() {
    for (ResolvedPiece &piece : scene_model.pieces) {
        Md3Model *model = nullptr;
        if (piece.reason.empty()) {
            model = static_cast<Md3Model *>(std::calloc(1, sizeof(Md3Model)));
            if (model && !MD3_Read(piece.bytes.data(), piece.bytes.size(), model)) {
                MD3_Free(model);
                std::free(model);
                model = nullptr;
            }
        }
        scene_pieces.push_back(model);
        scene_looks.emplace_back();
        if (!model)
            continue;
        unit_tag_axes(model);
        for (size_t i = 0; i < piece.surfaces.size() && int32_t(i) < model->header.num_surfaces; ++i)
            scene_looks.back().push_back(look_of(&piece.surfaces[i]));
    }
    attach(RESOLVE_LOWER, "tag_torso", RESOLVE_UPPER);
    attach(RESOLVE_UPPER, "tag_head", RESOLVE_HEAD);
    attach(RESOLVE_UPPER, "tag_weapon", RESOLVE_WEAPON);
    attach(RESOLVE_WEAPON, "tag_barrel", RESOLVE_BARREL);
}

void set_frame(Md3Model *model, const AnimFrame &at) {
    if (!model)
        return;
    model->current_frame = at.frame;
    model->next_frame = at.next;
    model->fraction = float(at.fraction);
}

GLenum gl_blend_factor(ShaderBlendFactor factor) {
    switch (factor) {
    case SHADER_BLEND_ZERO: return GL_ZERO;
    case SHADER_BLEND_ONE: return GL_ONE;
    case SHADER_BLEND_SRC_COLOR: return GL_SRC_COLOR;
    case SHADER_BLEND_ONE_MINUS_SRC_COLOR: return GL_ONE_MINUS_SRC_COLOR;
    case SHADER_BLEND_DST_COLOR: return GL_DST_COLOR;
    case SHADER_BLEND_ONE_MINUS_DST_COLOR: return GL_ONE_MINUS_DST_COLOR;
    case SHADER_BLEND_SRC_ALPHA: return GL_SRC_ALPHA;
    case SHADER_BLEND_ONE_MINUS_SRC_ALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case SHADER_BLEND_DST_ALPHA: return GL_DST_ALPHA;
    case SHADER_BLEND_ONE_MINUS_DST_ALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case SHADER_BLEND_SRC_ALPHA_SATURATE: return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}

// A wave's value at `seconds`, kept within 0 to 1 as a colour.
double wave_at(const ShaderWave &wave, double seconds) {
    double x = seconds * wave.frequency + wave.phase;
    x -= std::floor(x);
    double f = 0;
    switch (wave.func) {
    case SHADER_WAVE_SIN: f = std::sin(x * full_turn); break;
    case SHADER_WAVE_TRIANGLE: f = x < 0.5 ? 4 * x - 1 : 3 - 4 * x; break;
    case SHADER_WAVE_SQUARE: f = x < 0.5 ? 1 : -1; break;
    case SHADER_WAVE_SAWTOOTH: f = x; break;
    case SHADER_WAVE_INVERSE_SAWTOOTH: f = 1 - x; break;
    }
    double value = wave.base + wave.amplitude * f;
    return value < 0 ? 0 : value > 1 ? 1 : value;
}

// The fixed-function state of one stage; stage_end puts back what it set.
void stage_begin(const ShaderStage &stage, uint32_t texture, double seconds) {
    glBindTexture(GL_TEXTURE_2D, texture);
    if (stage.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(gl_blend_factor(stage.blend_src), gl_blend_factor(stage.blend_dst));
        glDepthMask(stage.depth_write ? GL_TRUE : GL_FALSE);
    }
    if (stage.alpha_func != SHADER_ALPHA_ALL) {
        glEnable(GL_ALPHA_TEST);
        if (stage.alpha_func == SHADER_ALPHA_GT0)
            glAlphaFunc(GL_GREATER, 0.0f);
        else
            glAlphaFunc(stage.alpha_func == SHADER_ALPHA_LT128 ? GL_LESS : GL_GEQUAL, 0.5f);
    }
    double grey = 1;
    switch (stage.rgb_gen) {
    case SHADER_RGB_DEFAULT:
    case SHADER_RGB_LIGHTING_DIFFUSE:
        break;
    case SHADER_RGB_IDENTITY_LIGHTING:
        grey = 0.5;
        glDisable(GL_LIGHTING);
        break;
    case SHADER_RGB_CONST:
        glDisable(GL_LIGHTING);
        glColor3d(stage.rgb_const[0], stage.rgb_const[1], stage.rgb_const[2]);
        break;
    case SHADER_RGB_WAVE:
        grey = wave_at(stage.rgb_wave, seconds);
        glDisable(GL_LIGHTING);
        break;
    default:   // identity, vertex, entity: white, as models carry no vertex colours
        glDisable(GL_LIGHTING);
        break;
    }
    if (stage.rgb_gen != SHADER_RGB_CONST)
        glColor3d(grey, grey, grey);
    if (stage.tc_gen == SHADER_TC_ENVIRONMENT) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    for (const ShaderTcMod &mod : stage.tc_mods) {
        switch (mod.kind) {
        case SHADER_TCMOD_SCROLL:
            glTranslated(mod.s * seconds, mod.t * seconds, 0);
            break;
        case SHADER_TCMOD_ROTATE:
            glTranslated(0.5, 0.5, 0);
            glRotated(-mod.s * seconds, 0, 0, 1);
            glTranslated(-0.5, -0.5, 0);
            break;
        case SHADER_TCMOD_SCALE:
            glScaled(mod.s, mod.t, 1);
            break;
        case SHADER_TCMOD_TURB: {
            double shift = mod.turb.amplitude * std::sin((seconds * mod.turb.frequency + mod.turb.phase) * full_turn);
            glTranslated(shift, shift, 0);
            break;
        }
        }
    }
    glMatrixMode(GL_MODELVIEW);
}

void stage_end() {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// What a pass over the assembled model does with each piece: draws the
// opaque or the blended surfaces, the wireframe or the tags, or measures the
// bounds of the shown surfaces where the pieces are placed.
enum PassKind { PASS_SURFACES, PASS_WIREFRAME, PASS_TAGS, PASS_BOUNDS };

struct DrawPass {
    PassKind kind;
    int blended;
    double seconds;
    double mins[3], maxs[3];   // PASS_BOUNDS: model space, grown piece by piece
    int measured;
};

// The vertices of a piece's shown surfaces at `frame`, placed by the
// modelview matrix (model space, as the pass starts from the identity).
// Vertices rather than the frame's stored bounds, which some models get
// wrong by far.
void measure_piece(const Md3Model *model, int32_t frame, const std::vector<SurfaceLook> &looks, DrawPass *pass) {
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int32_t i = 0; i < model->header.num_surfaces && size_t(i) < looks.size(); ++i) {
        const Md3Surface &surface = model->surfaces[i];
        if (looks[size_t(i)].hidden || !surface.vertices || frame >= surface.header.num_frames)
            continue;
        const Md3Vertex *vertices = surface.vertices + int64_t(frame) * surface.header.num_verts;
        for (int32_t v = 0; v < surface.header.num_verts; ++v) {
            double p[3] = {vertices[v].x * double(md3_position_scale), vertices[v].y * double(md3_position_scale),
                           vertices[v].z * double(md3_position_scale)};
            for (int axis = 0; axis < 3; ++axis) {
                double at = m[axis] * p[0] + m[4 + axis] * p[1] + m[8 + axis] * p[2] + m[12 + axis];
                if (!pass->measured || at < pass->mins[axis])
                    pass->mins[axis] = at;
                if (!pass->measured || at > pass->maxs[axis])
                    pass->maxs[axis] = at;
            }
            pass->measured = 1;
        }
    }
}

// Each tag of a piece as three short axes: x red, y green, z blue.
void draw_tags(const Md3Model *model, int32_t frame_a, int32_t frame_b, float fraction) {
    if (!model->tags)
        return;
    const double length = scene_camera.home.distance * tag_axis_share;
    for (int32_t i = 0; i < model->header.num_tags; ++i) {
        float placement[16];
        Blend_Tag(&model->tags[frame_a * model->header.num_tags + i],
                  &model->tags[frame_b * model->header.num_tags + i], fraction, placement);
        glPushMatrix();
        glMultMatrixf(placement);
        glBegin(GL_LINES);
        for (int axis = 0; axis < 3; ++axis) {
            glColor3f(axis == 0, axis == 1, axis == 2);
            glVertex3d(0, 0, 0);
            glVertex3d(axis == 0 ? length : 0, axis == 1 ? length : 0, axis == 2 ? length : 0);
        }
        glEnd();
        glPopMatrix();
    }
}

// Every surface of the pass in a model, stage by stage.
void draw_looks(const Md3Model *model, int32_t frame_a, int32_t frame_b, float fraction, void *context) {
    DrawPass *pass = static_cast<DrawPass *>(context);
    if (pass->kind == PASS_TAGS) {
        draw_tags(model, frame_a, frame_b, fraction);
        return;
    }
    size_t index = 0;
    while (index < scene_pieces.size() && scene_pieces[index] != model)
        ++index;
    if (index == scene_pieces.size())
        return;
    if (pass->kind == PASS_BOUNDS) {
        measure_piece(model, frame_a, scene_looks[index], pass);
        return;
    }
    const std::vector<SurfaceLook> &looks = scene_looks[index];
    for (size_t i = 0; i < looks.size(); ++i) {
        const SurfaceLook &look = looks[i];
        const Md3Surface *surface = &model->surfaces[i];
        if (look.hidden)
            continue;
        if (pass->kind == PASS_WIREFRAME) {
            MD3_DrawSurface(surface, frame_a, frame_b, fraction);
            continue;
        }
        if (look.blended != pass->blended)
            continue;
        if (!look.shader) {
            glBindTexture(GL_TEXTURE_2D, look.textures[0][0]);
            MD3_DrawSurface(surface, frame_a, frame_b, fraction);
            continue;
        }
        if (look.shader->cull == SHADER_CULL_NONE)
            glDisable(GL_CULL_FACE);
        else if (look.shader->cull == SHADER_CULL_BACK)
            glCullFace(GL_BACK);
        for (size_t s = 0; s < look.shader->stages.size(); ++s) {
            const ShaderStage &stage = look.shader->stages[s];
            const std::vector<uint32_t> &textures = look.textures[s];
            if (stage.map == SHADER_MAP_LIGHTMAP || stage.map == SHADER_MAP_NONE || textures.empty())
                continue;
            size_t frame = 0;
            if (stage.map == SHADER_MAP_ANIMATED && stage.anim_frequency > 0)
                frame = size_t(pass->seconds * stage.anim_frequency) % textures.size();
            stage_begin(stage, textures[frame], pass->seconds);
            MD3_DrawSurface(surface, frame_a, frame_b, fraction);
            stage_end();
        }
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
    }
}


std::string anim_text(int anim) {
    AnimFrame at = Model_FrameAt(scene_model, anim, scene_playback.seconds);
    return std::string(anim_names[anim]) + " " + std::to_string(at.frame);
}

// The frames both pieces show now; held whole while interpolation is off.
AnimFrame frame_now(int anim) {
    AnimFrame at = Model_FrameAt(scene_model, anim, scene_playback.seconds);
    if (!scene_playback.interpolate) {
        at.next = at.frame;
        at.fraction = 0;
    }
    return at;
}

Md3Model *root_piece() {
    return piece_of(RESOLVE_LOWER) ? piece_of(RESOLVE_LOWER) : piece_of(RESOLVE_MODEL);
}

void pose_pieces() {
    if (!piece_of(RESOLVE_LOWER))
        return;
    set_frame(piece_of(RESOLVE_LOWER), frame_now(scene_args.legs));
    set_frame(piece_of(RESOLVE_UPPER), frame_now(scene_args.torso));
}

// The camera's first view: the assembled model at frame 0, framed.
void frame_camera() {
    for (Md3Model *piece : scene_pieces)
        if (piece)
            set_frame(piece, AnimFrame{0, 0, 0});
    DrawPass pass = {};
    pass.kind = PASS_BOUNDS;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    MD3_DrawWith(root_piece(), draw_looks, &pass);
    glPopMatrix();
    if (!pass.measured)
        pass.mins[0] = pass.mins[1] = pass.mins[2] = pass.maxs[0] = pass.maxs[1] = pass.maxs[2] = 0;
    Camera_Frame(&scene_camera, pass.mins, pass.maxs, field_of_view);
}

void unload_model() {
    for (Md3Model *model : scene_pieces) {
        if (model) {
            MD3_Free(model);
            std::free(model);
        }
    }
    scene_pieces.clear();
    scene_looks.clear();
    scene_faults.clear();
}

void forget_textures() {
    for (auto &known : scene_textures)
        if (known.second.texture)
            glDeleteTextures(1, &known.second.texture);
    scene_textures.clear();
}

void say(const std::string &text) {
    scene_notice = text;
    std::fprintf(stderr, "viewer: %s\n", text.c_str());
}

// Resolves scene_args in the open game data and shows the result; the camera
// frames it anew unless told to keep its view. 1 when there is a model to
// show, though some of it may be missing.
int show_model(int keep_view) {
    load_started = std::chrono::steady_clock::now();
    load_timed = 0;
    unload_model();
    char reason[resolve_reason_size] = "";
    if (!Model_Resolve(scene_args, &scene_files, &scene_model, reason))
        scene_faults.push_back(reason);
    if (!scene_model.skin_note.empty())
        scene_faults.push_back(scene_model.skin_note);
    load_pieces();
    for (const std::string &fault : scene_faults)
        std::fprintf(stderr, "viewer: %s\n", fault.c_str());
    if (!keep_view)
        frame_camera();
    return root_piece() != nullptr;
}

// The next or previous of `names` after `current` (compared as the game
// compares paths), wrapping round; current itself when it is the only one.
std::string neighbour(const std::vector<std::string> &names, const std::string &current, int direction) {
    if (names.empty())
        return current;
    size_t at = 0;
    while (at < names.size() && GameFiles_Fold(names[at]) != GameFiles_Fold(current))
        ++at;
    if (at == names.size())
        return names[direction > 0 ? 0 : names.size() - 1];
    return names[(at + names.size() + size_t(direction > 0 ? 1 : names.size() - 1)) % names.size()];
}

// The next legs or torso animation: the deaths, then the piece's own rows.
int next_anim(int anim, int legs, int direction) {
    std::vector<int> rows;
    for (int id = 0; id < anim_count; ++id)
        if (id <= ANIM_BOTH_DEAD3 || (legs ? id >= ANIM_LEGS_WALKCR : id < ANIM_LEGS_WALKCR))
            rows.push_back(id);
    size_t at = 0;
    while (at < rows.size() && rows[at] != anim)
        ++at;
    if (at == rows.size())
        return rows[0];
    return rows[(at + rows.size() + (direction > 0 ? 1 : rows.size() - 1)) % rows.size()];
}

// The frame rate that one step goes by: the legs' animation's, or the
// torso's where the legs have none.
int step_fps() {
    if (!scene_model.has_animation)
        return 0;
    int legs = scene_model.animation.rows[scene_args.legs].fps;
    return legs > 0 ? legs : scene_model.animation.rows[scene_args.torso].fps;
}

// Where the animation stands, in md3info --resolve --time's terms.
void say_time() {
    char text[256];
    AnimFrame legs = frame_now(scene_args.legs), torso = frame_now(scene_args.torso);
    // The time in full, so that --time given it back draws the same frame.
    std::snprintf(text, sizeof text, "%s at %.17g s: legs %d %d %f, torso %d %d %f",
                  scene_playback.paused ? "paused" : "playing", scene_playback.seconds, legs.frame, legs.next,
                  legs.fraction, torso.frame, torso.next, torso.fraction);
    std::fprintf(stderr, "viewer: %s\n", text);
    // On screen the status line gives the frames already.
    std::snprintf(text, sizeof text, "%s at %.3f s", scene_playback.paused ? "paused" : "playing",
                  scene_playback.seconds);
    scene_notice = text;
}

// F12's file: the first md3view-NNNN.tga not yet in the current folder.
std::string free_screen_name() {
    char name[32];
    for (int n = 1; n < screen_file_limit; ++n) {
        std::snprintf(name, sizeof name, screen_file_format, n);
        FILE *file = std::fopen(name, "rb");
        if (!file)
            return name;
        std::fclose(file);
    }
    return std::string();
}

void draw_model() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The projection follows the camera's distance, so that a weapon close
    // up and a large map object far off both stay between the planes.
    double aspect = double(window_width) / double(window_height > 0 ? window_height : 1);
    double reach = scene_camera.view.distance;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(field_of_view, aspect, reach / 100.0, reach * 100.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    double view[16];
    Camera_ModelView(&scene_camera, view);
    glLoadMatrixd(view);
    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_2D);
    pose_pieces();
    // Opaque surfaces first, then the blended ones over them; a stage after
    // the first draws where the one before it did.
    glDepthFunc(GL_LEQUAL);
    for (int blended = 0; blended < 2; ++blended) {
        DrawPass pass = {};
        pass.kind = PASS_SURFACES;
        pass.blended = blended;
        pass.seconds = scene_playback.seconds;
        MD3_DrawWith(root_piece(), draw_looks, &pass);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    if (show_wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glColor3f(1.0f, 1.0f, 1.0f);
        DrawPass pass = {};
        pass.kind = PASS_WIREFRAME;
        MD3_DrawWith(root_piece(), draw_looks, &pass);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    if (show_tags) {
        glDisable(GL_DEPTH_TEST);
        DrawPass pass = {};
        pass.kind = PASS_TAGS;
        MD3_DrawWith(root_piece(), draw_looks, &pass);
        glEnable(GL_DEPTH_TEST);
    }
    glEnable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDepthFunc(GL_LESS);
    glPopMatrix();
    glCullFace(GL_BACK);
}

}  // namespace

int GameScene_Init(const std::vector<std::string> &args) {
    font_base = Font_Build();
    font_texture = upload_font();
    checks_texture = make_checks();
    white_texture = upload_pixels(std::vector<uint8_t>(3, 255), 1, 1);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    Playback_Start(&scene_playback);
    char reason[resolve_reason_size] = "";
    if (!ModelArgs_Parse(args, &scene_args, reason)) {
        scene_faults.push_back(reason);
        std::fprintf(stderr, "viewer: %s\n", reason);
        frame_camera();
        return 0;
    }
    scene_first_args = scene_args;
    if (scene_args.has_time)
        scene_playback.seconds = scene_args.time;
    return show_model(0);
}

std::vector<std::string> GameScene_Lines(void) {
    std::vector<std::string> lines = scene_faults;
    if (!scene_model.model.empty()) {
        // Short enough for a 640-pixel window.
        std::string shown = scene_model.model;
        if (!scene_model.skin.empty())
            shown += "  " + scene_model.skin + "  " + anim_text(scene_args.legs) + "  " + anim_text(scene_args.torso);
        char speed[64];
        std::snprintf(speed, sizeof speed, "  speed %g%s", scene_playback.speed, scene_playback.paused ? "  paused" : "");
        lines.push_back(shown + speed);
    }
    size_t missing = 0;
    for (const ResolvedPiece &piece : scene_model.pieces) {
        for (const ResolvedSurface &surface : piece.surfaces) {
            if (surface.missing.empty())
                continue;
            if (++missing <= shown_missing)
                lines.push_back(std::string(resolve_piece_names[piece.piece]) + " " + surface.surface + ": " +
                                surface.missing);
        }
    }
    if (missing > shown_missing)
        lines.push_back("and " + std::to_string(missing - shown_missing) + " more");
    if (!scene_notice.empty())
        lines.push_back(scene_notice);
    return lines;
}

void GameScene_DrawModel(void) {
    draw_model();
}

void GameScene_Render(double real_seconds) {
    Playback_Advance(&scene_playback, real_seconds);
    draw_model();

    Overlay_Begin(window_width, window_height);
    Scene_PrintStatus();
    // What is shown and what is missing, from the top of the window down;
    // the help below them.
    std::vector<std::string> lines = GameScene_Lines();
    if (show_help) {
        std::vector<std::string> help = Input_HelpLines();
        lines.push_back("");
        lines.insert(lines.end(), help.begin(), help.end());
    }
    for (size_t i = 0; i < lines.size(); ++i)
        Font_Print(0, window_height - 16 * int(i + 1), font_base, font_texture, "%s", lines[i].c_str());
    Overlay_End();

    if (!load_timed) {
        glFinish();
        load_timed = 1;
        std::fprintf(stderr, "viewer: %s: first frame %.0f ms after it began to load\n", GameScene_Title().c_str(),
                     std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load_started).count());
    }
    if (screen_wanted) {
        screen_wanted = 0;
        std::string name = free_screen_name();
        if (name.empty())
            say("no free md3view-NNNN.tga name in this folder");
        else if (GameScene_SaveScreen(name))
            say("saved " + name);
        else
            say("cannot write " + name);
    }
}

int GameScene_Action(ViewerAction action) {
    int player = !scene_model.skin.empty();
    switch (action) {
    case ACTION_NONE:
    case ACTION_QUIT:
        return 0;
    case ACTION_HELP:
        show_help = !show_help;
        return 1;
    case ACTION_HOME:
        Camera_Home(&scene_camera);
        return 1;
    case ACTION_NEXT_MODEL:
    case ACTION_PREVIOUS_MODEL: {
        std::vector<std::string> models = GameScene_PlayerModels();
        if (models.empty()) {
            say("the game data holds no player models");
            return 0;
        }
        return GameScene_ShowPlayer(neighbour(models, scene_model.model, action == ACTION_NEXT_MODEL ? 1 : -1));
    }
    case ACTION_NEXT_SKIN:
    case ACTION_PREVIOUS_SKIN:
        if (!player || scene_model.skins.size() < 2) {
            say(player ? "this model has one skin" : "a model alone has no skins");
            return 0;
        }
        scene_args.skin = neighbour(scene_model.skins, scene_model.skin, action == ACTION_NEXT_SKIN ? 1 : -1);
        return show_model(1);
    case ACTION_NEXT_LEGS:
    case ACTION_PREVIOUS_LEGS:
        scene_args.legs = next_anim(scene_args.legs, 1, action == ACTION_NEXT_LEGS ? 1 : -1);
        return 1;
    case ACTION_NEXT_TORSO:
    case ACTION_PREVIOUS_TORSO:
        scene_args.torso = next_anim(scene_args.torso, 0, action == ACTION_NEXT_TORSO ? 1 : -1);
        return 1;
    case ACTION_PAUSE:
        scene_playback.paused = !scene_playback.paused;
        say_time();
        return 1;
    case ACTION_STEP_FORWARD:
    case ACTION_STEP_BACK:
        if (!scene_playback.paused) {
            say("pause (Space) before stepping");
            return 0;
        }
        Playback_Step(&scene_playback, action == ACTION_STEP_FORWARD ? 1 : -1, step_fps());
        say_time();
        return 1;
    case ACTION_FASTER:
        Playback_Faster(&scene_playback);
        return 1;
    case ACTION_SLOWER:
        Playback_Slower(&scene_playback);
        return 1;
    case ACTION_INTERPOLATION:
        scene_playback.interpolate = !scene_playback.interpolate;
        say(scene_playback.interpolate ? "interpolation on" : "interpolation off");
        return 1;
    case ACTION_WIREFRAME:
        show_wireframe = !show_wireframe;
        return 1;
    case ACTION_TAGS:
        show_tags = !show_tags;
        return 1;
    case ACTION_RELOAD: {
        // Everything again from disk: the archives' directories, the
        // scripts, the model and its images.
        forget_textures();
        GameFiles_Close(&scene_files);
        scene_files = GameFiles();
        scene_model = ResolvedModel();
        int shown = show_model(1);
        say("reloaded " + scene_model.model);
        return shown;
    }
    case ACTION_SCREENSHOT:
        screen_wanted = 1;
        return 1;
    }
    return 0;
}

void GameScene_Drag(int button, int dx, int dy) {
    if (button == 0)
        Camera_Orbit(&scene_camera, dx, dy);
    else if (button == 1)
        Camera_Zoom(&scene_camera, -dy / 20.0);
    else
        Camera_Pan(&scene_camera, dx, dy, window_height, field_of_view);
}

void GameScene_Wheel(double notches) {
    Camera_Zoom(&scene_camera, notches);
}

int GameScene_Open(const std::string &path) {
    ModelArgs args;
    GameFiles files = GameFiles();
    ResolvedModel model;
    char reason[resolve_reason_size] = "";
    int parsed = ModelArgs_Parse({path}, &args, reason);
    if (!parsed || (!Model_Resolve(args, &files, &model, reason) && model.pieces.empty())) {
        GameFiles_Close(&files);
        say(std::string(reason) + "; still showing " + scene_model.model);
        return 0;
    }
    forget_textures();
    GameFiles_Close(&scene_files);
    scene_files = std::move(files);
    scene_args = args;
    scene_first_args = args;
    // Its scripts, read just now, stay with it.
    scene_model = std::move(model);
    scene_notice.clear();
    return show_model(0);
}

std::vector<std::string> GameScene_PlayerModels(void) {
    if (!scene_args.member.empty() && scene_args.member == scene_args.game)
        return {};   // an .md3 by its own path: its folder is not game data
    return GameFiles_PlayerModels(scene_files);
}

int GameScene_ShowPlayer(const std::string &model) {
    ModelArgs args = scene_first_args;
    args.game = scene_args.game;
    args.model = model;
    args.member.clear();
    scene_args = args;
    scene_notice.clear();
    Playback_Start(&scene_playback);
    if (args.has_time)
        scene_playback.seconds = args.time;
    return show_model(0);
}

std::string GameScene_Title(void) {
    if (scene_model.model.empty())
        return "viewer";
    return scene_model.skin.empty() ? scene_model.model : scene_model.model + " - " + scene_model.skin;
}

int GameScene_SaveScreen(const std::string &path) {
    int width = window_width, height = window_height;
    std::vector<uint8_t> file(tga_header_size);
    TgaConvert_WriteHeader(file.data(), width, height, 24);
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    // GL gives rows bottom to top, as the file keeps them; the file is B, G, R.
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        file.insert(file.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
    FILE *out = std::fopen(path.c_str(), "wb");
    int written = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (out && std::fclose(out) != 0)
        written = 0;
    if (!written) {
        std::fprintf(stderr, "viewer: cannot write %s\n", path.c_str());
        std::remove(path.c_str());
    }
    return written;
}

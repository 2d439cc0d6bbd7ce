#include "game_scene.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "draw.h"
#include "font.h"
#include "image.h"
#include "model_resolve.h"
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
std::map<std::string, uint32_t> scene_textures;      // by image name as the data spells it
uint32_t checks_texture;
uint32_t white_texture;

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
    if (known != scene_textures.end())
        return known->second;
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
        *missing = name + " not found";
    } else if (!GameFiles_Read(scene_files, found, resolve_max_file_bytes, &bytes, reason)) {
        *missing = found + ": " + reason;
    } else if (!Image_Decode(bytes.data(), bytes.size(), found.c_str(), &tga, why)) {
        *missing = found + ": " + why;
    } else {
        texture = upload_decoded(tga);
        std::free(tga.bytes);
        if (!texture)
            *missing = found + ": tga.dll refused it";
    }
    scene_textures[name] = texture;
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
    case SHADER_WAVE_SIN: f = std::sin(x * 2 * 3.14159265358979323846); break;
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
            double shift = mod.turb.amplitude * std::sin((seconds * mod.turb.frequency + mod.turb.phase) * 6.283185307179586);
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

// Which surfaces a pass over the model draws, and when.
struct DrawPass {
    int blended;
    double seconds;
};

// Every surface of the pass in a model, stage by stage.
void draw_looks(const Md3Model *model, int32_t frame_a, int32_t frame_b, float fraction, void *context) {
    const DrawPass *pass = static_cast<const DrawPass *>(context);
    size_t index = 0;
    while (index < scene_pieces.size() && scene_pieces[index] != model)
        ++index;
    if (index == scene_pieces.size())
        return;
    const std::vector<SurfaceLook> &looks = scene_looks[index];
    for (size_t i = 0; i < looks.size(); ++i) {
        const SurfaceLook &look = looks[i];
        if (look.hidden || look.blended != pass->blended)
            continue;
        const Md3Surface *surface = &model->surfaces[i];
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

std::string anim_text(int anim, double seconds) {
    AnimFrame at = Model_FrameAt(scene_model, anim, seconds);
    return std::string(anim_names[anim]) + " " + std::to_string(at.frame);
}

}  // namespace

void GameScene_Init(const std::vector<std::string> &args) {
    font_base = Font_Build();
    font_texture = upload_font();
    checks_texture = make_checks();
    white_texture = upload_pixels(std::vector<uint8_t>(3, 255), 1, 1);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    char reason[resolve_reason_size] = "";
    if (!ModelArgs_Parse(args, &scene_args, reason)) {
        scene_faults.push_back(reason);
    } else if (!Model_Resolve(scene_args, &scene_files, &scene_model, reason)) {
        scene_faults.push_back(reason);
    }
    if (!scene_model.skin_note.empty())
        scene_faults.push_back(scene_model.skin_note);
    load_pieces();
    for (const std::string &fault : scene_faults)
        std::fprintf(stderr, "viewer: %s\n", fault.c_str());
}

std::vector<std::string> GameScene_Lines(double seconds) {
    std::vector<std::string> lines = scene_faults;
    if (!scene_model.model.empty()) {
        std::string shown = scene_model.model;
        if (!scene_model.skin.empty())
            shown += "  skin " + scene_model.skin + "  legs " + anim_text(scene_args.legs, seconds) + "  torso " +
                     anim_text(scene_args.torso, seconds);
        lines.push_back(shown);
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
    return lines;
}

void GameScene_Render(double seconds) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    Scene_PlaceModel();
    Md3Model *root = piece_of(RESOLVE_LOWER) ? piece_of(RESOLVE_LOWER) : piece_of(RESOLVE_MODEL);
    if (piece_of(RESOLVE_LOWER)) {
        set_frame(piece_of(RESOLVE_LOWER), Model_FrameAt(scene_model, scene_args.legs, seconds));
        set_frame(piece_of(RESOLVE_UPPER), Model_FrameAt(scene_model, scene_args.torso, seconds));
    }
    // Opaque surfaces first, then the blended ones over them; a stage after
    // the first draws where the one before it did.
    glDepthFunc(GL_LEQUAL);
    for (int blended = 0; blended < 2; ++blended) {
        DrawPass pass = {blended, seconds};
        MD3_DrawWith(root, draw_looks, &pass);
    }
    glDepthFunc(GL_LESS);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glCullFace(GL_BACK);

    Overlay_Begin(window_width, window_height);
    Scene_PrintStatus();
    // What is shown and what is missing, from the top of the window down.
    std::vector<std::string> lines = GameScene_Lines(seconds);
    for (size_t i = 0; i < lines.size(); ++i)
        Font_Print(0, window_height - 16 * int(i + 1), font_base, font_texture, "%s", lines[i].c_str());
    Overlay_End();
}

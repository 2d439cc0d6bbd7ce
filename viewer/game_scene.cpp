#include "game_scene.h"

#include <cstdio>
#include <cstdlib>

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

ModelArgs scene_args;
GameFiles scene_files;
ResolvedModel scene_model;
std::vector<Md3Model *> scene_pieces;   // by ResolvedModel::pieces, null where none loaded
std::vector<std::string> scene_faults;  // why nothing, or not everything, is shown
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

// The surface's image from the game data, decoded and uploaded; 0 with the
// reason in *missing when it cannot be.
uint32_t upload_image(const ResolvedSurface &surface, std::string *missing) {
    if (surface.source == resolve_builtin_source)
        return white_texture;
    std::vector<uint8_t> bytes;
    char reason[pk3_reason_size] = "";
    if (!GameFiles_Read(scene_files, surface.image, resolve_max_file_bytes, &bytes, reason)) {
        *missing = surface.image + ": " + reason;
        return 0;
    }
    ImageTga tga = {nullptr, 0};
    char why[tga_reason_size] = "";
    if (!Image_Decode(bytes.data(), bytes.size(), surface.image.c_str(), &tga, why)) {
        *missing = surface.image + ": " + why;
        return 0;
    }
    uint32_t texture = TGA_UploadImageMemory(tga.bytes, tga.size);
    std::free(tga.bytes);
    if (!texture)
        *missing = surface.image + ": tga.dll refused it";
    return texture;
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
        if (!model)
            continue;
        for (size_t i = 0; i < piece.surfaces.size() && int32_t(i) < model->header.num_surfaces; ++i) {
            ResolvedSurface &surface = piece.surfaces[i];
            uint32_t texture = 0;
            if (surface.missing.empty())
                texture = upload_image(surface, &surface.missing);
            model->surfaces[i].has_texture = 1;
            model->surfaces[i].texture = texture ? texture : checks_texture;
        }
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
    // Placed as the fixed scene places its model: +x towards the viewer, +z up.
    glTranslatef(0.0f, -10.0f, -50.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
    Md3Model *root = piece_of(RESOLVE_LOWER) ? piece_of(RESOLVE_LOWER) : piece_of(RESOLVE_MODEL);
    if (piece_of(RESOLVE_LOWER)) {
        set_frame(piece_of(RESOLVE_LOWER), Model_FrameAt(scene_model, scene_args.legs, seconds));
        set_frame(piece_of(RESOLVE_UPPER), Model_FrameAt(scene_model, scene_args.torso, seconds));
    }
    if (root)
        MD3_Draw(root);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glCullFace(GL_BACK);

    Overlay_Begin(window_width, window_height);
    glColor3f(1.0f, 1.0f, 1.0f);
    Font_Print(0, 16, font_base, font_texture, "%s", reinterpret_cast<const char *>(gluErrorString(glGetError())));
    Font_Print(0, 0, font_base, font_texture, fps_text);
    // What is shown and what is missing, from the top of the window down.
    std::vector<std::string> lines = GameScene_Lines(seconds);
    for (size_t i = 0; i < lines.size(); ++i)
        Font_Print(0, window_height - 16 * int(i + 1), font_base, font_texture, "%s", lines[i].c_str());
    Overlay_End();
}

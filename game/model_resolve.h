// What a model named on the command line is made of, found by the game's
// rules: its pieces (a player model's lower, upper and head with a weapon
// and its barrel, or one MD3 file alone), the image that gives each surface
// its colour through the skins, the shader scripts and the MD3 shader
// records, and the animations. No GL: the viewer draws what this finds and
// `md3info --resolve` prints it.
#ifndef GAME_MODEL_RESOLVE_H
#define GAME_MODEL_RESOLVE_H

#include <string>
#include <vector>

#include "anim_config.h"
#include "game_files.h"
#include "shader.h"

// Room for a reason, its NUL included: the archive reader's, whose refusals
// it passes on.
const size_t resolve_reason_size = pk3_reason_size;

// The largest MD3 file or image read from the game data.
const size_t resolve_max_file_bytes = 64u << 20;

// The command line: GAME [MODEL] [--skin NAME] [--weapon NAME|none]
// [--legs ANIM] [--torso ANIM] [--time SECONDS]. GAME is a game folder, a
// .pk3 file, a player model's folder or an .md3 file; MODEL a player
// model's name or folder, or an .md3 member shown alone.
struct ModelArgs {
    std::string game;
    std::string model;    // empty: the first player model in name order
    std::string member;   // an .md3 file or member shown alone; empty for a player model
    std::string skin;     // "default" unless given
    std::string weapon;   // empty: machinegun where the data has it; "none": no weapon
    int legs;             // AnimId, LEGS_IDLE unless given
    int torso;            // AnimId, TORSO_STAND unless given
    int has_time;
    double time;          // seconds into both animations, with has_time
};

// 1, or 0 with a usage fault in reason (resolve_reason_size bytes).
int ModelArgs_Parse(const std::vector<std::string> &args, ModelArgs *out, char *reason);

enum ResolvePiece { RESOLVE_LOWER, RESOLVE_UPPER, RESOLVE_HEAD, RESOLVE_WEAPON, RESOLVE_BARREL, RESOLVE_MODEL };

// "lower", "upper", "head", "weapon", "barrel", "model", by ResolvePiece.
extern const char *const resolve_piece_names[];

// The source of an image that no file gives: a shader's $whiteimage.
extern const char *const resolve_builtin_source;

// What `md3info --resolve` prints for the image of a hidden surface.
extern const char *const resolve_hidden_image;

struct ResolvedSurface {
    std::string surface;
    std::string entry;     // the skin line's image or the MD3 shader record, as written
    int shader;            // index into ResolvedModel::shaders.shaders, or -1: the entry names an image
    std::string image;     // the image that gives the colour, as the data spells it; empty when missing
    std::string source;    // where it was found: a .pk3 file's name, "folder" or resolve_builtin_source
    std::string missing;   // why there is no image; empty when found
    int hidden;            // the skin leaves the image empty: the surface is not drawn, as the game does
};

struct ResolvedPiece {
    ResolvePiece piece;
    std::string path;                 // the MD3 file as looked for
    std::string source;               // where it was found; empty when not
    std::string reason;               // why it did not load; empty when it did
    std::vector<uint8_t> bytes;       // the MD3 file
    std::vector<ResolvedSurface> surfaces;
};

struct ResolvedModel {
    std::string model;                // the player model's name, or the MD3 shown alone
    std::string skin;                 // the skin shown; empty for an MD3 alone
    std::string skin_note;            // why another skin than the one asked for is shown
    std::vector<std::string> skins;   // the model's skins, in name order
    std::string weapon;               // empty: none
    std::vector<ResolvedPiece> pieces;
    ShaderSet shaders;                // every script of the game data, in name order
    int has_animation;
    AnimConfig animation;
    std::string animation_reason;     // why there is none, or its first fault
};

// Finds everything the arguments name. A value-initialised files is opened
// on the game data (the caller closes it) and its shader scripts read into
// model; files and model from an earlier call on the same GAME are searched
// and kept as they are, as a viewer going from model to model does. 1 when
// every piece was
// found and loads; 0 otherwise, with reason saying why the first did not
// (pieces that were found are still given). A GAME that cannot be opened
// gives 0 and no pieces.
int Model_Resolve(const ModelArgs &args, GameFiles *files, ResolvedModel *model, char *reason);

// The frames of an animation at args.time (legs and torso, by AnimId).
AnimFrame Model_FrameAt(const ResolvedModel &model, int anim, double seconds);

// The record lines that `md3info --resolve` prints, one per line, fields
// separated by one tab: piece, skin, surface, ignored, animation and, with a
// time, frame.
std::vector<std::string> Model_ResolveLines(const ResolvedModel &model, const ModelArgs &args);

#endif

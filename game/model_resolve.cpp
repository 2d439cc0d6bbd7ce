#include "model_resolve.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "image.h"
#include "md3.h"
#include "skin.h"

const char *const resolve_piece_names[] = {"lower", "upper", "head", "weapon", "barrel", "model"};
const char *const resolve_builtin_source = "builtin";
const char *const resolve_hidden_image = "(hidden)";

namespace {

const char default_skin[] = "default";
const char default_weapon[] = "machinegun";
const char players_folder[] = "models/players/";

int equal_folded(const std::string &a, const std::string &b) {
    return GameFiles_Fold(a) == GameFiles_Fold(b);
}

int ends_with_md3(const std::string &path) {
    return path.size() > 4 && GameFiles_Fold(path.substr(path.size() - 4)) == ".md3";
}

std::string base_name(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folder_of(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The file's bytes from the game data.
int read_game_file(const GameFiles &files, const std::string &path, std::vector<uint8_t> *bytes, std::string *source,
                   std::string *reason) {
    const GameFilesRef *ref = GameFiles_Find(files, path);
    if (!ref) {
        *reason = "not found";
        return 0;
    }
    *source = GameFiles_SourceName(files, *ref);
    char why[pk3_reason_size] = "";
    if (!GameFiles_Read(files, path, resolve_max_file_bytes, bytes, why)) {
        *reason = why;
        return 0;
    }
    return 1;
}

// A file outside the game data: an .md3 given by its own path.
int read_loose_file(const std::string &path, std::vector<uint8_t> *bytes, std::string *reason) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *reason = std::string("file cannot be opened: ") + std::strerror(errno);
        return 0;
    }
    bytes->clear();
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes->size() <= resolve_max_file_bytes)
        bytes->insert(bytes->end(), block, block + got);
    int failed = std::ferror(file);
    std::fclose(file);
    if (failed) {
        *reason = "file cannot be read";
        return 0;
    }
    if (bytes->size() > resolve_max_file_bytes) {
        *reason = "file is over " + std::to_string(resolve_max_file_bytes) + " bytes";
        return 0;
    }
    return 1;
}

// The first shader record of the surface at `start` in an MD3 file, through
// the surface's own offset to its records, which exporters do not always
// put right after the surface header; empty when it lies outside the file.
std::string shader_record(const std::vector<uint8_t> &bytes, int64_t start) {
    Md3SurfaceHeader header;
    if (start < 0 || start > int64_t(bytes.size()) - int64_t(sizeof header))
        return std::string();
    std::memcpy(&header, bytes.data() + start, sizeof header);
    int64_t at = start + int64_t(header.ofs_shaders);
    Md3Shader shader;
    if (header.num_shaders <= 0 || at < 0 || at > int64_t(bytes.size()) - int64_t(sizeof shader))
        return std::string();
    std::memcpy(&shader, bytes.data() + at, sizeof shader);
    return std::string(shader.name, strnlen(shader.name, sizeof shader.name));
}

// A piece's surface names and first shader records, from its MD3 bytes.
int md3_surfaces(ResolvedPiece *piece) {
    Md3Model md3 = {};
    char why[md3_reason_size] = "";
    if (!MD3_Read(piece->bytes.data(), piece->bytes.size(), &md3, why)) {
        piece->reason = why;
        MD3_Free(&md3);
        return 0;
    }
    // Surfaces follow one another from the header's offset, each ofs_end long.
    int64_t start = md3.header.ofs_surfaces;
    for (int32_t i = 0; i < md3.header.num_surfaces; ++i) {
        const Md3Surface &surface = md3.surfaces[i];
        ResolvedSurface resolved = {};
        resolved.shader = -1;
        resolved.surface.assign(surface.header.name, strnlen(surface.header.name, sizeof surface.header.name));
        resolved.entry = shader_record(piece->bytes, start);
        if (resolved.entry.empty() && surface.header.num_shaders > 0)
            resolved.entry.assign(surface.shaders[0].name, strnlen(surface.shaders[0].name, sizeof surface.shaders[0].name));
        start += surface.header.ofs_end;
        piece->surfaces.push_back(resolved);
    }
    MD3_Free(&md3);
    return 1;
}

// The image that gives an entry its colour: a shader's first stage with an
// image, or the entry itself as an image; looked for under the names an
// image may have.
void resolve_entry(const GameFiles &files, const ShaderSet &shaders, ResolvedSurface *surface) {
    std::string image = surface->entry;
    if (image.empty()) {
        surface->missing = "no shader record";
        return;
    }
    const Shader *shader = Shader_Find(&shaders, Shader_NameWithoutExtension(surface->entry.c_str()).c_str());
    if (shader) {
        surface->shader = int(shader - shaders.shaders.data());
        image.clear();
        int white = 0;
        for (const ShaderStage &stage : shader->stages) {
            if ((stage.map == SHADER_MAP_IMAGE || stage.map == SHADER_MAP_ANIMATED) && !stage.images.empty()) {
                image = stage.images[0];
                break;
            }
            white = white || stage.map == SHADER_MAP_WHITE;
        }
        if (image.empty()) {
            if (white) {
                surface->image = "$whiteimage";
                surface->source = resolve_builtin_source;
            } else {
                surface->missing = "shader " + shader->name + " has no stage with an image";
            }
            return;
        }
    }
    for (const std::string &name : Image_NamesToTry(image)) {
        if (const GameFilesRef *ref = GameFiles_Find(files, name)) {
            surface->image = ref->name;
            surface->source = GameFiles_SourceName(files, *ref);
            return;
        }
    }
    surface->missing = image + " not found";
}

// A player piece's surfaces through its skin file.
void skin_surfaces(const GameFiles &files, const ShaderSet &shaders, const std::string &folder,
                   const std::string &skin_name, ResolvedPiece *piece) {
    std::string file_name = std::string(resolve_piece_names[piece->piece]) + "_" + skin_name + ".skin";
    std::vector<uint8_t> text;
    std::string source, why;
    int have = read_game_file(files, folder + file_name, &text, &source, &why);
    Skin skin;
    if (have)
        Skin_Parse(reinterpret_cast<const char *>(text.data()), text.size(), &skin, nullptr);
    for (ResolvedSurface &surface : piece->surfaces) {
        surface.entry.clear();
        const SkinEntry *entry = have ? Skin_Find(&skin, surface.surface.c_str()) : nullptr;
        if (!have) {
            surface.missing = file_name + " " + why;
        } else if (!entry) {
            surface.missing = "no line in " + file_name;
        } else if (entry->image.empty()) {
            // Skins leave a surface's image empty to take it off the model
            // (a vest that one skin has and another lacks).
            surface.hidden = 1;
            surface.source = file_name + " line " + std::to_string(entry->line);
        } else if (equal_folded(entry->image, "null")) {
            surface.entry = entry->image;
            surface.missing = file_name + " line " + std::to_string(entry->line) + " names no image";
        } else {
            surface.entry = entry->image;
            resolve_entry(files, shaders, &surface);
        }
    }
}

// A piece from the game data: found, read and its surfaces listed.
ResolvedPiece load_piece(const GameFiles &files, ResolvePiece kind, const std::string &path) {
    ResolvedPiece piece = {};
    piece.piece = kind;
    piece.path = path;
    if (read_game_file(files, path, &piece.bytes, &piece.source, &piece.reason))
        md3_surfaces(&piece);
    return piece;
}

void read_shaders(const GameFiles &files, ShaderSet *shaders) {
    for (const std::string &path : GameFiles_List(files, "scripts/", ".shader")) {
        std::vector<uint8_t> text;
        std::string source, why;
        if (read_game_file(files, path, &text, &source, &why))
            Shader_ParseFile(reinterpret_cast<const char *>(text.data()), text.size(), path.c_str(), shaders, nullptr);
    }
}

// The player model that `name` (a name or its folder) means, as the data
// spells it; empty when there is none.
std::string find_player_model(const GameFiles &files, std::string name) {
    std::string folded = GameFiles_Fold(name);
    while (!folded.empty() && folded.back() == '/')
        folded.pop_back();
    if (folded.compare(0, sizeof players_folder - 1, players_folder) == 0)
        folded = folded.substr(sizeof players_folder - 1);
    for (const std::string &model : GameFiles_PlayerModels(files))
        if (GameFiles_Fold(model) == folded)
            return model;
    return std::string();
}

void resolve_player(const ModelArgs &args, const GameFiles &files, std::string model_name, ResolvedModel *model) {
    model->model = model_name;
    std::string folder = players_folder + model_name + "/";
    std::set<std::string> skins;
    for (const std::string &path : GameFiles_List(files, folder, ".skin")) {
        std::string piece, skin;
        if (Skin_SplitFileName(base_name(path).c_str(), &piece, &skin, nullptr) &&
            (equal_folded(piece, "lower") || equal_folded(piece, "upper") || equal_folded(piece, "head")))
            skins.insert(skin);
    }
    model->skins.assign(skins.begin(), skins.end());
    model->skin = args.skin;
    if (!skins.empty() && !skins.count(args.skin)) {
        model->skin = *skins.begin();
        model->skin_note = "no skin " + args.skin + ": showing " + model->skin;
    }
    for (ResolvePiece kind : {RESOLVE_LOWER, RESOLVE_UPPER, RESOLVE_HEAD}) {
        model->pieces.push_back(load_piece(files, kind, folder + resolve_piece_names[kind] + ".md3"));
        if (model->pieces.back().reason.empty())
            skin_surfaces(files, model->shaders, folder, model->skin, &model->pieces.back());
    }

    std::string weapon = args.weapon;
    std::string weapons = "models/weapons2/";
    if (weapon.empty() && GameFiles_Find(files, weapons + default_weapon + "/" + default_weapon + ".md3"))
        weapon = default_weapon;
    if (!weapon.empty() && !equal_folded(weapon, "none")) {
        model->weapon = weapon;
        std::string stem = weapons + weapon + "/" + weapon;
        model->pieces.push_back(load_piece(files, RESOLVE_WEAPON, stem + ".md3"));
        if (GameFiles_Find(files, stem + "_barrel.md3"))
            model->pieces.push_back(load_piece(files, RESOLVE_BARREL, stem + "_barrel.md3"));
        for (size_t i = 3; i < model->pieces.size(); ++i)
            for (ResolvedSurface &surface : model->pieces[i].surfaces)
                resolve_entry(files, model->shaders, &surface);
    }

    std::vector<uint8_t> text;
    std::string source, why;
    if (read_game_file(files, folder + "animation.cfg", &text, &source, &why)) {
        char fault[game_text_reason_size] = "";
        AnimConfig_Parse(reinterpret_cast<const char *>(text.data()), text.size(), &model->animation, fault);
        model->has_animation = 1;
        model->animation_reason = fault;
    } else {
        model->animation_reason = "animation.cfg " + why;
    }
}

}  // namespace

int ModelArgs_Parse(const std::vector<std::string> &args, ModelArgs *out, char *reason) {
    *out = ModelArgs();
    out->skin = default_skin;
    out->legs = ANIM_LEGS_IDLE;
    out->torso = ANIM_TORSO_STAND;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positional.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size())
            return Pk3_Refuse(reason, "%s needs a value", arg.c_str());
        const std::string &value = args[++i];
        if (arg == "--skin") {
            out->skin = value;
        } else if (arg == "--weapon") {
            out->weapon = value;
        } else if (arg == "--legs" || arg == "--torso") {
            int anim = Anim_Find(value.c_str());
            if (anim < 0)
                return Pk3_Refuse(reason, "%s: no animation %s", arg.c_str(), value.c_str());
            (arg == "--legs" ? out->legs : out->torso) = anim;
        } else if (arg == "--time") {
            char *end = nullptr;
            out->time = std::strtod(value.c_str(), &end);
            if (value.empty() || *end || !std::isfinite(out->time) || out->time < 0)
                return Pk3_Refuse(reason, "--time: %s is not a number of seconds", value.c_str());
            out->has_time = 1;
        } else {
            return Pk3_Refuse(reason, "unknown option %s", arg.c_str());
        }
    }
    if (positional.empty() || positional.size() > 2)
        return Pk3_Refuse(reason, "give GAME [MODEL], or FILE.md3");
    out->game = positional[0];
    if (positional.size() == 2) {
        if (ends_with_md3(positional[1]))
            out->member = positional[1];
        else
            out->model = positional[1];
    } else if (ends_with_md3(out->game)) {
        out->member = out->game;
    }
    return 1;
}

int Model_Resolve(const ModelArgs &args, GameFiles *files, ResolvedModel *model, char *reason) {
    // Game data already open is searched as it is, with the scripts read then.
    int open = !files->root.empty() || !files->archives.empty();
    ShaderSet shaders = ShaderSet();
    if (open)
        shaders = std::move(model->shaders);
    *model = ResolvedModel();
    model->shaders = std::move(shaders);
    char why[pk3_reason_size] = "";
    int alone_on_disk = args.member == args.game;
    std::string game = args.game, player;
    if (alone_on_disk) {
        // An .md3 by its own path: the game folder above its `models`, or
        // its own folder, gives the images.
        // Letter case and separators only: the indexes must stay the path's.
        std::string folded = args.game;
        for (char &c : folded)
            c = c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
        size_t models = folded.rfind("models/");
        game = models != std::string::npos && (models == 0 || folded[models - 1] == '/')
                   ? (models == 0 ? "." : args.game.substr(0, models - 1))
                   : folder_of(args.game);
    }
    if (!open) {
        if (!GameFiles_Open(game, files, why))
            return Pk3_Refuse(reason, "%s: %s", game.c_str(), why);
        read_shaders(*files, &model->shaders);
    }

    if (!args.member.empty()) {
        model->model = args.member;
        ResolvedPiece piece = {};
        piece.piece = RESOLVE_MODEL;
        piece.path = args.member;
        if (alone_on_disk) {
            if (read_loose_file(args.member, &piece.bytes, &piece.reason) && md3_surfaces(&piece))
                piece.source = game_files_folder_source;
        } else {
            piece = load_piece(*files, RESOLVE_MODEL, args.member);
        }
        for (ResolvedSurface &surface : piece.surfaces)
            resolve_entry(*files, model->shaders, &surface);
        model->pieces.push_back(piece);
    } else {
        std::string root, in_path;
        if (GameFiles_PlayerFolder(args.game, &root, &in_path) && args.model.empty())
            player = in_path;
        else if (!args.model.empty())
            player = args.model;
        std::vector<std::string> models = GameFiles_PlayerModels(*files);
        std::string name = player.empty() ? (models.empty() ? "" : models[0]) : find_player_model(*files, player);
        if (name.empty())
            return Pk3_Refuse(reason, player.empty() ? "%s holds no player model" : "%s holds no player model %s",
                          args.game.c_str(), player.c_str());
        resolve_player(args, *files, name, model);
    }
    for (const ResolvedPiece &piece : model->pieces)
        if (!piece.reason.empty())
            return Pk3_Refuse(reason, "%s: %s", piece.path.c_str(), piece.reason.c_str());
    return 1;
}

AnimFrame Model_FrameAt(const ResolvedModel &model, int anim, double seconds) {
    AnimRow none = {0, 0, 0, 0};
    return Anim_FrameAt(model.has_animation && anim >= 0 && anim < anim_count ? &model.animation.rows[anim] : &none,
                        seconds);
}

std::vector<std::string> Model_ResolveLines(const ResolvedModel &model, const ModelArgs &args) {
    std::vector<std::string> lines;
    const std::string tab = "\t";
    for (const ResolvedPiece &piece : model.pieces) {
        std::string name = resolve_piece_names[piece.piece];
        lines.push_back("piece" + tab + name + tab + piece.path + tab +
                        (piece.reason.empty() ? piece.source : "-" + tab + piece.reason));
    }
    if (!model.skin.empty())
        lines.push_back("skin" + tab + model.skin + (model.skin_note.empty() ? "" : tab + model.skin_note));
    std::set<int> shaders_used;
    for (const ResolvedPiece &piece : model.pieces) {
        for (const ResolvedSurface &surface : piece.surfaces) {
            std::string line = "surface" + tab + resolve_piece_names[piece.piece] + tab + surface.surface + tab;
            if (surface.hidden)
                lines.push_back(line + resolve_hidden_image + tab + surface.source);
            else
                lines.push_back(line + (surface.missing.empty() ? surface.image + tab + surface.source
                                                                : "-" + tab + surface.missing));
            if (surface.shader >= 0)
                shaders_used.insert(surface.shader);
        }
    }
    for (int index : shaders_used) {
        const Shader &shader = model.shaders.shaders[size_t(index)];
        std::set<std::string> said;
        std::vector<std::string> ignored = shader.ignored;
        for (const ShaderStage &stage : shader.stages)
            ignored.insert(ignored.end(), stage.ignored.begin(), stage.ignored.end());
        for (const std::string &keyword : ignored)
            if (said.insert(GameFiles_Fold(keyword)).second)
                lines.push_back("ignored" + tab + shader.name + tab + keyword);
    }
    if (model.has_animation) {
        for (int i = 0; i < anim_count; ++i) {
            const AnimRow &row = model.animation.rows[i];
            char fields[96];
            std::snprintf(fields, sizeof fields, "\t%d\t%d\t%d\t%d", row.first, row.count, row.looping, row.fps);
            lines.push_back("animation" + tab + anim_names[i] + fields);
        }
    }
    if (args.has_time && !model.skin.empty()) {
        const int anims[2] = {args.legs, args.torso};
        for (int i = 0; i < 2; ++i) {
            AnimFrame at = Model_FrameAt(model, anims[i], args.time);
            char fields[96];
            std::snprintf(fields, sizeof fields, "\t%d\t%d\t%f", at.frame, at.next, at.fraction);
            lines.push_back(std::string("frame") + tab + (i == 0 ? "legs" : "torso") + fields);
        }
    }
    return lines;
}

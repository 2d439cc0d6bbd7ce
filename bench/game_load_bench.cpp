// Loading every player model of a game folder in turn, as a viewer going
// from model to model loads them (the game data opened and its shader
// scripts read once, then each model resolved through its skins and the
// scripts, every image it shows read and decoded), against a floor: the
// archives' central directories read, and the same members inflated and the
// same images decoded, with nothing else. No GL.
// Usage: game_load_bench GAME [ROUNDS]; prints the fastest round of each.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "image.h"
#include "model_resolve.h"

namespace {

double now_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What loading one model reads: every member, and which of them are images.
struct ModelReads {
    std::vector<std::string> members;
    std::set<std::string> images;
};

// The viewer's load of one model, its images decoded; what it read into
// *reads when given.
int load_model(const std::string &game, const std::string &name, GameFiles &files, ResolvedModel &model,
               ModelReads *reads) {
    ModelArgs args;
    if (!ModelArgs_Parse({game, name}, &args, nullptr))
        return 0;
    Model_Resolve(args, &files, &model, nullptr);
    std::set<std::string> images;
    for (const ResolvedPiece &piece : model.pieces) {
        for (const ResolvedSurface &surface : piece.surfaces) {
            if (surface.shader >= 0) {
                for (const ShaderStage &stage : model.shaders.shaders[size_t(surface.shader)].stages)
                    for (const std::string &image : stage.images)
                        images.insert(image);
            } else if (surface.missing.empty() && surface.source != resolve_builtin_source) {
                images.insert(surface.image);
            }
        }
    }
    int decoded = 0;
    for (const std::string &image : images) {
        for (const std::string &candidate : Image_NamesToTry(image)) {
            const GameFilesRef *ref = GameFiles_Find(files, candidate);
            if (!ref)
                continue;
            std::vector<uint8_t> bytes;
            ImageTga tga = {nullptr, 0};
            if (GameFiles_Read(files, ref->name, resolve_max_file_bytes, &bytes, nullptr) &&
                Image_Decode(bytes.data(), bytes.size(), ref->name.c_str(), &tga, nullptr))
                ++decoded;
            std::free(tga.bytes);
            if (reads)
                reads->images.insert(ref->name);
            break;
        }
    }
    if (reads) {
        std::string folder = "models/players/" + model.model + "/";
        for (const ResolvedPiece &piece : model.pieces)
            reads->members.push_back(piece.path);
        for (const std::string &path : GameFiles_List(files, folder, ".skin"))
            reads->members.push_back(path);
        reads->members.push_back(folder + "animation.cfg");
        reads->members.insert(reads->members.end(), reads->images.begin(), reads->images.end());
    }
    return decoded;
}

// Every model in turn, the game data opened once.
int load_all(const std::string &game, const std::vector<std::string> &models, std::vector<ModelReads> *reads) {
    GameFiles files = {};
    ResolvedModel model;
    int decoded = 0;
    for (size_t i = 0; i < models.size(); ++i)
        decoded += load_model(game, models[i], files, model, reads ? &(*reads)[i] : nullptr);
    GameFiles_Close(&files);
    return decoded;
}

// The members one load read, inflated, and its images decoded.
void floor_reads(const std::vector<Pk3> &archives, const GameFiles &index, const ModelReads &reads) {
    for (const std::string &member : reads.members) {
        const GameFilesRef *ref = GameFiles_Find(index, member);
        if (!ref || ref->archive < 0)
            continue;
        std::vector<uint8_t> bytes;
        if (!Pk3_Read(archives[size_t(ref->archive)], ref->entry, &bytes, nullptr) || !reads.images.count(member))
            continue;
        ImageTga tga = {nullptr, 0};
        Image_Decode(bytes.data(), bytes.size(), member.c_str(), &tga, nullptr);
        std::free(tga.bytes);
    }
}

// The floor: every archive's central directory and the shader scripts
// inflated once, then each model's members.
void floor_all(const std::string &game, const GameFiles &index, const std::vector<ModelReads> &all_reads) {
    std::vector<Pk3> archives(index.archive_names.size());
    for (size_t i = 0; i < archives.size(); ++i)
        Pk3_Open(game + "/" + index.archive_names[i], &archives[i], nullptr);
    ModelReads scripts;
    scripts.members = GameFiles_List(index, "scripts/", ".shader");
    floor_reads(archives, index, scripts);
    for (const ModelReads &reads : all_reads)
        floor_reads(archives, index, reads);
    for (Pk3 &archive : archives)
        Pk3_Close(&archive);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: game_load_bench GAME [ROUNDS]\n");
        return 2;
    }
    std::string game = argv[1];
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    GameFiles index = {};
    if (!GameFiles_Open(game, &index, nullptr)) {
        std::fprintf(stderr, "game_load_bench: %s cannot be opened\n", game.c_str());
        return 1;
    }
    std::vector<std::string> models = GameFiles_PlayerModels(index);
    std::vector<ModelReads> reads(models.size());
    int images = load_all(game, models, &reads);

    double best_load = 1e30, best_floor = 1e30;
    for (int round = 0; round < rounds; ++round) {
        double start = now_seconds();
        load_all(game, models, nullptr);
        double middle = now_seconds();
        floor_all(game, index, reads);
        double end = now_seconds();
        best_load = std::min(best_load, middle - start);
        best_floor = std::min(best_floor, end - middle);
    }
    std::printf("%zu player models, %d images decoded\n", models.size(), images);
    std::printf("load_s %.3f\nfloor_s %.3f\nratio %.2f\n", best_load, best_floor, best_load / best_floor);
    GameFiles_Close(&index);
    return 0;
}

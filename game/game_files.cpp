#include "game_files.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <new>

#include "game_fs.h"

const char *const game_files_folder_source = "folder";

namespace {

// Folders below the game folder that the walk for loose files enters at
// most; deeper ones (or a loop of links) are left out.
const int max_folder_depth = 32;

char fold_char(char c) {
    if (c == '\\')
        return '/';
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool ends_with(const std::string &text, const std::string &suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool is_pk3_name(const std::string &name) {
    return ends_with(GameFiles_Fold(name), ".pk3");
}

std::string join(const std::string &folder, const std::string &name) {
    return folder.empty() ? name : folder + "/" + name;
}

// The loose files under folder (at `inside` within the game folder) into the
// index, the game folder's own .pk3 files left out. Folders that cannot be
// listed are passed over.
void index_loose(GameFiles *files, const std::string &folder, const std::string &inside, int depth) {
    std::vector<GameFsEntry> entries;
    std::string error;
    if (depth > max_folder_depth || !GameFs_List(folder, &entries, &error))
        return;
    for (const GameFsEntry &entry : entries) {
        std::string path = join(folder, entry.name), name = join(inside, entry.name);
        if (entry.is_folder)
            index_loose(files, path, name, depth + 1);
        else if (depth > 0 || !is_pk3_name(entry.name))
            files->index.emplace(GameFiles_Fold(name), GameFilesRef{-1, 0, path, name});
    }
}

// The members of archives[archive] that no earlier source holds; folders
// (names ending in '/') are no files.
void index_archive(GameFiles *files, int archive) {
    const std::vector<Pk3Entry> &entries = files->archives[size_t(archive)].entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string key = GameFiles_Fold(entries[i].name);
        if (!key.empty() && key.back() != '/')
            files->index.emplace(key, GameFilesRef{archive, i, std::string(), entries[i].name});
    }
}

std::string file_name_of(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int open_folder(const std::string &root, GameFiles *files, char *reason) {
    std::vector<GameFsEntry> entries;
    std::string error;
    if (!GameFs_List(root, &entries, &error))
        return Pk3_Refuse(reason, "%s: %s", root.c_str(), error.c_str());
    files->root = root;
    // Archives in plain byte order of their names, as the game sorts them
    // (case counts: "Z.pk3" comes before "a.pk3"); searched from the last.
    std::vector<std::string> names;
    for (const GameFsEntry &entry : entries)
        if (!entry.is_folder && is_pk3_name(entry.name))
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    for (size_t i = names.size(); i-- > 0;) {
        Pk3 archive = Pk3();
        char why[pk3_reason_size] = "";
        if (Pk3_Open(join(root, names[i]), &archive, why)) {
            files->archives.push_back(archive);
            files->archive_names.push_back(names[i]);
        } else {
            files->refused.push_back({names[i], why});
        }
    }
    index_loose(files, root, std::string(), 0);
    for (size_t i = 0; i < files->archives.size(); ++i)
        index_archive(files, int(i));
    return 1;
}

int open_path(const std::string &path, GameFiles *files, char *reason) {
    // A model's folder stands for its game folder even when the model lives
    // only in an archive, so that the folder need not exist.
    GameFsKind kind = GameFs_Kind(path);
    std::string root, model;
    if (kind != GAME_FS_FILE && GameFiles_PlayerFolder(path, &root, &model) && GameFs_Kind(root) == GAME_FS_FOLDER)
        return open_folder(root, files, reason);
    if (kind == GAME_FS_MISSING)
        return Pk3_Refuse(reason, "%s: no such file or folder", path.c_str());
    if (kind == GAME_FS_FOLDER)
        return open_folder(path, files, reason);
    Pk3 archive = Pk3();
    char why[pk3_reason_size] = "";
    if (!Pk3_Open(path, &archive, why))
        return Pk3_Refuse(reason, "%s: %s", path.c_str(), why);
    files->archives.push_back(archive);
    files->archive_names.push_back(file_name_of(path));
    index_archive(files, 0);
    return 1;
}

}  // namespace

std::string GameFiles_Fold(const std::string &path) {
    size_t start = 0;
    while (start < path.size() && (path[start] == '/' || path[start] == '\\'))
        ++start;
    std::string folded = path.substr(start);
    std::transform(folded.begin(), folded.end(), folded.begin(), fold_char);
    return folded;
}

int GameFiles_PlayerFolder(const std::string &path, std::string *root, std::string *model) {
    std::string folded = GameFiles_Fold(path);
    size_t end = folded.size();
    while (end > 0 && folded[end - 1] == '/')
        --end;
    size_t name_start = folded.rfind('/', end == 0 ? 0 : end - 1);
    const std::string marker = "models/players/";
    if (name_start == std::string::npos || name_start + 1 == end || name_start + 1 < marker.size() ||
        folded.compare(name_start + 1 - marker.size(), marker.size(), marker) != 0)
        return 0;
    size_t models_at = name_start + 1 - marker.size();
    if (models_at > 0 && folded[models_at - 1] != '/')
        return 0;
    // Positions in the folded path map back to the original by the count of
    // leading separators that folding dropped.
    size_t dropped = 0;
    while (dropped < path.size() && (path[dropped] == '/' || path[dropped] == '\\'))
        ++dropped;
    *model = path.substr(dropped + name_start + 1, end - name_start - 1);
    if (models_at == 0)
        *root = dropped ? path.substr(0, 1) : ".";
    else
        *root = path.substr(0, dropped + models_at - 1);
    return 1;
}

int GameFiles_Open(const std::string &path, GameFiles *files, char *reason) {
    GameFiles_Close(files);
    int result = 0;
    try {
        result = open_path(path, files, reason);
    } catch (const std::bad_alloc &) {
        result = Pk3_Refuse(reason, "out of memory");
    }
    if (!result)
        GameFiles_Close(files);
    return result;
}

void GameFiles_Close(GameFiles *files) {
    for (Pk3 &archive : files->archives)
        Pk3_Close(&archive);
    files->root.clear();
    files->archives.clear();
    files->archive_names.clear();
    files->refused.clear();
    files->index.clear();
}

const GameFilesRef *GameFiles_Find(const GameFiles &files, const std::string &path) {
    auto found = files.index.find(GameFiles_Fold(path));
    return found == files.index.end() ? nullptr : &found->second;
}

std::string GameFiles_SourceName(const GameFiles &files, const GameFilesRef &ref) {
    return ref.archive < 0 ? std::string(game_files_folder_source) : files.archive_names[size_t(ref.archive)];
}

int GameFiles_Read(const GameFiles &files, const std::string &path, size_t max_bytes, std::vector<uint8_t> *bytes,
                   char *reason) {
    bytes->clear();
    const GameFilesRef *ref = GameFiles_Find(files, path);
    if (!ref)
        return Pk3_Refuse(reason, "%s: not found", path.c_str());
    if (ref->archive >= 0) {
        const Pk3 &archive = files.archives[size_t(ref->archive)];
        const char *source = files.archive_names[size_t(ref->archive)].c_str();
        if (archive.entries[ref->entry].size > max_bytes)
            return Pk3_Refuse(reason, "%s in %s: %u bytes, over the limit of %llu", ref->name.c_str(), source,
                          archive.entries[ref->entry].size, static_cast<unsigned long long>(max_bytes));
        char why[pk3_reason_size] = "";
        if (!Pk3_Read(archive, ref->entry, bytes, why))
            return Pk3_Refuse(reason, "%s in %s: %s", ref->name.c_str(), source, why);
        return 1;
    }
    FILE *file = GameFs_Open(ref->loose_path);
    if (!file)
        return Pk3_Refuse(reason, "%s: cannot be opened", ref->loose_path.c_str());
    uint64_t size = 0;
    int result = GameFs_Size(file, &size) && GameFs_Seek(file, 0);
    if (!result)
        Pk3_Refuse(reason, "%s: cannot be read", ref->loose_path.c_str());
    else if (size > max_bytes)
        result = Pk3_Refuse(reason, "%s: %llu bytes, over the limit of %llu", ref->loose_path.c_str(),
                        static_cast<unsigned long long>(size), static_cast<unsigned long long>(max_bytes));
    try {
        if (result)
            bytes->resize(size_t(size));
    } catch (const std::bad_alloc &) {
        result = Pk3_Refuse(reason, "out of memory (%llu bytes)", static_cast<unsigned long long>(size));
    }
    if (result && size && std::fread(bytes->data(), 1, bytes->size(), file) != bytes->size())
        result = Pk3_Refuse(reason, "%s: cannot be read", ref->loose_path.c_str());
    std::fclose(file);
    if (!result)
        bytes->clear();
    return result;
}

std::vector<std::string> GameFiles_List(const GameFiles &files, const std::string &prefix,
                                        const std::string &suffix) {
    std::vector<std::string> names;
    std::string folded_prefix = GameFiles_Fold(prefix), folded_suffix = GameFiles_Fold(suffix);
    for (auto it = files.index.lower_bound(folded_prefix);
         it != files.index.end() && it->first.compare(0, folded_prefix.size(), folded_prefix) == 0; ++it)
        if (ends_with(it->first, folded_suffix))
            names.push_back(it->second.name);
    return names;
}

std::vector<std::string> GameFiles_PlayerModels(const GameFiles &files) {
    const std::string players = "models/players/";
    std::map<std::string, std::string> models;   // by folded name
    for (auto it = files.index.lower_bound(players);
         it != files.index.end() && it->first.compare(0, players.size(), players) == 0; ++it) {
        const std::string &key = it->first;
        size_t slash = key.find('/', players.size());
        if (slash == std::string::npos || slash == players.size())
            continue;
        std::string piece = key.substr(slash + 1);
        if (piece != "lower.md3" && piece != "upper.md3" && piece != "head.md3")
            continue;
        // The name as the first piece found spells it; folding dropped
        // only leading separators, so the two line up from the end.
        size_t name_at = it->second.name.size() - key.size() + players.size();
        models.emplace(key.substr(players.size(), slash - players.size()),
                       it->second.name.substr(name_at, slash - players.size()));
    }
    std::vector<std::string> names;
    for (const auto &model : models)
        names.push_back(model.second);
    return names;
}

// The game's data as the game searches it. A GAME path is a game folder
// (loose files, .pk3 files, or both), one .pk3 file, or a player model's
// own folder (models/players/NAME), which stands for the game folder above
// `models`. Files are looked up by paths that compare without regard to
// ASCII case, with '\' the same as '/' and leading slashes ignored. Loose
// files come first, then the folder's .pk3 files from the last name to the
// first, so that a later archive overrides an earlier one.
// Reasons go into buffers of pk3_reason_size bytes (null: not wanted).
#ifndef GAME_GAME_FILES_H
#define GAME_GAME_FILES_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pk3.h"

// The source named for a loose file.
extern const char *const game_files_folder_source;

// Where a path was found: the archive (index into GameFiles::archives) and
// its entry, or a loose file (archive -1) at its path on this machine.
struct GameFilesRef {
    int archive;
    size_t entry;
    std::string loose_path;
    std::string name;   // the path as the source spells it
};

// An archive that refused to open.
struct GameFilesRefusal {
    std::string name;
    std::string reason;
};

struct GameFiles {
    std::string root;                        // the game folder; empty for one .pk3 file
    std::vector<Pk3> archives;               // in search order, the last name first
    std::vector<std::string> archive_names;  // their file names, as listed
    std::vector<GameFilesRefusal> refused;
    std::map<std::string, GameFilesRef> index;   // by folded path; the first source in search order
};

// The path folded as lookups compare it: ASCII letters lower case, '\' as
// '/', leading slashes dropped.
std::string GameFiles_Fold(const std::string &path);

// 1 when path ends in models/players/NAME (any case, either separator, a
// trailing one allowed), with the game folder above `models` into *root
// ("." when the path starts at `models`) and NAME into *model; 0 otherwise.
int GameFiles_PlayerFolder(const std::string &path, std::string *root, std::string *model);

// Opens a GAME path: 1, or 0 with a reason when it names nothing, a folder
// that cannot be listed, or a single file that is not a readable .pk3. A
// path that GameFiles_PlayerFolder takes opens its game folder, whether or
// not the model's own folder exists there. In a folder, archives that refuse
// are listed in `refused` and the others are searched. The record must be
// value-initialised or closed; anything open in it is closed first.
int GameFiles_Open(const std::string &path, GameFiles *files, char *reason);

void GameFiles_Close(GameFiles *files);

// Where path is found, or null.
const GameFilesRef *GameFiles_Find(const GameFiles &files, const std::string &path);

// The name of the source of a found file: the .pk3 file's name, or
// game_files_folder_source.
std::string GameFiles_SourceName(const GameFiles &files, const GameFilesRef &ref);

// The bytes of a file: 1, or 0 with a reason when it is not found, is over
// max_bytes, or cannot be read (a .pk3 member's refusal, with the archive's
// name).
int GameFiles_Read(const GameFiles &files, const std::string &path, size_t max_bytes, std::vector<uint8_t> *bytes,
                   char *reason);

// The files below a folder prefix whose names end in suffix (both compared
// folded; prefix "" is the whole tree), as their winning sources spell
// them, in folded name order.
std::vector<std::string> GameFiles_List(const GameFiles &files, const std::string &prefix,
                                        const std::string &suffix);

// The player models: folders right under models/players that hold at least
// one of lower.md3, upper.md3 and head.md3, named as the data spells them,
// in folded name order.
std::vector<std::string> GameFiles_PlayerModels(const GameFiles &files);

#endif

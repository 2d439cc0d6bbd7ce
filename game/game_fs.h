// The file system as the game-data readers use it: the one part that differs
// between POSIX and Windows. Paths are UTF-8 strings; on Windows they go to
// the wide-character functions, so that any file name works whatever the
// ANSI code page. Offsets are 64-bit, so that archives over 2 GiB seek right
// where long is 32 bits.
#ifndef GAME_GAME_FS_H
#define GAME_GAME_FS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The file opened for reading in binary mode, or null.
FILE *GameFs_Open(const std::string &path);

// Moves to offset from the start: 1, or 0.
int GameFs_Seek(FILE *file, uint64_t offset);

// The file's length into *size: 1, or 0 when the system cannot tell.
int GameFs_Size(FILE *file, uint64_t *size);

enum GameFsKind { GAME_FS_MISSING, GAME_FS_FILE, GAME_FS_FOLDER };

// What path names, links followed.
GameFsKind GameFs_Kind(const std::string &path);

struct GameFsEntry {
    std::string name;
    int is_folder;   // links to folders count as folders
};

// The entries of a folder, "." and ".." left out, in the system's order: 1,
// or 0 with the system's text in *error.
int GameFs_List(const std::string &folder, std::vector<GameFsEntry> *entries, std::string *error);

#endif

// The files of tgaconv: the one part that differs between POSIX and Windows.
// Paths are UTF-8 strings; on Windows they go to the wide-character file
// functions, so that any file name works whatever the ANSI code page.
// Reasons are one line in a buffer of conv_reason_size bytes, with the
// system's own text for a failure of the system.
#ifndef TOOLS_CONV_FILES_H
#define TOOLS_CONV_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Room for a reason that names a path.
const size_t conv_reason_size = 1024;

// Once, before any other call: interrupted runs remove the temporary file
// they were writing; on Windows the console prints UTF-8.
void ConvFiles_Setup();

#ifdef _WIN32
// A wide-character argument as UTF-8.
std::string ConvFiles_FromWide(const wchar_t *text);
#endif

// The whole file into *bytes (C heap, the caller frees it) and *size: 1, or
// 0 with "file cannot be opened: ...", "file cannot be read" or "out of
// memory (N bytes)".
int ConvFiles_Read(const std::string &path, uint8_t **bytes, size_t *size, char *reason);

// The bytes written to a temporary file in path's folder and moved over
// path, replacing a file already there: 1, or 0 with "PATH cannot be written:
// ..." and path left as it was. The temporary name starts with ".tgaconv-"
// and does not end in ".tga", so that no folder walk takes it. A file that
// is replaced keeps its permissions (on Windows its attributes; its access
// rights are those its folder gives). Only a path that does not exist gets
// the default ones: when the old file's cannot be learnt, nothing is written.
int ConvFiles_Replace(const std::string &path, const uint8_t *bytes, size_t size, char *reason);

// 1 when both paths name one existing file, however spelled (device and
// inode; on Windows volume serial number and file index); 0 otherwise.
int ConvFiles_Same(const std::string &a, const std::string &b);

// 1 when path is a folder, 0 when it is something else or does not exist,
// -1 with "file cannot be examined: ..." when the system cannot tell.
int ConvFiles_IsFolder(const std::string &path, char *reason);

// A file that ConvFiles_Walk found, or a folder or entry that it could not
// open, list or examine, with the reason.
struct ConvFilesFound {
    std::string path;      // inside the folder walked, joined with '/'; empty: the folder itself
    std::string refusal;   // empty for a file
};

// The files named *.tga (any letter case) under folder and its subfolders,
// and the folders and entries there that refuse the walk ("folder cannot be
// opened: ...", "folder cannot be read: ...", "file cannot be examined:
// ..."), sorted by path. Links to folders are not followed. Throws
// std::bad_alloc with nothing left open.
std::vector<ConvFilesFound> ConvFiles_Walk(const std::string &folder);

// Makes the folder and any missing parents: 1, or 0 with "folder F cannot be
// made: ...".
int ConvFiles_MakeFolders(const std::string &folder, char *reason);

// The path with letters folded to one case, as Windows compares names (on
// POSIX systems ASCII letters only).
std::string ConvFiles_FoldCase(const std::string &path);

// folder and name joined with '/', or with nothing when folder is empty or
// ends in a separator.
std::string ConvFiles_Join(const std::string &folder, const std::string &name);

// The folder part of a path up to its last separator, "." when it has none.
std::string ConvFiles_FolderOf(const std::string &path);

// 1 when c separates folders in a path ('/', and '\' on Windows).
int ConvFiles_IsSeparator(char c);

// 1 when standard error is a terminal (a console on Windows).
int ConvFiles_ErrorIsTerminal();

#endif

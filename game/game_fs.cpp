#include "game_fs.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>
#endif

#ifdef _WIN32

namespace {

std::wstring to_wide(const std::string &text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(size_t(length) - 1);
    return wide;
}

std::string from_wide(const wchar_t *text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(size_t(length) - 1);
    return narrow;
}

}  // namespace

FILE *GameFs_Open(const std::string &path) {
    return _wfopen(to_wide(path).c_str(), L"rb");
}

int GameFs_Seek(FILE *file, uint64_t offset) {
    return offset <= uint64_t(INT64_MAX) && _fseeki64(file, int64_t(offset), SEEK_SET) == 0;
}

int GameFs_Size(FILE *file, uint64_t *size) {
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return 0;
    int64_t end = _ftelli64(file);
    if (end < 0)
        return 0;
    *size = uint64_t(end);
    return 1;
}

GameFsKind GameFs_Kind(const std::string &path) {
    DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GAME_FS_MISSING;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? GAME_FS_FOLDER : GAME_FS_FILE;
}

int GameFs_List(const std::string &folder, std::vector<GameFsEntry> *entries, std::string *error) {
    WIN32_FIND_DATAW found;
    std::wstring pattern = to_wide(folder.empty() ? std::string("*") : folder + "\\*");
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return 1;   // a drive's empty root lists nothing, not even "."
        *error = "folder cannot be listed (error " + std::to_string(GetLastError()) + ")";
        return 0;
    }
    do {
        std::string name = from_wide(found.cFileName);
        if (name != "." && name != "..")
            entries->push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 1;
}

#else

FILE *GameFs_Open(const std::string &path) {
    return std::fopen(path.c_str(), "rb");
}

int GameFs_Seek(FILE *file, uint64_t offset) {
    return offset <= uint64_t(INT64_MAX) && fseeko(file, off_t(offset), SEEK_SET) == 0;
}

int GameFs_Size(FILE *file, uint64_t *size) {
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    off_t end = ftello(file);
    if (end < 0)
        return 0;
    *size = uint64_t(end);
    return 1;
}

GameFsKind GameFs_Kind(const std::string &path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return GAME_FS_MISSING;
    return S_ISDIR(status.st_mode) ? GAME_FS_FOLDER : GAME_FS_FILE;
}

int GameFs_List(const std::string &folder, std::vector<GameFsEntry> *entries, std::string *error) {
    DIR *listing = opendir(folder.c_str());
    if (!listing) {
        *error = std::string("folder cannot be listed: ") + std::strerror(errno);
        return 0;
    }
    while (dirent *entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            entries->push_back({name, GameFs_Kind(folder + "/" + name) == GAME_FS_FOLDER});
    }
    closedir(listing);
    return 1;
}

#endif

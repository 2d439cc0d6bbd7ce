#include "conv_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A file name ending in .tga, any letter case.
bool is_tga_name(const char *name) {
    size_t length = std::strlen(name);
    if (length < 4)
        return false;
    const char *end = name + length - 4;
    return end[0] == '.' && (end[1] | 0x20) == 't' && (end[2] | 0x20) == 'g' && (end[3] | 0x20) == 'a';
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int refuse(char *reason, const char *format, ...) {
    if (reason) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(reason, conv_reason_size, format, args);
        va_end(args);
    }
    return 0;
}

// The rest of the file into a buffer: 1, or 0 with a reason. Shared by both
// systems once the file is open.
int read_open_file(FILE *file, int64_t length, uint8_t **bytes, size_t *size, char *reason) {
    if (length < 0 || uint64_t(length) >= uint64_t(SIZE_MAX))
        return refuse(reason, "file cannot be read");
    // One byte more than the length, so that an empty file has a buffer too.
    uint8_t *buffer = static_cast<uint8_t *>(std::malloc(size_t(length) + 1));
    if (!buffer)
        return refuse(reason, "out of memory (%llu bytes)", static_cast<unsigned long long>(length) + 1);
    size_t got = std::fread(buffer, 1, size_t(length), file);
    if (got < size_t(length) && std::ferror(file)) {
        std::free(buffer);
        return refuse(reason, "file cannot be read");
    }
    *bytes = buffer;
    *size = got;
    return 1;
}

// A folder or entry that the walk cannot open, list or examine.
void add_refusal(std::vector<ConvFilesFound> *found, const std::string &inside, const char *what,
                 const std::string &text) {
    found->push_back({inside, std::string(what) + ": " + text});
}

}  // namespace

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

// The system's text for an error code, without its line end.
std::string system_text(DWORD error) {
    wchar_t *text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string result = length ? ConvFiles_FromWide(text) : "error " + std::to_string(error);
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}

// The temporary file being written, removed when the console interrupts the
// run: opened with FILE_SHARE_DELETE, so that it can be deleted while open.
wchar_t pending_temp[32768];
volatile LONG temp_pending = 0;
UINT console_output_cp = 0;

BOOL WINAPI on_console_event(DWORD) {
    if (temp_pending)
        DeleteFileW(pending_temp);
    return FALSE;   // the default handler ends the process
}

void restore_console() {
    SetConsoleOutputCP(console_output_cp);
}

HANDLE open_for_identity(const std::string &path) {
    return CreateFileW(to_wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The files in folder, which is at inside within the folder walked, and what
// refuses the walk. A search gives each entry's attributes with its name.
void walk(const std::string &folder, const std::string &inside, std::vector<ConvFilesFound> *found) {
    WIN32_FIND_DATAW entry;
    std::wstring pattern = to_wide(ConvFiles_Join(folder, "*"));
    HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        // Nothing matched: a drive's empty root, which lists no "." either.
        if (error != ERROR_FILE_NOT_FOUND)
            add_refusal(found, inside, "folder cannot be opened", system_text(error));
        return;
    }
    try {
        do {
            std::string name = ConvFiles_FromWide(entry.cFileName);
            if (name == "." || name == "..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    walk(ConvFiles_Join(folder, name), ConvFiles_Join(inside, name), found);
            } else if (is_tga_name(name.c_str())) {
                found->push_back({ConvFiles_Join(inside, name), std::string()});
            }
        } while (FindNextFileW(search, &entry));
        DWORD error = GetLastError();
        if (error != ERROR_NO_MORE_FILES)
            add_refusal(found, inside, "folder cannot be read", system_text(error));
    } catch (...) {
        FindClose(search);
        throw;
    }
    FindClose(search);
}

}  // namespace

std::string ConvFiles_FromWide(const wchar_t *text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string narrow(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(size_t(length) - 1);
    return narrow;
}

void ConvFiles_Setup() {
    SetConsoleCtrlHandler(on_console_event, TRUE);
    if (_isatty(_fileno(stdout))) {
        console_output_cp = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        std::atexit(restore_console);
    }
}

int ConvFiles_Read(const std::string &path, uint8_t **bytes, size_t *size, char *reason) {
    FILE *file = _wfopen(to_wide(path).c_str(), L"rb");
    if (!file)
        return refuse(reason, "file cannot be opened: %s", std::strerror(errno));
    int64_t length = _fseeki64(file, 0, SEEK_END) == 0 ? _ftelli64(file) : -1;
    if (_fseeki64(file, 0, SEEK_SET) != 0)
        length = -1;
    int ok = read_open_file(file, length, bytes, size, reason);
    std::fclose(file);
    return ok;
}

int ConvFiles_Replace(const std::string &path, const uint8_t *bytes, size_t size, char *reason) {
    std::string folder = ConvFiles_FolderOf(path);
    std::wstring target = to_wide(path), temp;
    DWORD error = 0, attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return refuse(reason, "%s cannot be written: %s", path.c_str(), system_text(error).c_str());
        attributes = 0;
    }
    // The old file's attributes that a new file can take; not read-only, as
    // MoveFileExW does not replace a read-only file.
    attributes &= FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 1000 && file == INVALID_HANDLE_VALUE; ++attempt) {
        std::string name = ".tgaconv-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
        temp = to_wide(ConvFiles_Join(folder, name));
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (file == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE)
        return refuse(reason, "%s cannot be written: %s", path.c_str(), system_text(error).c_str());
    if (temp.size() < sizeof pending_temp / sizeof pending_temp[0]) {
        std::memcpy(pending_temp, temp.c_str(), (temp.size() + 1) * sizeof(wchar_t));
        InterlockedExchange(&temp_pending, 1);
    }
    // WriteFile takes a DWORD count: at most 1 GiB a call.
    const size_t chunk = size_t(1) << 30;
    bool written = true;
    for (size_t done = 0; written && done < size;) {
        DWORD part = DWORD(size - done < chunk ? size - done : chunk), wrote = 0;
        written = WriteFile(file, bytes + done, part, &wrote, nullptr) && wrote == part;
        done += wrote;
    }
    if (!written)
        error = GetLastError();
    if (!CloseHandle(file) && written) {
        written = false;
        error = GetLastError();
    }
    if (written && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        written = false;
        error = GetLastError();
    }
    if (!written)
        DeleteFileW(temp.c_str());
    InterlockedExchange(&temp_pending, 0);
    if (!written)
        return refuse(reason, "%s cannot be written: %s", path.c_str(), system_text(error).c_str());
    return 1;
}

int ConvFiles_Same(const std::string &a, const std::string &b) {
    HANDLE first = open_for_identity(a);
    if (first == INVALID_HANDLE_VALUE)
        return 0;
    HANDLE second = open_for_identity(b);
    int same = 0;
    BY_HANDLE_FILE_INFORMATION x, y;
    if (second != INVALID_HANDLE_VALUE && GetFileInformationByHandle(first, &x) &&
        GetFileInformationByHandle(second, &y))
        same = x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
               x.nFileIndexLow == y.nFileIndexLow;
    CloseHandle(first);
    if (second != INVALID_HANDLE_VALUE)
        CloseHandle(second);
    return same;
}

int ConvFiles_IsFolder(const std::string &path, char *reason) {
    std::wstring wide = to_wide(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return 0;
    refuse(reason, "file cannot be examined: %s", system_text(error).c_str());
    return -1;
}

// One folder whose parent exists: 1, or 0 with a reason.
static int make_folder(const std::string &folder, char *reason) {
    if (!CreateDirectoryW(to_wide(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return refuse(reason, "folder %s cannot be made: %s", folder.c_str(), system_text(GetLastError()).c_str());
    return 1;
}

std::string ConvFiles_FoldCase(const std::string &path) {
    std::wstring wide = to_wide(path);
    if (!wide.empty())
        CharUpperBuffW(&wide[0], DWORD(wide.size()));
    return ConvFiles_FromWide(wide.c_str());
}

int ConvFiles_IsSeparator(char c) {
    return c == '/' || c == '\\';
}

int ConvFiles_ErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

#else

namespace {

// The temporary file being written, removed when a signal ends the run.
char pending_temp[4096];
volatile sig_atomic_t temp_pending = 0;
mode_t new_file_mode = 0644;

void on_signal(int signal_number) {
    if (temp_pending)
        unlink(pending_temp);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// What the walk takes an entry at path for.
enum EntryKind { ENTRY_UNKNOWN = -1, ENTRY_OTHER, ENTRY_FILE, ENTRY_FOLDER };

// A folder, a *.tga file or link to one, something else, or ENTRY_UNKNOWN
// with errno when it cannot be examined. The type that the listing gives
// spares an lstat, which a folder without search permission refuses for
// every entry, those the walk leaves out too.
EntryKind entry_kind(const std::string &path, const dirent *entry) {
    struct stat info;
    mode_t type = DTTOIF(entry->d_type);
    if (entry->d_type == DT_UNKNOWN) {
        if (lstat(path.c_str(), &info) != 0)
            return ENTRY_UNKNOWN;
        type = info.st_mode;
    }
    if (S_ISDIR(type))
        return ENTRY_FOLDER;
    if (!is_tga_name(entry->d_name) || !(S_ISREG(type) || S_ISLNK(type)))
        return ENTRY_OTHER;
    if (S_ISREG(type))
        return ENTRY_FILE;
    // A link to a file is taken; one to a folder is not followed.
    if (stat(path.c_str(), &info) != 0)
        return ENTRY_UNKNOWN;
    return S_ISREG(info.st_mode) ? ENTRY_FILE : ENTRY_OTHER;
}

// The files in folder, which is at inside within the folder walked, and what
// refuses the walk.
void walk(const std::string &folder, const std::string &inside, std::vector<ConvFilesFound> *found) {
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return add_refusal(found, inside, "folder cannot be opened", std::strerror(errno));
    try {
        for (;;) {
            // readdir gives null at the end and on a failure, which sets errno.
            errno = 0;
            const dirent *entry = readdir(dir);
            if (!entry) {
                if (errno)
                    add_refusal(found, inside, "folder cannot be read", std::strerror(errno));
                break;
            }
            const char *name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            std::string path = ConvFiles_Join(folder, name);
            EntryKind kind = entry_kind(path, entry);
            if (kind == ENTRY_UNKNOWN) {
                int error = errno;
                add_refusal(found, ConvFiles_Join(inside, name), "file cannot be examined", std::strerror(error));
            } else if (kind == ENTRY_FOLDER) {
                walk(path, ConvFiles_Join(inside, name), found);
            } else if (kind == ENTRY_FILE) {
                found->push_back({ConvFiles_Join(inside, name), std::string()});
            }
        }
    } catch (...) {
        closedir(dir);
        throw;
    }
    closedir(dir);
}

}  // namespace

void ConvFiles_Setup() {
    mode_t mask = umask(0);
    umask(mask);
    new_file_mode = 0666 & ~mask;
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal_number, on_signal);
}

int ConvFiles_Read(const std::string &path, uint8_t **bytes, size_t *size, char *reason) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return refuse(reason, "file cannot be opened: %s", std::strerror(errno));
    struct stat info;
    int64_t length = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) ? int64_t(info.st_size) : -1;
    int ok = read_open_file(file, length, bytes, size, reason);
    std::fclose(file);
    return ok;
}

int ConvFiles_Replace(const std::string &path, const uint8_t *bytes, size_t size, char *reason) {
    struct stat info;
    mode_t mode = new_file_mode;
    if (stat(path.c_str(), &info) == 0)
        mode = info.st_mode & 07777;
    else if (errno != ENOENT)
        return refuse(reason, "%s cannot be written: %s", path.c_str(), std::strerror(errno));
    std::string temp = ConvFiles_Join(ConvFiles_FolderOf(path), ".tgaconv-XXXXXX");
    if (temp.size() >= sizeof pending_temp)
        return refuse(reason, "%s cannot be written: %s", path.c_str(), std::strerror(ENAMETOOLONG));
    std::memcpy(pending_temp, temp.c_str(), temp.size() + 1);
    int fd = mkstemp(pending_temp);
    if (fd < 0)
        return refuse(reason, "%s cannot be written: %s", path.c_str(), std::strerror(errno));
    temp_pending = 1;
    int error = fchmod(fd, mode) == 0 ? 0 : errno;
    for (size_t done = 0; !error && done < size;) {
        ssize_t wrote = write(fd, bytes + done, size - done);
        if (wrote < 0 && errno != EINTR)
            error = errno;
        else if (wrote > 0)
            done += size_t(wrote);
    }
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && rename(pending_temp, path.c_str()) != 0)
        error = errno;
    if (error)
        unlink(pending_temp);
    temp_pending = 0;
    if (error)
        return refuse(reason, "%s cannot be written: %s", path.c_str(), std::strerror(error));
    return 1;
}

int ConvFiles_Same(const std::string &a, const std::string &b) {
    // The second first: a new output does not exist, which settles it.
    struct stat x, y;
    return stat(b.c_str(), &y) == 0 && stat(a.c_str(), &x) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

int ConvFiles_IsFolder(const std::string &path, char *reason) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 1 : 0;
    if (errno == ENOENT)
        return 0;
    refuse(reason, "file cannot be examined: %s", std::strerror(errno));
    return -1;
}

// One folder whose parent exists: 1, or 0 with a reason.
static int make_folder(const std::string &folder, char *reason) {
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return refuse(reason, "folder %s cannot be made: %s", folder.c_str(), std::strerror(errno));
    return 1;
}

std::string ConvFiles_FoldCase(const std::string &path) {
    std::string folded = path;
    for (char &c : folded)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return folded;
}

int ConvFiles_IsSeparator(char c) {
    return c == '/';
}

int ConvFiles_ErrorIsTerminal() {
    return isatty(STDERR_FILENO);
}

#endif

std::vector<ConvFilesFound> ConvFiles_Walk(const std::string &folder) {
    std::vector<ConvFilesFound> found;
    walk(folder, "", &found);
    std::sort(found.begin(), found.end(),
              [](const ConvFilesFound &a, const ConvFilesFound &b) { return a.path < b.path; });
    return found;
}

int ConvFiles_MakeFolders(const std::string &folder, char *reason) {
    // A folder that cannot be examined is left to make_folder to refuse.
    if (folder.empty() || ConvFiles_IsFolder(folder, nullptr) > 0)
        return 1;
    std::string parent = ConvFiles_FolderOf(folder);
    while (parent.size() > 1 && ConvFiles_IsSeparator(parent.back()))
        parent.pop_back();
    if (parent != folder && parent != "." && !ConvFiles_MakeFolders(parent, reason))
        return 0;
    return make_folder(folder, reason);
}

std::string ConvFiles_Join(const std::string &folder, const std::string &name) {
    if (folder.empty() || ConvFiles_IsSeparator(folder.back()))
        return folder + name;
    return folder + "/" + name;
}

std::string ConvFiles_FolderOf(const std::string &path) {
    size_t end = path.size();
    while (end > 0 && !ConvFiles_IsSeparator(path[end - 1]))
        --end;
    if (end == 0)
        return ".";
    return path.substr(0, end);
}

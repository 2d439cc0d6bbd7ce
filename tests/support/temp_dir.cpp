#include "temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

namespace {

// The directories this process made. A death-test child that runs its test
// afresh exits without the fixture's TearDown; a forked child shares its
// parent's directories, which stay the parent's to remove.
std::vector<std::string> made_dirs;
pid_t made_by = 0;

void remove_made_dirs() {
    if (getpid() != made_by)
        return;
    std::error_code ignored;
    for (const std::string &dir : made_dirs)
        std::filesystem::remove_all(dir, ignored);
}

}  // namespace

std::string TestTemp_MakeDir(const char *prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        return std::string();
    if (made_by != getpid()) {
        made_by = getpid();
        made_dirs.clear();
        std::atexit(remove_made_dirs);
    }
    made_dirs.push_back(buffer.data());
    return made_dirs.back();
}

#include "fuzz_file.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

char path_buffer[256];

const char *temp_path(const char *suffix) {
    const char *dir = std::getenv("TMPDIR");
    if (!dir || !*dir)
        dir = "/tmp";
    std::snprintf(path_buffer, sizeof path_buffer, "%s/md3v-fuzz-%ld%s", dir, long(getpid()), suffix);
    return path_buffer;
}

}  // namespace

const char *FuzzFile_Write(const uint8_t *data, size_t size, const char *suffix) {
    const char *path = temp_path(suffix);
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return nullptr;
    size_t written = size ? std::fwrite(data, 1, size, file) : 0;
    if (std::fclose(file) != 0 || written != size)
        return nullptr;
    return path;
}

void FuzzFile_Remove(const char *suffix) {
    std::remove(temp_path(suffix));
}

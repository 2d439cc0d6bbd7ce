#include "file_bytes.h"

#include <cstdio>

int FileBytes_Save(const char *path, const std::vector<uint8_t> &bytes) {
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return 0;
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    int closed = std::fclose(file) == 0;
    return written == bytes.size() && closed ? 1 : 0;
}

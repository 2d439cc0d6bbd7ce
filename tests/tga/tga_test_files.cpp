#include "tga_test_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include "support/temp_dir.h"
#include "tools/tga_writer.h"

std::string TgaTest_MakeDir() { return TestTemp_MakeDir("tga_test_"); }

void TgaTest_RemoveDir(const std::string &dir) {
    std::error_code ignored;
    if (!dir.empty())
        std::filesystem::remove_all(dir, ignored);
}

std::string TgaTest_WriteBytes(const std::string &dir, const char *name, const std::vector<uint8_t> &bytes) {
    std::string path = dir + "/" + name;
    return TgaWriter_Save(path.c_str(), bytes) ? path : std::string();
}

std::string TgaTest_WriteImage(const std::string &dir, const char *name, uint8_t image_type, int width,
                               int height, uint8_t bits_per_pixel, const std::vector<uint8_t> &pixels,
                               uint8_t descriptor) {
    std::vector<uint8_t> bytes = TgaWriter_Encode(image_type, width, height, bits_per_pixel, pixels.data(),
                                                  pixels.size(), descriptor);
    return TgaTest_WriteBytes(dir, name, bytes);
}

std::vector<uint8_t> TgaTest_Pattern(size_t bytes, int seed) {
    std::vector<uint8_t> out(bytes);
    for (size_t i = 0; i < bytes; ++i)
        out[i] = uint8_t((i * 7 + size_t(seed)) & 0xFF);
    return out;
}

int TgaTest_WatchBegin(TgaTestOpenWatch *watch, const std::vector<std::string> &paths) {
    watch->fd = inotify_init1(IN_NONBLOCK);
    watch->watches.clear();
    if (watch->fd < 0)
        return -1;
    for (const std::string &path : paths) {
        int wd = inotify_add_watch(watch->fd, path.c_str(), IN_OPEN);
        if (wd < 0) {
            close(watch->fd);
            watch->fd = -1;
            return -1;
        }
        watch->watches.push_back(wd);
    }
    return watch->fd;
}

std::vector<int> TgaTest_WatchEnd(TgaTestOpenWatch *watch) {
    std::vector<int> opened(watch->watches.size(), 0);
    if (watch->fd < 0)
        return opened;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t got = read(watch->fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const inotify_event *event = reinterpret_cast<const inotify_event *>(buffer + at);
            for (size_t i = 0; i < watch->watches.size(); ++i)
                if (watch->watches[i] == event->wd && (event->mask & IN_OPEN))
                    opened[i] = 1;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    close(watch->fd);
    watch->fd = -1;
    return opened;
}

void TgaTest_PrepareAllocationLimit(int limit_mb) {
#if defined(__SANITIZE_ADDRESS__)
    // ASan reserves far more address space than any limit allows, so it is
    // told to refuse large blocks itself, returning null.
    std::string options = "allocator_may_return_null=1:max_allocation_size_mb=" + std::to_string(limit_mb);
    setenv("ASAN_OPTIONS", options.c_str(), 1);
#else
    (void)limit_mb;
#endif
}

void TgaTest_LimitAllocations(int limit_mb) {
#if defined(__SANITIZE_ADDRESS__)
    (void)limit_mb;
#else
    // Address space in use now, plus the allowance.
    unsigned long pages = 0;
    FILE *statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    rlim_t bytes = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(limit_mb) * 1024 * 1024;
    struct rlimit limit = {bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
#endif
}

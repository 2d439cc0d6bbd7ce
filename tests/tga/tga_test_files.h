// Temporary directories and TGA files for the tga tests.
#ifndef TESTS_TGA_TGA_TEST_FILES_H
#define TESTS_TGA_TGA_TEST_FILES_H

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under TMPDIR, gone when the process exits if not before.
std::string TgaTest_MakeDir();
void TgaTest_RemoveDir(const std::string &dir);

// Writes bytes to dir/name and returns the path (empty on failure).
std::string TgaTest_WriteBytes(const std::string &dir, const char *name, const std::vector<uint8_t> &bytes);

// Encodes and writes a complete uncompressed image; returns the path.
std::string TgaTest_WriteImage(const std::string &dir, const char *name, uint8_t image_type, int width,
                               int height, uint8_t bits_per_pixel, const std::vector<uint8_t> &pixels,
                               uint8_t descriptor = 0);

// Distinct-looking pixel bytes: neighbouring bytes always differ, and
// byte i is (i * 7 + seed) & 0xFF.
std::vector<uint8_t> TgaTest_Pattern(size_t bytes, int seed);

// Watches files for being opened (Linux inotify), to prove that a call left
// some files alone. TgaTest_WatchBegin gives a descriptor, or -1.
struct TgaTestOpenWatch {
    int fd;
    std::vector<int> watches;   // one per path, in the order given
};
int TgaTest_WatchBegin(TgaTestOpenWatch *watch, const std::vector<std::string> &paths);
// One flag per watched path: 1 if it was opened since TgaTest_WatchBegin.
// Closes the watch.
std::vector<int> TgaTest_WatchEnd(TgaTestOpenWatch *watch);

// For the allocation-failure tests, run in a death-test child: makes every
// later allocation of more than limit_mb fail (in total, without the
// sanitizers; per block under ASan, whose options the child must inherit:
// call TgaTest_PrepareAllocationLimit in the parent first).
void TgaTest_PrepareAllocationLimit(int limit_mb);
void TgaTest_LimitAllocations(int limit_mb);

#endif

// Every input the fuzzers ever failed on, replayed through the readers with
// the fuzz targets' checks; and the seeds, which must give their known
// results, so that the checks themselves stay honest.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "convert_harness.h"
#include "game_text_harness.h"
#include "image_harness.h"
#include "md3_harness.h"
#include "pk3_harness.h"
#include "pk3_seeds.h"
#include "seeds.h"
#include "support/gl_context.h"
#include "tga_harness.h"
#include "upload_harness.h"

namespace {

std::vector<std::string> files_in(const std::string &dir) {
    std::vector<std::string> names;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *entry = readdir(d))
            if (entry->d_name[0] != '.')
                names.push_back(dir + "/" + entry->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> read_file(const std::string &path) {
    std::vector<uint8_t> bytes;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(uint8_t(c));
        std::fclose(f);
    }
    return bytes;
}

}  // namespace

TEST(FuzzReplay, Md3RegressionInputsLoadSafelyOrAreRefused) {
    for (const std::string &path : files_in(MD3V_REGRESSION_DIR "/md3")) {
        std::vector<uint8_t> bytes = read_file(path);
        Md3HarnessResult result = Md3Harness_Run(bytes.data(), bytes.size());
        EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
    }
}

TEST(FuzzReplay, TgaRegressionInputsReadSafelyOrAreRefused) {
    for (const std::string &path : files_in(MD3V_REGRESSION_DIR "/tga")) {
        std::vector<uint8_t> bytes = read_file(path);
        TgaHarnessResult result = TgaHarness_Run(bytes.data(), bytes.size());
        EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
    }
}

TEST(FuzzReplay, UploadRegressionInputsAndSeedsUploadAsTheirHeadersSay) {
    TestGlContext gl;
    ASSERT_EQ(TestGl_Create(&gl, 16, 16), 1);
    for (const std::string &path : files_in(MD3V_REGRESSION_DIR "/tga-upload")) {
        std::vector<uint8_t> bytes = read_file(path);
        UploadHarnessResult result = UploadHarness_Run(bytes.data(), bytes.size());
        EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
    }
    // Uploads that give a texture, the 2D one from the file and from memory:
    // 8-bit maps all but the cube, 24-bit the 2D image and the cube, 32-bit
    // only the 2D image, 16-bit none.
    const std::pair<const char *, int> expected[] = {
        {"gray8_4x4.tga", 4}, {"true8_3x5.tga", 4}, {"gray8_1x1.tga", 4},   {"gray8_2x7.tga", 4},
        {"bgr24_3x5.tga", 3}, {"bgra32_2x2.tga", 2}, {"rgb16_2x2.tga", 0}, {"empty_0x0.tga", 3},
        {"truncated_8x8.tga", 4}};
    std::vector<FuzzSeed> seeds = FuzzSeeds_Tga();
    ASSERT_EQ(seeds.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < seeds.size(); ++i) {
        ASSERT_EQ(seeds[i].name, expected[i].first);
        UploadHarnessResult result = UploadHarness_Run(seeds[i].bytes.data(), seeds[i].bytes.size());
        EXPECT_EQ(result.uploaded, expected[i].second) << seeds[i].name;
        EXPECT_EQ(result.fault, nullptr) << seeds[i].name << ": " << result.fault;
    }
    TestGl_Destroy(&gl);
}

TEST(FuzzReplay, SeedsGiveTheirKnownResults) {
    for (const FuzzSeed &seed : FuzzSeeds_Md3()) {
        Md3HarnessResult result = Md3Harness_Run(seed.bytes.data(), seed.bytes.size());
        EXPECT_EQ(result.loaded, seed.accepted) << seed.name;
        EXPECT_EQ(result.fault, nullptr) << seed.name << ": " << result.fault;
    }
    for (const FuzzSeed &seed : FuzzSeeds_Tga()) {
        TgaHarnessResult result = TgaHarness_Run(seed.bytes.data(), seed.bytes.size());
        EXPECT_EQ(result.read, seed.accepted) << seed.name;
        EXPECT_EQ(result.fault, nullptr) << seed.name << ": " << result.fault;
    }
    for (const FuzzSeed &seed : FuzzSeeds_TgaConvert()) {
        ConvertHarnessResult result = ConvertHarness_Run(seed.bytes.data(), seed.bytes.size());
        EXPECT_EQ(result.converted, seed.accepted) << seed.name;
        EXPECT_EQ(result.fault, nullptr) << seed.name << ": " << result.fault;
    }
}

// Every TGA input that once broke a reader or an upload goes through the
// converter as well as its own.
TEST(FuzzReplay, ConvertRegressionInputsConvertSafelyOrAreRefused) {
    for (const char *kind : {"/tga", "/tga-upload", "/tga-convert"})
        for (const std::string &path : files_in(MD3V_REGRESSION_DIR + std::string(kind))) {
            std::vector<uint8_t> bytes = read_file(path);
            ConvertHarnessResult result = ConvertHarness_Run(bytes.data(), bytes.size());
            EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
        }
}

TEST(FuzzReplay, ImageRegressionInputsDecodeSafelyOrAreRefused) {
    std::vector<std::string> paths = files_in(MD3V_REGRESSION_DIR "/image");
    ASSERT_FALSE(paths.empty());
    for (const std::string &path : paths) {
        std::vector<uint8_t> bytes = read_file(path);
        ImageHarnessResult result = ImageHarness_Run(bytes.data(), bytes.size());
        EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
    }
}

// Cheap sweeps in the spirit of the fuzzers, on a model that loads: every
// shortened copy must be refused, and every single-byte change of the
// header, the first frame and the surface header must load safely or be
// refused.
TEST(FuzzReplay, Md3TruncationsAndByteChangesAreSafe) {
    const FuzzSeed seed = FuzzSeeds_Md3()[0];
    for (size_t size = 0; size < seed.bytes.size(); size += 7) {
        Md3HarnessResult result = Md3Harness_Run(seed.bytes.data(), size);
        EXPECT_EQ(result.loaded, 0) << "first " << size << " bytes";
        EXPECT_EQ(result.fault, nullptr) << "first " << size << " bytes: " << result.fault;
    }
    for (size_t at = 0; at < 108 + 56; ++at)
        for (uint8_t value : {uint8_t(0x00), uint8_t(0x7F), uint8_t(0x80), uint8_t(0xFF)}) {
            std::vector<uint8_t> bytes = seed.bytes;
            bytes[at] = value;
            Md3HarnessResult result = Md3Harness_Run(bytes.data(), bytes.size());
            EXPECT_EQ(result.fault, nullptr) << "byte " << at << " = " << int(value) << ": " << result.fault;
        }
}

// Every shortened copy of an 8-bit height map still reads, with the missing
// bytes zero, and filters like any other map.
TEST(FuzzReplay, TgaTruncationsReadWithZeroFill) {
    const FuzzSeed seed = FuzzSeeds_Tga()[0];
    for (size_t size = 0; size < seed.bytes.size(); ++size) {
        TgaHarnessResult result = TgaHarness_Run(seed.bytes.data(), size);
        EXPECT_EQ(result.read, size >= 18 ? 1 : 0) << "first " << size << " bytes";
        EXPECT_EQ(result.fault, nullptr) << "first " << size << " bytes: " << result.fault;
    }
}

// Every .pk3 input that once broke the reader, and the seeds, which must
// read all their members.
TEST(FuzzReplay, Pk3InputsReadSafelyOrAreRefused) {
    for (const std::string &path : files_in(MD3V_REGRESSION_DIR "/pk3")) {
        std::vector<uint8_t> bytes = read_file(path);
        Pk3HarnessResult result = Pk3Harness_Run(bytes.data(), bytes.size());
        EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
    }
    for (const Pk3Seed &seed : Pk3Seeds_All()) {
        Pk3HarnessResult result = Pk3Harness_Run(seed.bytes.data(), seed.bytes.size());
        EXPECT_EQ(result.opened, 1) << seed.name;
        EXPECT_EQ(result.members_read, seed.members_read) << seed.name;
        EXPECT_EQ(result.fault, nullptr) << seed.name << ": " << result.fault;
    }
}

// The game text readers on their regressions, and on the seeds: the skin,
// the shader script and the animation config each read cleanly by their
// own reader.
TEST(FuzzReplay, GameTextInputsReadSafelyAndSeedsCleanly) {
    for (const std::string &path : files_in(MD3V_REGRESSION_DIR "/game-text")) {
        std::vector<uint8_t> bytes = read_file(path);
        GameTextHarnessResult result = GameTextHarness_Run(bytes.data(), bytes.size());
        EXPECT_EQ(result.fault, nullptr) << path << ": " << result.fault;
    }
    const char *const seeds[] = {"upper_default.skin", "test.shader", "animation.cfg"};
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> bytes = read_file(MD3V_GAME_TEXT_SEED_DIR "/" + std::string(seeds[i]));
        ASSERT_FALSE(bytes.empty()) << seeds[i];
        GameTextHarnessResult result = GameTextHarness_Run(bytes.data(), bytes.size());
        EXPECT_EQ((i == 0 ? result.skin : i == 1 ? result.shaders : result.anim), 1) << seeds[i];
        EXPECT_EQ(result.fault, nullptr) << seeds[i] << ": " << result.fault;
    }
}

// The .pk3 reader on archives from the project's own writer, each damaged in
// one way, and the game's search order over a folder made under TMPDIR.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game_files.h"
#include "pk3_writer.h"
#include "support/temp_dir.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string &text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string save(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *file = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(file) << path;
    if (file) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }
    return path;
}

std::vector<uint8_t> zip_of(const std::vector<Pk3WriterMember> &members, Pk3WriterLayout *layout = nullptr) {
    std::vector<uint8_t> zip;
    EXPECT_EQ(Pk3Writer_Zip(members, &zip, layout), 1);
    return zip;
}

// The archive opened and its first member read: "" when both work, else the
// refusal's reason; *out gets the member's bytes.
std::string first_member(const std::vector<uint8_t> &zip, std::vector<uint8_t> *out = nullptr) {
    static const std::string dir = TestTemp_MakeDir("game_files_");
    std::string path = save(dir + "/archive.pk3", zip);
    Pk3 archive = Pk3();
    char reason[pk3_reason_size] = "";
    std::vector<uint8_t> bytes = {1};
    int opened = Pk3_Open(path, &archive, reason), read = opened && Pk3_Read(archive, 0, &bytes, reason);
    EXPECT_EQ(read, reason[0] == 0) << reason;
    EXPECT_TRUE(read || !opened || bytes.empty()) << "a refused member left bytes";
    Pk3_Close(&archive);
    if (out)
        *out = bytes;
    return reason;
}

std::string read_text(const GameFiles &files, const std::string &path, std::string *source = nullptr) {
    std::vector<uint8_t> bytes;
    char reason[pk3_reason_size] = "";
    if (!GameFiles_Read(files, path, 100, &bytes, reason))
        return reason;
    if (source)
        *source = GameFiles_SourceName(files, *GameFiles_Find(files, path));
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// "123456789" is CRC-32's check string: its CRC is CBF43926.
TEST(Pk3Read, ReadsStoredAndDeflatedMembersAndAnArchiveComment) {
    std::vector<uint8_t> long_text(70000);
    for (size_t i = 0; i < long_text.size(); ++i)
        long_text[i] = uint8_t(i * i >> 7);
    std::vector<uint8_t> zip = zip_of({{"check.txt", bytes_of("123456789"), 0}, {"\x81" "ber/x.md3", long_text, 1}});
    std::vector<uint8_t> comment = bytes_of("a comment holding PK\x05\x06 as text");
    Pk3Writer_Put16(&zip, zip.size() - 2, uint16_t(comment.size()));
    zip.insert(zip.end(), comment.begin(), comment.end());
    std::string path = TestTemp_MakeDir("game_files_") + "/a.pk3";
    Pk3 archive = Pk3();
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Pk3_Open(save(path, zip), &archive, nullptr), 1);
    ASSERT_EQ(archive.entries.size(), 2u);
    EXPECT_EQ(archive.entries[0].crc32, 0xCBF43926u);
    EXPECT_EQ(archive.entries[1].name, "\x81" "ber/x.md3");
    EXPECT_EQ(archive.entries[1].method, pk3_method_deflated);
    EXPECT_LT(archive.entries[1].compressed_size, archive.entries[1].size);
    ASSERT_EQ(Pk3_Read(archive, 1, &bytes, nullptr), 1);
    EXPECT_EQ(bytes, long_text);
    ASSERT_EQ(Pk3_Read(archive, 0, &bytes, nullptr), 1);
    EXPECT_EQ(bytes, bytes_of("123456789"));
    Pk3_Close(&archive);
}

// One deflated member of 3000 bytes, damaged one way at a time.
TEST(Pk3Read, RefusesEachFaultWithItsOwnReason) {
    std::vector<uint8_t> text(3000);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = uint8_t('a' + i % 7 * (i % 5));
    Pk3WriterLayout at;
    const std::vector<uint8_t> good = zip_of({{"models/x.md3", text, 1}}, &at);
    std::vector<uint8_t> out;
    ASSERT_EQ(first_member(good, &out), "");
    ASSERT_EQ(out, text);
    const size_t central = at.central_headers[0], local = at.local_headers[0], end = at.end_record;
    using Change = std::function<void(std::vector<uint8_t> *)>;
    const std::pair<Change, const char *> cases[] = {
        {[&](std::vector<uint8_t> *z) { (*z)[central + 8] |= 1; }, "member is encrypted"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 20, 0xFFFFFFFF); }, "zip64 member"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put16(z, end + 10, 0xFFFF); }, "zip64 archive (end"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put16(z, central + 10, 12); }, "compression method 12"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 24, (64u << 20) + 1); },
         "67108865 bytes is over the limit of 67108864"},
        {[&](std::vector<uint8_t> *z) { (*z)[central + 16] ^= 1; }, "CRC-32"},
        {[&](std::vector<uint8_t> *z) { (*z)[local] = 'Q'; }, "no local header signature at 0"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put16(z, local + 8, 0); }, "local header's method 0"},
        {[&](std::vector<uint8_t> *z) { (*z)[local + 30] = 'M'; }, "local header's name differs"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 20, uint32_t(central - 30 - 12 + 1)); },
         "runs into the central directory"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 42, uint32_t(central - 29)); },
         "local header at"},
        {[&](std::vector<uint8_t> *z) { z->pop_back(); }, "no end of central directory record"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, end + 16, uint32_t(central + 1)); },
         "runs past the end of central directory record"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put16(z, end + 8, 2), Pk3Writer_Put16(z, end + 10, 2); },
         "central directory ends inside entry 1"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put16(z, end + 8, 0), Pk3Writer_Put16(z, end + 10, 0); },
         "central directory holds 58 bytes after its 0 entries"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put16(z, end + 6, 1); }, "several disks"},
        // Deflate gives at most 1032 bytes a byte.
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 20, 2), Pk3Writer_Put32(z, central + 24, 2065); },
         "member declares 2065 bytes, more than 2 bytes of deflate data can give"},
        // Inflating stops at the declared size, one byte short of the data
        // or past its end.
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 24, 2999); },
         "inflates to more than its declared 2999 bytes"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 24, 3001); },
         "inflates to 3000 bytes, fewer than its declared 3001"},
        {[&](std::vector<uint8_t> *z) { Pk3Writer_Put32(z, central + 20, uint32_t(central - 42 - 1)); },
         "deflate data end before the stream does"},
    };
    for (const auto &change : cases) {
        std::vector<uint8_t> zip = good;
        change.first(&zip);
        EXPECT_NE(first_member(zip).find(change.second), std::string::npos)
            << "wanted '" << change.second << "', got '" << first_member(zip) << "'";
    }
    Pk3WriterLayout two;
    std::vector<uint8_t> zip = zip_of({{"a", text, 0}, {"b", text, 0}}, &two);
    Pk3Writer_Put32(&zip, two.central_headers[1] + 42, 1);
    EXPECT_EQ(first_member(zip), "members 0 and 1 overlap");
}

TEST(GameFiles, SearchesLooseFilesThenArchivesFromTheLastName) {
    std::string dir = TestTemp_MakeDir("game_files_");
    ASSERT_EQ(std::system(("mkdir -p " + dir + "/Models/Players/Sarge").c_str()), 0);
    save(dir + "/Models/Players/Sarge/LOWER.MD3", bytes_of("loose"));
    save(dir + "/pak0.pk3", zip_of({{"models/players/sarge/lower.md3", bytes_of("pak0"), 0},
                                    {"models/players/sarge/upper.md3", bytes_of("pak0 upper"), 1},
                                    {"models/players/grunt/head.md3", bytes_of("grunt"), 0},
                                    {"scripts/a.shader", bytes_of("pak0"), 1}}));
    save(dir + "/pak1.pk3", zip_of({{"scripts/A.SHADER", bytes_of("pak1"), 0},
                                    {"models/players/zed/notes.txt", bytes_of("not a model"), 0},
                                    {"models/players/", {}, 0}}));
    // 'Z' sorts before 'p', so Z.pk3 is searched after both.
    save(dir + "/Z.pk3", zip_of({{"scripts/a.shader", bytes_of("Z"), 0}, {"scripts/z.shader", bytes_of("Z"), 0}}));
    save(dir + "/bad.pk3", bytes_of("not a zip"));
    // The second is a model that lives in an archive only.
    for (const std::string &game : {dir, dir + "/models\\players\\grunt\\"}) {
        GameFiles files = GameFiles();
        char reason[pk3_reason_size] = "";
        ASSERT_EQ(GameFiles_Open(game, &files, reason), 1) << reason;
        EXPECT_EQ(files.root, dir);
        ASSERT_EQ(files.refused.size(), 1u);
        EXPECT_EQ(files.refused[0].name, "bad.pk3");
        EXPECT_NE(files.refused[0].reason.find("not a zip archive"), std::string::npos);
        std::string source;
        EXPECT_EQ(read_text(files, "\\MODELS/players\\sarge/lower.md3", &source), "loose");
        EXPECT_EQ(source, "folder");
        EXPECT_EQ(read_text(files, "models/players/sarge/upper.md3", &source), "pak0 upper");
        EXPECT_EQ(source, "pak0.pk3");
        EXPECT_EQ(read_text(files, "//scripts/a.shader", &source), "pak1");
        EXPECT_EQ(source, "pak1.pk3");
        EXPECT_EQ(GameFiles_List(files, "/Scripts", ".SHADER"),
                  (std::vector<std::string>{"scripts/A.SHADER", "scripts/z.shader"}));
        EXPECT_EQ(GameFiles_PlayerModels(files), (std::vector<std::string>{"grunt", "Sarge"}));
        std::vector<uint8_t> bytes;
        EXPECT_EQ(GameFiles_Read(files, "models/players/sarge/upper.md3", 9, &bytes, reason), 0);
        EXPECT_STREQ(reason, "models/players/sarge/upper.md3 in pak0.pk3: 10 bytes, over the limit of 9");
        // Folder entries and the archives themselves are no files.
        EXPECT_EQ(GameFiles_Find(files, "models/players/"), nullptr);
        EXPECT_EQ(GameFiles_Find(files, "pak0.pk3"), nullptr);
        GameFiles_Close(&files);
    }
    GameFiles files = GameFiles();
    ASSERT_EQ(GameFiles_Open(dir + "/pak0.pk3", &files, nullptr), 1);
    EXPECT_EQ(read_text(files, "models/players/sarge/lower.md3"), "pak0");
    GameFiles_Close(&files);
}

TEST(GameFiles, PlayerFolderGivesTheGameRootAndTheModel) {
    std::string root, model;
    ASSERT_EQ(GameFiles_PlayerFolder("C:\\q3\\baseq3\\Models\\Players\\Sarge\\", &root, &model), 1);
    EXPECT_EQ(root + "|" + model, "C:\\q3\\baseq3|Sarge");
    ASSERT_EQ(GameFiles_PlayerFolder("models/players/sarge", &root, &model), 1);
    EXPECT_EQ(root + "|" + model, ".|sarge");
    ASSERT_EQ(GameFiles_PlayerFolder("/models/players/x", &root, &model), 1);
    EXPECT_EQ(root + "|" + model, "/|x");
    for (const char *other : {"/q3/models/players/", "/q3/mymodels/players/sarge", "/q3/players/sarge", "sarge"})
        EXPECT_EQ(GameFiles_PlayerFolder(other, &root, &model), 0) << other;
}

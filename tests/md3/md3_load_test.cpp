// MD3_Load: the layout it reads, what it keeps, and the files it refuses.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <functional>
#include <random>

#include "md3_test_files.h"

// malloc is wrapped (see tests.cmake): the next request of failing_malloc
// bytes fails.
static size_t failing_malloc;
extern "C" void *__real_malloc(size_t size);
extern "C" void *__wrap_malloc(size_t size) {
    if (size != failing_malloc)
        return __real_malloc(size);
    failing_malloc = 0;
    return nullptr;
}

namespace {

size_t SurfaceField(const Md3Layout &layout, int surface, size_t field) {
    return layout.surfaces.at(surface) + field;
}

// Compares a loaded record field by field with what the writer was given.
void ExpectModelMatches(const Md3ModelData &data, const Md3Model &model) {
    ASSERT_EQ(std::memcmp(model.header.ident, "IDP3", 4), 0);
    EXPECT_STREQ(model.header.name, data.name.c_str());
    ASSERT_EQ(model.header.num_frames, int32_t(data.frames.size()));
    ASSERT_EQ(model.header.num_tags, data.num_tags);
    ASSERT_EQ(model.header.num_surfaces, int32_t(data.surfaces.size()));
    for (size_t i = 0; i < data.frames.size(); ++i)
        EXPECT_EQ(std::memcmp(&model.frames[i], &data.frames[i], sizeof(Md3Frame)), 0) << "frame " << i;
    for (size_t i = 0; i < data.tags.size(); ++i)
        EXPECT_EQ(std::memcmp(&model.tags[i], &data.tags[i], sizeof(Md3Tag)), 0) << "tag " << i;
    for (int32_t i = 0; i < data.num_tags; ++i)
        EXPECT_EQ(model.links[i], nullptr);
    for (size_t s = 0; s < data.surfaces.size(); ++s) {
        SCOPED_TRACE("surface " + std::to_string(s));
        const Md3SurfaceData &want = data.surfaces[s];
        const Md3Surface &got = model.surfaces[s];
        EXPECT_STREQ(got.header.name, want.name.c_str());
        EXPECT_EQ(got.has_texture, 0);
        ASSERT_EQ(got.header.num_shaders, int32_t(want.shaders.size()));
        ASSERT_EQ(got.header.num_triangles, int32_t(want.triangles.size()));
        ASSERT_EQ(got.header.num_verts, int32_t(want.texcoords.size()));
        ASSERT_EQ(got.header.num_frames, want.num_frames);
        for (size_t i = 0; i < want.shaders.size(); ++i) {
            EXPECT_STREQ(got.shaders[i].name, want.shaders[i].name);
            EXPECT_EQ(got.shaders[i].shader_index, want.shaders[i].shader_index);
        }
        for (size_t i = 0; i < want.triangles.size(); ++i)
            EXPECT_EQ(std::memcmp(got.triangles[i].indexes, want.triangles[i].indexes, 12), 0);
        for (size_t i = 0; i < want.texcoords.size(); ++i) {
            EXPECT_EQ(got.texcoords[i].s, want.texcoords[i].s);
            EXPECT_EQ(got.texcoords[i].t, want.texcoords[i].t);
        }
        for (size_t i = 0; i < want.vertices.size(); ++i)
            EXPECT_EQ(std::memcmp(&got.vertices[i], &want.vertices[i], sizeof(Md3Vertex)), 0) << "vertex " << i;
    }
}

TEST(Md3Load, ReadsEveryRecordAndKeepsTheAnimationFields) {
    const Md3ModelData data = TestMd3_Model();
    Md3Model model = {};
    model.current_frame = 7;
    model.next_frame = 3;
    model.fraction = 0.25f;
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &model), 1);
    ExpectModelMatches(data, model);
    EXPECT_EQ(model.current_frame, 7);
    EXPECT_EQ(model.next_frame, 3);
    EXPECT_EQ(model.fraction, 0.25f);
    MD3_Free(&model);
    EXPECT_TRUE(TestMd3_IsEmpty(model));
    EXPECT_EQ(model.current_frame, 7);
}

// The header's offsets and each surface's ofs_shaders are never followed;
// gaps between a surface's arrays are crossed through its own offsets.
TEST(Md3Load, FollowsTheFileOrderAndTheSurfaceOffsets) {
    Md3ModelData data = TestMd3_Model();
    data.surfaces[0].gap_before_triangles = 12;
    data.surfaces[0].gap_before_st = 7;
    data.surfaces[0].gap_before_xyz = 33;
    data.surfaces[0].gap_after = 5;
    data.surfaces[1].gap_before_st = 64;
    Md3Layout layout;
    std::vector<uint8_t> bytes = Md3Writer_Encode(data, &layout);
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_frames), int32_t(4000));
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_tags), int32_t(-8));
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_surfaces), int32_t(layout.surfaces[1]));
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_end), int32_t(3));
    TestMd3_Patch(bytes, SurfaceField(layout, 0, offsetof(Md3SurfaceHeader, ofs_shaders)), int32_t(300));
    TestMd3_Patch(bytes, SurfaceField(layout, 1, offsetof(Md3SurfaceHeader, ofs_shaders)), int32_t(-1));
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(bytes, &model), 1);
    ExpectModelMatches(data, model);
    EXPECT_EQ(model.header.ofs_frames, 4000);   // copied as read
    MD3_Free(&model);
}

// Exporters that write 104-byte frame records (with a 64-byte frame name)
// say so through the header's offsets, which a second reading follows.
TEST(Md3Load, ReadsLongerFrameRecordsThroughTheHeaderOffsets) {
    const Md3ModelData data = TestMd3_Model();
    Md3Layout layout;
    const std::vector<uint8_t> good = Md3Writer_Encode(data, &layout);
    const size_t frame_tail = 104 - sizeof(Md3Frame);
    std::vector<uint8_t> bytes(good.begin(), good.begin() + layout.frames);
    for (size_t f = 0; f < data.frames.size(); ++f) {
        const auto frame = good.begin() + layout.frames + f * sizeof(Md3Frame);
        bytes.insert(bytes.end(), frame, frame + sizeof(Md3Frame));
        bytes.insert(bytes.end(), frame_tail, 'x');
    }
    bytes.insert(bytes.end(), good.begin() + layout.tags, good.end());
    const int32_t shift = int32_t(frame_tail * data.frames.size());
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_tags), int32_t(layout.tags) + shift);
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_surfaces), int32_t(layout.surfaces[0]) + shift);
    Md3Model model = {};
    std::string reason;
    ASSERT_EQ(TestMd3_LoadBytes(bytes, &model, &reason), 1);
    EXPECT_EQ(reason, "");   // the file order's refusal is not the outcome
    ExpectModelMatches(data, model);
    MD3_Free(&model);
    // When that reading fails too, the file order's refusal stands.
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_surfaces), int32_t(bytes.size()));
    EXPECT_EQ(TestMd3_LoadBytes(bytes, &model, &reason), 0);
    EXPECT_EQ(reason, "surface 0: fewer frames (0) than the model (2)");   // read from a tag
    EXPECT_TRUE(TestMd3_IsEmpty(model));
}

// Memory that runs out in the file order is not a refusal of the file: the
// header's offsets, which lead to another sound model, are not followed.
TEST(Md3Load, MemoryFailureEndsTheLoad) {
    Md3Layout layout;
    std::vector<uint8_t> bytes = Md3Writer_Encode(TestMd3_Model(), &layout);
    const int32_t other = int32_t(bytes.size());
    bytes.insert(bytes.end(), bytes.begin(), bytes.end());
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_frames), other + int32_t(layout.frames));
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_tags), other + int32_t(layout.tags));
    TestMd3_Patch(bytes, offsetof(Md3Header, ofs_surfaces), other + int32_t(layout.surfaces[0]));
    Md3Model model = {};
    std::string reason;
    failing_malloc = 2 * sizeof(Md3Shader);   // the first surface's shaders
    EXPECT_EQ(TestMd3_LoadBytes(bytes, &model, &reason), 0);
    EXPECT_EQ(reason, "surface 0: out of memory (136 bytes)");
    EXPECT_TRUE(TestMd3_IsEmpty(model));
    failing_malloc = 0;
    MD3_Free(&model);
}

TEST(Md3Load, AcceptsModelsWithoutTagsOrSurfaces) {
    Md3ModelData data = TestMd3_Model();
    data.num_tags = 0;
    data.tags.clear();
    data.surfaces.clear();
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(data), &model), 1);
    EXPECT_EQ(model.header.num_frames, 2);
    EXPECT_EQ(model.header.num_tags, 0);
    EXPECT_EQ(model.header.num_surfaces, 0);
    EXPECT_EQ(MD3_AttachToTag("tag_a", &model, &model), -1);
    EXPECT_EQ(MD3_SetSkin("first", &model, 1), -1);
    MD3_Free(&model);
}

TEST(Md3Load, RefusesOtherMagicVersionAndMissingFiles) {
    const std::vector<uint8_t> good = Md3Writer_Encode(TestMd3_Model());
    const char *not_md3 = "not an MD3 file (no IDP3 ident)";
    struct Case { const char *ident; int32_t version; const char *reason; } cases[] = {
        {"IDP3", 16, "version 16, not 15"}, {"IDP3", 14, "version 14, not 15"}, {"IDP2", 15, not_md3},
        {"idp3", 15, not_md3}, {"IDP\0", 15, not_md3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.ident, 4) + " " + std::to_string(c.version));
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data(), c.ident, 4);
        TestMd3_Patch(bytes, offsetof(Md3Header, version), c.version);
        Md3Model model = {};
        std::string reason;
        EXPECT_EQ(TestMd3_LoadBytes(bytes, &model, &reason), 0);
        EXPECT_EQ(reason, c.reason);
        EXPECT_TRUE(TestMd3_IsEmpty(model));
    }
    // A file that cannot be opened leaves the record exactly as it was.
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(good, &model), 1);
    const Md3Model before = model;
    char reason[md3_reason_size] = "";
    EXPECT_EQ(MD3_Load(TestMd3_Path("no_such_file.md3").c_str(), &model, reason), 0);
    EXPECT_STREQ(reason, "file cannot be opened: No such file or directory");
    EXPECT_EQ(std::memcmp(&model, &before, sizeof model), 0);
    EXPECT_EQ(MD3_Load(nullptr, &model), 0);
    EXPECT_EQ(std::memcmp(&model, &before, sizeof model), 0);
    MD3_Free(&model);
}

// Every prefix of a good file is refused; none is read past its end.
TEST(Md3Load, RefusesEveryTruncation) {
    const std::vector<uint8_t> good = Md3Writer_Encode(TestMd3_Model());
    for (size_t length = 0; length < good.size(); ++length) {
        Md3Model model = {};
        std::string reason;
        ASSERT_EQ(TestMd3_LoadBytes(std::vector<uint8_t>(good.begin(), good.begin() + length), &model, &reason), 0)
            << "length " << length;
        ASSERT_EQ(length < sizeof(Md3Header), reason == "shorter than the 108-byte header") << reason;
        ASSERT_FALSE(reason.empty()) << "length " << length;
        ASSERT_TRUE(TestMd3_IsEmpty(model)) << "length " << length;
    }
}

TEST(Md3Load, RefusesFilesThatBreakTheirOwnLayout) {
    typedef std::function<void(std::vector<uint8_t> &, const Md3Layout &)> Patch;
    auto header = [](size_t field, int32_t value) -> Patch {
        return [=](std::vector<uint8_t> &b, const Md3Layout &) { TestMd3_Patch(b, field, value); };
    };
    auto surface = [](int s, size_t field, int32_t value) -> Patch {
        return [=](std::vector<uint8_t> &b, const Md3Layout &l) { TestMd3_Patch(b, SurfaceField(l, s, field), value); };
    };
    const size_t first_triangle = sizeof(Md3SurfaceHeader) + 2 * sizeof(Md3Shader);
    struct Case { const char *reason; Patch patch; } cases[] = {
        {"negative count in the header", header(offsetof(Md3Header, num_frames), -1)},
        {"negative count in the header", header(offsetof(Md3Header, num_tags), -2)},
        {"negative count in the header", header(offsetof(Md3Header, num_surfaces), INT32_MIN)},
        {"frames lie outside the file", header(offsetof(Md3Header, num_frames), INT32_MAX)},
        {"tags lie outside the file", header(offsetof(Md3Header, num_tags), INT32_MAX)},
        {"more to allocate than twice the file's length", header(offsetof(Md3Header, num_surfaces), INT32_MAX)},
        {"surface 2: header lies outside the file", header(offsetof(Md3Header, num_surfaces), 3)},
        {"tags need frames",
         [](std::vector<uint8_t> &b, const Md3Layout &) {
             TestMd3_Patch(b, offsetof(Md3Header, num_frames), int32_t(0));
             TestMd3_Patch(b, offsetof(Md3Header, num_tags), int32_t(1)); }},
        {"surface 0: negative count", surface(0, offsetof(Md3SurfaceHeader, num_shaders), -1)},
        {"surface 1: negative count", surface(1, offsetof(Md3SurfaceHeader, num_verts), -3)},
        {"surface 0: negative count", surface(0, offsetof(Md3SurfaceHeader, num_triangles), -1)},
        {"surface 1: negative count", surface(1, offsetof(Md3SurfaceHeader, num_frames), -2)},
        {"surface 1: fewer frames (1) than the model (2)", surface(1, offsetof(Md3SurfaceHeader, num_frames), 1)},
        {"surface 0: shaders lie outside the file", surface(0, offsetof(Md3SurfaceHeader, num_shaders), INT32_MAX)},
        {"surface 1: texture coordinates lie outside the file",
         surface(1, offsetof(Md3SurfaceHeader, num_verts), INT32_MAX)},
        {"surface 0: triangles lie outside the file",
         surface(0, offsetof(Md3SurfaceHeader, num_triangles), 0x10000000)},
        {"surface 0: vertices lie outside the file", surface(0, offsetof(Md3SurfaceHeader, num_frames), INT32_MAX)},
        {"surface 0: triangles lie outside the file", surface(0, offsetof(Md3SurfaceHeader, ofs_triangles), -700)},
        {"surface 1: triangles lie outside the file", surface(1, offsetof(Md3SurfaceHeader, ofs_triangles), 10000)},
        {"surface 0: texture coordinates lie outside the file",
         surface(0, offsetof(Md3SurfaceHeader, ofs_st), INT32_MAX)},
        {"surface 1: header lies outside the file", surface(0, offsetof(Md3SurfaceHeader, ofs_end), 10000)},
        {"surface 1: header lies outside the file", surface(0, offsetof(Md3SurfaceHeader, ofs_end), -100000)},
        {"surface 1: vertices lie outside the file", surface(1, offsetof(Md3SurfaceHeader, ofs_xyznormal), 200)},
        {"surface 1: shaders lie outside the file", surface(1, offsetof(Md3SurfaceHeader, num_shaders), 3)},
        {"surface 0: triangle 0 uses vertex 4 of 4", surface(0, first_triangle + 4, 4)},
        {"surface 0: triangle 0 uses vertex -1 of 4", surface(0, first_triangle + 8, -1)},
        {"surface 1: triangle 0 uses vertex 2 of 2", surface(1, offsetof(Md3SurfaceHeader, num_verts), 2)},
    };
    Md3Layout layout;
    const std::vector<uint8_t> good = Md3Writer_Encode(TestMd3_Model(), &layout);
    for (const Case &c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        std::vector<uint8_t> bytes = good;
        c.patch(bytes, layout);
        Md3Model model = {};
        model.next_frame = 9;
        std::string reason;
        EXPECT_EQ(TestMd3_LoadBytes(bytes, &model, &reason), 0);
        EXPECT_EQ(reason, c.reason);
        EXPECT_TRUE(TestMd3_IsEmpty(model));
        EXPECT_EQ(model.next_frame, 9);
    }
    // Tag slots without any frame have no records to name them.
    Md3ModelData frameless;
    frameless.name = "frameless";
    frameless.num_tags = 1;
    Md3Model model = {};
    std::string reason;
    EXPECT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(frameless), &model, &reason), 0);
    EXPECT_EQ(reason, "tags need frames");
    EXPECT_TRUE(TestMd3_IsEmpty(model));
}

// What exporters write and the viewer can read safely: names that fill
// their field, arrays outside their surface's extent, a last surface whose
// length field is 0 or nonsense, surfaces that share their data.
TEST(Md3Load, AcceptsEveryFileThatIsSafeToRead) {
    typedef std::function<void(std::vector<uint8_t> &, const Md3Layout &)> Patch;
    auto surface = [](int s, size_t field, int32_t value) -> Patch {
        return [=](std::vector<uint8_t> &b, const Md3Layout &l) { TestMd3_Patch(b, SurfaceField(l, s, field), value); };
    };
    auto fill = [](std::function<size_t(const Md3Layout &)> at, size_t size) -> Patch {
        return [=](std::vector<uint8_t> &b, const Md3Layout &l) { std::memset(b.data() + at(l), 'A', size); };
    };
    Md3Layout layout;
    const std::vector<uint8_t> good = Md3Writer_Encode(TestMd3_Model(), &layout);
    const int32_t second_from_first = int32_t(layout.surfaces[1] - layout.surfaces[0]);
    struct Case { const char *what; Patch patch; } cases[] = {
        {"model name", fill([](const Md3Layout &) { return offsetof(Md3Header, name); }, 64)},
        {"frame name", fill([](const Md3Layout &l) { return l.frames + 56 + 40; }, 16)},
        {"tag name", fill([](const Md3Layout &l) { return l.tags + 3 * 112; }, 64)},
        {"surface name", fill([](const Md3Layout &l) { return l.surfaces[1] + 4; }, 64)},
        {"shader name", fill([](const Md3Layout &l) { return l.surfaces[0] + sizeof(Md3SurfaceHeader) + 68; }, 64)},
        {"last ofs_end 0", surface(1, offsetof(Md3SurfaceHeader, ofs_end), 0)},
        {"last ofs_end negative", surface(1, offsetof(Md3SurfaceHeader, ofs_end), INT32_MIN)},
        {"last ofs_end past the file", surface(1, offsetof(Md3SurfaceHeader, ofs_end), INT32_MAX)},
        // The first surface's vertices read from the second's (same count).
        {"arrays outside the surface", surface(0, offsetof(Md3SurfaceHeader, ofs_xyznormal), second_from_first + 1)},
        // ofs_end 0: the second surface is the first one read again.
        {"surfaces sharing their data", surface(0, offsetof(Md3SurfaceHeader, ofs_end), 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        c.patch(bytes, layout);
        Md3Model model = {};
        ASSERT_EQ(TestMd3_LoadBytes(bytes, &model), 1);
        ASSERT_EQ(model.header.num_surfaces, 2);
        MD3_Free(&model);
    }
    // A name that fills its field is found by its whole 64 characters.
    std::vector<uint8_t> bytes = good;
    fill([](const Md3Layout &l) { return l.surfaces[1] + 4; }, 64)(bytes, layout);
    Md3Model model = {};
    ASSERT_EQ(TestMd3_LoadBytes(bytes, &model), 1);
    const std::string full(64, 'A');
    EXPECT_EQ(MD3_SetSkin(full.c_str(), &model, 3), 1);
    EXPECT_EQ(MD3_SetSkin((full + "A").c_str(), &model, 3), -1);
    EXPECT_EQ(MD3_SetSkin(full.substr(0, 63).c_str(), &model, 3), -1);
    MD3_Free(&model);
    bytes = good;
    TestMd3_Patch(bytes, SurfaceField(layout, 0, offsetof(Md3SurfaceHeader, ofs_end)), int32_t(0));
    ASSERT_EQ(TestMd3_LoadBytes(bytes, &model), 1);
    EXPECT_STREQ(model.surfaces[1].header.name, "first");
    EXPECT_EQ(std::memcmp(model.surfaces[1].vertices, model.surfaces[0].vertices, 8 * sizeof(Md3Vertex)), 0);
    MD3_Free(&model);
}

// A small file that points many surfaces at one large block would expand
// into many copies of it: the loader takes at most twice the file's length.
TEST(Md3Load, RefusesToAllocateMoreThanTwiceTheFile) {
    Md3ModelData data = TestMd3_Model();
    data.surfaces.resize(1);
    Md3SurfaceData &big = data.surfaces[0];
    big.texcoords.assign(3000, Md3TexCoord{0.5f, 0.5f});
    big.vertices.assign(2 * 3000, TestMd3_Vertex(1, 2, 3));
    Md3Layout layout;
    std::vector<uint8_t> bytes = Md3Writer_Encode(data, &layout);
    TestMd3_Patch(bytes, SurfaceField(layout, 0, offsetof(Md3SurfaceHeader, ofs_end)), int32_t(0));
    for (int32_t surfaces : {1, 2, 3, 1000}) {
        SCOPED_TRACE(surfaces);
        TestMd3_Patch(bytes, offsetof(Md3Header, num_surfaces), surfaces);
        Md3Model model = {};
        std::string reason;
        // Each copy of the surface takes about 0.98 of the file's length.
        EXPECT_EQ(TestMd3_LoadBytes(bytes, &model, &reason), surfaces <= 2 ? 1 : 0);
        EXPECT_EQ(reason, surfaces <= 2 ? "" : surfaces < 1000 ? "surface 2: more to allocate than twice the file's length"
                                                             : "more to allocate than twice the file's length");
        EXPECT_EQ(TestMd3_IsEmpty(model), surfaces > 2);
        MD3_Free(&model);
    }
}

// Random damage: every load either fails cleanly or yields a record whose
// arrays hold what the counts promise (the sanitizers watch the reads).
TEST(Md3Load, DamagedFilesLoadConsistentlyOrNotAtAll) {
    const std::vector<uint8_t> good = Md3Writer_Encode(TestMd3_Model());
    std::mt19937 random(1234);
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> bytes = good;
        for (int flips = 0; flips < 4; ++flips)
            bytes[random() % bytes.size()] = uint8_t(random());
        Md3Model model = {};
        int result = TestMd3_LoadBytes(bytes, &model);
        ASSERT_TRUE(result == 0 || result == 1);
        if (result == 0) {
            ASSERT_TRUE(TestMd3_IsEmpty(model));
            continue;
        }
        ++loaded;
        for (int32_t s = 0; s < model.header.num_surfaces; ++s) {
            const Md3Surface &surface = model.surfaces[s];
            ASSERT_GE(surface.header.num_frames, model.header.num_frames);
            for (int32_t t = 0; t < surface.header.num_triangles; ++t)
                for (int32_t index : surface.triangles[t].indexes)
                    ASSERT_TRUE(index >= 0 && index < surface.header.num_verts);
        }
        MD3_Free(&model);
    }
    EXPECT_GT(loaded, 0);   // damage to vertex data alone still loads
}

}  // namespace

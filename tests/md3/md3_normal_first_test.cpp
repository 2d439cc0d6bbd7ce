// The normal table before any model loaded, and after loads that failed.
// Its own program: nothing may have loaded a model in this process before.
#include <gtest/gtest.h>

#include <cstddef>

#include "md3_test_files.h"

namespace {

bool TableIsZero() {
    for (int i = 0; i < 65536; ++i)
        if (NormalTable[i][0] != 0.0f || NormalTable[i][1] != 0.0f || NormalTable[i][2] != 0.0f)
            return false;
    return true;
}

TEST(NormalTableFirst, StaysZeroUntilALoadSucceeds) {
    ASSERT_TRUE(TableIsZero());
    Md3Layout layout;
    const std::vector<uint8_t> good = Md3Writer_Encode(TestMd3_Model(), &layout);
    Md3Model model = {};
    EXPECT_EQ(MD3_Load(TestMd3_Path("missing.md3").c_str(), &model), 0);
    std::vector<uint8_t> bad = good;
    TestMd3_Patch(bad, offsetof(Md3Header, version), int32_t(16));
    EXPECT_EQ(TestMd3_LoadBytes(bad, &model), 0);
    bad = good;
    TestMd3_Patch(bad, layout.surfaces[1] + offsetof(Md3SurfaceHeader, num_verts), int32_t(1));
    EXPECT_EQ(TestMd3_LoadBytes(bad, &model), 0);   // fails in the last surface
    EXPECT_TRUE(TableIsZero());

    ASSERT_EQ(TestMd3_LoadBytes(good, &model), 1);
    EXPECT_EQ(NormalTable[0][2], 1.0f);
    EXPECT_NEAR(NormalTable[16384][0], 0.99998128f, 1e-7);
    MD3_Free(&model);
}

}  // namespace

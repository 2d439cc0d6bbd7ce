// The packed normal table as every successful load leaves it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "md3_test_files.h"

namespace {

class NormalTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Md3Model model = {};
        ASSERT_EQ(TestMd3_LoadBytes(Md3Writer_Encode(TestMd3_Model()), &model), 1);
        MD3_Free(&model);
    }
};

void ExpectEntry(int index, float x, float y, float z) {
    SCOPED_TRACE("entry " + std::to_string(index));
    EXPECT_FLOAT_EQ(NormalTable[index][0], x);
    EXPECT_FLOAT_EQ(NormalTable[index][1], y);
    EXPECT_FLOAT_EQ(NormalTable[index][2], z);
}

TEST_F(NormalTableTest, HoldsTheTellingEntries) {
    ExpectEntry(0, 0.0f, 0.0f, 1.0f);
    ExpectEntry(256, 0.024636723f, 0.0f, 0.99969649f);
    ExpectEntry(16384, 0.99998128f, 0.0f, -0.0061134156f);     // row 64 misses the equator
    ExpectEntry(16448, -0.0061133015f, 0.99996263f, -0.0061134156f);
    ExpectEntry(65535, -0.00018540048f, 3.4373343e-08f, 1.0f);
    // The first byte picks the row: swapping the bytes picks another entry.
    ExpectEntry(1, 0.0f, 0.0f, 1.0f);
    ExpectEntry(64, 0.0f, 0.0f, 1.0f);
}

// Row r is one ring around +z at angle r * step; column c turns it about z.
TEST_F(NormalTableTest, RowsAreRingsOfUnitVectors) {
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c) {
            const float *n = NormalTable[r * 256 + c];
            ASSERT_NEAR(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2], 1.0, 1e-6) << r << "," << c;
            ASSERT_EQ(n[2], NormalTable[r * 256][2]) << r << "," << c;
        }
}

// The writer packs with the same angle step, so packing a table entry gives
// its own bytes back (away from the poles, where columns coincide).
TEST_F(NormalTableTest, WriterPacksToTheTableEntries) {
    float step;
    const uint32_t bits = 0x3CC9D82Eu;
    std::memcpy(&step, &bits, sizeof step);
    EXPECT_EQ(6.283f / 255.0f, step);
    for (int r = 8; r < 120; r += 37)
        for (int c = 0; c < 256; c += 51) {
            const float *n = NormalTable[r * 256 + c];
            uint8_t packed[2];
            Md3Writer_PackNormal(n[0], n[1], n[2], packed);
            EXPECT_EQ(packed[0], r);
            EXPECT_EQ(packed[1], c);
        }
}

}  // namespace

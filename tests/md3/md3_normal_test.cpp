// The packed normal table as every successful load leaves it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "bits_cases.h"
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

// Bit for bit, the telling entries and a hash of every entry
// (bits_cases.cpp).
TEST_F(NormalTableTest, HoldsTheTellingEntries) {
    EXPECT_EQ(BitsCases_CheckNormalTable(), "");
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

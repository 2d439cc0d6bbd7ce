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

// Bit for bit, so that a sign or a last place counts; the values come from
// tests/md3/normal_reference.py, which works them out from the formula.
uint32_t bits(float value) {
    uint32_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

void ExpectEntry(int index, float x, float y, float z) {
    SCOPED_TRACE("entry " + std::to_string(index));
    EXPECT_EQ(bits(NormalTable[index][0]), bits(x));
    EXPECT_EQ(bits(NormalTable[index][1]), bits(y));
    EXPECT_EQ(bits(NormalTable[index][2]), bits(z));
}

TEST_F(NormalTableTest, HoldsTheTellingEntries) {
    ExpectEntry(0, 0x0p+0f, 0x0p+0f, 0x1p+0f);
    ExpectEntry(256, 0x1.93a5e8p-6f, 0x0p+0f, 0x1.ffd838p-1f);   // 0.024636723, 0, 0.99969649
    ExpectEntry(16384, 0x1.fffd8cp-1f, 0x0p+0f, -0x1.90a618p-8f);   // row 64 misses the equator
    ExpectEntry(16448, -0x1.90a42ep-8f, 0x1.fffb1ap-1f, -0x1.90a618p-8f);
    ExpectEntry(65535, -0x1.84d02p-13f, 0x1.2743c8p-25f, 0x1p+0f);
    // The first byte picks the row: swapping the bytes picks another entry.
    ExpectEntry(1, 0x0p+0f, 0x0p+0f, 0x1p+0f);
    ExpectEntry(64, -0x0p+0f, 0x0p+0f, 0x1p+0f);   // cos(64 step) < 0 times sin(0)
    // Every entry: FNV-1a of the table's bytes.
    uint64_t hash = 0xcbf29ce484222325u;
    const uint8_t *byte = reinterpret_cast<const uint8_t *>(NormalTable);
    for (size_t i = 0; i < sizeof NormalTable; ++i)
        hash = (hash ^ byte[i]) * 0x100000001b3u;
    EXPECT_EQ(hash, 0x35edb10386fd7960u);
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

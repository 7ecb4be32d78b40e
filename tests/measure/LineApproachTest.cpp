// Snapping a rough line to an edge of a synthetic picture.
#include "support/gtest.h"
#include <cmath>
#include <functional>
#include <vector>
#include "LineApproachShell.h"

namespace {

// A 24-bit bottom-up DIB whose pixel (x, y) (y from the top) is bright where inside().
struct Picture
{
    int width, height, stride;
    std::vector<BYTE> bits;
    Picture(int w, int h, const std::function<bool(int, int)>& inside)
        : width(w), height(h), stride((w * 3 + 3) & ~3), bits((size_t)stride * h, 0)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                BYTE* px = &bits[(size_t)(h - 1 - y) * stride + x * 3];
                px[0] = px[1] = px[2] = inside(x, y) ? 200 : 40;
            }
    }
    int Snap(POINT a, POINT b, POINT& outA, POINT& outB) const
    {
        return LineApproachShell(bits.data(), width, height, 8, 3, a.x, a.y, b.x, b.y, &outA, &outB,
                                 20, 50.0, 150.0, 3, 1.0, 0.0349065850, 30);
    }
};

} // namespace

TEST(LineApproach, SnapsAnOffsetTiltedLineToAVerticalEdge)
{
    Picture pic(201, 151, [](int x, int) { return x >= 100; });   // edge between 99 and 100
    // Four pixels off and tilted by about one degree (2 over 110).
    POINT a{ 104, 20 }, b{ 106, 130 }, outA, outB;
    ASSERT_EQ(pic.Snap(a, b, outA, outB), 1);
    EXPECT_NEAR(outA.x, 99.5, 1.0);
    EXPECT_NEAR(outB.x, 99.5, 1.0);
    EXPECT_NEAR(outA.y, 20, 1.0);     // the ends keep their place along the edge
    EXPECT_NEAR(outB.y, 130, 1.0);
}

TEST(LineApproach, SnapsToASlantedEdgeInSixteenBitMono)
{
    // Edge y = 0.5 x + 30 in a 12-bit mono picture held in 16-bit little-endian samples.
    const int w = 240, h = 180, stride = (w * 2 + 3) & ~3;
    std::vector<BYTE> bits((size_t)stride * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int v = y > 0.5 * x + 30 ? 3500 : 600;
            BYTE* px = &bits[(size_t)(h - 1 - y) * stride + x * 2];
            px[0] = v & 0xFF;
            px[1] = v >> 8;
        }
    POINT a{ 20, 46 }, b{ 200, 127 }, outA, outB;   // about 4 px below and 1 degree off
    ASSERT_EQ(LineApproachShell(bits.data(), w, h, 12, 2, a.x, a.y, b.x, b.y, &outA, &outB,
                                20, 50.0, 150.0, 3, 1.0, 0.0349065850, 30), 1);
    for (const POINT& p : { outA, outB })
    {
        const double off = std::fabs(p.y - (0.5 * p.x + 30)) / std::sqrt(1.25);
        EXPECT_LE(off, 1.0) << p.x << "," << p.y;
    }
    EXPECT_NEAR(outA.x, 20, 3);
    EXPECT_NEAR(outB.x, 200, 3);
}

TEST(LineApproach, ReportsFailureWithoutANearbyEdge)
{
    POINT outA{ 5, 5 }, outB{ 5, 5 };
    Picture flat(200, 150, [](int, int) { return false; });
    EXPECT_EQ(flat.Snap({ 50, 20 }, { 52, 130 }, outA, outB), 0);
    EXPECT_EQ(outA.x, -1);   // outside every picture: callers keep their own line
    EXPECT_EQ(outB.y, -1);

    Picture distant(200, 150, [](int x, int) { return x >= 150; });
    EXPECT_EQ(distant.Snap({ 50, 20 }, { 52, 130 }, outA, outB), 0);

    // An edge across the line, not along it, is no answer either.
    Picture across(200, 150, [](int, int y) { return y >= 75; });
    EXPECT_EQ(across.Snap({ 100, 20 }, { 102, 130 }, outA, outB), 0);

    // Unusable input.
    EXPECT_EQ(flat.Snap({ 10, 10 }, { 10, 10 }, outA, outB), 0);
    EXPECT_EQ(LineApproachShell(nullptr, 10, 10, 8, 3, 0, 0, 5, 5, &outA, &outB,
                                20, 50.0, 150.0, 3, 1.0, 0.0349065850, 30), 0);
    EXPECT_EQ(LineApproachShell(flat.bits.data(), 200, 150, 8, 3, 0, 0, 50, 50, nullptr, &outB,
                                20, 50.0, 150.0, 3, 1.0, 0.0349065850, 30), 0);
}

// Adjustments, geometry, selection and drawing of CxImage.
#include <math.h>
#include <string.h>

#include <algorithm>

#include "ImagingSupport.h"
#include "support/gtest.h"

namespace {

CxImage Picture(int w, int h, int bpp, bool grey = false)
{
    CxImage image;
    image.Pixels() = MakeTestPicture(w, h, bpp, grey, false);
    return image;
}

Bytes PixelsOf(const CxImage& image)
{
    const BYTE* bits = image.GetBits();
    return Bytes(bits, bits + image.GetSize());
}

void Hsl(const RGBQUAD& c, double& h, double& s, double& l)
{
    const double r = c.rgbRed / 255.0, g = c.rgbGreen / 255.0, b = c.rgbBlue / 255.0;
    const double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    l = (mx + mn) / 2;
    const double d = mx - mn;
    s = d == 0 ? 0 : d / (1 - fabs(2 * l - 1));
    if (d == 0)
        h = 0;
    else if (mx == r)
        h = 60 * fmod((g - b) / d + 6, 6);
    else if (mx == g)
        h = 60 * ((b - r) / d + 2);
    else
        h = 60 * ((r - g) / d + 4);
}

}  // namespace

TEST(ImagePixels, NeutralAdjustmentsLeaveEveryByte)
{
    for (int bpp : {4, 8, 24}) {
        CxImage image = Picture(37, 9, bpp);
        const Bytes before = PixelsOf(image);
        const std::vector<orv_img::PaletteEntry> palette = image.Pixels().palette;
        EXPECT_TRUE(image.Light(0, 0));
        EXPECT_TRUE(image.Gamma(1.0f));
        EXPECT_TRUE(image.Saturate(0, 1));
        EXPECT_TRUE(PixelsOf(image) == before) << bpp;
        EXPECT_EQ(0, memcmp(palette.data(), image.Pixels().palette.data(), palette.size() * 4));
    }
}

TEST(ImagePixels, LightGammaAndSaturateFollowTheirDefinitions)
{
    CxImage grey;
    grey.Create(256, 1, 8);
    for (int x = 0; x < 256; ++x)
        grey.SetPixelIndex(x, 0, static_cast<BYTE>(x));
    CxImage lit(grey);
    lit.Light(20, 50);  // +20, then 1.5 times the distance from 128
    for (int v : {0, 64, 128, 200}) {
        const int expect = std::max(0, std::min(255, static_cast<int>(floor((v - 128) * 1.5 + 148 + 0.5))));
        EXPECT_EQ(expect, lit.GetPixelIndex(v, 0)) << v;
    }
    EXPECT_TRUE(lit.IsGrayScale());
    EXPECT_EQ(8, lit.GetBpp());

    CxImage lifted(grey);
    lifted.Gamma(2.0f);
    EXPECT_EQ(181, lifted.GetPixelIndex(128, 0));  // 255 * (128/255)^0.5
    EXPECT_EQ(0, lifted.GetPixelIndex(0, 0));
    EXPECT_EQ(255, lifted.GetPixelIndex(255, 0));
    CxImage darker(grey);
    darker.Gamma(0.5f);
    EXPECT_LT(darker.GetPixelIndex(128, 0), 128);

    CxImage colour;
    colour.Create(3, 1, 24);
    const RGBQUAD samples[3] = {{50, 100, 200, 0}, {20, 180, 90, 0}, {230, 60, 120, 0}};
    for (int x = 0; x < 3; ++x)
        colour.SetPixelColor(x, 0, samples[x]);
    CxImage more(colour), none(colour);
    more.Saturate(40, 1);
    none.Saturate(-180, 1);
    for (int x = 0; x < 3; ++x) {
        double h0, s0, l0, h1, s1, l1;
        Hsl(samples[x], h0, s0, l0);
        Hsl(more.GetPixelColor(x, 0), h1, s1, l1);
        EXPECT_NEAR(h0, h1, 2.0) << x;
        EXPECT_NEAR(l0, l1, 1.0 / 255) << x;
        EXPECT_GT(s1, s0) << x;
        const RGBQUAD g = none.GetPixelColor(x, 0);
        EXPECT_LE(std::max({g.rgbRed, g.rgbGreen, g.rgbBlue}) - std::min({g.rgbRed, g.rgbGreen, g.rgbBlue}), 2)
            << x;
    }
}

TEST(ImagePixels, PaletteAdjustmentsChangeThePaletteNotTheIndices)
{
    CxImage image = Picture(20, 5, 8);
    const Bytes indices = PixelsOf(image);
    const RGBQUAD before = image.GetPalette()[7];
    image.Light(30, 0);
    EXPECT_TRUE(PixelsOf(image) == indices);
    EXPECT_EQ(std::min(255, before.rgbRed + 30), image.GetPalette()[7].rgbRed);
    image.Saturate(-100, 1);
    const RGBQUAD g = image.GetPalette()[7];
    EXPECT_LE(abs(g.rgbRed - g.rgbGreen) + abs(g.rgbGreen - g.rgbBlue), 2);
}

TEST(ImagePixels, GeometryKeepsEveryPixel)
{
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(bpp);
        const CxImage source = Picture(13, 7, bpp);
        CxImage r(source);
        ASSERT_TRUE(r.RotateRight());
        ASSERT_EQ(7u, r.GetWidth());
        ASSERT_EQ(13u, r.GetHeight());
        // Clockwise: the top-left corner goes to the top-right one.
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) {
                const RGBQUAD a = source.GetPixelColor(x, 6 - y);         // (x, y) from the top
                const RGBQUAD b = r.GetPixelColor(6 - y, 12 - x);          // (6-y, x) from the top
                ASSERT_EQ(0, memcmp(&a, &b, 3)) << x << "," << y;
            }
        ASSERT_TRUE(r.RotateLeft());
        EXPECT_TRUE(PixelsOf(r) == PixelsOf(source));
        CxImage m(source);
        m.Mirror();
        m.Flip();
        m.Rotate180();
        EXPECT_TRUE(PixelsOf(m) == PixelsOf(source));

        CxImage c(source);
        ASSERT_TRUE(c.Crop(2, 1, 9, 5));  // rows from the top, right and bottom excluded
        ASSERT_EQ(7u, c.GetWidth());
        ASSERT_EQ(4u, c.GetHeight());
        const RGBQUAD a = source.GetPixelColor(2, 5), b = c.GetPixelColor(0, 3);
        EXPECT_EQ(0, memcmp(&a, &b, 3));
    }
}

TEST(ImagePixels, SelectionBoxIsClampedAndKept)
{
    CxImage image = Picture(40, 30, 24);
    RECT r = {-5, 35, 20, 10};  // bottom-up rows; top beyond the picture
    EXPECT_TRUE(image.SelectionAddRect(r));
    RECT box;
    image.SelectionGetBox(box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(20, box.right);
    EXPECT_EQ(29, box.top);
    EXPECT_EQ(10, box.bottom);
    CxImage copy(image);
    EXPECT_TRUE(copy.SelectionIsValid());
    image.SelectionClear();
    EXPECT_FALSE(image.SelectionIsValid());
    RECT outside = {50, 5, 60, 0};
    EXPECT_FALSE(image.SelectionAddRect(outside));
}

TEST(ImagePixels, DrawPaintsOnlyTheClippedPartAndMatchesAFullDraw)
{
    BITMAPINFO bmi;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = 120;
    bmi.bmiHeader.biHeight = -90;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    for (int bpp : {4, 8, 24}) {
        SCOPED_TRACE(bpp);
        CxImage image = Picture(30, 20, bpp, bpp == 8);
        void* bitsA = nullptr;
        void* bitsB = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP a = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bitsA, nullptr, 0);
        HBITMAP b = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bitsB, nullptr, 0);
        memset(bitsA, 0x11, 120 * 90 * 4);
        memset(bitsB, 0x11, 120 * 90 * 4);
        HGDIOBJ old = SelectObject(dc, a);
        image.Draw(dc, 10, 5, 90, 60);  // three times the size
        SelectObject(dc, b);
        RECT clip = {40, 20, 70, 50};
        image.Draw(dc, 10, 5, 90, 60, &clip);
        GdiFlush();
        SelectObject(dc, old);
        const uint32_t* pa = static_cast<uint32_t*>(bitsA);
        const uint32_t* pb = static_cast<uint32_t*>(bitsB);
        int inside = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x) {
                const bool in = x >= 40 && x < 70 && y >= 20 && y < 50;
                if (in) {
                    ASSERT_EQ(pa[y * 120 + x] & 0xFFFFFF, pb[y * 120 + x] & 0xFFFFFF) << x << "," << y;
                    ++inside;
                } else {
                    ASSERT_EQ(0x11111111u, pb[y * 120 + x]) << x << "," << y;
                }
            }
        EXPECT_EQ(900, inside);
        // The pixel at view (13, 8) shows image pixel (1, 1) from the top.
        const RGBQUAD c = image.GetPixelColor(1, 18);
        EXPECT_EQ(static_cast<uint32_t>(c.rgbRed << 16 | c.rgbGreen << 8 | c.rgbBlue), pa[8 * 120 + 13] & 0xFFFFFF);

        // Back from a bitmap: the same pixels.
        CxImage back;
        ASSERT_TRUE(back.CreateFromHBITMAP(a));
        EXPECT_EQ(120u, back.GetWidth());
        const RGBQUAD d = back.GetPixelColor(13, 89 - 8);
        EXPECT_EQ(0, memcmp(&c, &d, 3));
        DeleteObject(a);
        DeleteObject(b);
        DeleteDC(dc);
    }
}

TEST(ImagePixels, ResampleAndDepthChanges)
{
    CxImage image = Picture(40, 20, 8);
    CxImage reduced(image);
    ASSERT_TRUE(reduced.Resample(10, 5, 1));
    EXPECT_EQ(10u, reduced.GetWidth());
    EXPECT_EQ(5u, reduced.GetHeight());
    CxImage wide(image);
    ASSERT_TRUE(wide.IncreaseBpp(24));
    EXPECT_EQ(24, wide.GetBpp());
    for (int x = 0; x < 40; x += 7) {
        const RGBQUAD a = image.GetPixelColor(x, 3), b = wide.GetPixelColor(x, 3);
        EXPECT_EQ(0, memcmp(&a, &b, 3));
    }
    CxImage tooBig(image);
    EXPECT_FALSE(tooBig.Resample(200000, 200000, 1));
    EXPECT_STRNE("", tooBig.GetLastError());
    EXPECT_EQ(40u, tooBig.GetWidth());
}

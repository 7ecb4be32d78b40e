// The channel merge on pictures read back pixel by pixel: saturating addition, size
// refusal, the crop to what every shifted channel covers, channels of other depths.
#include <windows.h>

#include "support/gtest.h"

#include "app/compose/ChannelMerge.h"
#include "xImage.h"

#include <functional>

namespace {

// A 24-bit picture whose pixel (x, y), y counted from the top, is colour(x, y) as RGB.
CxImage Picture(int w, int h, const std::function<RGBQUAD(int, int)>& colour)
{
    CxImage image;
    image.Create(w, h, 24, CXIMAGE_FORMAT_BMP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, h - 1 - y, colour(x, y));
    return image;
}

RGBQUAD Rgb(int r, int g, int b)
{
    RGBQUAD q = {BYTE(b), BYTE(g), BYTE(r), 0};
    return q;
}

// The colour at (x, y), y counted from the top.
RGBQUAD At(const CxImage& image, int x, int y)
{
    return image.GetPixelColor(x, long(image.GetHeight()) - 1 - y, false);
}

// A channel shifted as the store shifts it: right by dx, up by dy, the uncovered
// columns and rows black.
CxImage Shifted(int w, int h, int dx, int dy, int r, int g, int b)
{
    return Picture(w, h, [=](int x, int y) {
        const int sx = x - dx, sy = y + dy;
        return sx >= 0 && sx < w && sy >= 0 && sy < h ? Rgb(r, g, b) : Rgb(0, 0, 0);
    });
}

DWORD Packed(RGBQUAD c)
{
    return DWORD(c.rgbRed) << 16 | DWORD(c.rgbGreen) << 8 | c.rgbBlue;
}

int Merge(const std::vector<const CxImage*>& channels, const std::vector<POINT>& offsets, CxImage* out)
{
    return MergeChannelPictures(channels, offsets, out);
}

}  // namespace

TEST(ChannelMerge, AddsComponentsWithSaturation)
{
    CxImage red = Picture(8, 6, [](int, int) { return Rgb(200, 0, 0); });
    CxImage green = Picture(8, 6, [](int, int) { return Rgb(0, 200, 0); });
    CxImage out;
    ASSERT_EQ(CHANNEL_MERGE_DONE, Merge({&red, &green}, {{0, 0}, {0, 0}}, &out));
    RGBQUAD c = At(out, 3, 2);
    EXPECT_EQ(200, c.rgbRed);
    EXPECT_EQ(200, c.rgbGreen);
    EXPECT_EQ(0, c.rgbBlue);

    CxImage red2 = Picture(8, 6, [](int, int) { return Rgb(200, 0, 0); });
    ASSERT_EQ(CHANNEL_MERGE_DONE, Merge({&red, &red2}, {{0, 0}, {0, 0}}, &out));
    EXPECT_EQ(255, At(out, 0, 0).rgbRed);
}

TEST(ChannelMerge, OneChannelComesBackUnchangedAndSizesMustMatch)
{
    CxImage one = Picture(10, 7, [](int x, int y) { return Rgb(x * 20, y * 30, 77); });
    CxImage out;
    ASSERT_EQ(CHANNEL_MERGE_DONE, Merge({&one}, {{5, -3}}, &out));
    ASSERT_EQ(10u, out.GetWidth());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Packed(At(one, x, y)), Packed(At(out, x, y)));

    CxImage vga(Picture(640, 480, [](int, int) { return Rgb(1, 1, 1); }));
    CxImage large(Picture(800, 600, [](int, int) { return Rgb(1, 1, 1); }));
    EXPECT_EQ(CHANNEL_MERGE_SIZES_DIFFER, Merge({&vga, &large}, {{0, 0}, {0, 0}}, &out));
}

TEST(ChannelMerge, CropsToWhatEveryShiftedChannelCovers)
{
    const int w = 40, h = 30;
    // Red moved right 5; green moved left 3 and down 4.
    CxImage red = Shifted(w, h, 5, 0, 120, 0, 0);
    CxImage green = Shifted(w, h, -3, -4, 0, 120, 0);
    CxImage out;
    ASSERT_EQ(CHANNEL_MERGE_DONE, Merge({&red, &green}, {{5, 0}, {-3, -4}}, &out));
    ASSERT_EQ(unsigned(w - 8), out.GetWidth());
    ASSERT_EQ(unsigned(h - 4), out.GetHeight());
    for (int y = 0; y < h - 4; ++y)
        for (int x = 0; x < w - 8; ++x) {
            RGBQUAD c = At(out, x, y);
            ASSERT_EQ(120, c.rgbRed) << x << "," << y;
            ASSERT_EQ(120, c.rgbGreen) << x << "," << y;
        }

    // Moved up 6: six rows go at the bottom, none at the top.
    CxImage up = Shifted(w, h, 0, 6, 0, 0, 90);
    CxImage marked = Picture(w, h, [](int, int y) { return Rgb(y == 0 ? 50 : 0, 0, 0); });
    ASSERT_EQ(CHANNEL_MERGE_DONE, Merge({&up, &marked}, {{0, 6}, {0, 0}}, &out));
    ASSERT_EQ(unsigned(w), out.GetWidth());
    ASSERT_EQ(unsigned(h - 6), out.GetHeight());
    EXPECT_EQ(50, At(out, 0, 0).rgbRed);
    EXPECT_EQ(90, At(out, 0, h - 7).rgbBlue);
}

TEST(ChannelMerge, GreyChannelIsConvertedNotReadAsColour)
{
    CxImage colour = Picture(12, 9, [](int, int) { return Rgb(10, 20, 30); });
    CxImage grey;
    grey.Create(12, 9, 8, CXIMAGE_FORMAT_BMP);
    grey.SetGrayPalette();
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            grey.SetPixelIndex(x, y, 100);
    CxImage out;
    ASSERT_EQ(CHANNEL_MERGE_DONE, Merge({&colour, &grey}, {{0, 0}, {0, 0}}, &out));
    for (int y : {0, 4, 8}) {
        RGBQUAD c = At(out, 11, y);
        EXPECT_EQ(110, c.rgbRed);
        EXPECT_EQ(120, c.rgbGreen);
        EXPECT_EQ(130, c.rgbBlue);
    }
}

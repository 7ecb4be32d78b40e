#include "support/gtest.h"

#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include "CaptureWriters.h"
#include "ImageDecoders.h"
#include "TempFolder.h"

namespace {

std::vector<std::u16string> g_messages;
std::vector<std::string> g_errors;

void CaptureMessage(const WCHAR* text)
{
    g_messages.push_back(reinterpret_cast<const char16_t*>(text));
}

void CaptureError(const char* text)
{
    g_errors.push_back(text);
}

// A frame as the capture buffers hold it: bottom-up rows, B,G,R. Busy content, so a
// swapped channel or flipped row cannot go unnoticed.
std::vector<BYTE> BusyFrame(int width, int height, int bytesPerSample)
{
    std::vector<BYTE> frame(static_cast<size_t>(width) * height * 3 * bytesPerSample);
    unsigned state = 12345u + width * 31u + height;
    for (BYTE& b : frame) {
        state = state * 1103515245u + 12345u;
        b = static_cast<BYTE>(state >> 16);
    }
    return frame;
}

// Smooth content a JPEG encoder is meant for.
std::vector<BYTE> SmoothFrame(int width, int height)
{
    std::vector<BYTE> frame(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = &frame[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<BYTE>(128 + 100 * sin(x / 23.0) * cos(y / 31.0));
            p[1] = static_cast<BYTE>(255.0 * x / (width - 1));
            p[2] = static_cast<BYTE>(255.0 * y / (height - 1));
        }
    return frame;
}

// The top-down R,G,B sample that a reader should see for pixel (x, y) of a frame.
unsigned ExpectedSample(const std::vector<BYTE>& frame, int width, int height, int bytes,
                        int x, int y, int channel)
{
    const size_t pixel = (static_cast<size_t>(height - 1 - y) * width + x) * 3;
    const BYTE* s = &frame[(pixel + (2 - channel)) * bytes];
    return bytes == 1 ? s[0] : static_cast<unsigned>(s[0] | (s[1] << 8));
}

::testing::AssertionResult SameAsFrame(const DecodedImage& image, const std::vector<BYTE>& frame,
                                       int width, int height, int bytes)
{
    if (image.width != width || image.height != height || image.samplesPerPixel != 3)
        return ::testing::AssertionFailure() << "size " << image.width << "x" << image.height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const size_t at = (static_cast<size_t>(y) * width + x) * 3 + c;
                unsigned got = bytes == 1 ? image.pixels[at]
                                          : image.pixels[at * 2] | (image.pixels[at * 2 + 1] << 8);
                unsigned want = ExpectedSample(frame, width, height, bytes, x, y, c);
                if (got != want)
                    return ::testing::AssertionFailure()
                           << "pixel " << x << "," << y << " channel " << c << ": " << got
                           << " != " << want;
            }
    return ::testing::AssertionSuccess();
}

class CaptureWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        g_errors.clear();
        SetWriterReporters(CaptureMessage, CaptureError);
    }
    void TearDown() override { SetWriterReporters(nullptr, nullptr); }

    TempFolder folder;
};

TEST_F(CaptureWriters, BmpHoldsTheBufferAsItStands)
{
    const int w = 64, h = 37;
    std::vector<BYTE> frame = BusyFrame(w, h, 1);
    std::u16string path = folder.Path("a.bmp");
    ASSERT_EQ(WriteBmpFile(W(path), frame.data(), w, h), WRITER_OK);

    std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_EQ(file.size(), 54u + frame.size());
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    memcpy(&fh, file.data(), sizeof fh);
    memcpy(&ih, file.data() + 14, sizeof ih);
    EXPECT_EQ(fh.bfType, 0x4D42);
    EXPECT_EQ(fh.bfSize, file.size());
    EXPECT_EQ(fh.bfOffBits, 54u);
    EXPECT_EQ(ih.biSize, 40u);
    EXPECT_EQ(ih.biWidth, w);
    EXPECT_EQ(ih.biHeight, h);
    EXPECT_EQ(ih.biBitCount, 24);
    EXPECT_EQ(ih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(ih.biSizeImage, 0u);
    EXPECT_TRUE(memcmp(file.data() + 54, frame.data(), frame.size()) == 0);
}

TEST_F(CaptureWriters, BmpOfAnOddWidthPadsItsRows)
{
    const int w = 5, h = 3;
    std::vector<BYTE> frame = BusyFrame(w, h, 1);
    std::u16string path = folder.Path("odd.bmp");
    ASSERT_EQ(WriteBmpFile(W(path), frame.data(), w, h), WRITER_OK);
    std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_EQ(file.size(), 54u + 16u * h);
    for (int y = 0; y < h; ++y)
        EXPECT_TRUE(memcmp(&file[54 + 16 * y], &frame[15 * y], 15) == 0) << "row " << y;
}

TEST_F(CaptureWriters, TiffPagesDecodeToTheInputExactly)
{
    const int w = 40, h = 23;
    std::vector<BYTE> frame8 = BusyFrame(w, h, 1);
    std::vector<BYTE> frame16 = BusyFrame(w, h, 2);
    std::u16string path8 = folder.Path("a8.tif"), path16 = folder.Path("a16.tif");
    ASSERT_EQ(WriteTiffFile(W(path8), frame8.data(), w, h), WRITER_OK);
    ASSERT_EQ(WriteTiffFile16(W(path16), frame16.data(), w, h), WRITER_OK);

    DecodedImage image;
    ASSERT_TRUE(DecodeTiffPage(UnixPath(path8).c_str(), 0, image));
    EXPECT_EQ(image.bitsPerSample, 8);
    EXPECT_EQ(image.photometric, 2);
    // Unsigned samples: a reader must not take bright pixels for negative ones.
    EXPECT_EQ(image.sampleFormat, 1);
    EXPECT_TRUE(SameAsFrame(image, frame8, w, h, 1));

    ASSERT_TRUE(DecodeTiffPage(UnixPath(path16).c_str(), 0, image));
    EXPECT_EQ(image.bitsPerSample, 16);
    EXPECT_EQ(image.sampleFormat, 1);
    EXPECT_TRUE(SameAsFrame(image, frame16, w, h, 2));
}

TEST_F(CaptureWriters, ExistingTiffReceivesFurtherPages)
{
    std::vector<BYTE> first = BusyFrame(16, 8, 1), second = BusyFrame(24, 12, 1);
    std::u16string path = folder.Path("series.tif");
    ASSERT_EQ(WriteTiffFile(W(path), first.data(), 16, 8), WRITER_OK);
    ASSERT_EQ(WriteTiffFile(W(path), second.data(), 24, 12), WRITER_OK);
    ASSERT_EQ(SaveCaptureImage(8, W(path), first.data(), 16, 8, FALSE), WRITER_OK);

    std::string unixPath = UnixPath(path);
    ASSERT_EQ(CountTiffPages(unixPath.c_str()), 3);
    DecodedImage image;
    ASSERT_TRUE(DecodeTiffPage(unixPath.c_str(), 0, image));
    EXPECT_TRUE(SameAsFrame(image, first, 16, 8, 1));
    ASSERT_TRUE(DecodeTiffPage(unixPath.c_str(), 1, image));
    EXPECT_TRUE(SameAsFrame(image, second, 24, 12, 1));
    ASSERT_TRUE(DecodeTiffPage(unixPath.c_str(), 2, image));
    EXPECT_TRUE(SameAsFrame(image, first, 16, 8, 1));
}

TEST_F(CaptureWriters, JpegOfASmoothFrameKeepsItsPicture)
{
    const int w = 320, h = 240;
    std::vector<BYTE> frame = SmoothFrame(w, h);
    std::u16string path = folder.Path("a.jpg");
    ASSERT_EQ(WriteJpegFile(W(path), frame.data(), w, h), WRITER_OK);
    EXPECT_TRUE(g_messages.empty());

    DecodedImage image;
    ASSERT_TRUE(DecodeJpegFile(UnixPath(path).c_str(), image));
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    double squared = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                double d = image.pixels[(static_cast<size_t>(y) * w + x) * 3 + c] -
                           static_cast<double>(ExpectedSample(frame, w, h, 1, x, y, c));
                squared += d * d;
            }
    double psnr = 10 * log10(255.0 * 255.0 / (squared / (w * h * 3.0)));
    EXPECT_GE(psnr, 35.0);
}

TEST_F(CaptureWriters, RawAndDispatcherSizes)
{
    const int w = 8, h = 4;
    std::vector<BYTE> raw = BusyFrame(w, h, 2);  // more than any RAW write takes
    std::u16string raw8 = folder.Path("a.raw"), raw16 = folder.Path("b.raw");
    ASSERT_EQ(SaveCaptureImage(4, W(raw8), raw.data(), w, h, FALSE), WRITER_OK);
    ASSERT_EQ(SaveCaptureImage(4, W(raw16), raw.data(), w, h, TRUE), WRITER_OK);
    EXPECT_EQ(ReadWholeFile(raw8), std::vector<BYTE>(raw.begin(), raw.begin() + w * h));
    EXPECT_EQ(ReadWholeFile(raw16), std::vector<BYTE>(raw.begin(), raw.begin() + w * h * 2));

    // 16-bit input reaches BMP and JPEG as the high byte of every sample.
    std::u16string bmp = folder.Path("c.bmp");
    ASSERT_EQ(SaveCaptureImage(2, W(bmp), raw.data(), w, h, TRUE), WRITER_OK);
    std::vector<BYTE> file = ReadWholeFile(bmp);
    ASSERT_EQ(file.size(), 54u + w * h * 3);
    for (int i = 0; i < w * h * 3; ++i)
        ASSERT_EQ(file[54 + i], raw[2 * i + 1]) << "sample " << i;

    // And to TIFF as 16 bits per sample.
    std::u16string tif = folder.Path("d.tif");
    ASSERT_EQ(SaveCaptureImage(8, W(tif), raw.data(), w, h, TRUE), WRITER_OK);
    DecodedImage image;
    ASSERT_TRUE(DecodeTiffPage(UnixPath(tif).c_str(), 0, image));
    EXPECT_TRUE(SameAsFrame(image, raw, w, h, 2));
}

TEST_F(CaptureWriters, ExistingFilesAreOverwrittenExceptTiff)
{
    std::vector<BYTE> big = BusyFrame(32, 32, 1), little = BusyFrame(8, 8, 1);
    const struct { int format; const char* name; } cases[] = {
        {1, "o.jpg"}, {2, "o.bmp"}, {4, "o.raw"}};
    for (const auto& c : cases) {
        std::u16string path = folder.Path(c.name);
        ASSERT_EQ(SaveCaptureImage(c.format, W(path), big.data(), 32, 32, FALSE), WRITER_OK);
        size_t before = ReadWholeFile(path).size();
        ASSERT_EQ(SaveCaptureImage(c.format, W(path), little.data(), 8, 8, FALSE), WRITER_OK);
        EXPECT_LT(ReadWholeFile(path).size(), before) << c.name;
    }
}

TEST_F(CaptureWriters, ReadOnlyFilesAreLeftAsTheyWere)
{
    std::vector<BYTE> big = BusyFrame(32, 32, 1), little = BusyFrame(8, 8, 1);
    const struct { int format; const char* name; } cases[] = {
        {1, "r.jpg"}, {2, "r.bmp"}, {4, "r.raw"}, {8, "r.tif"}};
    for (const auto& c : cases) {
        std::u16string path = folder.Path(c.name);
        ASSERT_EQ(SaveCaptureImage(c.format, W(path), big.data(), 32, 32, FALSE), WRITER_OK);
        const std::vector<BYTE> before = ReadWholeFile(path);
        ASSERT_TRUE(SetFileAttributesW(W(path), FILE_ATTRIBUTE_READONLY));
        EXPECT_NE(SaveCaptureImage(c.format, W(path), little.data(), 8, 8, FALSE), WRITER_OK) << c.name;
        EXPECT_TRUE(ReadWholeFile(path) == before) << c.name;
        SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(CaptureWriters, UnknownFormatWritesTheBmpItWasNamedFor)
{
    std::vector<BYTE> frame = BusyFrame(8, 4, 1);
    std::u16string path = folder.Path("u.bmp");
    ASSERT_EQ(SaveCaptureImage(16, W(path), frame.data(), 8, 4, FALSE), WRITER_OK);
    std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_EQ(file.size(), 54u + frame.size());
    EXPECT_TRUE(memcmp(file.data() + 54, frame.data(), frame.size()) == 0);
}

TEST_F(CaptureWriters, FailuresAreReportedNotThrown)
{
    std::vector<BYTE> frame = BusyFrame(8, 4, 1);
    std::u16string missing = folder.Path("no such folder\\x");

    EXPECT_NO_THROW(EXPECT_EQ(SaveCaptureImage(2, W(missing + u".bmp"), frame.data(), 8, 4, FALSE), WRITER_FAILED));
    EXPECT_NO_THROW(EXPECT_EQ(SaveCaptureImage(4, W(missing + u".raw"), frame.data(), 8, 4, FALSE), WRITER_FAILED));
    EXPECT_EQ(g_errors, std::vector<std::string>(2, "Cannot open file for output.\n"));
    EXPECT_TRUE(g_messages.empty());

    g_errors.clear();
    EXPECT_EQ(SaveCaptureImage(8, W(missing + u".tif"), frame.data(), 8, 4, FALSE), WRITER_TIFF_OPEN_FAILED);
    EXPECT_EQ(g_errors, std::vector<std::string>(1, "Cannot open file for output.\n"));
    EXPECT_TRUE(g_messages.empty());

    std::u16string jpg = missing + u".jpg";
    EXPECT_EQ(SaveCaptureImage(1, W(jpg), frame.data(), 8, 4, FALSE), WRITER_FAILED);
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0], u"JpegFile :\nCan't open " + jpg + u"\n");
    EXPECT_EQ(g_messages[1], u"Write Error");

    g_messages.clear();
    EXPECT_EQ(WriteJpegFile(W(folder.Path("n.jpg")), nullptr, 8, 4), WRITER_FAILED);
    EXPECT_EQ(g_messages, std::vector<std::u16string>(1, u"No Image!"));
    EXPECT_FALSE(FileExists(folder.Path("n.jpg")));
}

}  // namespace

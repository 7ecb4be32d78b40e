// Saving by path: every writable format reads back through our loader (lossless ones
// exactly, JPEG close); each saved file is kept with its expected decode, which the
// imaging_saved_files step compares with ImageMagick's reading outside Wine.
#include <dirent.h>
#include <string.h>

#include "Bands.h"
#include "Codecs.h"
#include "ImagingSupport.h"
#include "support/gtest.h"

namespace {

struct Format {
    DWORD type;
    const char* ext;
    bool alpha;    // keeps an alpha plane
    bool colour;   // keeps colour (PGX and WBMP do not)
};

const Format kFormats[] = {
    {CXIMAGE_FORMAT_BMP, "bmp", true, true},   {CXIMAGE_FORMAT_GIF, "gif", false, true},
    {CXIMAGE_FORMAT_JPG, "jpg", false, true},  {CXIMAGE_FORMAT_PNG, "png", true, true},
    {CXIMAGE_FORMAT_ICO, "ico", true, true},   {CXIMAGE_FORMAT_TIF, "tif", true, true},
    {CXIMAGE_FORMAT_TGA, "tga", true, true},   {CXIMAGE_FORMAT_PCX, "pcx", false, true},
    {CXIMAGE_FORMAT_WBMP, "wbmp", false, false}, {CXIMAGE_FORMAT_JP2, "jp2", true, true},
    {CXIMAGE_FORMAT_JPC, "j2k", true, true},   {CXIMAGE_FORMAT_PGX, "pgx", false, false},
    {CXIMAGE_FORMAT_PNM, "ppm", false, true},  {CXIMAGE_FORMAT_RAS, "ras", true, true},
    {CXIMAGE_FORMAT_MNG, "mng", true, true},
};

// A picture smooth enough for JPEG to keep it within a few levels.
CxImage Smooth(int w, int h)
{
    CxImage image;
    image.Create(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = image.GetBits(y) + 3 * x;
            p[0] = static_cast<BYTE>(60 + x * 100 / w);
            p[1] = static_cast<BYTE>(80 + y * 120 / h);
            p[2] = static_cast<BYTE>(150 - (x + y) * 80 / (w + h));
        }
    return image;
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

}  // namespace

TEST(ImageSaving, EveryWritableFormatReadsBack)
{
    ResetUnixDir(SavedDir());
    struct Kind {
        const char* name;
        int bpp;
        bool grey, alpha;
    } kinds[] = {{"pal1", 1, false, false}, {"pal4", 4, false, false}, {"pal8", 8, false, false},
                 {"grey8", 8, true, false},  {"rgb24", 24, false, false}, {"rgba", 24, false, true}};
    int saved = 0;
    for (const Format& f : kFormats)
        for (const Kind& k : kinds)
            for (int w : {1, 3, 257}) {
                if (k.alpha && !f.alpha)
                    continue;
                if (!f.colour && !(f.type == CXIMAGE_FORMAT_PGX ? k.grey : k.bpp == 1))
                    continue;
                if (f.type == CXIMAGE_FORMAT_JPG && !k.grey && k.bpp != 24)
                    continue;
                const int h = w == 257 ? 11 : 6;
                CxImage picture;
                picture.Pixels() = MakeTestPicture(w, h, k.bpp, k.grey, k.alpha);
                if (f.type == CXIMAGE_FORMAT_WBMP) {
                    RGBQUAD bw[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
                    picture.SetPalette(bw, 2);
                }
                if (f.type == CXIMAGE_FORMAT_JPG) {
                    picture = Smooth(w, h);
                    if (k.grey)
                        picture.GrayScale();
                }
                char name[64];
                snprintf(name, sizeof name, "%s_%d.%s", k.name, w, f.ext);
                SCOPED_TRACE(name);
                const std::string path = SavedDir() + "/" + name;
                ASSERT_TRUE(picture.Save(WinPath(path).data(), f.type)) << picture.GetLastError();
                CxImage back;
                ASSERT_TRUE(back.Load(WinPath(path).data(), f.type)) << back.GetLastError();
                RgbaImage expect = ToRgba(picture);
                RgbaImage got = ToRgba(back);
                if (f.type == CXIMAGE_FORMAT_MNG && k.alpha)
                    got.premultiplied = true;  // transparent pixels keep no colour
                if (f.type == CXIMAGE_FORMAT_JPG) {
                    EXPECT_GE(Psnr(got, expect), 35.0);
                } else {
                    if (f.type == CXIMAGE_FORMAT_MNG && k.alpha)
                        for (size_t i = 0; i < expect.px.size(); i += 4)
                            if (expect.px[i + 3] == 0)
                                memset(&expect.px[i], 0, 3);
                    EXPECT_EQ("", CompareRgba(got, expect, 0));
                }
                // For the independent reader outside Wine: what it must see.
                WritePam(path + ".pam", got);
                ++saved;
            }
    EXPECT_GT(saved, 150);
}

TEST(ImageSaving, TrueColourGifKeepsEveryColour)
{
    CxImage picture = Smooth(300, 40);  // thousands of colours
    const std::string path = SavedDir() + "/truecolour.gif";
    ASSERT_TRUE(picture.Save(WinPath(path).data(), CXIMAGE_FORMAT_GIF)) << picture.GetLastError();
    CxImage back;
    ASSERT_TRUE(back.Load(WinPath(path).data(), CXIMAGE_FORMAT_GIF)) << back.GetLastError();
    EXPECT_EQ(24, back.GetBpp());
    EXPECT_EQ("", CompareRgba(ToRgba(back), ToRgba(picture), 0));
    WritePam(path + ".pam", ToRgba(back));
    Bytes file;
    ASSERT_TRUE(ReadUnixFile(path, file));
    int blocks = 0;
    for (size_t i = 13; i + 10 < file.size(); ++i)
        blocks += file[i] == 0x2C && (file[i + 9] & 0x80);  // image with its own table
    EXPECT_GT(blocks, 1);
}

TEST(ImageSaving, AFailedWriteLeavesTheOldFile)
{
    const std::string dir = FuzzDir() + "/savefail";
    ResetUnixDir(dir);
    const std::string path = dir + "/picture.png";
    CxImage first = Smooth(64, 64);
    ASSERT_TRUE(first.Save(WinPath(path).data(), CXIMAGE_FORMAT_PNG));
    Bytes before;
    ASSERT_TRUE(ReadUnixFile(path, before));

    CxImage second = Smooth(200, 100);
    CxImage::SetWriteLimitForTests(100);  // the disk "fills up" after 100 bytes
    const bool ok = second.Save(WinPath(path).data(), CXIMAGE_FORMAT_PNG);
    CxImage::SetWriteLimitForTests(-1);
    EXPECT_FALSE(ok);
    EXPECT_STRNE("", second.GetLastError());
    Bytes after;
    ASSERT_TRUE(ReadUnixFile(path, after));
    EXPECT_TRUE(before == after);
    EXPECT_EQ(1u, FilesIn(dir).size()) << "temporary file left behind";

    // A format that cannot be written changes nothing either.
    EXPECT_FALSE(second.Save(WinPath(path).data(), CXIMAGE_FORMAT_WMF));
    ASSERT_TRUE(ReadUnixFile(path, after));
    EXPECT_TRUE(before == after);
}

TEST(ImageSaving, AReadOnlyFileIsNotReplaced)
{
    const std::string dir = FuzzDir() + "/readonly";
    ResetUnixDir(dir);
    const std::string path = dir + "/picture.bmp";
    CxImage first = Smooth(40, 30);
    ASSERT_TRUE(first.Save(WinPath(path).data(), CXIMAGE_FORMAT_BMP));
    Bytes before;
    ASSERT_TRUE(ReadUnixFile(path, before));
    ASSERT_TRUE(SetFileAttributesW(WinPath(path).data(), FILE_ATTRIBUTE_READONLY));

    CxImage second = Smooth(20, 10);
    EXPECT_FALSE(second.Save(WinPath(path).data(), CXIMAGE_FORMAT_BMP));
    EXPECT_STREQ("The file is read-only", second.GetLastError());
    Bytes after;
    ASSERT_TRUE(ReadUnixFile(path, after));
    EXPECT_TRUE(before == after);
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, GetFileAttributesW(WinPath(path).data()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1u, FilesIn(dir).size()) << "temporary file left behind";

    // Writable again, the same save replaces it.
    ASSERT_TRUE(SetFileAttributesW(WinPath(path).data(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(second.Save(WinPath(path).data(), CXIMAGE_FORMAT_BMP)) << second.GetLastError();
    ASSERT_TRUE(ReadUnixFile(path, after));
    EXPECT_FALSE(before == after);
}

TEST(ImageSaving, TiffWrittenInBandsIsTheFileWrittenRowByRow)
{
    struct Case {
        int w, h, bpp;
        bool grey, alpha;
    };
    // Strips of one row, and (5 wide) strips of hundreds of rows with a short last one.
    const Case cases[] = {{203, 301, 24, false, false}, {203, 301, 24, false, true},
                          {203, 301, 8, true, false},   {203, 301, 8, false, false},
                          {203, 301, 4, false, false},  {203, 301, 1, false, false},
                          {5, 1500, 24, false, false}};
    std::vector<BYTE> none;
    CxImage().Encode(none, CXIMAGE_FORMAT_TIF);  // installs the program's bands
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " bpp " + std::to_string(c.bpp)
                     + (c.alpha ? " alpha" : "") + (c.grey ? " grey" : ""));
        const orv_img::PixelImage picture = MakeTestPicture(c.w, c.h, c.bpp, c.grey, c.alpha);
        std::string err;
        orv_img::ByteBuffer banded, rows;
        ASSERT_TRUE(orv_img::EncodeImage(orv_img::FORMAT_TIF, picture, banded, 90, err)) << err;
        orv_img::SetBandRunner(nullptr, 1);
        const bool ok = orv_img::EncodeImage(orv_img::FORMAT_TIF, picture, rows, 90, err);
        orv_img::SetBandRunner(orvbands::RunBands, orvbands::BandCount(1 << 30, 1));
        ASSERT_TRUE(ok) << err;
        EXPECT_TRUE(banded == rows) << banded.size() << " bytes in bands, " << rows.size() << " by rows";

        orv_img::PixelImage back;
        ASSERT_TRUE(orv_img::DecodeImage(orv_img::FORMAT_TIF, banded.data(), banded.size(), back, err))
            << err;
        EXPECT_EQ("", CompareRgba(ToRgba(back), ToRgba(picture), 0));
    }
}

// Loading by path through CxImage, pixel by pixel against independent readers: the
// ImageMagick and netpbm decodes made at build time for the formats written here, the
// formats' own libraries for the packaged ones.
#include <string.h>

#include "ImagingSupport.h"
#include "LibraryDecoders.h"
#include "support/gtest.h"

namespace {

std::vector<ManifestEntry> Manifest()
{
    Bytes text;
    ReadUnixFile(RefsDir() + "/manifest.txt", text);
    return ParseManifest(text);
}

void LoadRef(const std::string& name, CxImage& image, bool& ok)
{
    ok = image.Load(WinPath(RefsDir() + "/" + name).data(), FormatFromName(name));
}

// Writes bytes to a file of the fuzz folder and loads it back through the path.
bool LoadBytes(const Bytes& data, const char* name, CxImage& image, DWORD type)
{
    const std::string path = FuzzDir() + "/" + name;
    return WriteUnixFile(path, data) && image.Load(WinPath(path).data(), type);
}

}  // namespace

TEST(ImageLoading, EveryReferenceFileMatchesItsIndependentDecode)
{
    const std::vector<ManifestEntry> entries = Manifest();
    ASSERT_GT(entries.size(), 200u) << "reference pictures missing in " << RefsDir();
    int checked = 0;
    for (const ManifestEntry& e : entries) {
        SCOPED_TRACE(e.file);
        CxImage image;
        bool ok = false;
        LoadRef(e.file, image, ok);
        ASSERT_TRUE(ok) << image.GetLastError();
        Bytes data;
        RgbaImage ref;
        if (e.library) {
            ASSERT_TRUE(ReadUnixFile(RefsDir() + "/" + e.file, data));
            ASSERT_TRUE(DecodeWithLibrary(e.file, data, ref));
        } else {
            ASSERT_TRUE(ReadUnixFile(RefsDir() + "/" + e.file + ".pam", data));
            ASSERT_TRUE(ReadPam(data, ref));
        }
        EXPECT_EQ("", CompareRgba(ToRgba(image), ref, LibraryTolerance(e)));
        ++checked;
    }
    EXPECT_EQ(static_cast<int>(entries.size()), checked);
}

TEST(ImageLoading, DepthsAndPalettesAreKept)
{
    struct Case {
        const char* file;
        int bpp;
        bool grey;
    } cases[] = {{"bmp1_257.bmp", 1, false},  {"bmp4_257.bmp", 4, false}, {"bmp8_257.bmp", 8, false},
                 {"bmp24_257.bmp", 24, false}, {"pgm_p5_3.pgm", 8, true},  {"pcxplanes4_3.pcx", 4, false},
                 {"jpggrey_3.jpg", 8, true},   {"png_pal_3.png", 8, false}, {"tif_pal_257.tif", 8, false},
                 {"tif_grey_3.tif", 8, true},   {"ppm16_3.ppm", 24, false}, {"tif16_257.tif", 24, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CxImage image;
        bool ok = false;
        LoadRef(c.file, image, ok);
        ASSERT_TRUE(ok) << image.GetLastError();
        EXPECT_EQ(c.bpp, image.GetBpp());
        if (c.grey) {
            EXPECT_TRUE(image.IsGrayScale());
        }
        EXPECT_EQ(image.GetEffWidth() % 4, 0u);
    }
}

// Variants no tool writes: made here from a reference file whose decode is known.
TEST(ImageLoading, TopDownBmpAndRle4ReadLikeTheirBottomUpSource)
{
    Bytes bmp, pam;
    ASSERT_TRUE(ReadUnixFile(RefsDir() + "/bmp4_257.bmp", bmp));
    ASSERT_TRUE(ReadUnixFile(RefsDir() + "/bmp4_257.bmp.pam", pam));
    RgbaImage ref;
    ASSERT_TRUE(ReadPam(pam, ref));
    uint32_t offset;
    memcpy(&offset, bmp.data() + 10, 4);
    const int w = 257, h = 9;
    const size_t stride = ((w * 4 + 31) / 32) * 4;

    Bytes topDown(bmp);
    const int32_t negative = -h;
    memcpy(topDown.data() + 22, &negative, 4);
    for (int y = 0; y < h; ++y)
        memcpy(topDown.data() + offset + stride * y, bmp.data() + offset + stride * (h - 1 - y), stride);
    CxImage image;
    ASSERT_TRUE(LoadBytes(topDown, "topdown.bmp", image, CXIMAGE_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ("", CompareRgba(ToRgba(image), ref, 0));

    // RLE4: every row as absolute runs of up to 254 pixels, then end of line.
    Bytes rle(bmp.begin(), bmp.begin() + offset);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = bmp.data() + offset + stride * y;
        for (int x = 0; x < w;) {
            const int n = std::min(254, w - x);
            if (n < 3) {  // short tails as an encoded run of one colour each
                for (int k = 0; k < n; ++k, ++x) {
                    const uint8_t v = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15;
                    rle.push_back(1);
                    rle.push_back(static_cast<uint8_t>(v << 4));
                }
                continue;
            }
            rle.push_back(0);
            rle.push_back(static_cast<uint8_t>(n));
            Bytes run((n + 1) / 2, 0);
            for (int k = 0; k < n; ++k) {
                const uint8_t v = (row[(x + k) / 2] >> (((x + k) & 1) ? 0 : 4)) & 15;
                run[k / 2] |= static_cast<uint8_t>(v << ((k & 1) ? 0 : 4));
            }
            if (run.size() & 1)
                run.push_back(0);
            rle.insert(rle.end(), run.begin(), run.end());
            x += n;
        }
        rle.push_back(0);
        rle.push_back(0);
    }
    rle.push_back(0);
    rle.push_back(1);
    const uint32_t compression = 2;
    memcpy(rle.data() + 30, &compression, 4);
    ASSERT_TRUE(LoadBytes(rle, "rle4.bmp", image, CXIMAGE_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(4, image.GetBpp());
    EXPECT_EQ("", CompareRgba(ToRgba(image), ref, 0));
}

TEST(ImageLoading, PgxDepthsSignsAndByteOrders)
{
    // 12-bit signed little-endian, 16-bit unsigned big-endian, 1-bit: three samples
    // each, the lowest, the middle and the highest value.
    struct Case {
        const char* header;
        std::vector<uint8_t> samples;
        uint8_t expect[3];
    } cases[] = {
        {"PG LM -12 3 1\n", {0x00, 0x08, 0x00, 0x00, 0xFF, 0x07}, {0, 128, 255}},
        {"PG ML +16 3 1\n", {0x00, 0x00, 0x80, 0x00, 0xFF, 0xFF}, {0, 128, 255}},
        {"PG ML + 1 3 1\n", {0, 1, 1}, {0, 255, 255}},
        {"PG ML -8 3 1\n", {0x80, 0x00, 0x7F}, {0, 128, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Bytes file(c.header, c.header + strlen(c.header));
        file.insert(file.end(), c.samples.begin(), c.samples.end());
        CxImage image;
        ASSERT_TRUE(LoadBytes(file, "case.pgx", image, CXIMAGE_FORMAT_PGX)) << image.GetLastError();
        ASSERT_EQ(3u, image.GetWidth());
        for (int x = 0; x < 3; ++x)
            EXPECT_NEAR(c.expect[x], image.GetPixelColor(x, 0).rgbRed, 1) << x;
    }
}

TEST(ImageLoading, ContentDecidesOverTheExtension)
{
    CxImage image;
    Bytes jp2, j2k, jpg;
    ASSERT_TRUE(ReadUnixFile(RefsDir() + "/jp2_3.jp2", jp2));
    ASSERT_TRUE(ReadUnixFile(RefsDir() + "/j2k_3.j2k", j2k));
    ASSERT_TRUE(ReadUnixFile(RefsDir() + "/jpg_3.jpg", jpg));
    // A container named as a code stream and the other way round.
    EXPECT_TRUE(LoadBytes(jp2, "container.j2k", image, CXIMAGE_FORMAT_JPC)) << image.GetLastError();
    EXPECT_EQ(CXIMAGE_FORMAT_JP2, image.GetType());
    EXPECT_TRUE(LoadBytes(j2k, "stream.jp2", image, CXIMAGE_FORMAT_JP2)) << image.GetLastError();
    EXPECT_EQ(CXIMAGE_FORMAT_JPC, image.GetType());
    EXPECT_TRUE(LoadBytes(jpg, "really-a-jpeg.png", image, CXIMAGE_FORMAT_PNG)) << image.GetLastError();
    EXPECT_EQ(CXIMAGE_FORMAT_JPG, image.GetType());
}

TEST(ImageLoading, BrokenOrOversizedFilesAreRefusedWithAReason)
{
    CxImage image;
    EXPECT_FALSE(image.Load(L"C:\\no\\such\\picture.bmp", CXIMAGE_FORMAT_BMP));
    EXPECT_STRNE("", image.GetLastError());
    EXPECT_FALSE(LoadBytes(Bytes(), "empty.png", image, CXIMAGE_FORMAT_PNG));
    EXPECT_STRNE("", image.GetLastError());

    // Headers that promise far more pixels than the file holds or memory allows;
    // refused at once, without taking the memory.
    Bytes bmp(54, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[10] = 54;
    bmp[14] = 40;
    const int32_t w = 60000, h = 60000;
    memcpy(bmp.data() + 18, &w, 4);
    memcpy(bmp.data() + 22, &h, 4);
    bmp[26] = 1;
    bmp[28] = 24;
    const DWORD t0 = GetTickCount();
    EXPECT_FALSE(LoadBytes(bmp, "huge.bmp", image, CXIMAGE_FORMAT_BMP));
    EXPECT_STRNE("", image.GetLastError());
    const int32_t modest = 3000;
    memcpy(bmp.data() + 18, &modest, 4);
    memcpy(bmp.data() + 22, &modest, 4);
    EXPECT_FALSE(LoadBytes(bmp, "short.bmp", image, CXIMAGE_FORMAT_BMP));
    EXPECT_NE(nullptr, strstr(image.GetLastError(), "end of the file")) << image.GetLastError();
    const char pnm[] = "P6\n40000 40000\n255\n\x01\x02\x03";
    EXPECT_FALSE(LoadBytes(Bytes(pnm, pnm + sizeof pnm - 1), "short.ppm", image, CXIMAGE_FORMAT_PNM));
    EXPECT_STRNE("", image.GetLastError());
    EXPECT_LT(GetTickCount() - t0, 10000u);
    EXPECT_FALSE(image.IsValid());
}

namespace {

// A little-endian TIFF of one 8-bit grey tile (or strip), uncompressed or PackBits.
Bytes TiledTiff(uint32_t width, uint32_t height, uint32_t tileWidth, uint32_t tileLength, bool tiled,
                uint16_t compression)
{
    Bytes d = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const uint16_t count = 9;
    const size_t data = 8 + 2 + count * 12 + 4;
    const uint32_t bytes = 16 * 16;
    auto put16 = [&](uint32_t v) { d.push_back(v & 255); d.push_back((v >> 8) & 255); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t value) {
        put16(tag);
        put16(type);
        put32(1);
        put32(type == 3 ? value & 0xFFFF : value);
    };
    put16(count);
    entry(256, 4, width);
    entry(257, 4, height);
    entry(258, 3, 8);
    entry(259, 3, compression);
    entry(262, 3, 1);
    entry(tiled ? 322 : 273, 4, tiled ? tileWidth : static_cast<uint32_t>(data));
    entry(tiled ? 323 : 278, 4, tiled ? tileLength : tileLength);
    entry(tiled ? 324 : 279, 4, tiled ? static_cast<uint32_t>(data) : bytes);
    entry(tiled ? 325 : 277, tiled ? 4 : 3, tiled ? bytes : 1);
    put32(0);
    for (uint32_t i = 0; i < bytes; ++i)
        d.push_back(compression == 1 ? static_cast<uint8_t>(i) : (i % 2 ? 0x11 : 0x7F));
    return d;
}

}  // namespace

TEST(ImageLoading, TileAndStripSizesBeyondTheLimitAreRefusedBeforeMemoryIsTaken)
{
    CxImage image;
    // The same small file read with its true tile, and with tiles of absurd sizes.
    ASSERT_TRUE(image.Decode(TiledTiff(12, 10, 16, 16, true, 1).data(), 8 + 2 + 9 * 12 + 4 + 256,
                             CXIMAGE_FORMAT_TIF)) << image.GetLastError();
    EXPECT_EQ(image.GetWidth(), 12u);
    EXPECT_EQ(image.GetPixelIndex(3, 9), 3);   // rows counted from the bottom: the top row
    for (uint32_t side : {0xFFFFFFFFu, 0x7FFFFFFFu, 1u << 30}) {
        for (uint16_t compression : {1, 32773}) {
            for (bool square : {true, false}) {
                const Bytes tif = TiledTiff(12, 10, square ? side : 16, side, true, compression);
                const DWORD t0 = GetTickCount();
                EXPECT_FALSE(image.Decode(tif.data(), static_cast<DWORD>(tif.size()), CXIMAGE_FORMAT_TIF))
                    << side;
                EXPECT_STRNE("", image.GetLastError());
                EXPECT_LT(GetTickCount() - t0, 2000u) << side << " " << compression;
            }
        }
    }
    // Strips: a strip height past the picture is the picture's height; an uncompressed
    // picture larger than the file is refused.
    Bytes strips = TiledTiff(16, 16, 0, 0xFFFFFFFF, false, 1);
    ASSERT_TRUE(image.Decode(strips.data(), static_cast<DWORD>(strips.size()), CXIMAGE_FORMAT_TIF))
        << image.GetLastError();
    strips = TiledTiff(20000, 12000, 0, 12000, false, 1);
    EXPECT_FALSE(image.Decode(strips.data(), static_cast<DWORD>(strips.size()), CXIMAGE_FORMAT_TIF));
    EXPECT_NE(nullptr, strstr(image.GetLastError(), "larger than the file")) << image.GetLastError();
}

TEST(ImageLoading, MetafilesArePlayedIntoAPicture)
{
    // An enhanced metafile drawn by GDI: a red square on white, 1 inch = 96 pixels.
    HDC ref = GetDC(nullptr);
    const int mmPerPixelX = GetDeviceCaps(ref, HORZSIZE) * 100 / GetDeviceCaps(ref, HORZRES);
    const int mmPerPixelY = GetDeviceCaps(ref, VERTSIZE) * 100 / GetDeviceCaps(ref, VERTRES);
    RECT frame = {0, 0, 64 * mmPerPixelX, 48 * mmPerPixelY};
    HDC meta = CreateEnhMetaFileW(ref, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, ref);
    ASSERT_NE(nullptr, meta);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT square = {16, 12, 48, 36};
    FillRect(meta, &square, red);
    DeleteObject(red);
    HENHMETAFILE emf = CloseEnhMetaFile(meta);
    ASSERT_NE(nullptr, emf);
    Bytes bits(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, static_cast<UINT>(bits.size()), bits.data());
    DeleteEnhMetaFile(emf);

    CxImage image;
    ASSERT_TRUE(LoadBytes(bits, "drawing.emf", image, CXIMAGE_FORMAT_WMF)) << image.GetLastError();
    ASSERT_GT(image.GetWidth(), 20u);
    ASSERT_GT(image.GetHeight(), 20u);
    const long cx = image.GetWidth() / 2, cy = image.GetHeight() / 2;
    const RGBQUAD centre = image.GetPixelColor(cx, cy);
    EXPECT_EQ(255, centre.rgbRed);
    EXPECT_EQ(0, centre.rgbGreen);
    const RGBQUAD corner = image.GetPixelColor(1, 1);
    EXPECT_EQ(255, corner.rgbGreen);
    EXPECT_FALSE(image.Save(WinPath(FuzzDir() + "/drawing-out.wmf").data(), CXIMAGE_FORMAT_WMF));
}

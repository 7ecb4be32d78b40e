// File types, fitting, thumbnails of pictures, placeholders and videos, and the AVI
// frame reader.
#include "BrowseTestSupport.h"
#include "app/browse/AviFrameReader.h"
#include "app/browse/ThumbnailRender.h"
#include "app/shell/AppDirectory.h"

namespace {

const COLORREF kBack = RGB(0x95, 0x95, 0x95);
const COLORREF kFilm = RGB(0x2C, 0x2C, 0x2C);
const COLORREF kWhite = RGB(255, 255, 255);

struct Rendered
{
    Pixels pixels;
    ThumbnailKind kind = THUMB_NONE;
};

Rendered Render(LPCWSTR path)
{
    Rendered out;
    HBITMAP bitmap = RenderThumbnailBitmap(path, ThumbnailSize.cx, ThumbnailSize.cy, &out.kind);
    out.pixels = ReadBitmap(bitmap);
    if (bitmap != NULL) ::DeleteObject(bitmap);
    return out;
}

std::string Hex(COLORREF c)
{
    char text[16];
    snprintf(text, sizeof(text), "%06X", (unsigned)c);
    return text;
}

}  // namespace

TEST(FileTypes, ExtensionsDecideWhatIsListed)
{
    const struct
    {
        LPCWSTR path;
        int type;
    } cases[] = {
        {L"a.bmp", 1},          {L"A.BMP", 1},        {L"x.wbmp", 9},         {L"X.WBMP", 9},
        {L"p.JPEG", 3},         {L"p.jpg", 3},        {L"t.TIFF", 6},         {L"t.tif", 6},
        {L"g.gif", 2},          {L"n.png", 4},        {L"i.ico", 5},          {L"t.tga", 7},
        {L"p.pcx", 8},          {L"m.wmf", 10},       {L"m.emf", 10},         {L"j.j2k", 11},
        {L"j.jp2", 11},         {L"j.j2c", 12},       {L"j.jpc", 12},         {L"g.pgx", 13},
        {L"n.pnm", 14},         {L"n.pgm", 14},       {L"n.ppm", 14},         {L"r.ras", 15},
        {L"m.mng", 17},         {L"m.jng", 17},       {L"clip.AVI", 21},      {L"c.raw", 22},
        {L"c.nef", 0},          {L"c.cr2", 0},        {L"notes.txt", 0},      {L"nobmp", 0},
        {L"D:\\clips.avi\\a.jpg", 3}, {L"D:\\shots.raw\\b.png", 4}, {L"D:\\pics.jpg\\readme", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetImageFileType(c.path), c.type) << Utf8(c.path);
    EXPECT_FALSE(IsVideoOrRaw(L"D:\\clips.avi\\a.jpg"));
    EXPECT_TRUE(IsVideoOrRaw(L"D:\\a\\b.Raw"));
}

TEST(FileTypes, FittingIntoTheBox)
{
    EXPECT_EQ(FitRectInBox(50, 40, 100, 80), CRect(25, 20, 75, 60));   // small: centred as it is
    EXPECT_EQ(FitRectInBox(99, 79, 100, 80), CRect(0, 0, 99, 79));
    EXPECT_EQ(FitRectInBox(1000, 400, 100, 80), CRect(0, 20, 100, 60));   // scaled by 10
    EXPECT_EQ(FitRectInBox(400, 1000, 100, 80), CRect(34, 0, 66, 80));    // by height
    EXPECT_EQ(FitRectInBox(100, 80, 100, 80), CRect(0, 0, 100, 80));
    EXPECT_EQ(FitRectInBox(0, 80, 100, 80), CRect(0, 0, 0, 0));
}

TEST(Thumbnails, PictureIsFittedAndLoweredOnlyWhileItFits)
{
    TempFolder dir;
    // 1000 x 400 -> 100 x 40 at top 20, lowered by 3.
    Rendered wide = Render(WritePicture(dir, L"wide.bmp", SolidPicture(1000, 400, 200, 30, 30), CXIMAGE_FORMAT_BMP));
    ASSERT_EQ(wide.kind, THUMB_PICTURE);
    ASSERT_EQ(wide.pixels.width, 100);
    EXPECT_TRUE(Near(wide.pixels.At(50, 22), kBack)) << Hex(wide.pixels.At(50, 22));
    EXPECT_TRUE(Near(wide.pixels.At(50, 23), RGB(200, 30, 30))) << Hex(wide.pixels.At(50, 23));
    EXPECT_TRUE(Near(wide.pixels.At(50, 62), RGB(200, 30, 30)));
    EXPECT_TRUE(Near(wide.pixels.At(50, 63), kBack));
    EXPECT_TRUE(Near(wide.pixels.At(0, 40), kBack));   // the frame

    // A picture that fills the box keeps its top and bottom rows.
    Rendered full = Render(WritePicture(dir, L"full.png", SolidPicture(200, 160, 20, 180, 40), CXIMAGE_FORMAT_PNG));
    ASSERT_EQ(full.kind, THUMB_PICTURE);
    EXPECT_TRUE(Near(full.pixels.At(50, 1), RGB(20, 180, 40))) << Hex(full.pixels.At(50, 1));
    EXPECT_TRUE(Near(full.pixels.At(50, 78), RGB(20, 180, 40))) << Hex(full.pixels.At(50, 78));

    // A large JPEG (decoded at a reduced scale) keeps its colours.
    Rendered photo = Render(WritePicture(dir, L"photo.jpg", SolidPicture(2400, 1800, 40, 90, 210), CXIMAGE_FORMAT_JPG));
    ASSERT_EQ(photo.kind, THUMB_PICTURE);
    EXPECT_TRUE(Near(photo.pixels.At(50, 43), RGB(40, 90, 210), 12)) << Hex(photo.pixels.At(50, 43));
    EXPECT_TRUE(Near(photo.pixels.At(50, 2), kBack));

    EXPECT_EQ(RenderThumbnailBitmap(dir.Path(L"notes.txt"), 100, 80), (HBITMAP)NULL);
}

TEST(Thumbnails, PlaceholdersForRawAndUnreadableFilesWithoutWaiting)
{
    TempFolder dir;
    const Rendered raw = Render(WriteBytes(dir, L"shot.raw", std::string(4096, '\x10')));
    EXPECT_EQ(raw.kind, THUMB_PLACEHOLDER);
    const Rendered rawSkin = Render(AppPath(L"skin\\raw.bmp"));
    ASSERT_EQ(rawSkin.kind, THUMB_PICTURE);
    EXPECT_EQ(raw.pixels.rgb, rawSkin.pixels.rgb);

    // Broken files that nobody writes any more: no retries.
    const DWORD start = ::GetTickCount();
    for (LPCWSTR name : {L"a.jpg", L"b.png", L"c.tif"}) {
        const Rendered broken = Render(WriteBytes(dir, name, "not a picture at all"));
        EXPECT_EQ(broken.kind, THUMB_PLACEHOLDER) << Utf8(name);
    }
    EXPECT_LT(::GetTickCount() - start, 3000u);
    const Rendered missing = Render(AppPath(L"skin\\file_not_exist.bmp"));
    EXPECT_EQ(Render(dir.Path(L"a.jpg")).pixels.rgb, missing.pixels.rgb);
}

namespace {

struct LateWriter
{
    HANDLE file;
    std::vector<BYTE> rest;
};

DWORD WINAPI FinishLater(void* param)
{
    LateWriter* writer = static_cast<LateWriter*>(param);
    ::Sleep(600);
    DWORD written = 0;
    ::WriteFile(writer->file, writer->rest.data(), (DWORD)writer->rest.size(), &written, NULL);
    ::CloseHandle(writer->file);
    return 0;
}

}  // namespace

TEST(Thumbnails, FileStillBeingWrittenIsWaitedFor)
{
    TempFolder dir;
    CxImage picture = SolidPicture(120, 90, 250, 200, 0);
    std::vector<BYTE> bytes;
    ASSERT_TRUE(picture.Encode(bytes, CXIMAGE_FORMAT_BMP));
    const CString path = dir.Path(L"late.bmp");
    LateWriter writer;
    writer.file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(writer.file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(writer.file, bytes.data(), 40, &written, NULL);
    writer.rest.assign(bytes.begin() + 40, bytes.end());
    HANDLE thread = ::CreateThread(NULL, 0, FinishLater, &writer, 0, NULL);
    const Rendered late = Render(path);
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    EXPECT_EQ(late.kind, THUMB_PICTURE);
    EXPECT_TRUE(Near(late.pixels.At(50, 42), RGB(250, 200, 0))) << Hex(late.pixels.At(50, 42));
}

TEST(AviFrames, UncompressedFrameComesOutAsAPaddedBmpInMemory)
{
    TempFolder dir;
    const CString clip = dir.Path(L"clip.avi");
    ASSERT_TRUE(WriteVideo(clip, 640, 480, {RGB(0, 0, 255), RGB(0, 255, 0)}, FALSE));
    CAviFrameReader reader;
    ASSERT_EQ(reader.Open(clip), 1);
    EXPECT_EQ(reader.GetWidth(), 640);
    EXPECT_EQ(reader.GetHeight(), 480);
    EXPECT_EQ(reader.GetFrameCount(), 2);
    std::vector<BYTE> bmp;
    EXPECT_FALSE(reader.GetFrameBmp(bmp));   // nothing read yet
    ASSERT_EQ(reader.ReadFrame(1), 1);
    ASSERT_TRUE(reader.GetFrameBmp(bmp));
    EXPECT_EQ(bmp.size(), 921654u);
    CxImage frame;
    ASSERT_TRUE(frame.Decode(bmp.data(), (DWORD)bmp.size(), CXIMAGE_FORMAT_BMP));
    const RGBQUAD c = frame.GetPixelColor(10, 10);
    EXPECT_EQ(c.rgbGreen, 255);
    EXPECT_EQ(c.rgbBlue, 0);
    EXPECT_EQ(reader.ReadFrame(2), 0);   // past the end
    EXPECT_FALSE(reader.GetFrameBmp(bmp));

    // Odd widths have padded rows: 642 x 3 = 1926 bytes in rows of 1928.
    const CString odd = dir.Path(L"odd.avi");
    ASSERT_TRUE(WriteVideo(odd, 642, 100, {RGB(255, 0, 0), RGB(255, 0, 0)}, FALSE, RGB(0, 0, 255)));
    CAviFrameReader oddReader;
    ASSERT_EQ(oddReader.Open(odd), 1);
    ASSERT_EQ(oddReader.ReadFrame(1), 1);
    ASSERT_TRUE(oddReader.GetFrameBmp(bmp));
    EXPECT_EQ(bmp.size(), 54u + 1928u * 100u);
    ASSERT_TRUE(frame.Decode(bmp.data(), (DWORD)bmp.size(), CXIMAGE_FORMAT_BMP));
    for (int y : {0, 50, 99}) {
        EXPECT_EQ(frame.GetPixelColor(5, y).rgbRed, 255) << y;
        EXPECT_EQ(frame.GetPixelColor(636, y).rgbBlue, 255) << y;
        EXPECT_EQ(frame.GetPixelColor(636, y).rgbRed, 0) << y;
    }

    // A file with no video stream is not a video.
    const CString sound = dir.Path(L"sound.avi");
    ASSERT_TRUE(WriteAudioOnlyAvi(sound));
    CAviFrameReader soundReader;
    EXPECT_EQ(soundReader.Open(sound), 0);
    EXPECT_EQ(soundReader.ReadFrame(0), 0);
}

TEST(AviFrames, VideoThumbnailsShowTheFrameBetweenFilmBands)
{
    TempFolder dir;
    const CString clip = dir.Path(L"clip.avi");
    ASSERT_TRUE(WriteVideo(clip, 640, 480, {RGB(0, 0, 255), RGB(0, 200, 0), RGB(0, 0, 255)}, FALSE));
    // A user's file of the name the frame reader once used stays as it is.
    const std::string userBytes = "a user's own file";
    WriteBytes(dir, L"clip.avi.bmp", userBytes);
    const std::vector<CString> before = dir.Names();

    const Rendered video = Render(clip);
    ASSERT_EQ(video.kind, THUMB_PICTURE);
    const Pixels& p = video.pixels;
    EXPECT_TRUE(Near(p.At(1, 4), kFilm)) << Hex(p.At(1, 4));
    EXPECT_TRUE(Near(p.At(5, 4), kWhite));              // a hole: x 3..7 of the first step
    EXPECT_TRUE(Near(p.At(5, 76), kWhite));
    EXPECT_TRUE(Near(p.At(50, 40), RGB(0, 200, 0))) << Hex(p.At(50, 40));   // frame 1 in place
    EXPECT_TRUE(Near(p.At(50, 12), RGB(0, 200, 0)));
    EXPECT_EQ(before, dir.Names());
    const std::vector<BYTE> kept = ReadBytes(dir.Path(L"clip.avi.bmp"));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), userBytes);

    // One frame only: that frame.
    const CString single = dir.Path(L"single.avi");
    ASSERT_TRUE(WriteVideo(single, 320, 240, {RGB(220, 220, 0)}, FALSE));
    EXPECT_TRUE(Near(Render(single).pixels.At(50, 40), RGB(220, 220, 0)));

    // Unreadable videos show bitmap 378 and write nothing either.
    const Rendered broken = Render(WriteBytes(dir, L"broken.avi", "RIFF....AVI nothing"));
    EXPECT_EQ(broken.kind, THUMB_VIDEO_FAILED);
    ASSERT_EQ(broken.pixels.width, 100);
    EXPECT_FALSE(Near(broken.pixels.At(50, 40), kBack));
    ASSERT_TRUE(WriteAudioOnlyAvi(dir.Path(L"sound.avi")));
    EXPECT_EQ(Render(dir.Path(L"sound.avi")).kind, THUMB_VIDEO_FAILED);
    EXPECT_EQ(dir.Names().size(), before.size() + 3);
}

TEST(AviFrames, CompressedVideoIsDecompressedByItsCodec)
{
    ASSERT_TRUE(InstallHuffyuv());
    TempFolder dir;
    const CString clip = dir.Path(L"hfyu.avi");
    ASSERT_TRUE(WriteVideo(clip, 320, 240, {RGB(255, 0, 0), RGB(30, 60, 240)}, TRUE, RGB(250, 250, 250)));
    CAviFrameReader reader;
    ASSERT_EQ(reader.Open(clip), 1);
    ASSERT_EQ(reader.ReadFrame(1), 1);
    const Rendered video = Render(clip);
    ASSERT_EQ(video.kind, THUMB_PICTURE);
    // 320 x 240 fills 82 x 62 between the bands: left half blue, right half white.
    EXPECT_TRUE(Near(video.pixels.At(30, 40), RGB(30, 60, 240), 14)) << Hex(video.pixels.At(30, 40));
    EXPECT_TRUE(Near(video.pixels.At(70, 40), RGB(250, 250, 250), 14)) << Hex(video.pixels.At(70, 40));
}

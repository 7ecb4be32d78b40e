// Broken AVI files handed to the frame reader and the thumbnail renderer: files the
// system's AVI reader would end the process on are refused before it sees them, and
// seeded structure-aware mutations of real videos never end the test program.
#include "AviMutations.h"
#include "BrowseTestSupport.h"
#include "app/browse/AviFrameReader.h"
#include "app/browse/ThumbnailRender.h"

#include <string.h>

namespace {

std::vector<BYTE> VideoBytes(const TempFolder& dir, int frames, BOOL huffyuv)
{
    const CString path = dir.Path(huffyuv ? L"seed_hfyu.avi" : L"seed.avi");
    std::vector<COLORREF> colours;
    for (int f = 0; f < frames; ++f) colours.push_back(RGB(40 * f, 200, 90));
    if (!WriteVideo(path, 36, 20, colours, huffyuv)) return std::vector<BYTE>();
    return ReadBytes(path);
}

CString Save(const TempFolder& dir, LPCWSTR name, const std::vector<BYTE>& bytes)
{
    return WriteBytes(dir, name, std::string(bytes.begin(), bytes.end()));
}

// Every chunk id and index entry beginning with `from` renamed to begin with `to`.
void RenameChunks(std::vector<BYTE>& d, const char* from, const char* to)
{
    for (size_t p = 0; p + 4 <= d.size(); ++p)
        if (!memcmp(&d[p], from, 4)) memcpy(&d[p], to, 4);
}

ThumbnailKind RenderKind(LPCWSTR path)
{
    ThumbnailKind kind = THUMB_NONE;
    HBITMAP bitmap = RenderThumbnailBitmap(path, ThumbnailSize.cx, ThumbnailSize.cy, &kind);
    if (bitmap != NULL) ::DeleteObject(bitmap);
    return kind;
}

}  // namespace

TEST(AviStructure, ChunksOfUndeclaredStreamsAreRefusedBeforeTheSystemReadsThem)
{
    TempFolder dir;
    const std::vector<BYTE> good = VideoBytes(dir, 2, FALSE);
    ASSERT_FALSE(good.empty());
    {
        CAviFrameReader reader;
        ASSERT_EQ(reader.Open(Save(dir, L"good.avi", good)), 1);
        EXPECT_EQ(reader.GetFrameCount(), 2);
        EXPECT_EQ(reader.ReadFrame(1), 1);
    }
    // Movie chunks and index entries of stream 01 in a file of one stream.
    std::vector<BYTE> undeclared = good;
    RenameChunks(undeclared, "00db", "01db");
    RenameChunks(undeclared, "00dc", "01dc");
    const CString first = Save(dir, L"undeclared.avi", undeclared);
    // The same without an index, so the movie list is walked.
    std::vector<BYTE> noIndex = undeclared;
    RenameChunks(noIndex, "idx1", "JUNK");
    const CString second = Save(dir, L"noindex.avi", noIndex);
    // An audio-only file made the same way.
    ASSERT_TRUE(WriteAudioOnlyAvi(dir.Path(L"sound.avi")));
    std::vector<BYTE> sound = ReadBytes(dir.Path(L"sound.avi"));
    RenameChunks(sound, "00wb", "01wb");
    const CString third = Save(dir, L"sound01.avi", sound);
    for (const CString& path : {first, second, third}) {
        CAviFrameReader reader;
        EXPECT_EQ(reader.Open(path), 0) << Utf8(path);
        EXPECT_NE(reader.GetProblem(), "") << Utf8(path);
        EXPECT_EQ(reader.ReadFrame(0), 0);
        EXPECT_EQ(RenderKind(path), THUMB_VIDEO_FAILED) << Utf8(path);
    }
}

TEST(AviStructure, StreamsLongerThanTheirChunksAndShortFormatsAreRefused)
{
    TempFolder dir;
    const std::vector<BYTE> good = VideoBytes(dir, 2, FALSE);
    ASSERT_FALSE(good.empty());
    // The stream header's length (offset 32 in "strh") says 9 frames; 2 are there.
    std::vector<BYTE> longer = good;
    size_t strh = 0;
    for (size_t p = 0; p + 8 <= longer.size() && !strh; ++p)
        if (!memcmp(&longer[p], "strh", 4)) strh = p + 8;
    ASSERT_NE(strh, 0u);
    longer[strh + 32] = 9;
    CAviFrameReader reader;
    EXPECT_EQ(reader.Open(Save(dir, L"longer.avi", longer)), 0);
    EXPECT_EQ(reader.GetProblem(), "stream longer than its chunks");

    // A bitmap header claiming 4 bytes: its palette would be looked for inside it.
    std::vector<BYTE> shortFormat = MakeSeedAvi(8, 4, 1, false);
    size_t biSize = 0;
    for (size_t p = 0; p + 8 <= shortFormat.size() && !biSize; ++p)
        if (!memcmp(&shortFormat[p], "strf", 4)) biSize = p + 8;
    ASSERT_NE(biSize, 0u);
    shortFormat[biSize] = 4;
    EXPECT_EQ(reader.Open(Save(dir, L"short.avi", shortFormat)), 0);
    EXPECT_EQ(reader.GetProblem(), "bitmap header size outside its format");

    // The seed itself, made without the system's writer, is read by the system.
    const CString seed = Save(dir, L"made.avi", MakeSeedAvi(8, 4, 3, true));
    ASSERT_EQ(reader.Open(seed), 1) << reader.GetProblem();
    EXPECT_EQ(reader.GetFrameCount(), 3);
    EXPECT_EQ(reader.ReadFrame(2), 1);
}

TEST(AviStructure, MutatedVideosNeverEndTheProgram)
{
    TempFolder dir;
    std::vector<std::vector<BYTE>> seeds = {VideoBytes(dir, 3, FALSE), MakeSeedAvi(12, 6, 3, true)};
    if (InstallHuffyuv()) seeds.push_back(VideoBytes(dir, 2, TRUE));
    ASSERT_TRUE(WriteAudioOnlyAvi(dir.Path(L"sound.avi")));
    seeds.push_back(ReadBytes(dir.Path(L"sound.avi")));
    int opened = 0, refused = 0, files = 0;
    const DWORD start = ::GetTickCount();
    for (size_t i = 0; i < seeds.size(); ++i) {
        ASSERT_FALSE(seeds[i].empty()) << i;
        for (const AviMutation& m : MakeAviMutations(seeds[i], 4000 + (uint32_t)i, 60)) {
            CString name;
            name.Format(L"m%u_%d.avi", (unsigned)i, files++);
            const CString path = Save(dir, name, m.data);
            // Left in the log: a file that ends the program is named by the last line.
            printf("[ avi fuzz ] %s: %s\n", Utf8(name).c_str(), m.what.c_str());
            CAviFrameReader reader;
            if (reader.Open(path)) {
                ++opened;
                for (LONG f = 0; f < reader.GetFrameCount() && f < 3; ++f) reader.ReadFrame(f);
            } else {
                ++refused;
            }
            RenderKind(path);
        }
    }
    printf("[ avi fuzz ] %d files: %d opened, %d refused in %lu ms\n", files, opened, refused,
           (unsigned long)(::GetTickCount() - start));
    EXPECT_GT(refused, files / 4);
    EXPECT_GT(opened, 0);
}

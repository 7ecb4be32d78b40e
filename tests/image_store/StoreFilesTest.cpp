// Opening and saving through the store, the deep TIFF writer, notes and file texts.
#include "StoreSupport.h"
#include "app/store/DeepTiff.h"
#include "support/gtest.h"
#include "support/wintest.h"

namespace {

struct Store {
    CImageStore* s = CImageStore::Create();
    ~Store() { CImageStore::Destroy(s); }
    CImageStore* operator->() { return s; }
};

std::u16string U(const CString& s)
{
    return std::u16string((const char16_t*)(LPCWSTR)s, s.GetLength());
}

// Every sample of a and b, row by row.
bool SameSamples(const CxImage& a, const CxImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
        return false;
    for (DWORD y = 0; y < a.GetHeight(); ++y)
        if (memcmp(a.GetBits(y), b.GetBits(y), a.GetWidth() * (a.GetBpp() / 8)) != 0)
            return false;
    return true;
}

CxImage Current(CImageStore* store)
{
    CSingleLock lock(&store->m_lock, TRUE);
    return store->GetCurrentImage() ? CxImage(*store->GetCurrentImage()) : CxImage();
}

}  // namespace

TEST(StoreFiles, TypeTableAndFilters)
{
    EXPECT_EQ(CString(L"bmp"), CImageStore::GetDefaultExtension(1));
    EXPECT_EQ(CString(L"jpg"), CImageStore::GetDefaultExtension(3));
    EXPECT_EQ(CString(), CImageStore::GetDefaultExtension(99));
    EXPECT_EQ(-1, CImageStore::GetFilterIndexForType(10, FALSE));   // WMF cannot be saved
    EXPECT_EQ(11, CImageStore::GetFilterIndexForType(10, TRUE));
    EXPECT_EQ(14, CImageStore::GetTypeForFilterIndex(15, FALSE));
    EXPECT_EQ(-1, CImageStore::GetTypeForFilterIndex(16, FALSE));
    int filters = 0;
    for (BOOL open : {TRUE, FALSE}) {
        const CString f = CImageStore::BuildFilterString(open);
        int nuls = 0;
        for (int i = 0; i < f.GetLength(); ++i)
            nuls += f[i] == 0;
        filters += nuls / 2;
        EXPECT_EQ(open ? 17 : 16, nuls / 2);
    }
    EXPECT_EQ(33, filters);
    EXPECT_EQ(CString(L"TIFF"), GetFileExtension(L"C:\\a.b\\pic.TIFF"));
    EXPECT_EQ(CString(), GetFileExtension(L"noext"));
    EXPECT_EQ(6, GetImageTypeFromExtension(L"tiff"));
    EXPECT_EQ(0, GetImageTypeFromExtension(L"avi"));
}

TEST(StoreFiles, OpenSetsEverythingAndAFailedOpenLeavesNoImage)
{
    TempFolder dir;
    Store store;
    const CString path = WritePicture(dir, L"pic.png", MakePicture(40, 30, 24), CXIMAGE_FORMAT_PNG);
    store->SetZoom(3.0f);
    store->SetShowDate(1);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    int w = 0, h = 0;
    store->GetImageSize(&w, &h);
    EXPECT_EQ(40, w);
    EXPECT_EQ(30, h);
    EXPECT_EQ(1.0f, store->GetZoom());
    EXPECT_EQ(CString(L"pic.png"), store->GetFileName());
    // A broken file and a name without extension both leave no picture.
    const CString broken = dir.Path(L"broken.png");
    HANDLE f = ::CreateFileW(broken, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n;
    ::WriteFile(f, "\x89PNG\r\n\x1a\nxx", 10, &n, NULL);
    ::CloseHandle(f);
    EXPECT_EQ(0, store->OpenFile(broken, 1));
    EXPECT_FALSE(store->HasImage());
    EXPECT_STRNE("", store->GetLastOpenError());
    ASSERT_EQ(1, store->OpenFile(path, 1));
    EXPECT_EQ(0, store->OpenFile(dir.Path(L"noext"), 1));
    EXPECT_FALSE(store->HasImage());
}

TEST(StoreFiles, FailedSavesKeepTheOldFileAndLeaveTheWorkUnsaved)
{
    TempFolder dir;
    Store store;
    const CString path = WritePicture(dir, L"keep.png", MakePicture(50, 20, 24), CXIMAGE_FORMAT_PNG);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    store->SetBrightness(30);
    EXPECT_FALSE(store->IsSaved());
    const std::vector<BYTE> before = ReadBytes(path);
    CxImage::SetWriteLimitForTests(64);   // the disk fills up half way
    EXPECT_FALSE(store->Save(path));
    CxImage::SetWriteLimitForTests(-1);
    EXPECT_FALSE(store->IsSaved());
    EXPECT_TRUE(before == ReadBytes(path));
    EXPECT_FALSE(store->Save(dir.Path(L"noext")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(dir.Path(L"noext")));
    EXPECT_FALSE(store->Save(dir.Path(L"x.wmf")));
    EXPECT_TRUE(store->Save(dir.Path(L"copy.bmp")));
    EXPECT_TRUE(store->IsSaved());
    EXPECT_FALSE(store->SaveImage(NULL, dir.Path(L"none.bmp")));
}

TEST(StoreFiles, SavesOverAReadOnlyFileFailAndLeaveItAsItWas)
{
    TempFolder dir;
    Store store;
    const CString path = WritePicture(dir, L"kept.bmp", MakePicture(30, 20, 24), CXIMAGE_FORMAT_BMP);
    const CString deep = WritePicture(dir, L"kept.tif", MakePicture(30, 20, 24), CXIMAGE_FORMAT_TIF);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    store->SetBrightness(40);
    store->ApplyAdjustments();
    for (const CString& target : {path, deep}) {
        ASSERT_TRUE(::SetFileAttributesW(target, FILE_ATTRIBUTE_READONLY));
        const std::vector<BYTE> before = ReadBytes(target);
        EXPECT_FALSE(store->Save(target));
        EXPECT_FALSE(store->IsSaved());
        {
            // The save with overlays says why.
            DialogWatcher watcher(IDOK);
            EXPECT_FALSE(store->SaveWithOverlays(target));
            ASSERT_TRUE(watcher.WaitForCount(1, 5000));
            EXPECT_NE(std::u16string::npos, watcher.LastText().find(u"read-only"));
        }
        EXPECT_TRUE(before == ReadBytes(target));
        EXPECT_NE(0u, ::GetFileAttributesW(target) & FILE_ATTRIBUTE_READONLY);
    }
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(dir.Path(L"*"), &found);
    int files = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    EXPECT_EQ(2, files) << "temporary file left behind";
    for (const CString& target : {path, deep}) ::SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
}

TEST(StoreFiles, DeepTiffKeepsSixteenBitsWhateverTheRowPadding)
{
    TempFolder dir;
    Store store;
    // A 48-bit source, 257 pixels wide: three bytes a pixel leave padding in every row.
    const int w = 257, h = 9;
    std::vector<uint16_t> samples((size_t)w * h * 3);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = (uint16_t)(i * 997 % 65536);
    std::vector<uint8_t> file;
    ASSERT_EQ(0, deep_tiff::WriteTiff16(file, w, h, 2, 48, 0, 1, samples.data()));
    const CString source = dir.Path(L"source48.tif");
    std::string error;
    ASSERT_TRUE(WriteFileReplacing(source, file.data(), file.size(), error));
    ASSERT_EQ(1, store->OpenFile(source, 1));
    EXPECT_EQ(48, store->GetBitDepth());
    ImageFileInfo info;
    store->GetImageInfo(info);
    EXPECT_EQ(48, info.bitDepth);

    const CString out = dir.Path(L"out.tif");
    ASSERT_TRUE(store->Save(out));   // more than 8 bits to TIFF: the deep writer
    TiffFacts facts;
    ASSERT_TRUE(ReadTiffFacts(ReadBytes(out), facts));
    EXPECT_EQ(16, facts.bitsPerSample);
    EXPECT_EQ(3, facts.samplesPerPixel);
    EXPECT_EQ(1, facts.sampleFormat);   // unsigned
    ASSERT_EQ((size_t)w * h * 3, facts.samples16.size());
    CxImage loaded;
    ASSERT_TRUE(loaded.Load(source, CXIMAGE_FORMAT_TIF));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const RGBQUAD c = loaded.GetPixelColor(x, h - 1 - y);
            const uint16_t* s = &facts.samples16[((size_t)y * w + x) * 3];
            ASSERT_EQ(c.rgbRed * 256, s[0]) << x << "," << y;
            ASSERT_EQ(c.rgbGreen * 256, s[1]) << x << "," << y;
            ASSERT_EQ(c.rgbBlue * 256, s[2]) << x << "," << y;
        }
    // Other recorded depths write 8-bit RGB.
    const CString plain = WritePicture(dir, L"plain.bmp", MakePicture(30, 7, 24), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(plain, 1));
    ASSERT_TRUE(store->Save(dir.Path(L"plain.tif")));
    ASSERT_TRUE(ReadTiffFacts(ReadBytes(dir.Path(L"plain.tif")), facts));
    EXPECT_EQ(8, facts.bitsPerSample);
}

TEST(StoreFiles, SizeTextsAndTimes)
{
    TempFolder dir;
    Store store;
    const CString pic = WritePicture(dir, L"a.bmp", MakePicture(8, 8, 24), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(pic, 1));
    struct Case {
        DWORD size;
        const WCHAR* text;
    } cases[] = {{1023, L"1023 Byte"}, {1024, L"1.0 KB"}, {1048576, L"1.0 MB"}};
    for (const Case& c : cases) {
        // Same picture, padded to the size: BMP readers ignore bytes after the pixels.
        std::vector<BYTE> data = ReadBytes(pic);
        data.resize(c.size, 0);
        const CString path = dir.Path(L"sized.bmp");
        std::string error;
        ASSERT_TRUE(WriteFileReplacing(path, data.data(), data.size(), error));
        ASSERT_EQ(1, store->OpenFile(path, 1));
        ImageFileInfo info;
        store->GetImageInfo(info);
        EXPECT_EQ(U(c.text), U(info.sizeText));
        EXPECT_EQ((int)c.size, info.fileSize);
        EXPECT_EQ(U(info.fileTime.Format(L"%Y/%m/%d/ %H:%M:%S")), U(info.timeText));
    }
}

TEST(StoreFiles, NotesSurviveChineseTextLineBreaksAndLength)
{
    TempFolder dir;
    Store store;
    store->SetBaseFolder(dir.Folder());
    const CString pic = WritePicture(dir, L"a.jpg", MakePicture(16, 16, 24), CXIMAGE_FORMAT_JPG);
    ASSERT_EQ(1, store->OpenFile(pic, 1));
    EXPECT_EQ(CString(), store->GetNote());
    // Wine gives the last-write time as creation time and cannot set it: read it back.
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(pic, status));
    const CString noteFile = dir.Folder() + L"PicRecord\\a.jpg" + status.m_ctime.Format(L"%Y%m%d%H%M%S") + L".ini";
    CString note = L"細胞樣本 第一行\r\n第二行: 50\\60 µm\n";
    for (int i = 0; i < 40; ++i)
        note += L"長註記文字";   // well past 259 characters
    store->SetNote(note);
    ASSERT_TRUE(store->WriteImageNote(L""));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(noteFile));
    const std::vector<BYTE> raw = ReadBytes(noteFile);
    ASSERT_GE(raw.size(), 2u);
    EXPECT_EQ(0xFF, raw[0]);
    EXPECT_EQ(0xFE, raw[1]);

    Store other;
    other->SetBaseFolder(dir.Folder());
    ASSERT_EQ(1, other->OpenFile(pic, 1));
    EXPECT_EQ(U(note), U(other->GetNote()));
    ImageFileInfo info;
    other->GetImageInfo(info);
    EXPECT_EQ(U(note), U(info.note));

    // Deleting by name uses that picture's own time.
    const CString second = WritePicture(dir, L"b.jpg", MakePicture(16, 16, 24), CXIMAGE_FORMAT_JPG);
    ASSERT_EQ(1, other->OpenFile(second, 1));
    other->SetNote(L"b's note");
    ASSERT_TRUE(other->WriteImageNote(L""));
    EXPECT_TRUE(other->DeleteImageNote(L"a.jpg"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(noteFile));
    ASSERT_TRUE(CFile::GetStatus(second, status));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesW(other->NoteFilePath(L"b.jpg", status.m_ctime)));
}

TEST(StoreFiles, PrintListLoadsAndClears)
{
    TempFolder dir;
    Store store;
    const CString pic = WritePicture(dir, L"print me.png", MakePicture(20, 10, 24), CXIMAGE_FORMAT_PNG);
    EXPECT_EQ(0, store->AddPrintItem(dir.Path(L"missing.png")));
    EXPECT_EQ(0, store->AddPrintItem(dir.Path(L"noext")));
    ASSERT_EQ(1, store->AddPrintItem(pic));
    PrintLayoutSettings& layout = store->GetPrintLayout();
    ASSERT_EQ(1u, layout.items.size());
    EXPECT_EQ(U(L"print me"), U(layout.items[0].title));
    EXPECT_EQ(20u, layout.items[0].image->GetWidth());
    EXPECT_EQ(10, layout.dateText.GetLength());
    RECT page = {0, 0, 100, 140};
    store->SetPageRect(page);
    store->ClearPrintItems();
    EXPECT_TRUE(store->GetPrintLayout().items.empty());
    EXPECT_EQ(140, store->GetPrintLayout().pageRect.bottom);
}

TEST(StoreFiles, APictureOfTheSameByteSizeReplacesTheOpenOneWhole)
{
    // 300 x 100 grey and 100 x 100 colour rows both take 300 bytes: the second open reuses
    // the first one's memory and must leave nothing of it behind.
    TempFolder dir;
    Store store;
    const CxImage grey = MakePicture(300, 100, 8);
    CxImage colour = MakePicture(100, 100, 24);
    for (int x = 0; x < 100; ++x)
        colour.GetBits(50)[3 * x] = (BYTE)(255 - x);
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"g.bmp", grey, CXIMAGE_FORMAT_BMP), 1));
    store->SetBrightness(40);
    ASSERT_EQ(1, store->RunAdjustments());
    store->ApplyAdjustments();
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"c.bmp", colour, CXIMAGE_FORMAT_BMP), 1));
    EXPECT_TRUE(SameSamples(colour, Current(store.s)));
    ASSERT_EQ(1, store->RunAdjustments());
    EXPECT_TRUE(SameSamples(colour, Current(store.s)));
    store->SetContrast(30);
    ASSERT_EQ(1, store->RunAdjustments());
    store->RevertAdjustments();
    EXPECT_TRUE(SameSamples(colour, Current(store.s)));
    // And back to the grey one, adjusted from its own pixels.
    ASSERT_EQ(1, store->OpenFile(dir.Path(L"g.bmp"), 1));
    store->SetBrightness(40);
    ASSERT_EQ(1, store->RunAdjustments());
    CxImage expected(grey);
    expected.Light(40, 0);
    EXPECT_TRUE(SameSamples(expected, Current(store.s)));
}

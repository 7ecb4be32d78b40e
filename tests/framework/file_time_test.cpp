// Files, file searches, times and the common dialogs that pick files and colours.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include <dlgs.h>
#include <set>
#include <vector>

namespace {

CString TempFolder(LPCWSTR leaf)
{
    WCHAR tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    CString folder = CString(tmp) + leaf;
    ::CreateDirectoryW(folder, NULL);
    return folder;
}

bool WriteBytes(const CString& path, size_t n)
{
    CFile f;
    if (!f.Open(path, CFile::modeCreate | CFile::modeWrite)) return false;
    std::vector<BYTE> data(n);
    for (size_t i = 0; i < n; i++) data[i] = (BYTE)(i * 7);
    return f.Write(data.data(), (UINT)n) != FALSE;
}

} // namespace

TEST(File, WrittenFileReadsBackAndReportsItsStatus)
{
    CString folder = TempFolder(L"orv_file_test");
    CString path = folder + L"\\data.bin";
    CTime before = CTime::GetCurrentTime();
    ASSERT_TRUE(WriteBytes(path, 1234));

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    EXPECT_EQ(status.m_size, 1234u);
    EXPECT_EQ(CString(status.m_szFullName).CompareNoCase(path), 0);
    EXPECT_FALSE(status.m_attribute & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_GE(status.m_mtime.GetTime(), before.GetTime() - 2);
    EXPECT_LE(status.m_mtime.GetTime(), CTime::GetCurrentTime().GetTime() + 2);

    CFile f;
    CFileException error;
    ASSERT_TRUE(f.Open(path, CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(f.GetLength(), 1234u);
    EXPECT_TRUE(f.GetFileName() == L"data.bin");
    CFileStatus open;
    ASSERT_TRUE(f.GetStatus(open));
    EXPECT_EQ(open.m_size, 1234u);
    EXPECT_EQ(f.Seek(1000, CFile::begin), 1000u);
    BYTE tail[300] = {};
    EXPECT_EQ(f.Read(tail, sizeof(tail)), 234u);
    EXPECT_EQ(tail[0], (BYTE)(1000 * 7));
    EXPECT_EQ(f.Read(tail, sizeof(tail)), 0u);   // end of file is a result, not an error
    EXPECT_FALSE(f.Write(tail, 4));              // opened for reading only
    EXPECT_EQ(f.Seek(-1, CFile::begin), (ULONGLONG)-1);
    f.Close();
    EXPECT_EQ(f.Read(tail, 4), 0u);

    EXPECT_FALSE(f.Open(folder + L"\\missing.bin", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(CFile::GetStatus(folder + L"\\missing.bin", status));

    EXPECT_TRUE(CFile::Remove(path));
    ::RemoveDirectoryW(folder);
}

TEST(FileFind, WalksEveryEntryWithItsPathAndKind)
{
    CString folder = TempFolder(L"orv_find_test");
    ASSERT_TRUE(WriteBytes(folder + L"\\one.bmp", 10));
    ASSERT_TRUE(WriteBytes(folder + L"\\two.bmp", 20));
    ASSERT_TRUE(WriteBytes(folder + L"\\note.txt", 5));
    ::CreateDirectoryW(folder + L"\\sub", NULL);

    std::set<std::u16string> names, dirs;
    CFileFind find;
    BOOL more = find.FindFile(folder + L"\\*.*");
    ASSERT_TRUE(more);
    int nDots = 0;
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots()) {
            nDots++;
            continue;
        }
        std::u16string name((const char16_t*)(LPCWSTR)find.GetFileName());
        (find.IsDirectory() ? dirs : names).insert(name);
        EXPECT_EQ(find.GetFilePath().CompareNoCase(folder + L"\\" + find.GetFileName()), 0);
        if (name == u"two.bmp") {
            EXPECT_EQ(find.GetLength(), 20u);
        }
    }
    EXPECT_EQ(nDots, 2);
    EXPECT_EQ(names, (std::set<std::u16string>{ u"one.bmp", u"two.bmp", u"note.txt" }));
    EXPECT_EQ(dirs, (std::set<std::u16string>{ u"sub" }));

    // A pattern narrows the walk; one with no match finds nothing.
    int nBmp = 0;
    more = find.FindFile(folder + L"\\*.bmp");
    while (more) {
        more = find.FindNextFile();
        nBmp++;
    }
    EXPECT_EQ(nBmp, 2);
    EXPECT_FALSE(find.FindFile(folder + L"\\*.tif"));
    EXPECT_FALSE(find.FindNextFile());
    find.Close();

    for (LPCWSTR leaf : { L"\\one.bmp", L"\\two.bmp", L"\\note.txt" }) CFile::Remove(folder + leaf);
    ::RemoveDirectoryW(folder + L"\\sub");
    ::RemoveDirectoryW(folder);
}

TEST(Time, FormatsLocalFieldsAndConvertsFileTimes)
{
    CTime t(2024, 3, 9, 7, 5, 3);
    EXPECT_TRUE(t.Format(L"%Y%m%d%H%M%S") == L"20240309070503");
    EXPECT_TRUE(t.Format(L"%Y/%m/%d/ %H:%M:%S") == L"2024/03/09/ 07:05:03");
    EXPECT_TRUE(t.Format(L"%y-%j %% %B") == L"24-069 % March");
    EXPECT_EQ(t.GetDayOfWeek(), 7);   // a Saturday
    EXPECT_EQ(t.GetHour(), 7);

    SYSTEMTIME st = {};
    ASSERT_TRUE(t.GetAsSystemTime(st));
    EXPECT_EQ(CTime(st), t);
    FILETIME ft;
    ASSERT_TRUE(t.GetAsFileTime(ft));
    EXPECT_EQ(CTime(ft), t);

    // File times are UTC: 2000-01-01 00:00:00 UTC is 946684800 seconds after 1970.
    SYSTEMTIME utc = { 2000, 1, 6, 1, 0, 0, 0, 0 };
    ASSERT_TRUE(::SystemTimeToFileTime(&utc, &ft));
    EXPECT_EQ(CTime(ft).GetTime(), 946684800);
    EXPECT_TRUE(CTime(ft).FormatGmt(L"%Y%m%d%H%M%S") == L"20000101000000");
    EXPECT_EQ((CTime(ft) + CTimeSpan(1, 2, 3, 4)).FormatGmt(L"%d %H:%M:%S"), CString(L"02 02:03:04"));
}

TEST(CommonDialogs, MultiSelectFileDialogReturnsEveryName)
{
    CString folder = TempFolder(L"orv_pick_test");
    for (LPCWSTR leaf : { L"\\a.bmp", L"\\b.bmp", L"\\c.jpg" }) ASSERT_TRUE(WriteBytes(folder + leaf, 8));

    DialogWatcher watcher([](const SeenDialog& d) {
        HWND name = ::GetDlgItem(d.hwnd, cmb13);
        if (name == NULL) name = ::GetDlgItem(d.hwnd, edt1);
        if (name == NULL) return 0;
        ::SendMessageW(name, WM_SETTEXT, 0, (LPARAM)L"\"a.bmp\" \"b.bmp\" \"c.jpg\"");
        return IDOK;
    });
    std::vector<WCHAR> buffer(7800 / sizeof(WCHAR), 0);
    CFileDialog dlg(TRUE, NULL, NULL, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                    L"Images (*.bmp;*.jpg)|*.bmp;*.jpg|All (*.*)|*.*||");
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = (DWORD)buffer.size();
    dlg.m_ofn.lpstrInitialDir = folder;
    dlg.m_ofn.lpstrTitle = L"選擇圖像";
    ASSERT_EQ(dlg.DoModal(), IDOK);
    watcher.Stop();
    ASSERT_EQ(watcher.Count(), 1);
    EXPECT_EQ(watcher.LastCaption(), u"選擇圖像");

    std::set<std::u16string> chosen;
    POSITION pos = dlg.GetStartPosition();
    while (pos != NULL) {
        CString path = dlg.GetNextPathName(pos);
        CString lower = path;
        lower.MakeLower();
        chosen.insert(std::u16string((const char16_t*)(LPCWSTR)lower));
    }
    CString lf = folder;
    lf.MakeLower();
    std::u16string f((const char16_t*)(LPCWSTR)lf);
    EXPECT_EQ(chosen, (std::set<std::u16string>{ f + u"\\a.bmp", f + u"\\b.bmp", f + u"\\c.jpg" }));
    EXPECT_EQ(dlg.GetPathName().CompareNoCase(folder), 0);   // several names: the folder

    // One file: the path is that file and the walk yields it alone.
    DialogWatcher single([](const SeenDialog& d) {
        HWND name = ::GetDlgItem(d.hwnd, cmb13);
        if (name == NULL) name = ::GetDlgItem(d.hwnd, edt1);
        ::SendMessageW(name, WM_SETTEXT, 0, (LPARAM)L"b.bmp");
        return IDOK;
    });
    CFileDialog one(TRUE, NULL, NULL, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, L"All|*.*||");
    one.m_ofn.lpstrInitialDir = folder;
    ASSERT_EQ(one.DoModal(), IDOK);
    single.Stop();
    EXPECT_EQ(one.GetPathName().CompareNoCase(folder + L"\\b.bmp"), 0);
    EXPECT_TRUE(one.GetFileName() == L"b.bmp");
    EXPECT_TRUE(one.GetFileExt() == L"bmp");
    pos = one.GetStartPosition();
    EXPECT_EQ(one.GetNextPathName(pos).CompareNoCase(folder + L"\\b.bmp"), 0);
    EXPECT_EQ(pos, nullptr);

    for (LPCWSTR leaf : { L"\\a.bmp", L"\\b.bmp", L"\\c.jpg" }) CFile::Remove(folder + leaf);
    ::RemoveDirectoryW(folder);
}

TEST(CommonDialogs, ColourDialogOkGivesTheChosenColourAndCancelSaysSo)
{
    DialogWatcher ok([](const SeenDialog& d) {
        ::SetDlgItemInt(d.hwnd, 706, 10, FALSE);   // the red, green and blue fields
        ::SetDlgItemInt(d.hwnd, 707, 20, FALSE);
        ::SetDlgItemInt(d.hwnd, 708, 30, FALSE);
        return IDOK;
    });
    CColorDialog dlg(RGB(200, 100, 50), CC_FULLOPEN);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    ok.Stop();
    EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));

    DialogWatcher cancel(IDCANCEL);
    CColorDialog other(RGB(1, 2, 3));
    EXPECT_EQ(other.DoModal(), IDCANCEL);
    cancel.Stop();
    EXPECT_EQ(cancel.Count(), 1);
}

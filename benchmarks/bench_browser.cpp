// The browser's costs: a thumbnail per file against a bare full-size JPEG decode of the
// same file, and how the list's fill, scan, clear, add and remove scale from 100 to
// 1,000 and 10,000 files.  Ratios against references measured in the same run.
// Usage: bench_browser [folder]  (a folder measures its own files' thumbnails too)
#include "afxwin.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/ThumbnailRender.h"
#include "bench_browser_reference.h"
#include "xImage.h"
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

double Now()
{
    LARGE_INTEGER f, t;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)f.QuadPart;
}

std::string ReadAll(const CString& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = ::GetFileSize(file, NULL);
    bytes.resize(size);
    DWORD got = 0;
    ::ReadFile(file, &bytes[0], size, &got, NULL);
    ::CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

void WriteAll(const CString& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ::WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
        ::CloseHandle(file);
    }
}

CString MakeFolder(LPCWSTR tag)
{
    WCHAR base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    CString folder;
    folder.Format(L"%sbench_browser_%s_%lu\\", base, tag, ::GetCurrentProcessId());
    ::CreateDirectoryW(folder, NULL);
    return folder;
}

void RemoveFolder(const CString& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(folder + L"*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW(folder + fd.cFileName);
        while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder);
}

std::vector<BYTE> EncodedPicture(int width, int height, DWORD format)
{
    CxImage image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* row = image.GetBits(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = (BYTE)(x * 5 + y);
            row[3 * x + 1] = (BYTE)(y * 7 + 20);
            row[3 * x + 2] = (BYTE)(200 - x);
        }
    }
    std::vector<BYTE> bytes;
    image.Encode(bytes, format);
    return bytes;
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Thumbnail per file against a bare decode of the same JPEG files.
double ThumbnailRatio(const std::vector<CString>& files, double* perFile)
{
    std::vector<std::string> data;
    for (const CString& f : files) data.push_back(ReadAll(f));
    const double t0 = Now();
    for (const std::string& d : data) {
        int w = 0, h = 0;
        BareJpegDecode((const unsigned char*)d.data(), d.size(), w, h);
    }
    const double bare = Now() - t0;
    const double t1 = Now();
    for (const CString& f : files) {
        HBITMAP bitmap = RenderThumbnailBitmap(f, ThumbnailSize.cx, ThumbnailSize.cy);
        if (bitmap != NULL) ::DeleteObject(bitmap);
    }
    const double ours = Now() - t1;
    *perFile = ours / std::max<size_t>(files.size(), 1);
    return ours / std::max(bare, 1e-9);
}

struct Scale
{
    int files;
    double fill, scanClear, add, remove, label, worstGap;
    size_t memory;
};

Scale MeasureScale(CWnd& host, int files, const std::vector<BYTE>& picture)
{
    Scale s = {files, 0, 0, 0, 0, 0, 0, 0};
    const CString folder = MakeFolder(L"scale");
    for (int i = 0; i < files; ++i) {
        CString name;
        name.Format(L"%sp%05d.jpg", (LPCWSTR)folder, i);
        WriteAll(name, picture);
    }
    CThumbnailListCtrl list;
    list.CreateList(&host);
    list.MoveWindow(0, 0, 800, 200);
    list.Init();
    list.SetNotifyWindow(host.m_hWnd);

    // The fill, with the GUI thread's longest gap between two messages.
    double t0 = Now();
    list.SetFolder(folder, 1);
    double last = Now();
    while (list.IsLoading()) {
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        const double now = Now();
        s.worstGap = std::max(s.worstGap, now - last);
        Pump();
        last = Now();
    }
    Pump();
    s.fill = (Now() - t0) / files;
    // Image-list memory: 100 x 80 x 3 bytes per slot.
    s.memory = (size_t)list.GetThumbnailImages()->GetImageCount() * ThumbnailSize.cx * ThumbnailSize.cy * 3;

    // Scan and clear: a forced rescan without waiting for the thumbnails.
    t0 = Now();
    list.SetFolder(folder, 1);
    s.scanClear = (Now() - t0) / files;
    list.StopLoader();
    Pump();

    const int rounds = 50;
    CString extra;
    extra.Format(L"%sextra.jpg", (LPCWSTR)folder);
    WriteAll(extra, picture);
    t0 = Now();
    for (int i = 0; i < rounds; ++i) list.AddFile(extra, 1);
    Pump();
    s.add = (Now() - t0) / rounds;
    for (int i = 0; i < rounds; ++i) {
        t0 = Now();
        list.RemoveFile(extra, 0);
        s.remove += Now() - t0;
        list.AddFile(extra, 1);
    }
    s.remove /= rounds;
    // The caption's look-up of the picture on show.
    t0 = Now();
    for (int i = 0; i < rounds; ++i) list.FindPath(extra);
    s.label = (Now() - t0) / rounds;
    list.DestroyWindow();
    Pump();
    RemoveFolder(folder);
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    ::CoInitialize(NULL);
    CWnd host;
    host.CreateEx(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 820, 220), NULL, 0);

    // Thumbnails of camera-sized JPEG pictures.
    const std::vector<BYTE> photo = EncodedPicture(2048, 1536, CXIMAGE_FORMAT_JPG);
    const CString photos = MakeFolder(L"photos");
    std::vector<CString> files;
    for (int i = 0; i < 20; ++i) {
        CString name;
        name.Format(L"%sphoto%02d.jpg", (LPCWSTR)photos, i);
        WriteAll(name, photo);
        files.push_back(name);
    }
    double perFile = 0;
    const double ratio = ThumbnailRatio(files, &perFile);
    printf("thumbnail of a 2048x1536 JPEG: %.2f ms, %.2f x a bare full-size decode (aim <= 1.3)\n", perFile * 1000, ratio);
    RemoveFolder(photos);

    if (argc > 1) {
        CString folder(argv[1]);
        if (folder.Right(1) != L"\\") folder += L"\\";
        std::vector<CString> own;
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW(folder + L"*.*", &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const CString full = folder + fd.cFileName;
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && GetImageFileType(full) == 3) own.push_back(full);
            } while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
        if (!own.empty()) {
            const double r = ThumbnailRatio(own, &perFile);
            printf("folder %s: %d JPEG files, %.2f ms each, %.2f x a bare decode\n", argv[1], (int)own.size(), perFile * 1000, r);
        }
    }

    const std::vector<BYTE> little = EncodedPicture(320, 240, CXIMAGE_FORMAT_JPG);
    std::vector<Scale> scales;
    for (int n : {100, 1000, 10000}) {
        scales.push_back(MeasureScale(host, n, little));
        const Scale& s = scales.back();
        printf("%6d files: fill %.3f ms/file, scan+clear %.4f ms/file, AddFile %.3f ms, RemoveFile %.3f ms, "
               "caption look-up %.4f ms, image list %.1f MB, longest GUI gap %.0f ms\n",
               s.files, s.fill * 1000, s.scanClear * 1000, s.add * 1000, s.remove * 1000, s.label * 1000,
               s.memory / 1048576.0, s.worstGap * 1000);
    }
    printf("summary: thumbnail/bare %.2f; fill per file 10000/100 %.2f (aim <= 1.5); AddFile 10000/100 %.2f; "
           "longest GUI gap %.0f ms (aim < 100)\n",
           ratio, scales[2].fill / scales[0].fill, scales[2].add / std::max(scales[0].add, 1e-9),
           std::max({scales[0].worstGap, scales[1].worstGap, scales[2].worstGap}) * 1000);
    host.DestroyWindow();
    ::CoUninitialize();
    return 0;
}

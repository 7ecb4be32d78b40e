// The browser's costs: a thumbnail per file against a bare full-size JPEG decode of the
// same file; the fill of a 5,090-file folder (5,000 JPEG 640 x 480 pictures, PNG, AVI,
// RAW and truncated JPEG files) against a single-threaded full-size decode of its JPEG
// files, with the GUI thread's longest answer to a probe's WM_NULL from SetFolder to the
// fill's last progress message; and how the list's fill, scan, clear, add and remove
// scale from 100 to 1,000 and 10,000 files.  Ratios against references measured in the
// same run.
// Usage: bench_browser [--busy N] [--large-only] [folder]  (N spinning threads load the
// machine during the large folder's fill; a folder measures its own files' thumbnails too)
#include "afxwin.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/ThumbnailRender.h"
#include "bench_browser_reference.h"
#include "xImage.h"
#include <vfw.h>
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

// The strip's stand-in: receives the list's progress, as the strip does.
class CProgressHost : public CWnd
{
public:
    volatile LONG done = 0, total = 0;
    double lastProgress = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_THUMBS_PROGRESS) {
            done = (LONG)wParam;
            total = (LONG)lParam;
            lastProgress = Now();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Sends WM_NULL to the window every 50 ms from its own thread, as a user's input would
// arrive, and keeps the longest answer.
struct Probe
{
    HWND target;
    volatile LONG stop;
    double worst;
    int sent;
};

DWORD WINAPI ProbeThread(void* arg)
{
    Probe* p = static_cast<Probe*>(arg);
    while (!p->stop) {
        const double t0 = Now();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(p->target, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
        p->worst = std::max(p->worst, Now() - t0);
        ++p->sent;
        ::Sleep(50);
    }
    return 0;
}

// Spinning threads standing for the machine's other work.
volatile LONG g_spinStop = 0;
DWORD WINAPI SpinThread(void*)
{
    volatile unsigned long long n = 0;
    while (!g_spinStop) ++n;
    return 0;
}

struct Fill
{
    double seconds;      // SetFolder to the last progress message
    double setFolder;    // the call itself
    double worstAnswer;  // the GUI thread's longest answer to the probe meanwhile
    double cpu;          // processor time of the whole process meanwhile
    double guiCpu;       // of the GUI thread alone
};

double CpuSeconds(BOOL wholeProcess)
{
    FILETIME created, ended, kernel, user;
    const BOOL ok = wholeProcess ? ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user)
                                 : ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    if (!ok) return 0;
    const ULONGLONG k = ((ULONGLONG)kernel.dwHighDateTime << 32) | kernel.dwLowDateTime;
    const ULONGLONG u = ((ULONGLONG)user.dwHighDateTime << 32) | user.dwLowDateTime;
    return (double)(k + u) / 1e7;
}

// SetFolder and the fill it starts, the GUI thread waiting in its message loop.
Fill TimedFill(CProgressHost& host, CThumbnailListCtrl& list, const CString& folder)
{
    Pump();
    host.done = host.total = 0;
    Probe probe = {host.m_hWnd, 0, 0.0, 0};
    HANDLE thread = ::CreateThread(NULL, 0, ProbeThread, &probe, 0, NULL);
    ::Sleep(20);
    Fill f = {0, 0, 0, 0, 0};
    const double cpu0 = CpuSeconds(TRUE), gui0 = CpuSeconds(FALSE);
    const double t0 = Now();
    list.SetFolder(folder, 1);
    f.setFolder = Now() - t0;
    while (!(host.total > 0 && host.done == host.total)) {
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    f.seconds = host.lastProgress - t0;
    f.cpu = CpuSeconds(TRUE) - cpu0;
    f.guiCpu = CpuSeconds(FALSE) - gui0;
    probe.stop = 1;
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump();
    ::CloseHandle(thread);
    f.worstAnswer = probe.worst;
    // What the fill left queued for the window is drawn before the next measurement.
    Pump();
    return f;
}

BOOL WriteVideo(LPCWSTR path, int width, int height, int frames)
{
    ::AVIFileInit();
    BOOL ok = FALSE;
    PAVIFILE file = NULL;
    PAVISTREAM stream = NULL;
    const DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    if (::AVIFileOpenW(&file, path, OF_CREATE | OF_WRITE, NULL) == 0) {
        AVISTREAMINFOW info = {};
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = 25;
        info.dwSuggestedBufferSize = stride * height;
        ::SetRect(&info.rcFrame, 0, 0, width, height);
        if (::AVIFileCreateStreamW(file, &stream, &info) == 0) {
            BITMAPINFOHEADER header = {sizeof(header), width, height, 1, 24, BI_RGB, stride * height};
            if (::AVIStreamSetFormat(stream, 0, &header, sizeof(header)) == 0) {
                std::vector<BYTE> bits(stride * height, 0x60);
                ok = TRUE;
                for (int f = 0; f < frames && ok; ++f)
                    ok = ::AVIStreamWrite(stream, f, 1, bits.data(), (LONG)bits.size(), AVIIF_KEYFRAME, NULL, NULL) == 0;
            }
        }
    }
    if (stream != NULL) ::AVIStreamRelease(stream);
    if (file != NULL) ::AVIFileRelease(file);
    ::AVIFileExit();
    return ok;
}

// The folder of the responsiveness figure: 5,000 JPEG pictures of 640 x 480 (16 different
// ones) and 90 others.  Returns the JPEG files' contents for the reference decode.
std::vector<std::string> MakeLargeFolder(const CString& folder)
{
    std::vector<std::vector<BYTE>> jpegs;
    for (int v = 0; v < 16; ++v) {
        CxImage image;
        image.Create(640, 480, 24);
        for (int y = 0; y < 480; ++y) {
            BYTE* row = image.GetBits(y);
            for (int x = 0; x < 640; ++x) {
                const unsigned noise = (unsigned)(x * 2654435761u ^ y * 40503u ^ v * 977u) >> 27;
                row[3 * x] = (BYTE)(x / 3 + v * 9 + noise);
                row[3 * x + 1] = (BYTE)((x + y) / 5 + noise);
                row[3 * x + 2] = (BYTE)(200 - y / 3 + v * 5);
            }
        }
        std::vector<BYTE> bytes;
        image.Encode(bytes, CXIMAGE_FORMAT_JPG);
        jpegs.push_back(bytes);
    }
    std::vector<std::string> contents;
    CString name;
    for (int i = 0; i < 5000; ++i) {
        name.Format(L"%simg%05d.jpg", (LPCWSTR)folder, i);
        const std::vector<BYTE>& bytes = jpegs[i % jpegs.size()];
        WriteAll(name, bytes);
        contents.emplace_back((const char*)bytes.data(), bytes.size());
    }
    const std::vector<BYTE> png = EncodedPicture(640, 480, CXIMAGE_FORMAT_PNG);
    for (int i = 0; i < 30; ++i) {
        name.Format(L"%spng%02d.png", (LPCWSTR)folder, i);
        WriteAll(name, png);
    }
    for (int i = 0; i < 30; ++i) {
        name.Format(L"%scut%02d.jpg", (LPCWSTR)folder, i);
        const std::vector<BYTE>& whole = jpegs[i % jpegs.size()];
        WriteAll(name, std::vector<BYTE>(whole.begin(), whole.begin() + whole.size() / 3));
    }
    for (int i = 0; i < 20; ++i) {
        name.Format(L"%sframe%02d.raw", (LPCWSTR)folder, i);
        WriteAll(name, std::vector<BYTE>(640 * 480 * 2, 0x40));
    }
    for (int i = 0; i < 10; ++i) {
        name.Format(L"%svideo%02d.avi", (LPCWSTR)folder, i);
        WriteVideo(name, 320, 240, 3);
    }
    return contents;
}

struct Scale
{
    int files;
    double fill, scanClear, add, remove, label, worstGap;
    size_t memory;
};

Scale MeasureScale(CProgressHost& host, int files, const std::vector<BYTE>& picture)
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

    const Fill f = TimedFill(host, list, folder);
    s.fill = f.seconds / files;
    s.worstGap = f.worstAnswer;
    // Image-list memory: 100 x 80 x 3 bytes per slot.
    s.memory = (size_t)list.GetThumbnailImages()->GetImageCount() * ThumbnailSize.cx * ThumbnailSize.cy * 3;

    // Scan and clear: a forced rescan without waiting for the thumbnails.
    double t0 = Now();
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
    int busy = 0;
    bool largeOnly = false;
    const char* ownFolder = NULL;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--busy") == 0 && i + 1 < argc)
            busy = atoi(argv[++i]);
        else if (strcmp(argv[i], "--large-only") == 0)
            largeOnly = true;
        else
            ownFolder = argv[i];
    }
    CProgressHost host;
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

    if (ownFolder != NULL) {
        CString folder(ownFolder);
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
            printf("folder %s: %d JPEG files, %.2f ms each, %.2f x a bare decode\n", ownFolder, (int)own.size(), perFile * 1000, r);
        }
    }

    // The large folder: its fill against one thread decoding its JPEG files at full size.
    const CString large = MakeFolder(L"large");
    const std::vector<std::string> contents = MakeLargeFolder(large);
    const double cpuBefore = CpuSeconds(FALSE);
    double t0 = Now();
    for (const std::string& d : contents) {
        int w = 0, h = 0;
        BareJpegDecode((const unsigned char*)d.data(), d.size(), w, h);
    }
    const double reference = Now() - t0;
    const double referenceCpu = CpuSeconds(FALSE) - cpuBefore;
    std::vector<HANDLE> spinners;
    for (int i = 0; i < busy; ++i) spinners.push_back(::CreateThread(NULL, 0, SpinThread, NULL, 0, NULL));
    Fill largeFill = {0, 0, 0, 0, 0};
    {
        CThumbnailListCtrl list;
        list.CreateList(&host);
        list.MoveWindow(0, 0, 800, 200);
        list.Init();
        list.SetNotifyWindow(host.m_hWnd);
        largeFill = TimedFill(host, list, large);
        list.DestroyWindow();
        Pump();
    }
    g_spinStop = 1;
    for (HANDLE t : spinners) {
        ::WaitForSingleObject(t, INFINITE);
        ::CloseHandle(t);
    }
    g_spinStop = 0;
    RemoveFolder(large);
    printf("5,090-file folder%s: fill %.2f s / one-thread full-size decode of its 5,000 JPEG files %.2f s = %.2f "
           "(aim <= 0.4); SetFolder %.0f ms; longest WM_NULL answer from SetFolder to the last progress %.0f ms "
           "(aim <= 100 idle, 250 with 8 busy threads)\n",
           busy ? " with busy threads" : "", largeFill.seconds, reference, largeFill.seconds / reference,
           largeFill.setFolder * 1000, largeFill.worstAnswer * 1000);
    printf("  processor time: fill %.2f s (GUI thread %.2f s) / reference %.2f s = %.2f, on %d render threads\n",
           largeFill.cpu, largeFill.guiCpu, referenceCpu, largeFill.cpu / std::max(referenceCpu, 1e-9), CThumbnailListCtrl::RenderThreadCount());

    if (largeOnly) {
        host.DestroyWindow();
        ::CoUninitialize();
        return 0;
    }
    const std::vector<BYTE> little = EncodedPicture(320, 240, CXIMAGE_FORMAT_JPG);
    std::vector<Scale> scales;
    for (int n : {100, 1000, 10000}) {
        scales.push_back(MeasureScale(host, n, little));
        const Scale& s = scales.back();
        printf("%6d files: fill %.3f ms/file, scan+clear %.4f ms/file, AddFile %.3f ms, RemoveFile %.3f ms, "
               "caption look-up %.4f ms, image list %.1f MB, longest WM_NULL answer during the fill %.0f ms\n",
               s.files, s.fill * 1000, s.scanClear * 1000, s.add * 1000, s.remove * 1000, s.label * 1000,
               s.memory / 1048576.0, s.worstGap * 1000);
    }
    printf("summary%s: thumbnail/bare %.2f; large folder fill/reference %.2f (aim <= 0.4), longest answer %.0f ms; "
           "fill per file 10000/100 %.2f (aim <= 1.0); AddFile 10000/100 %.2f; longest answer in the scale fills %.0f ms\n",
           busy ? " (busy threads during the large fill)" : "", ratio, largeFill.seconds / reference,
           largeFill.worstAnswer * 1000, scales[2].fill / scales[0].fill,
           scales[2].add / std::max(scales[0].add, 1e-9),
           std::max({scales[0].worstGap, scales[1].worstGap, scales[2].worstGap}) * 1000);
    host.DestroyWindow();
    ::CoUninitialize();
    return 0;
}

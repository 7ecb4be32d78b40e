#include "BrowseTestSupport.h"
#include <vfw.h>
#include <algorithm>

TempFolder::TempFolder(LPCWSTR tag, LPCWSTR under)
{
    WCHAR base[MAX_PATH];
    if (under != NULL)
        lstrcpynW(base, under, MAX_PATH);
    else
        ::GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    m_folder.Format(L"%s%s%lu_%d\\", base, tag, ::GetCurrentProcessId(), ++counter);
    ::CreateDirectoryW(m_folder, NULL);
}

namespace {

void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(folder + L"*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const CString name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW(folder + name);
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder);
}

}  // namespace

TempFolder::~TempFolder() { RemoveTree(m_folder); }

std::vector<CString> TempFolder::Names() const
{
    std::vector<CString> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(m_folder + L"*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
        while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    return names;
}

CxImage MakePicture(int width, int height)
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
    return image;
}

CxImage SolidPicture(int width, int height, BYTE r, BYTE g, BYTE b)
{
    CxImage image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* row = image.GetBits(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    return image;
}

CString WritePicture(const TempFolder& dir, LPCWSTR name, const CxImage& picture, DWORD type)
{
    const CString path = dir.Path(name);
    CxImage copy(picture);
    EXPECT_TRUE(copy.Save(path, type)) << Utf8(path);
    return path;
}

CString WriteBytes(const TempFolder& dir, LPCWSTR name, const std::string& bytes)
{
    const CString path = dir.Path(name);
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ::WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
        ::CloseHandle(file);
    }
    return path;
}

std::vector<BYTE> ReadBytes(LPCWSTR path)
{
    std::vector<BYTE> data;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return data;
    const DWORD size = ::GetFileSize(file, NULL);
    data.resize(size);
    DWORD got = 0;
    if (size > 0) ::ReadFile(file, data.data(), size, &got, NULL);
    data.resize(got);
    ::CloseHandle(file);
    return data;
}

std::string Utf8(const CString& text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), NULL, 0, NULL, NULL);
    std::string out(n, '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), &out[0], n, NULL, NULL);
    return out;
}

CString TrashFiles()
{
    WCHAR home[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
    CString path = home;
    if (path.Left(4) == L"\\??\\") path = path.Mid(4);
    path += L"\\.local";
    ::CreateDirectoryW(path, NULL);
    path += L"\\share";
    ::CreateDirectoryW(path, NULL);
    return path + L"\\Trash\\files\\";
}

BOOL FileExists(LPCWSTR path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

BOOL InstallHuffyuv()
{
    static const BOOL installed =
        ICInstall(ICTYPE_VIDEO, mmioFOURCC('H', 'F', 'Y', 'U'), reinterpret_cast<LPARAM>("OrvHuffyuv.dll"), NULL,
                  ICINSTALL_DRIVER);
    return installed;
}

BOOL WriteVideo(LPCWSTR path, int width, int height, const std::vector<COLORREF>& frames, BOOL huffyuv,
                COLORREF rightHalf)
{
    ::CoInitialize(NULL);
    ::AVIFileInit();
    ::DeleteFileW(path);
    BOOL ok = FALSE;
    PAVIFILE file = NULL;
    PAVISTREAM stream = NULL, compressed = NULL;
    const DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    if (::AVIFileOpenW(&file, path, OF_CREATE | OF_WRITE, NULL) == 0) {
        AVISTREAMINFOW info = {};
        info.fccType = streamtypeVIDEO;
        info.fccHandler = huffyuv ? mmioFOURCC('H', 'F', 'Y', 'U') : 0;
        info.dwScale = 1;
        info.dwRate = 25;
        info.dwSuggestedBufferSize = stride * height;
        SetRect(&info.rcFrame, 0, 0, width, height);
        if (::AVIFileCreateStreamW(file, &stream, &info) == 0) {
            PAVISTREAM target = stream;
            if (huffyuv) {
                AVICOMPRESSOPTIONS options = {};
                options.fccType = streamtypeVIDEO;
                options.fccHandler = mmioFOURCC('H', 'F', 'Y', 'U');
                options.dwFlags = AVICOMPRESSF_VALID;
                target = ::AVIMakeCompressedStream(&compressed, stream, &options, NULL) == 0 ? compressed : NULL;
            }
            BITMAPINFOHEADER header = {};
            header.biSize = sizeof(header);
            header.biWidth = width;
            header.biHeight = height;
            header.biPlanes = 1;
            header.biBitCount = 24;
            header.biCompression = BI_RGB;
            header.biSizeImage = stride * height;
            if (target != NULL && ::AVIStreamSetFormat(target, 0, &header, sizeof(header)) == 0) {
                std::vector<BYTE> bits(stride * height);
                ok = TRUE;
                for (size_t f = 0; f < frames.size() && ok; ++f) {
                    for (int y = 0; y < height; ++y)
                        for (int x = 0; x < width; ++x) {
                            const COLORREF c = x >= width / 2 && rightHalf != CLR_INVALID ? rightHalf : frames[f];
                            BYTE* p = &bits[(size_t)y * stride + x * 3];
                            p[0] = GetBValue(c);
                            p[1] = GetGValue(c);
                            p[2] = GetRValue(c);
                        }
                    ok = ::AVIStreamWrite(target, (LONG)f, 1, bits.data(), (LONG)bits.size(), AVIIF_KEYFRAME, NULL,
                                          NULL) == 0;
                }
            }
        }
    }
    if (compressed != NULL) ::AVIStreamRelease(compressed);
    if (stream != NULL) ::AVIStreamRelease(stream);
    if (file != NULL) ::AVIFileRelease(file);
    ::AVIFileExit();
    ::CoUninitialize();
    return ok;
}

BOOL WriteAudioOnlyAvi(LPCWSTR path)
{
    ::CoInitialize(NULL);
    ::AVIFileInit();
    ::DeleteFileW(path);
    BOOL ok = FALSE;
    PAVIFILE file = NULL;
    PAVISTREAM stream = NULL;
    if (::AVIFileOpenW(&file, path, OF_CREATE | OF_WRITE, NULL) == 0) {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = 8000;
        format.wBitsPerSample = 8;
        format.nBlockAlign = 1;
        format.nAvgBytesPerSec = 8000;
        AVISTREAMINFOW info = {};
        info.fccType = streamtypeAUDIO;
        info.dwScale = 1;
        info.dwRate = 8000;
        info.dwSampleSize = 1;
        if (::AVIFileCreateStreamW(file, &stream, &info) == 0 &&
            ::AVIStreamSetFormat(stream, 0, &format, sizeof(format)) == 0) {
            std::vector<BYTE> samples(800, 128);
            ok = ::AVIStreamWrite(stream, 0, (LONG)samples.size(), samples.data(), (LONG)samples.size(),
                                  AVIIF_KEYFRAME, NULL, NULL) == 0;
        }
    }
    if (stream != NULL) ::AVIStreamRelease(stream);
    if (file != NULL) ::AVIFileRelease(file);
    ::AVIFileExit();
    ::CoUninitialize();
    return ok;
}

Pixels ReadBitmap(HBITMAP bitmap)
{
    Pixels out;
    BITMAP info = {};
    if (bitmap == NULL || !::GetObjectW(bitmap, sizeof(info), &info)) return out;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> raw((size_t)out.width * out.height);
    HDC dc = ::GetDC(NULL);
    ::GetDIBits(dc, bitmap, 0, out.height, raw.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, dc);
    out.rgb.resize(raw.size());
    for (size_t i = 0; i < raw.size(); ++i)
        out.rgb[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
    return out;
}

Pixels ReadSlot(CImageList* list, int slot)
{
    Pixels out;
    if (list == NULL || slot < 0) return out;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = ThumbnailSize.cx;
    bi.bmiHeader.biHeight = ThumbnailSize.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = NULL;
    HBITMAP dib = ::CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC dc = ::CreateCompatibleDC(NULL);
    HGDIOBJ old = ::SelectObject(dc, dib);
    ::ImageList_Draw(list->GetSafeHandle(), slot, dc, 0, 0, ILD_NORMAL);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    out = ReadBitmap(dib);
    ::DeleteObject(dib);
    return out;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

BOOL CHostWindow::Open(int cx, int cy, int x, int y)
{
    LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    return CreateEx(0, cls, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, cx, cy, NULL, NULL);
}

CHostWindow::~CHostWindow()
{
    if (m_hWnd != NULL) DestroyWindow();
}

BOOL FakeDoc::OnOpenDocument(LPCWSTR path)
{
    opened.push_back(path != NULL ? CString(path) : CString());
    CImageStore* store = Links().store;
    if (store == NULL) return FALSE;
    if (path == NULL) {
        store->ReleaseImages();
        return FALSE;
    }
    return store->OpenFile(path, 1) ? TRUE : FALSE;
}

BrowseLinks::BrowseLinks()
{
    TrashFiles();
    Links() = ShellLinks();
    base.reset(new TempFolder(L"notes"));
    store.SetBaseFolder(base->Folder());
    ShellLinks& links = Links();
    links.store = &store;
    links.doc = &doc;
    links.view = &view;
    links.manage = &manage;
    links.measurePanel = &measure;
    links.layers = &layers;
    links.comparePane = &compare;
    links.preview = &preview;
    links.captureTools = &captureTools;
}

BrowseLinks::~BrowseLinks() {}

StripFixture::StripFixture(int cx, int cy)
{
    host.Open(cx, cy);
    strip.Create(CThumbnailStrip::IDD, &host);
    strip.MoveWindow(0, 0, cx, cy);
    strip.ShowWindow(SW_SHOW);
    ShellLinks& links = Links();
    links.strip = &strip;
    links.thumbList = &strip.m_list;
    PumpMessagesFor(20);
}

StripFixture::~StripFixture()
{
    ShellLinks& links = Links();
    if (links.strip == &strip) links.strip = NULL;
    if (links.thumbList == &strip.m_list) links.thumbList = NULL;
    if (strip.m_hWnd != NULL) strip.DestroyWindow();
}

bool StripFixture::WaitForFill(DWORD timeoutMs)
{
    return WaitFor([&] { return !strip.m_list.IsLoading() && !strip.m_progress.IsWindowVisible(); }, timeoutMs);
}

LRESULT NotifyItem(CThumbnailStrip& strip, UINT code, int item)
{
    NMITEMACTIVATE info = {};
    info.hdr.hwndFrom = strip.m_list.m_hWnd;
    info.hdr.idFrom = IDC_STRIP_LIST;
    info.hdr.code = code;
    info.iItem = item;
    return strip.SendMessage(WM_NOTIFY, IDC_STRIP_LIST, (LPARAM)&info);
}

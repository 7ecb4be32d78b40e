#include "app/compose/CompositionFiles.h"

#include "app/store/ImageStore.h"
#include "xImage.h"

#include <cstdlib>
#include <vector>

namespace {

CompositionClock g_clock = nullptr;

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// Index of the "." that starts the file name's extension, -1 when none.
int ExtensionDot(const CString& path)
{
    int dot = path.ReverseFind(L'.');
    int slash = path.ReverseFind(L'\\');
    return dot > slash ? dot : -1;
}

}  // namespace

int MakeUniqueFileName(CString& path)
{
    if (!Exists(path))
        return 1;
    const int dot = ExtensionDot(path);
    if (dot < 0)
        return 0;
    const CString stem = path.Left(dot), extension = path.Mid(dot);
    for (int k = 1;; ++k) {
        CString candidate;
        candidate.Format(L"%s_%d%s", (LPCWSTR)stem, k, (LPCWSTR)extension);
        if (!Exists(candidate)) {
            path = candidate;
            return 1;
        }
    }
}

CString CompositionStamp()
{
    SYSTEMTIME now;
    if (g_clock)
        g_clock(&now);
    else
        GetLocalTime(&now);
    CString stamp;
    stamp.Format(L"%02d%02d%02d%02d%02d", now.wMonth, now.wDay, now.wHour, now.wMinute,
                 now.wSecond);
    return stamp;
}

void SetCompositionClock(CompositionClock clock)
{
    g_clock = clock;
}

CString FileExtensionOf(const CString& path)
{
    const int dot = ExtensionDot(path);
    return dot < 0 ? CString() : path.Mid(dot);
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash + 1);
}

CString FileNameOf(const CString& path)
{
    return path.Mid(path.ReverseFind(L'\\') + 1);
}

std::string ToUtf8(const CString& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), &out[0], n, nullptr, nullptr);
    return out;
}

int PictureTypeOf(const CString& path)
{
    CString extension = FileExtensionOf(path).Mid(1);
    extension.MakeLower();
    return GetImageTypeFromExtension(extension);
}

namespace {

unsigned Be16(const BYTE* p) { return unsigned(p[0]) << 8 | p[1]; }
unsigned Be32(const BYTE* p) { return unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8 | p[3]; }
unsigned Le16(const BYTE* p) { return unsigned(p[1]) << 8 | p[0]; }
unsigned Le32(const BYTE* p) { return unsigned(p[3]) << 24 | unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0]; }

bool TiffSize(const std::vector<BYTE>& d, int* width, int* height)
{
    const bool le = d[0] == 'I';
    auto u16 = [&](size_t at) { return le ? Le16(&d[at]) : Be16(&d[at]); };
    auto u32 = [&](size_t at) { return le ? Le32(&d[at]) : Be32(&d[at]); };
    const size_t ifd = u32(4);
    if (ifd + 2 > d.size())
        return false;
    const unsigned entries = u16(ifd);
    int w = 0, h = 0;
    for (unsigned i = 0; i < entries && ifd + 2 + 12 * (i + 1) <= d.size(); ++i) {
        const size_t e = ifd + 2 + 12 * i;
        const unsigned tag = u16(e), type = u16(e + 2);
        const unsigned value = type == 3 ? u16(e + 8) : u32(e + 8);
        if (tag == 256)
            w = int(value);
        else if (tag == 257)
            h = int(value);
    }
    *width = w;
    *height = h;
    return w > 0 && h > 0;
}

bool HeaderSize(const std::vector<BYTE>& d, int* width, int* height)
{
    const size_t n = d.size();
    if (n >= 26 && d[0] == 'B' && d[1] == 'M') {
        *width = int(Le32(&d[18]));
        *height = std::abs(int(Le32(&d[22])));
        return *width > 0 && *height > 0;
    }
    if (n >= 24 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G') {
        *width = int(Be32(&d[16]));
        *height = int(Be32(&d[20]));
        return *width > 0 && *height > 0;
    }
    if (n >= 10 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F') {
        *width = int(Le16(&d[6]));
        *height = int(Le16(&d[8]));
        return *width > 0 && *height > 0;
    }
    if (n >= 8 && ((d[0] == 'I' && d[1] == 'I' && d[2] == 42) || (d[0] == 'M' && d[1] == 'M' && d[3] == 42)))
        return TiffSize(d, width, height);
    if (n >= 4 && d[0] == 0xFF && d[1] == 0xD8) {
        size_t at = 2;
        while (at + 9 < n) {
            if (d[at] != 0xFF) {
                ++at;
                continue;
            }
            const BYTE marker = d[at + 1];
            if (marker == 0xFF) {
                ++at;
                continue;
            }
            const unsigned length = Be16(&d[at + 2]);
            const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
                            && marker != 0xCC;
            if (frame) {
                *height = int(Be16(&d[at + 5]));
                *width = int(Be16(&d[at + 7]));
                return *width > 0 && *height > 0;
            }
            at += 2 + length;
        }
    }
    return false;
}

}  // namespace

bool ReadPictureSize(const CString& path, int* width, int* height)
{
    // Headers sit at the front; a JPEG's frame header may follow large metadata.
    const DWORD kHeaderBytes = 256 * 1024;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    std::vector<BYTE> head(kHeaderBytes);
    DWORD got = 0;
    const BOOL read = ReadFile(f, head.data(), kHeaderBytes, &got, nullptr);
    CloseHandle(f);
    if (!read || got == 0)
        return false;
    head.resize(got);
    if (HeaderSize(head, width, height))
        return true;
    CxImage image;
    if (!image.Load((LPCWSTR)path, DWORD(PictureTypeOf(path))) || !image.IsValid())
        return false;
    *width = int(image.GetWidth());
    *height = int(image.GetHeight());
    return true;
}

#include "xImage.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "Bands.h"
#include "Codecs.h"
#include "afxprotect.h"

using orv_img::PaletteEntry;
using orv_img::PixelImage;

namespace {

// Larger files are refused before reading; no picture we keep comes near it.
const LONGLONG kMaxFileBytes = 1536ll << 20;

long long g_writeLimit = -1;

// Large TIFF pictures are coded in bands on threads made here, where Win32 is at hand.
// Installed on first use: at load time the system may not be ready to count processors.
void InstallBandRunner()
{
    static const bool installed =
        (orv_img::SetBandRunner(orvbands::RunBands, orvbands::BandCount(1 << 30, 1)), true);
    (void)installed;
}

}  // namespace

bool ReadWholeFile(const WCHAR* path, std::vector<BYTE>& data, std::string& error)
{
    data.clear();
    if (!path || !*path) {
        error = "No file name";
        return false;
    }
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "Cannot open the file";
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (!ok) {
        error = "Cannot read the file size";
    } else if (size.QuadPart > kMaxFileBytes) {
        error = "File too large";
        ok = false;
    } else {
        try {
            data.resize(static_cast<size_t>(size.QuadPart));
        } catch (...) {
            error = "Not enough memory";
            ok = false;
        }
        size_t done = 0;
        while (ok && done < data.size()) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 24));
            if (!ReadFile(file, data.data() + done, want, &got, nullptr) || got == 0) {
                error = "Cannot read the file";
                ok = false;
            }
            done += got;
        }
    }
    CloseHandle(file);
    if (!ok)
        data.clear();
    return ok;
}

bool WriteFileReplacing(const WCHAR* path, const BYTE* data, size_t size, std::string& error)
{
    if (!path || !*path) {
        error = "No file name";
        return false;
    }
    if (AfxIsProtectedFile(path)) {
        error = "The file is read-only";
        return false;
    }
    // The temporary file sits beside the target, so the final move stays on one volume.
    WCHAR folder[MAX_PATH * 4];
    const size_t len = lstrlenW(path);
    if (len + 1 > ARRAYSIZE(folder)) {
        error = "File name too long";
        return false;
    }
    lstrcpyW(folder, path);
    WCHAR* cut = folder + len;
    while (cut > folder && cut[-1] != L'\\' && cut[-1] != L'/')
        --cut;
    *cut = 0;
    if (!folder[0])
        lstrcpyW(folder, L".");
    WCHAR temp[MAX_PATH * 4 + 20];
    if (!GetTempFileNameW(folder, L"orv", 0, temp)) {
        error = "Cannot create a file in the target folder";
        return false;
    }
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(temp);
        error = "Cannot create a file in the target folder";
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < size) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1 << 24));
        if (g_writeLimit >= 0 && done + want > static_cast<size_t>(g_writeLimit)) {
            want = static_cast<DWORD>(g_writeLimit - static_cast<long long>(std::min<size_t>(done, g_writeLimit)));
            ok = false;
        }
        DWORD put = 0;
        if (want && !WriteFile(file, data + done, want, &put, nullptr))
            ok = false;
        done += put;
        if (put < want)
            ok = false;
    }
    if (!CloseHandle(file))
        ok = false;
    if (!ok) {
        DeleteFileW(temp);
        error = "Write error";
        return false;
    }
    // Asked again: the move replaces a read-only file, which may have become one meanwhile.
    if (AfxIsProtectedFile(path) || !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        error = AfxIsProtectedFile(path) ? "The file is read-only" : "Cannot replace the file";
        return false;
    }
    return true;
}

void CxImage::SetWriteLimitForTests(long long bytes)
{
    g_writeLimit = bytes;
}

CxImage::CxImage(DWORD imageType)
{
    m_lastError[0] = 0;
    m_image.format = static_cast<int>(imageType);
}

CxImage::CxImage(const CxImage& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    m_lastError[0] = 0;
    Copy(src, copyPixels, copySelection, copyAlpha);
}

CxImage::CxImage(const WCHAR* fileName, DWORD imageType)
{
    m_lastError[0] = 0;
    Load(fileName, imageType);
}

CxImage::CxImage(const BYTE* buffer, DWORD size, DWORD imageType)
{
    m_lastError[0] = 0;
    Decode(buffer, size, imageType);
}

CxImage::~CxImage() = default;

CxImage& CxImage::operator=(const CxImage& src)
{
    if (this != &src)
        Copy(src);
    return *this;
}

void CxImage::Copy(const CxImage& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (this == &src)
        return;
    m_image = src.m_image;
    if (m_image.IsValid() != src.m_image.IsValid())
        Fail("Not enough memory");
    if (!copyPixels && m_image.IsValid())
        memset(m_image.Bits(), 0, m_image.PixelBytes());
    if (!copySelection)
        m_image.SelectionClear();
    if (!copyAlpha)
        m_image.DeleteAlpha();
    m_jpegQuality = src.m_jpegQuality;
}

bool CxImage::Transfer(CxImage& from)
{
    m_image.Destroy();
    m_image.Swap(from.m_image);
    return true;
}

void* CxImage::Create(DWORD width, DWORD height, DWORD bpp, DWORD imageType)
{
    std::string err;
    if (!m_image.Create(static_cast<int>(width), static_cast<int>(height), static_cast<int>(bpp),
                        err)) {
        FailErr(err);
        return nullptr;
    }
    m_image.format = static_cast<int>(imageType);
    return m_image.Bits();
}

bool CxImage::Destroy()
{
    m_image.Destroy();
    return true;
}

bool CxImage::Fail(const char* text)
{
    snprintf(m_lastError, sizeof m_lastError, "%s", text ? text : "Error");
    return false;
}

bool CxImage::FailErr(const std::string& text)
{
    return Fail(text.empty() ? "Error" : text.c_str());
}

bool CxImage::IsTypeSupported(DWORD imageType, bool forWriting)
{
    if (imageType == CXIMAGE_FORMAT_WMF)
        return !forWriting;
    return forWriting ? orv_img::CanEncode(static_cast<int>(imageType))
                      : orv_img::CanDecode(static_cast<int>(imageType));
}

bool CxImage::Load(const WCHAR* fileName, DWORD imageType)
{
    m_image.Destroy();
    std::vector<BYTE> data;
    std::string err;
    if (!ReadWholeFile(fileName, data, err))
        return FailErr(err);
    return Decode(data.data(), static_cast<DWORD>(data.size()), imageType);
}

namespace {

std::vector<WCHAR> Widen(const char* s)
{
    std::vector<WCHAR> w;
    if (!s)
        return w;
    const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    w.resize(n > 0 ? n : 1);
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
    return w;
}

}  // namespace

bool CxImage::Load(const char* fileName, DWORD imageType)
{
    return Load(Widen(fileName).data(), imageType);
}

bool CxImage::Decode(const BYTE* buffer, DWORD size, DWORD imageType)
{
    InstallBandRunner();
    m_image.Destroy();
    m_lastError[0] = 0;
    if (!buffer || size == 0)
        return Fail("Empty file");
    const int detected = orv_img::DetectFormat(buffer, size);
    if (detected == CXIMAGE_FORMAT_WMF ||
        (detected == CXIMAGE_FORMAT_UNKNOWN && imageType == CXIMAGE_FORMAT_WMF))
        return DecodeMetafile(buffer, size);
    std::string err;
    if (!orv_img::DecodeImage(static_cast<int>(imageType), buffer, size, m_image, err))
        return FailErr(err);
    return true;
}

bool CxImage::Encode(std::vector<BYTE>& out, DWORD imageType)
{
    InstallBandRunner();
    out.clear();
    if (!IsValid())
        return Fail("No image");
    if (!IsTypeSupported(imageType, true))
        return Fail("Format not supported for writing");
    std::string err;
    if (!orv_img::EncodeImage(static_cast<int>(imageType), m_image, out, m_jpegQuality, err))
        return FailErr(err);
    return true;
}

bool CxImage::Encode(BYTE*& buffer, long& size, DWORD imageType)
{
    buffer = nullptr;
    size = 0;
    std::vector<BYTE> out;
    if (!Encode(out, imageType))
        return false;
    if (out.size() > 0x7FFFFFFF)
        return Fail("Encoded image too large");
    buffer = static_cast<BYTE*>(malloc(out.size() ? out.size() : 1));
    if (!buffer)
        return Fail("Not enough memory");
    memcpy(buffer, out.data(), out.size());
    size = static_cast<long>(out.size());
    return true;
}

void CxImage::FreeMemory(void* memblock)
{
    free(memblock);
}

bool CxImage::Save(const WCHAR* fileName, DWORD imageType)
{
    std::vector<BYTE> out;
    if (!Encode(out, imageType))
        return false;
    std::string err;
    if (!WriteFileReplacing(fileName, out.data(), out.size(), err))
        return FailErr(err);
    return true;
}

bool CxImage::Save(const char* fileName, DWORD imageType)
{
    return Save(Widen(fileName).data(), imageType);
}

DWORD CxImage::GetTypeFromExtension(const WCHAR* extension)
{
    static const struct {
        const WCHAR* ext;
        DWORD format;
    } kTypes[] = {{L"bmp", CXIMAGE_FORMAT_BMP}, {L"gif", CXIMAGE_FORMAT_GIF},
                  {L"jpg", CXIMAGE_FORMAT_JPG}, {L"jpeg", CXIMAGE_FORMAT_JPG},
                  {L"png", CXIMAGE_FORMAT_PNG}, {L"mng", CXIMAGE_FORMAT_MNG},
                  {L"jng", CXIMAGE_FORMAT_MNG}, {L"ico", CXIMAGE_FORMAT_ICO},
                  {L"cur", CXIMAGE_FORMAT_ICO}, {L"tif", CXIMAGE_FORMAT_TIF},
                  {L"tiff", CXIMAGE_FORMAT_TIF}, {L"tga", CXIMAGE_FORMAT_TGA},
                  {L"pcx", CXIMAGE_FORMAT_PCX}, {L"wbmp", CXIMAGE_FORMAT_WBMP},
                  {L"wmf", CXIMAGE_FORMAT_WMF}, {L"emf", CXIMAGE_FORMAT_WMF},
                  {L"j2k", CXIMAGE_FORMAT_JP2}, {L"jp2", CXIMAGE_FORMAT_JP2},
                  {L"j2c", CXIMAGE_FORMAT_JPC}, {L"jpc", CXIMAGE_FORMAT_JPC},
                  {L"pgx", CXIMAGE_FORMAT_PGX}, {L"pnm", CXIMAGE_FORMAT_PNM},
                  {L"pgm", CXIMAGE_FORMAT_PNM}, {L"ppm", CXIMAGE_FORMAT_PNM},
                  {L"ras", CXIMAGE_FORMAT_RAS}};
    if (!extension)
        return CXIMAGE_FORMAT_UNKNOWN;
    for (const auto& t : kTypes)
        if (!lstrcmpiW(extension, t.ext))
            return t.format;
    return CXIMAGE_FORMAT_UNKNOWN;
}

namespace {

// The extension of a path's file name (after its last "."), or null.
const WCHAR* ExtensionOf(const WCHAR* path)
{
    const WCHAR* dot = nullptr;
    for (const WCHAR* p = path; p && *p; ++p) {
        if (*p == '.')
            dot = p;
        else if (*p == '\\' || *p == '/')
            dot = nullptr;
    }
    return dot ? dot + 1 : nullptr;
}

}  // namespace

DWORD CxImage::GetTypeFromFileName(const WCHAR* fileName)
{
    return GetTypeFromExtension(ExtensionOf(fileName));
}

bool CxImage::LoadAsColour(const WCHAR* fileName)
{
    // Types without a signature (TGA, WBMP) are told by the name.
    if (!Load(fileName, GetTypeFromFileName(fileName)) || !IncreaseBpp(24))
        return false;
    AlphaDelete();
    return true;
}

bool CxImage::SaveByName(const WCHAR* fileName)
{
    const DWORD type = GetTypeFromFileName(fileName);
    if (type != CXIMAGE_FORMAT_WMF)
        return Save(fileName, type);
    std::vector<BYTE> out;
    if (!EncodeMetafile(out, !lstrcmpiW(ExtensionOf(fileName), L"emf")))
        return false;
    std::string err;
    return WriteFileReplacing(fileName, out.data(), out.size(), err) || FailErr(err);
}

bool CxImage::EncodeMetafile(std::vector<BYTE>& out, bool enhanced)
{
    out.clear();
    if (!IsValid())
        return Fail("No image");
    const int w = m_image.Width(), h = m_image.Height();
    // A placeable header holds the size in 16 bits.
    if (!enhanced && (w > 0x7FFF || h > 0x7FFF))
        return Fail("Picture too large for a metafile");
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    FillBitmapInfo(bmi);
    if (enhanced) {
        // The frame is in hundredths of a millimetre, at the 96 dots per inch the
        // reader assumes.
        RECT frame = {0, 0, MulDiv(w, 2540, 96), MulDiv(h, 2540, 96)};
        HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
        if (!dc)
            return Fail("Cannot make a metafile");
        StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, m_image.Bits(), bmi, DIB_RGB_COLORS, SRCCOPY);
        HENHMETAFILE emf = CloseEnhMetaFile(dc);
        const UINT n = emf ? GetEnhMetaFileBits(emf, 0, nullptr) : 0;
        if (n) {
            out.resize(n);
            GetEnhMetaFileBits(emf, n, out.data());
        }
        if (emf)
            DeleteEnhMetaFile(emf);
    } else {
        HDC dc = CreateMetaFileW(nullptr);
        if (!dc)
            return Fail("Cannot make a metafile");
        SetWindowOrgEx(dc, 0, 0, nullptr);
        SetWindowExtEx(dc, w, h, nullptr);
        StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, m_image.Bits(), bmi, DIB_RGB_COLORS, SRCCOPY);
        HMETAFILE wmf = CloseMetaFile(dc);
        const UINT n = wmf ? GetMetaFileBitsEx(wmf, 0, nullptr) : 0;
        if (n) {
            // Placeable header: key, no handle, the box in logical units at 96 per
            // inch, nothing reserved, the checksum of the words before it.
            const WORD head[10] = {0xCDD7, 0x9AC6, 0, 0, 0, WORD(w), WORD(h), 96, 0, 0};
            WORD sum = 0;
            for (WORD word : head)
                sum ^= word;
            out.resize(22 + n);
            memcpy(out.data(), head, 20);
            memcpy(out.data() + 20, &sum, 2);
            GetMetaFileBitsEx(wmf, n, out.data() + 22);
        }
        if (wmf)
            DeleteMetaFile(wmf);
    }
    return !out.empty() || Fail("Cannot make a metafile");
}

bool CxImage::DecodeMetafile(const BYTE* data, size_t size)
{
    using orv_img::detail::Le16;
    using orv_img::detail::Le32;
    HENHMETAFILE emf = nullptr;
    int width = 0, height = 0;
    if (size >= 22 && Le32(data) == 0x9AC6CDD7) {
        // Placeable header: bounding box in logical units and their units per inch.
        const int left = static_cast<int16_t>(Le16(data + 6)), top = static_cast<int16_t>(Le16(data + 8));
        const int right = static_cast<int16_t>(Le16(data + 10)), bottom = static_cast<int16_t>(Le16(data + 12));
        const int inch = Le16(data + 14);
        if (inch <= 0 || right <= left || bottom <= top)
            return Fail("Invalid metafile header");
        width = MulDiv(right - left, 96, inch);
        height = MulDiv(bottom - top, 96, inch);
        METAFILEPICT mfp = {MM_ANISOTROPIC, MulDiv(width, 2540, 96), MulDiv(height, 2540, 96), nullptr};
        emf = SetWinMetaFileBits(static_cast<UINT>(size - 22), data + 22, nullptr, &mfp);
    } else if (size >= 44 && Le32(data) == 1 && !memcmp(data + 40, " EMF", 4)) {
        emf = SetEnhMetaFileBits(static_cast<UINT>(size), data);
    } else {
        emf = SetWinMetaFileBits(static_cast<UINT>(size), data, nullptr, nullptr);
    }
    if (!emf)
        return Fail("Cannot read the metafile");
    ENHMETAHEADER header;
    if (!GetEnhMetaFileHeader(emf, sizeof header, &header)) {
        DeleteEnhMetaFile(emf);
        return Fail("Cannot read the metafile");
    }
    if (width <= 0 || height <= 0) {
        // The frame is in hundredths of a millimetre.
        width = MulDiv(header.rclFrame.right - header.rclFrame.left, 96, 2540);
        height = MulDiv(header.rclFrame.bottom - header.rclFrame.top, 96, 2540);
        if (width <= 0 || height <= 0) {
            width = header.rclBounds.right - header.rclBounds.left + 1;
            height = header.rclBounds.bottom - header.rclBounds.top + 1;
        }
    }
    std::string err;
    // Metafiles are drawings: a sensible screen size, never a memory hog.
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 ||
        !orv_img::CheckImageSize(width, height, 24, err)) {
        DeleteEnhMetaFile(emf);
        return Fail("Invalid metafile size");
    }
    BITMAPINFO bmi;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    bool ok = false;
    if (mem && dib && m_image.Create(width, height, 24, err)) {
        HGDIOBJ old = SelectObject(mem, dib);
        RECT r = {0, 0, width, height};
        FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(mem, emf, &r);
        GdiFlush();
        memcpy(m_image.Bits(), bits, m_image.PixelBytes());
        SelectObject(mem, old);
        m_image.format = CXIMAGE_FORMAT_WMF;
        ok = true;
    }
    if (dib)
        DeleteObject(dib);
    if (mem)
        DeleteDC(mem);
    DeleteEnhMetaFile(emf);
    if (!ok) {
        m_image.Destroy();
        return Fail(err.empty() ? "Not enough memory" : err.c_str());
    }
    return true;
}

BYTE* CxImage::GetBits(DWORD row)
{
    if (!IsValid() || row >= GetHeight())
        return nullptr;
    return m_image.Row(static_cast<int>(row));
}

const BYTE* CxImage::GetBits(DWORD row) const
{
    if (!IsValid() || row >= GetHeight())
        return nullptr;
    return m_image.Row(static_cast<int>(row));
}

RGBQUAD* CxImage::GetPalette()
{
    static_assert(sizeof(PaletteEntry) == sizeof(RGBQUAD), "palette layout");
    return m_image.palette.empty() ? nullptr : reinterpret_cast<RGBQUAD*>(m_image.palette.data());
}

void CxImage::SetPalette(const RGBQUAD* colors, DWORD count)
{
    if (!colors || m_image.palette.empty())
        return;
    const DWORD n = std::min<DWORD>(count, static_cast<DWORD>(m_image.palette.size()));
    for (DWORD i = 0; i < n; ++i)
        m_image.palette[i] = {colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed, 0};
}

void CxImage::SetGrayPalette()
{
    m_image.SetGreyPalette();
}

void CxImage::FillBitmapInfo(BITMAPINFO* info) const
{
    BITMAPINFOHEADER& h = info->bmiHeader;
    memset(&h, 0, sizeof h);
    h.biSize = sizeof h;
    h.biWidth = m_image.Width();
    h.biHeight = m_image.Height();
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(m_image.Bpp());
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(m_image.PixelBytes());
    h.biXPelsPerMeter = MulDiv(m_image.xDpi, 10000, 254);
    h.biYPelsPerMeter = MulDiv(m_image.yDpi, 10000, 254);
    h.biClrUsed = static_cast<DWORD>(m_image.palette.size());
    for (size_t i = 0; i < m_image.palette.size(); ++i) {
        const PaletteEntry& e = m_image.palette[i];
        info->bmiColors[i] = {e.b, e.g, e.r, 0};
    }
}

bool CxImage::IsInside(long x, long y) const
{
    return IsValid() && x >= 0 && y >= 0 && x < static_cast<long>(GetWidth()) &&
           y < static_cast<long>(GetHeight());
}

RGBQUAD CxImage::GetPixelColor(long x, long y, bool getAlpha) const
{
    RGBQUAD q = {0, 0, 0, 0};
    if (!IsInside(x, y))
        return q;
    const int top = m_image.Height() - 1 - static_cast<int>(y);
    const PaletteEntry c = m_image.GetColor(static_cast<int>(x), top);
    q.rgbBlue = c.b;
    q.rgbGreen = c.g;
    q.rgbRed = c.r;
    if (getAlpha)
        q.rgbReserved = AlphaGet(x, y);
    return q;
}

BYTE CxImage::GetPixelIndex(long x, long y) const
{
    if (!IsInside(x, y) || m_image.Bpp() > 8)
        return 0;
    return m_image.GetIndex(static_cast<int>(x), m_image.Height() - 1 - static_cast<int>(y));
}

void CxImage::SetPixelIndex(long x, long y, BYTE index)
{
    if (IsInside(x, y) && m_image.Bpp() <= 8)
        m_image.SetIndex(static_cast<int>(x), m_image.Height() - 1 - static_cast<int>(y), index);
}

void CxImage::SetPixelColor(long x, long y, RGBQUAD color, bool setAlpha)
{
    if (!IsInside(x, y))
        return;
    if (m_image.Bpp() == 24) {
        BYTE* p = m_image.Row(static_cast<int>(y)) + 3 * x;
        p[0] = color.rgbBlue;
        p[1] = color.rgbGreen;
        p[2] = color.rgbRed;
    } else {
        // The nearest palette entry.
        int best = 0, bestDist = 1 << 30;
        for (size_t i = 0; i < m_image.palette.size(); ++i) {
            const PaletteEntry& e = m_image.palette[i];
            const int d = (e.r - color.rgbRed) * (e.r - color.rgbRed) +
                          (e.g - color.rgbGreen) * (e.g - color.rgbGreen) +
                          (e.b - color.rgbBlue) * (e.b - color.rgbBlue);
            if (d < bestDist) {
                bestDist = d;
                best = static_cast<int>(i);
            }
        }
        SetPixelIndex(x, y, static_cast<BYTE>(best));
    }
    if (setAlpha)
        AlphaSet(x, y, color.rgbReserved);
}

BYTE CxImage::AlphaGet(long x, long y) const
{
    if (!IsInside(x, y) || !m_image.HasAlpha())
        return 255;
    return m_image.Alpha()[static_cast<size_t>(y) * m_image.Width() + x];
}

void CxImage::AlphaSet(long x, long y, BYTE level)
{
    if (IsInside(x, y) && (m_image.HasAlpha() || m_image.CreateAlpha()))
        m_image.Alpha()[static_cast<size_t>(y) * m_image.Width() + x] = level;
}

BYTE* CxImage::AlphaGetPointer(long x, long y)
{
    if (!IsInside(x, y) || !m_image.HasAlpha())
        return nullptr;
    return m_image.Alpha() + static_cast<size_t>(y) * m_image.Width() + x;
}

bool CxImage::SelectionAddRect(RECT r, BYTE level)
{
    if (!IsValid() || level == 0)
        return false;
    m_image.SelectionAddRect(r.left, r.top, r.right, r.bottom);
    return m_image.SelectionValid();
}

bool CxImage::SelectionClear()
{
    m_image.SelectionClear();
    return true;
}

void CxImage::SelectionGetBox(RECT& r) const
{
    int l = 0, t = 0, rr = 0, b = 0;
    if (m_image.SelectionValid())
        m_image.SelectionBox(l, t, rr, b);
    r.left = l;
    r.top = t;
    r.right = rr;
    r.bottom = b;
}

bool CxImage::Crop(long left, long top, long right, long bottom, CxImage* dst)
{
    if (!IsValid())
        return Fail("No image");
    PixelImage work(m_image);
    std::string err;
    if (!work.IsValid() || !work.Crop(static_cast<int>(left), static_cast<int>(top),
                                      static_cast<int>(right), static_cast<int>(bottom), err))
        return FailErr(err.empty() ? "Not enough memory" : err);
    if (dst)
        dst->m_image.Swap(work);
    else
        m_image.Swap(work);
    return true;
}

bool CxImage::Crop(const RECT& r, CxImage* dst)
{
    return Crop(r.left, r.top, r.right, r.bottom, dst);
}

bool CxImage::Flip()
{
    return IsValid() ? m_image.Flip() : Fail("No image");
}

bool CxImage::Mirror()
{
    return IsValid() ? m_image.Mirror() : Fail("No image");
}

namespace {

template <typename Op>
bool Transform(CxImage& self, PixelImage& image, CxImage* dst, Op op, std::string& err)
{
    if (!dst || dst == &self)
        return op(image, err);
    dst->Pixels() = image;
    if (!dst->Pixels().IsValid()) {
        err = "Not enough memory";
        return false;
    }
    return op(dst->Pixels(), err);
}

}  // namespace

bool CxImage::RotateLeft(CxImage* dst)
{
    if (!IsValid())
        return Fail("No image");
    std::string err;
    const bool ok = Transform(*this, m_image, dst,
                              [](PixelImage& i, std::string& e) { return i.RotateLeft(e); }, err);
    return ok || FailErr(err);
}

bool CxImage::RotateRight(CxImage* dst)
{
    if (!IsValid())
        return Fail("No image");
    std::string err;
    const bool ok = Transform(*this, m_image, dst,
                              [](PixelImage& i, std::string& e) { return i.RotateRight(e); }, err);
    return ok || FailErr(err);
}

bool CxImage::Rotate180(CxImage* dst)
{
    if (!IsValid())
        return Fail("No image");
    std::string err;
    const bool ok = Transform(*this, m_image, dst,
                              [](PixelImage& i, std::string&) { return i.Rotate180(); }, err);
    return ok || FailErr(err);
}

bool CxImage::Resample(long newWidth, long newHeight, int mode, CxImage* dst)
{
    if (!IsValid())
        return Fail("No image");
    std::string err;
    const int w = static_cast<int>(newWidth), h = static_cast<int>(newHeight);
    const bool ok = Transform(*this, m_image, dst,
                              [&](PixelImage& i, std::string& e) { return i.Resample(w, h, mode, e); },
                              err);
    return ok || FailErr(err);
}

bool CxImage::IncreaseBpp(DWORD bits)
{
    if (!IsValid())
        return Fail("No image");
    if (static_cast<int>(bits) <= m_image.Bpp())
        return true;
    if (bits != 24) {
        // Indexed to a wider index: same colours, more room in the palette.
        PixelImage out;
        std::string err;
        if (!out.Create(m_image.Width(), m_image.Height(), static_cast<int>(bits), err))
            return FailErr(err);
        out.palette.assign(out.palette.size(), PaletteEntry{0, 0, 0, 0});
        std::copy(m_image.palette.begin(), m_image.palette.end(), out.palette.begin());
        for (int y = 0; y < m_image.Height(); ++y)
            for (int x = 0; x < m_image.Width(); ++x)
                out.SetIndex(x, y, m_image.GetIndex(x, y));
        if (m_image.HasAlpha() && out.CreateAlpha())
            memcpy(out.Alpha(), m_image.Alpha(), static_cast<size_t>(out.Width()) * out.Height());
        out.format = m_image.format;
        m_image.Swap(out);
        return true;
    }
    std::string err;
    return m_image.ConvertTo24(err) || FailErr(err);
}

bool CxImage::GrayScale()
{
    if (!IsValid())
        return Fail("No image");
    std::string err;
    return m_image.ConvertToGrey(err) || FailErr(err);
}

bool CxImage::Light(long brightness, long contrast)
{
    if (!IsValid())
        return Fail("No image");
    if (brightness == 0 && contrast == 0)
        return true;
    return m_image.Light(brightness, contrast);
}

bool CxImage::Gamma(float gamma)
{
    if (!IsValid())
        return Fail("No image");
    if (gamma <= 0)
        return Fail("Invalid gamma");
    if (gamma == 1.0f)
        return true;
    return m_image.Gamma(gamma);
}

bool CxImage::Saturate(long saturation, long colorSpace)
{
    (void)colorSpace;
    if (!IsValid())
        return Fail("No image");
    return m_image.Saturate(saturation);
}

long CxImage::Draw(HDC hdc, const RECT& rect, RECT* pClipRect, bool smooth) const
{
    return Draw(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, pClipRect,
                smooth);
}

namespace {

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

}  // namespace

long CxImage::Draw(HDC hdc, long x, long y, long cx, long cy, RECT* pClipRect, bool smooth) const
{
    if (!hdc || !IsValid())
        return 0;
    const long w = m_image.Width(), h = m_image.Height();
    if (cx < 0)
        cx = w;
    if (cy < 0)
        cy = h;
    if (cx == 0 || cy == 0)
        return 0;
    RECT dest = {static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + cx),
                 static_cast<LONG>(y + cy)};
    RECT clip;
    if (GetClipBox(hdc, &clip) == ERROR)
        clip = dest;
    RECT visible;
    if (!IntersectRect(&visible, &dest, &clip))
        return 1;
    if (pClipRect && !IntersectRect(&visible, &visible, pClipRect))
        return 1;
    // Only the source columns and rows behind the visible part are handed over.
    const double fx = static_cast<double>(w) / cx, fy = static_cast<double>(h) / cy;
    long sx0 = static_cast<long>((visible.left - x) * fx);
    long sx1 = static_cast<long>((visible.right - x) * fx + 0.999999);
    long sy0 = static_cast<long>((visible.top - y) * fy);
    long sy1 = static_cast<long>((visible.bottom - y) * fy + 0.999999);
    sx0 = std::max(0L, std::min(sx0, w - 1));
    sy0 = std::max(0L, std::min(sy0, h - 1));
    sx1 = std::max(sx0 + 1, std::min(sx1, w));
    sy1 = std::max(sy0 + 1, std::min(sy1, h));
    const long dx0 = x + static_cast<long>(sx0 * cx / static_cast<double>(w) + 0.5);
    const long dx1 = x + static_cast<long>(sx1 * cx / static_cast<double>(w) + 0.5);
    const long dy0 = y + static_cast<long>(sy0 * cy / static_cast<double>(h) + 0.5);
    const long dy1 = y + static_cast<long>(sy1 * cy / static_cast<double>(h) + 0.5);

    const int saved = SaveDC(hdc);
    if (pClipRect)
        IntersectClipRect(hdc, pClipRect->left, pClipRect->top, pClipRect->right, pClipRect->bottom);
    SetStretchBltMode(hdc, smooth ? HALFTONE : COLORONCOLOR);
    if (smooth)
        SetBrushOrgEx(hdc, 0, 0, nullptr);
    long result = 1;
    if (!m_image.HasAlpha()) {
        BitmapInfo256 info;
        FillBitmapInfo(reinterpret_cast<BITMAPINFO*>(&info));
        // A bottom-up DIB's source rectangle is measured from its last row.
        result = StretchDIBits(hdc, dx0, dy0, dx1 - dx0, dy1 - dy0, sx0, h - sy1, sx1 - sx0,
                               sy1 - sy0, m_image.Bits(), reinterpret_cast<BITMAPINFO*>(&info),
                               DIB_RGB_COLORS, SRCCOPY) != 0;
    } else {
        // Blend over what the context holds: a premultiplied 32-bit section of the part.
        const long pw = sx1 - sx0, ph = sy1 - sy0;
        BITMAPINFO bmi;
        memset(&bmi, 0, sizeof bmi);
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = pw;
        bmi.bmiHeader.biHeight = -ph;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC mem = CreateCompatibleDC(hdc);
        HBITMAP dib = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (mem && dib) {
            BYTE* d = static_cast<BYTE*>(bits);
            for (long r = 0; r < ph; ++r)
                for (long c = 0; c < pw; ++c, d += 4) {
                    const PaletteEntry px = m_image.GetColor(sx0 + c, sy0 + r);
                    const unsigned a = m_image.Alpha()[static_cast<size_t>(h - 1 - (sy0 + r)) * w + sx0 + c];
                    d[0] = static_cast<BYTE>(px.b * a / 255);
                    d[1] = static_cast<BYTE>(px.g * a / 255);
                    d[2] = static_cast<BYTE>(px.r * a / 255);
                    d[3] = static_cast<BYTE>(a);
                }
            HGDIOBJ old = SelectObject(mem, dib);
            BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            result = GdiAlphaBlend(hdc, dx0, dy0, dx1 - dx0, dy1 - dy0, mem, 0, 0, pw, ph, bf) != 0;
            SelectObject(mem, old);
        } else {
            result = 0;
        }
        if (dib)
            DeleteObject(dib);
        if (mem)
            DeleteDC(mem);
    }
    RestoreDC(hdc, saved);
    return result;
}

bool CxImage::CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette)
{
    (void)palette;
    m_image.Destroy();
    BITMAP bm;
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm))
        return Fail("Invalid bitmap");
    const int bpp = bm.bmBitsPixel <= 8 ? 8 : 24;
    std::string err;
    if (!m_image.Create(bm.bmWidth, bm.bmHeight, bpp, err))
        return FailErr(err);
    BitmapInfo256 info;
    memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = bm.bmWidth;
    info.header.biHeight = bm.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bpp);
    HDC dc = GetDC(nullptr);
    const int got = GetDIBits(dc, bitmap, 0, bm.bmHeight, m_image.Bits(),
                              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (got != bm.bmHeight) {
        m_image.Destroy();
        return Fail("Cannot read the bitmap");
    }
    if (bpp == 8)
        for (int i = 0; i < 256; ++i)
            m_image.palette[i] = {info.colors[i].rgbBlue, info.colors[i].rgbGreen,
                                  info.colors[i].rgbRed, 0};
    return true;
}

HBITMAP CxImage::MakeBitmap(HDC hdc) const
{
    if (!IsValid())
        return nullptr;
    BitmapInfo256 info;
    FillBitmapInfo(reinterpret_cast<BITMAPINFO*>(&info));
    void* bits = nullptr;
    HDC dc = hdc ? hdc : GetDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    if (!hdc)
        ReleaseDC(nullptr, dc);
    if (bmp && bits)
        memcpy(bits, m_image.Bits(), m_image.PixelBytes());
    return bmp;
}

#include "app/browse/AviFrameReader.h"
#include "afxprotect.h"

namespace {

DWORD Stride24(LONG width) { return ((DWORD)width * 3 + 3) & ~3u; }

bool ReadHeld(void* source, uint64_t offset, void* buf, size_t n)
{
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)offset;
    DWORD got = 0;
    return n <= 0xFFFFFFFFu && ::SetFilePointerEx((HANDLE)source, at, NULL, FILE_BEGIN) &&
           ::ReadFile((HANDLE)source, buf, (DWORD)n, &got, NULL) && got == n;
}

}  // namespace

CAviFrameReader::CAviFrameReader()
    : m_hold(INVALID_HANDLE_VALUE), m_width(0), m_height(0), m_file(NULL), m_video(NULL), m_getFrame(NULL), m_hasFrame(FALSE),
      m_comStarted(FALSE)
{
    // AVIFile finds its handlers through COM: any thread may read a video.
    const HRESULT hr = ::CoInitialize(NULL);
    m_comStarted = SUCCEEDED(hr);
    ::AVIFileInit();
    memset(&m_header, 0, sizeof(m_header));
    memset(&m_info, 0, sizeof(m_info));
}

CAviFrameReader::~CAviFrameReader()
{
    Close();
    ::AVIFileExit();
    if (m_comStarted) ::CoUninitialize();
}

BOOL CAviFrameReader::CheckStructure(LPCWSTR path)
{
    m_facts = avi_check::AviFacts();
    m_hold = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (m_hold == INVALID_HANDLE_VALUE) {
        m_facts.problem = "cannot open the file";
        return FALSE;
    }
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hold, &size)) {
        m_facts.problem = "cannot read the file size";
        return FALSE;
    }
    return avi_check::CheckAvi(ReadHeld, m_hold, (uint64_t)size.QuadPart, m_facts);
}

int CAviFrameReader::Open(LPCWSTR path)
{
    Close();
    m_path = path;
    if (!CheckStructure(path)) {
        Close();
        return 0;
    }
    if (::AVIFileOpenW(&m_file, path, OF_READ | OF_SHARE_DENY_NONE, NULL) != 0) {
        m_file = NULL;
        return 0;
    }
    if (::AVIFileInfoW(m_file, &m_info, sizeof(m_info)) != 0 ||
        ::AVIFileGetStream(m_file, &m_video, streamtypeVIDEO, 0) != 0 || m_video == NULL) {
        m_video = NULL;
        Close();
        return 0;
    }
    m_width = LOWORD(m_info.dwWidth);
    m_height = LOWORD(m_info.dwHeight);
    if (m_width == 0 || m_height == 0 || (ULONGLONG)m_width * m_height > kMaxPixels) {
        Close();
        return 0;
    }
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = m_width;
    m_header.biHeight = m_height;
    m_header.biPlanes = 1;
    m_header.biBitCount = 24;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = Stride24(m_width) * m_height;
    return 1;
}

LONG CAviFrameReader::GetFrameCount() const
{
    if (m_video == NULL) return 0;
    // Only frames the index holds can be read.
    const LONG length = ::AVIStreamLength(m_video);
    return length < (LONG)m_facts.frames ? length : (LONG)m_facts.frames;
}

int CAviFrameReader::ReadFrame(int index)
{
    m_hasFrame = FALSE;
    if (m_video == NULL || index < 0 || index >= GetFrameCount()) return 0;
    if (m_getFrame == NULL) {
        BITMAPINFOHEADER wanted = m_header;
        m_getFrame = ::AVIStreamGetFrameOpen(m_video, &wanted);
        // Some decompressors only offer their own output; 32-bit is taken as well.
        if (m_getFrame == NULL) m_getFrame = ::AVIStreamGetFrameOpen(m_video, NULL);
        if (m_getFrame == NULL) return 0;
    }
    const BITMAPINFOHEADER* dib =
        (const BITMAPINFOHEADER*)::AVIStreamGetFrame(m_getFrame, ::AVIStreamStart(m_video) + index);
    if (dib == NULL || dib->biSize < sizeof(BITMAPINFOHEADER) || dib->biCompression != BI_RGB ||
        (dib->biBitCount != 24 && dib->biBitCount != 32) || dib->biPlanes != 1)
        return 0;
    const LONG width = dib->biWidth;
    const LONG height = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF ||
        (ULONGLONG)width * height > kMaxPixels)
        return 0;
    const BYTE* bits = (const BYTE*)dib + dib->biSize + dib->biClrUsed * sizeof(RGBQUAD);
    const DWORD srcStride = (DWORD)((((ULONGLONG)width * dib->biBitCount + 31) / 32) * 4);
    const DWORD dstStride = Stride24(width);
    const int bytesPerPixel = dib->biBitCount / 8;
    m_frame.assign((size_t)dstStride * height, 0);
    for (LONG y = 0; y < height; ++y) {
        // Our rows are bottom-up; a negative height means the frame's are top-down.
        const LONG srcRow = dib->biHeight < 0 ? height - 1 - y : y;
        const BYTE* src = bits + (size_t)srcRow * srcStride;
        BYTE* dst = &m_frame[(size_t)y * dstStride];
        if (bytesPerPixel == 3) {
            memcpy(dst, src, (size_t)width * 3);
        } else {
            for (LONG x = 0; x < width; ++x) {
                dst[x * 3] = src[x * 4];
                dst[x * 3 + 1] = src[x * 4 + 1];
                dst[x * 3 + 2] = src[x * 4 + 2];
            }
        }
    }
    m_width = (WORD)width;
    m_height = (WORD)height;
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biSizeImage = dstStride * height;
    m_hasFrame = TRUE;
    return 1;
}

BOOL CAviFrameReader::GetFrameBmp(std::vector<BYTE>& out) const
{
    if (!m_hasFrame) return FALSE;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;   // "BM"
    file.bfSize = offset + (DWORD)m_frame.size();
    file.bfOffBits = offset;
    out.resize(file.bfSize);
    memcpy(&out[0], &file, sizeof(file));
    memcpy(&out[sizeof(file)], &m_header, sizeof(m_header));
    memcpy(&out[offset], m_frame.data(), m_frame.size());
    return TRUE;
}

int CAviFrameReader::WriteFrameBmp(LPCWSTR target) const
{
    std::vector<BYTE> bmp;
    if (!GetFrameBmp(bmp)) return 0;
    HANDLE file = AfxCreateFileRespectingProtection(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bmp.data(), (DWORD)bmp.size(), &written, NULL) && written == bmp.size();
    ::CloseHandle(file);
    return ok ? 1 : 0;
}

int CAviFrameReader::Close()
{
    if (m_getFrame != NULL) ::AVIStreamGetFrameClose(m_getFrame);
    m_getFrame = NULL;
    if (m_video != NULL) ::AVIStreamRelease(m_video);
    m_video = NULL;
    if (m_file != NULL) ::AVIFileRelease(m_file);
    m_file = NULL;
    if (m_hold != INVALID_HANDLE_VALUE) ::CloseHandle(m_hold);
    m_hold = INVALID_HANDLE_VALUE;
    m_frame.clear();
    m_hasFrame = FALSE;
    return 1;
}

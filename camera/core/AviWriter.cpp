#include "camera/core/AviWriter.h"

CAviWriter::CAviWriter()
    : m_open(FALSE), m_width(0), m_height(0), m_rate(10 * 1000000), m_compressor(kUncompressed),
      m_file(nullptr), m_stream(nullptr), m_compressed(nullptr)
{
    AVIFileInit();
    m_hEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CAviWriter::~CAviWriter()
{
    Close();
    CloseHandle(m_hEnd);
    AVIFileExit();
}

void CAviWriter::ReleaseStreams()
{
    if (m_compressed) {
        AVIStreamRelease(m_compressed);
        m_compressed = nullptr;
    }
    if (m_stream) {
        AVIStreamRelease(m_stream);
        m_stream = nullptr;
    }
    if (m_file) {
        AVIFileRelease(m_file);
        m_file = nullptr;
    }
}

// A failed open leaves no empty file behind to take the recording's name.
static void DropFile(LPCWSTR path)
{
    DeleteFileW(path);
}

int CAviWriter::Open(LPCWSTR path, int width, int height)
{
    if (width <= 0 || height <= 0 || !path || !path[0])
        return 0;
    CSingleLock lock(&m_lock, TRUE);
    if (m_open)
        return 0;
    // The display thread opens the parts of a split recording.
    CoInitialize(nullptr);
    m_path = path;
    m_width = width;
    m_height = height;
    const LONG frameBytes = static_cast<LONG>(width) * height * 3;

    if (AVIFileOpenW(&m_file, path, OF_CREATE | OF_WRITE, nullptr) != AVIERR_OK) {
        m_file = nullptr;
        return 0;
    }
    AVISTREAMINFOW info = {};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = 0;
    info.dwScale = 1000000;
    info.dwRate = m_rate;
    info.dwSuggestedBufferSize = static_cast<DWORD>(frameBytes);
    SetRect(&info.rcFrame, 0, 0, width, height);
    if (AVIFileCreateStreamW(m_file, &m_stream, &info) != AVIERR_OK) {
        m_stream = nullptr;
        ReleaseStreams();
        DropFile(path);
        return 0;
    }
    if (IsCompressed()) {
        AVICOMPRESSOPTIONS options = {};
        options.fccType = streamtypeVIDEO;
        options.fccHandler = m_compressor;
        if (AVIMakeCompressedStream(&m_compressed, m_stream, &options, nullptr) != AVIERR_OK) {
            m_compressed = nullptr;
            ReleaseStreams();
            DropFile(path);
            return 0;
        }
    }
    BITMAPINFOHEADER format = {};
    format.biSize = sizeof format;
    format.biWidth = width;
    format.biHeight = height;
    format.biPlanes = 1;
    format.biBitCount = 24;
    format.biCompression = BI_RGB;
    format.biSizeImage = static_cast<DWORD>(frameBytes);
    PAVISTREAM target = m_compressed ? m_compressed : m_stream;
    if (AVIStreamSetFormat(target, 0, &format, sizeof format) != AVIERR_OK) {
        ReleaseStreams();
        DropFile(path);
        return 0;
    }
    m_open = TRUE;
    return 1;
}

int CAviWriter::Write(const BYTE* pixels, LONG position, LONG* bytes)
{
    CSingleLock lock(&m_lock, TRUE);
    if (bytes)
        *bytes = 0;
    if (!pixels || !m_open)
        return 0;
    PAVISTREAM target = m_compressed ? m_compressed : m_stream;
    LONG samples = 0, written = 0;
    const HRESULT hr = AVIStreamWrite(target, position, 1, const_cast<BYTE*>(pixels),
                                      m_width * m_height * 3, AVIIF_KEYFRAME, &samples, &written);
    if (bytes)
        *bytes = written;
    return hr == AVIERR_OK ? 1 : 0;
}

int CAviWriter::Close()
{
    CSingleLock lock(&m_lock, TRUE);
    m_open = FALSE;
    ReleaseStreams();
    return 1;
}

INT64 CAviWriter::FileBytes() const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(m_path, GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<INT64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

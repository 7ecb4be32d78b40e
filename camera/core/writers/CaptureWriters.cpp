#include "CaptureWriters.h"
#include "afxprotect.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "BufferedFileStream.h"
#include "WriterCodecs.h"

namespace {

// Capture-format codes as the capture settings carry them.
const int kFormatJpeg = 1;
const int kFormatBmp = 2;
const int kFormatRaw = 4;
const int kFormatTiff = 8;

const int kJpegQuality = 75;

void DefaultMessageBox(const WCHAR* text)
{
    MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONEXCLAMATION);
}

void DefaultErrorStream(const char* text)
{
    fputs(text, stderr);
    fflush(stderr);
}

WriterMessageReporter g_messageBox = DefaultMessageBox;
WriterErrorReporter g_errorStream = DefaultErrorStream;

// Writes the whole block; WriteFile may move fewer bytes than asked.
bool WriteAll(HANDLE file, const void* data, size_t size)
{
    const BYTE* p = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        size -= written;
    }
    return true;
}

HANDLE CreateTruncated(LPCWSTR path)
{
    return AfxCreateFileRespectingProtection(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL);
}

// BMP and RAW failures: reported, never thrown into the capture worker.
int ReportPlainWriteFailure(HANDLE file)
{
    if (file == INVALID_HANDLE_VALUE) {
        g_errorStream("Cannot open file for output.\n");
    } else {
        CloseHandle(file);
        g_errorStream("Write error.\n");
    }
    return WRITER_FAILED;
}

// bgr: bottom-up rows of B,G,R samples, little-endian when 16 bits wide.
int WriteTiffPage(LPCWSTR path, const BYTE* bgr, int width, int height, int bitsPerSample)
{
    HANDLE file = AfxCreateFileRespectingProtection(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        g_errorStream("Cannot open file for output.\n");
        return WRITER_TIFF_OPEN_FAILED;
    }
    BufferedFileStream stream(file);
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 3 * (bitsPerSample / 8);
    unsigned long failedRow = 0;
    int rc = orv_codec::AppendTiffPage(stream.Table(), "capture.tif", bgr + stride * (height - 1),
                                       -stride, width, height, bitsPerSample,
                                       orv_codec::PIXELS_BGR, &failedRow);
    if (rc == orv_codec::CODEC_OK && !stream.Flush()) {
        // The gathered tail holds the last rows.
        rc = orv_codec::CODEC_ROW_FAILED;
        failedRow = static_cast<unsigned long>(height - 1);
    }
    CloseHandle(file);
    switch (rc) {
    case orv_codec::CODEC_OK:
        return WRITER_OK;
    case orv_codec::CODEC_OPEN_FAILED:
        g_errorStream("Cannot open file for output.\n");
        return WRITER_TIFF_OPEN_FAILED;
    case orv_codec::CODEC_ROW_FAILED: {
        char line[64];
        snprintf(line, sizeof line, "scanline %lu: Write error.\n", failedRow);
        g_errorStream(line);
        return WRITER_FAILED;
    }
    default:
        return WRITER_FAILED;
    }
}

// 16-bit little-endian samples to 8 bits by keeping the high (second) byte.
void ReduceSamplesTo8Bits(const BYTE* samples16, BYTE* samples8, size_t sampleCount)
{
    for (size_t i = 0; i < sampleCount; ++i)
        samples8[i] = samples16[2 * i + 1];
}

size_t PixelCount(int width, int height)
{
    return static_cast<size_t>(width) * static_cast<size_t>(height);
}

}  // namespace

void SetWriterReporters(WriterMessageReporter messageBox, WriterErrorReporter errorStream)
{
    g_messageBox = messageBox ? messageBox : DefaultMessageBox;
    g_errorStream = errorStream ? errorStream : DefaultErrorStream;
}

int WriteBmpFile(LPCWSTR path, const BYTE* bgr, int width, int height)
{
    if (!bgr || width <= 0 || height <= 0)
        return WRITER_FAILED;
    // Rows of a bitmap file are padded to four bytes; the capture widths need none,
    // but a crop of any width must still give a readable file.
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t stride = (rowBytes + 3) & ~static_cast<size_t>(3);
    const size_t imageBytes = stride * static_cast<size_t>(height);

    BYTE header[54] = {};
    BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(header);
    BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(header + 14);
    static_assert(sizeof(BITMAPFILEHEADER) == 14 && sizeof(BITMAPINFOHEADER) == 40,
                  "bitmap headers must be packed");
    fh->bfType = 0x4D42;  // "BM"
    fh->bfSize = static_cast<DWORD>(sizeof header + imageBytes);
    fh->bfOffBits = sizeof header;
    ih->biSize = sizeof(BITMAPINFOHEADER);
    ih->biWidth = width;
    ih->biHeight = height;  // positive: bottom-up, as the buffer is
    ih->biPlanes = 1;
    ih->biBitCount = 24;
    ih->biCompression = BI_RGB;

    HANDLE file = CreateTruncated(path);
    if (file == INVALID_HANDLE_VALUE)
        return ReportPlainWriteFailure(file);
    bool ok = WriteAll(file, header, sizeof header);
    if (ok && stride == rowBytes) {
        ok = WriteAll(file, bgr, imageBytes);
    } else {
        static const BYTE pad[3] = {};
        for (int y = 0; ok && y < height; ++y)
            ok = WriteAll(file, bgr + rowBytes * y, rowBytes) &&
                 WriteAll(file, pad, stride - rowBytes);
    }
    if (!ok)
        return ReportPlainWriteFailure(file);
    CloseHandle(file);
    return WRITER_OK;
}

int WriteJpegFile(LPCWSTR path, const BYTE* bgr, int width, int height)
{
    if (!bgr) {
        g_messageBox(L"No Image!");
        return WRITER_FAILED;
    }
    if (width <= 0 || height <= 0) {
        g_messageBox(L"Write Error");
        return WRITER_FAILED;
    }
    HANDLE file = CreateTruncated(path);
    if (file == INVALID_HANDLE_VALUE) {
        WCHAR text[1100];
        wsprintfW(text, L"JpegFile :\nCan't open %s\n", path);
        g_messageBox(text);
        g_messageBox(L"Write Error");
        return WRITER_FAILED;
    }
    // The encoder walks the bottom-up B,G,R rows from the top row down; a flipped,
    // swapped copy of the frame would only cost time.
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 3;
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    int rc = orv_codec::EncodeJpeg(bgr + stride * (height - 1), -stride, width, height,
                                   orv_codec::PIXELS_BGR, kJpegQuality, &jpeg, &jpegSize);
    bool written = rc == orv_codec::CODEC_OK && WriteAll(file, jpeg, jpegSize);
    orv_codec::FreeJpegBuffer(jpeg);
    CloseHandle(file);
    if (written)
        return WRITER_OK;
    g_messageBox(rc == orv_codec::CODEC_NO_MEMORY ? L"memory is over!" : L"Write Error");
    return WRITER_FAILED;
}

// Both TIFF writers bring the rows top-down and the samples into R,G,B order a row
// at a time while writing, instead of through a reordered copy of the frame.
int WriteTiffFile(LPCWSTR path, const BYTE* bgr, int width, int height)
{
    if (!bgr || width <= 0 || height <= 0)
        return WRITER_FAILED;
    return WriteTiffPage(path, bgr, width, height, 8);
}

int WriteTiffFile16(LPCWSTR path, const BYTE* bgr16, int width, int height)
{
    if (!bgr16 || width <= 0 || height <= 0)
        return WRITER_FAILED;
    return WriteTiffPage(path, bgr16, width, height, 16);
}

int WriteRawFile(LPCWSTR path, const void* data, DWORD size)
{
    if (!data)
        return WRITER_FAILED;
    HANDLE file = CreateTruncated(path);
    if (file == INVALID_HANDLE_VALUE || !WriteAll(file, data, size))
        return ReportPlainWriteFailure(file);
    CloseHandle(file);
    return WRITER_OK;
}

int SaveCaptureImage(int captureType, LPCWSTR path, const BYTE* buffer, int width,
                     int height, BOOL is16Bit)
{
    if (width <= 0 || height <= 0)
        return WRITER_FAILED;
    const size_t pixels = PixelCount(width, height);
    switch (captureType) {
    case kFormatRaw:
        return WriteRawFile(path, buffer, static_cast<DWORD>(pixels * (is16Bit ? 2 : 1)));
    case kFormatTiff:
        return is16Bit ? WriteTiffFile16(path, buffer, width, height)
                       : WriteTiffFile(path, buffer, width, height);
    case kFormatJpeg:
    case kFormatBmp:
    default:  // an unknown code was named ".bmp"; write what the name promises
        break;
    }
    BYTE* reduced = nullptr;
    if (is16Bit && buffer) {
        reduced = static_cast<BYTE*>(malloc(pixels * 3));
        if (!reduced)
            return WRITER_FAILED;
        ReduceSamplesTo8Bits(buffer, reduced, pixels * 3);
    }
    const BYTE* pixels8 = reduced ? reduced : buffer;
    int result = captureType == kFormatJpeg ? WriteJpegFile(path, pixels8, width, height)
                                            : WriteBmpFile(path, pixels8, width, height);
    free(reduced);
    return result;
}

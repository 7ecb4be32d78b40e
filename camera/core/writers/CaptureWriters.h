// Still writers of the camera library: BMP, JPEG, TIFF (8 and 16 bits per sample)
// and RAW, and the save dispatcher the capture workers call.
//
// Buffers are width x height pixels of 3 bytes (8-bit samples) or 6 bytes (16-bit
// little-endian samples), rows bottom-up, samples in blue, green, red order, as a
// device-independent bitmap holds them; RAW buffers are the device's frame bytes.
// Paths are Windows paths. No writer throws: failures are reported (message box or
// error stream, below) and answered with a result code; the capture goes on.
#pragma once

#include <windows.h>

enum CaptureWriterResult {
    WRITER_FAILED = 0,           // nothing or not all was written (or no working copy)
    WRITER_OK = 1,
    WRITER_TIFF_OPEN_FAILED = 2, // the TIFF writers could not open or append to the file
};

// Where the writers' texts go. The message-box reporter gets the JPEG writer's texts
// ("No Image!", "memory is over!", "Write Error", ...); the error-stream reporter
// gets the lines the TIFF, BMP and RAW writers print. Both run on the writing
// thread. Passing null restores the defaults (MessageBoxW, the standard error stream).
typedef void (*WriterMessageReporter)(const WCHAR* text);
typedef void (*WriterErrorReporter)(const char* text);
void SetWriterReporters(WriterMessageReporter messageBox, WriterErrorReporter errorStream);

int WriteBmpFile(LPCWSTR path, const BYTE* bgr, int width, int height);
int WriteJpegFile(LPCWSTR path, const BYTE* bgr, int width, int height);
// The TIFF writers append a page when the file already holds a TIFF.
int WriteTiffFile(LPCWSTR path, const BYTE* bgr, int width, int height);
int WriteTiffFile16(LPCWSTR path, const BYTE* bgr16, int width, int height);
int WriteRawFile(LPCWSTR path, const void* data, DWORD size);

// Writes one still in the capture format (1 JPEG, 2 BMP, 4 RAW, 8 TIFF; any other
// code writes a BMP, matching the ".bmp" name it was given). 16-bit input goes to
// JPEG and BMP as the high byte of each sample, to RAW as width x height x 2 bytes,
// to TIFF as 16 bits per sample. Answers the writer's result.
int SaveCaptureImage(int captureType, LPCWSTR path, const BYTE* buffer, int width,
                     int height, BOOL is16Bit);

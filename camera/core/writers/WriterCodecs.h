// Native codec side of the still writers. This header and WriterCodecs.cpp see no
// Win32 header (jpeglib and tiffio collide with windows.h); they deal in plain
// buffers, sizes and result codes only. File I/O stays on the Win32 side: JPEG is
// encoded into memory, TIFF pages go through the caller's stream table.
#pragma once

#include <stddef.h>

namespace orv_codec {

enum CodecResult {
    CODEC_OK = 0,
    CODEC_NO_MEMORY = 1,
    CODEC_ENCODE_FAILED = 2,  // libjpeg reported an error
    CODEC_OPEN_FAILED = 3,    // libtiff could not open (or append to) the stream
    CODEC_ROW_FAILED = 4,     // TIFFWriteScanline failed; see failedRow
    CODEC_BAD_ARGUMENT = 5,
};

enum PixelOrder { PIXELS_RGB, PIXELS_BGR };

// Encodes 3-byte pixels as a baseline JPEG. firstRow is the picture's top row and
// stride the step to the next row below it (negative for bottom-up buffers). On
// success *out holds *outSize bytes to be released with FreeJpegBuffer.
int EncodeJpeg(const unsigned char* firstRow, ptrdiff_t stride, int width, int height,
               PixelOrder order, int quality, unsigned char** out, unsigned long* outSize);
void FreeJpegBuffer(unsigned char* data);

// A seekable byte stream supplied by the caller. read/write answer the bytes moved
// (or -1), seek answers the new position (or -1); whence is 0 set, 1 current, 2 end.
struct CodecStream {
    void* ctx;
    long (*read)(void* ctx, void* data, long size);
    long (*write)(void* ctx, const void* data, long size);
    long long (*seek)(void* ctx, long long offset, int whence);
    long long (*size)(void* ctx);
};

// Appends one uncompressed RGB page to the TIFF held by the stream, or starts a new
// TIFF when the stream is empty. Rows as for EncodeJpeg; samples of bitsPerSample
// bits (8 or 16, host byte order). On CODEC_ROW_FAILED *failedRow names the row.
int AppendTiffPage(const CodecStream& stream, const char* name, const unsigned char* firstRow,
                   ptrdiff_t stride, int width, int height, int bitsPerSample,
                   PixelOrder order, unsigned long* failedRow);

}  // namespace orv_codec

#include "WriterCodecs.h"

#include <setjmp.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>
#include <tiffio.h>

namespace orv_codec {

namespace {

// Everything the error path needs lives here, in memory the jump does not disturb.
struct JpegErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    unsigned char* buffer;
    unsigned long size;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegErrorTrap*>(cinfo->err)->jump, 1);
}

// Warnings of the encoder are not the user's business.
void JpegSilentMessage(j_common_ptr) {}

// Bottom-up buffers are walked against the hardware prefetcher's direction; fetch
// the rows of the coming group ourselves.
const int kPrefetchRows = 16;

void PrefetchRows(const unsigned char* firstRow, ptrdiff_t stride, size_t rowBytes,
                  unsigned from, unsigned height)
{
    for (unsigned r = from; r < from + kPrefetchRows && r < height; ++r) {
        const unsigned char* p = firstRow + stride * static_cast<ptrdiff_t>(r);
        for (size_t i = 0; i < rowBytes; i += 64)
            __builtin_prefetch(p + i);
    }
}

}  // namespace

int EncodeJpeg(const unsigned char* firstRow, ptrdiff_t stride, int width, int height,
               PixelOrder order, int quality, unsigned char** out, unsigned long* outSize)
{
    if (!firstRow || width <= 0 || height <= 0 || !out || !outSize)
        return CODEC_BAD_ARGUMENT;
    *out = nullptr;
    *outSize = 0;

    jpeg_compress_struct cinfo;
    JpegErrorTrap trap;
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = JpegErrorExit;
    trap.mgr.output_message = JpegSilentMessage;
    trap.buffer = nullptr;
    trap.size = 0;

    if (setjmp(trap.jump)) {
        const bool noMemory = trap.mgr.msg_code == JERR_OUT_OF_MEMORY;
        jpeg_destroy_compress(&cinfo);
        free(trap.buffer);
        return noMemory ? CODEC_NO_MEMORY : CODEC_ENCODE_FAILED;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &trap.buffer, &trap.size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    // The encoder reads B,G,R itself: no swapped working copy of the frame is needed.
    cinfo.in_color_space = order == PIXELS_BGR ? JCS_EXT_BGR : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION y = cinfo.next_scanline;
        if (stride < 0 && y % kPrefetchRows == 0)
            PrefetchRows(firstRow, stride, rowBytes, y + kPrefetchRows, cinfo.image_height);
        JSAMPROW row = const_cast<JSAMPROW>(firstRow + stride * static_cast<ptrdiff_t>(y));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    *out = trap.buffer;
    *outSize = trap.size;
    return CODEC_OK;
}

void FreeJpegBuffer(unsigned char* data)
{
    free(data);
}

namespace {

const CodecStream& StreamOf(thandle_t handle)
{
    return *static_cast<const CodecStream*>(handle);
}

tmsize_t TiffRead(thandle_t h, void* data, tmsize_t size)
{
    const CodecStream& s = StreamOf(h);
    return s.read(s.ctx, data, static_cast<long>(size));
}

tmsize_t TiffWrite(thandle_t h, void* data, tmsize_t size)
{
    const CodecStream& s = StreamOf(h);
    return s.write(s.ctx, data, static_cast<long>(size));
}

toff_t TiffSeek(thandle_t h, toff_t offset, int whence)
{
    const CodecStream& s = StreamOf(h);
    long long pos = s.seek(s.ctx, static_cast<long long>(offset), whence);
    return pos < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(pos);
}

int TiffClose(thandle_t)
{
    return 0;  // the caller owns the stream
}

toff_t TiffSize(thandle_t h)
{
    const CodecStream& s = StreamOf(h);
    return static_cast<toff_t>(s.size(s.ctx));
}

int TiffMap(thandle_t, void**, toff_t*)
{
    return 0;
}

void TiffUnmap(thandle_t, void*, toff_t) {}

// libtiff's own messages stay quiet for our handles (the writers print their own
// texts); answering 1 keeps the process-wide handlers of other users out of it.
int TiffQuiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

}  // namespace

int AppendTiffPage(const CodecStream& stream, const char* name, const unsigned char* firstRow,
                   ptrdiff_t stride, int width, int height, int bitsPerSample,
                   PixelOrder order, unsigned long* failedRow)
{
    if (!firstRow || width <= 0 || height <= 0 || (bitsPerSample != 8 && bitsPerSample != 16))
        return CODEC_BAD_ARGUMENT;
    const size_t sampleBytes = static_cast<size_t>(bitsPerSample / 8);
    const size_t rowBytes = static_cast<size_t>(width) * 3 * sampleBytes;
    // One row at a time is brought into R,G,B order; no copy of the whole frame.
    unsigned char* row = static_cast<unsigned char*>(malloc(rowBytes));
    if (!row)
        return CODEC_NO_MEMORY;

    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        free(row);
        return CODEC_NO_MEMORY;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffQuiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffQuiet, nullptr);
    // "a": an existing TIFF receives the image as a further page; "m": no mapping.
    TIFF* tif = TIFFClientOpenExt(name ? name : "capture", "am",
                                  const_cast<CodecStream*>(&stream), TiffRead, TiffWrite,
                                  TiffSeek, TiffClose, TiffSize, TiffMap, TiffUnmap, options);
    TIFFOpenOptionsFree(options);
    if (!tif) {
        free(row);
        return CODEC_OPEN_FAILED;
    }

    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    // Camera samples are unsigned; marking them signed makes readers shift the colours.
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, static_cast<uint32_t>(-1)));

    int result = CODEC_OK;
    for (int y = 0; y < height; ++y) {
        if (stride < 0 && y % kPrefetchRows == 0)
            PrefetchRows(firstRow, stride, rowBytes, y + kPrefetchRows, height);
        memcpy(row, firstRow + stride * static_cast<ptrdiff_t>(y), rowBytes);
        if (order == PIXELS_BGR) {
            for (size_t p = 0; p < rowBytes; p += 3 * sampleBytes)
                for (size_t b = 0; b < sampleBytes; ++b) {
                    unsigned char t = row[p + b];
                    row[p + b] = row[p + 2 * sampleBytes + b];
                    row[p + 2 * sampleBytes + b] = t;
                }
        }
        if (TIFFWriteScanline(tif, row, static_cast<uint32_t>(y), 0) < 0) {
            if (failedRow)
                *failedRow = static_cast<unsigned long>(y);
            result = CODEC_ROW_FAILED;
            break;
        }
    }
    TIFFClose(tif);
    free(row);
    return result;
}

}  // namespace orv_codec

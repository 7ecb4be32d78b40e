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
    // A group of rows per call: the encoder works on groups of that height anyway.
    JSAMPROW rows[kPrefetchRows];
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION y = cinfo.next_scanline;
        if (stride < 0)
            PrefetchRows(firstRow, stride, rowBytes, y + kPrefetchRows, cinfo.image_height);
        JDIMENSION count = cinfo.image_height - y < JDIMENSION(kPrefetchRows) ? cinfo.image_height - y
                                                                             : JDIMENSION(kPrefetchRows);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = const_cast<JSAMPROW>(firstRow + stride * static_cast<ptrdiff_t>(y + i));
        if (jpeg_write_scanlines(&cinfo, rows, count) == 0)
            break;
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
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return CODEC_NO_MEMORY;
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffQuiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffQuiet, nullptr);
    // "a": an existing TIFF receives the image as a further page; "m": no mapping.
    TIFF* tif = TIFFClientOpenExt(name ? name : "capture", "am",
                                  const_cast<CodecStream*>(&stream), TiffRead, TiffWrite,
                                  TiffSeek, TiffClose, TiffSize, TiffMap, TiffUnmap, options);
    TIFFOpenOptionsFree(options);
    if (!tif)
        return CODEC_OPEN_FAILED;

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
    const uint32_t rowsPerStrip = TIFFDefaultStripSize(tif, static_cast<uint32_t>(-1));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);

    // Uncompressed strips are their own encoding: each strip's rows are brought into
    // R,G,B order straight into one strip buffer and handed over as they are, instead
    // of row copies that the library would copy once more.
    const uint32_t stripRows = rowsPerStrip > 0 && rowsPerStrip < static_cast<uint32_t>(height)
                                   ? rowsPerStrip : static_cast<uint32_t>(height);
    unsigned char* strip = static_cast<unsigned char*>(malloc(rowBytes * stripRows));
    if (!strip) {
        TIFFClose(tif);
        return CODEC_NO_MEMORY;
    }
    int result = CODEC_OK;
    for (uint32_t first = 0, index = 0; first < static_cast<uint32_t>(height); first += stripRows, ++index) {
        const uint32_t rows = static_cast<uint32_t>(height) - first < stripRows ? static_cast<uint32_t>(height) - first
                                                                             : stripRows;
        for (uint32_t r = 0; r < rows; ++r) {
            const unsigned y = first + r;
            if (stride < 0 && y % kPrefetchRows == 0)
                PrefetchRows(firstRow, stride, rowBytes, y + kPrefetchRows, static_cast<unsigned>(height));
            const unsigned char* in = firstRow + stride * static_cast<ptrdiff_t>(y);
            unsigned char* out = strip + rowBytes * r;
            if (order != PIXELS_BGR) {
                memcpy(out, in, rowBytes);
            } else if (sampleBytes == 1) {
                for (int x = 0; x < width; ++x, in += 3, out += 3) {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                }
            } else {
                const uint16_t* in16 = reinterpret_cast<const uint16_t*>(in);
                uint16_t* out16 = reinterpret_cast<uint16_t*>(out);
                for (int x = 0; x < width; ++x, in16 += 3, out16 += 3) {
                    const uint16_t blue = in16[0];
                    out16[0] = in16[2];
                    out16[1] = in16[1];
                    out16[2] = blue;
                }
            }
        }
        if (TIFFWriteRawStrip(tif, index, strip, static_cast<tmsize_t>(rowBytes * rows)) < 0) {
            if (failedRow)
                *failedRow = static_cast<unsigned long>(first);
            result = CODEC_ROW_FAILED;
            break;
        }
    }
    TIFFClose(tif);
    free(strip);
    return result;
}

}  // namespace orv_codec

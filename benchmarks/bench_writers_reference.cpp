#include "bench_writers_reference.h"

#include <stdlib.h>

#include <stdio.h>
#include <jpeglib.h>
#include <tiffio.h>

unsigned long ReferenceJpegEncode(const unsigned char* rgb, int width, int height, unsigned char** out)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, out, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 75, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<size_t>(width) * 3 * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return size;
}

void ReferenceFree(unsigned char* data)
{
    free(data);
}

namespace {

const orv_codec::CodecStream& StreamOf(thandle_t h)
{
    return *static_cast<const orv_codec::CodecStream*>(h);
}

tmsize_t Read(thandle_t h, void* data, tmsize_t size)
{
    return StreamOf(h).read(StreamOf(h).ctx, data, static_cast<long>(size));
}

tmsize_t Write(thandle_t h, void* data, tmsize_t size)
{
    return StreamOf(h).write(StreamOf(h).ctx, data, static_cast<long>(size));
}

toff_t Seek(thandle_t h, toff_t offset, int whence)
{
    const long long pos = StreamOf(h).seek(StreamOf(h).ctx, static_cast<long long>(offset), whence);
    return pos < 0 ? static_cast<toff_t>(-1) : static_cast<toff_t>(pos);
}

int Close(thandle_t)
{
    return 0;
}

toff_t Size(thandle_t h)
{
    return static_cast<toff_t>(StreamOf(h).size(StreamOf(h).ctx));
}

int Map(thandle_t, void**, toff_t*)
{
    return 0;
}

void Unmap(thandle_t, void*, toff_t) {}

}  // namespace

bool ReferenceTiffWrite(const orv_codec::CodecStream& stream, const unsigned char* rgb, int width,
                        int height)
{
    TIFF* tif = TIFFClientOpen("reference.tif", "wm", const_cast<orv_codec::CodecStream*>(&stream), Read,
                               Write, Seek, Close, Size, Map, Unmap);
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, static_cast<uint32_t>(-1)));
    bool ok = true;
    for (int y = 0; ok && y < height; ++y)
        ok = TIFFWriteScanline(tif, const_cast<unsigned char*>(rgb + static_cast<size_t>(width) * 3 * y), y, 0) >= 0;
    TIFFClose(tif);
    return ok;
}

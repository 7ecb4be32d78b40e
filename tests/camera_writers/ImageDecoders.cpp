#include "ImageDecoders.h"

#include <setjmp.h>
#include <stdio.h>

#include <jpeglib.h>
#include <tiffio.h>

namespace {

struct ErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

}  // namespace

bool DecodeJpegFile(const char* unixPath, DecodedImage& image)
{
    FILE* file = fopen(unixPath, "rb");
    if (!file)
        return false;
    jpeg_decompress_struct cinfo;
    ErrorTrap trap;
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = ErrorExit;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        fclose(file);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image.width = static_cast<int>(cinfo.output_width);
    image.height = static_cast<int>(cinfo.output_height);
    image.samplesPerPixel = cinfo.output_components;
    image.bitsPerSample = 8;
    const size_t stride = static_cast<size_t>(image.width) * image.samplesPerPixel;
    image.pixels.assign(stride * image.height, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    fclose(file);
    return true;
}

int CountTiffPages(const char* unixPath)
{
    TIFF* tif = TIFFOpen(unixPath, "r");
    if (!tif)
        return 0;
    int pages = TIFFNumberOfDirectories(tif);
    TIFFClose(tif);
    return pages;
}

bool DecodeTiffPage(const char* unixPath, int page, DecodedImage& image)
{
    TIFF* tif = TIFFOpen(unixPath, "r");
    if (!tif)
        return false;
    bool ok = TIFFSetDirectory(tif, static_cast<tdir_t>(page)) != 0;
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, samples = 0, format = SAMPLEFORMAT_UINT, photometric = 0;
    if (ok) {
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(tif, TIFFTAG_SAMPLEFORMAT, &format);
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.bitsPerSample = bits;
        image.samplesPerPixel = samples;
        image.sampleFormat = format;
        image.photometric = photometric;
        const tmsize_t stride = TIFFScanlineSize(tif);
        image.pixels.assign(static_cast<size_t>(stride) * height, 0);
        for (uint32_t y = 0; ok && y < height; ++y)
            ok = TIFFReadScanline(tif, image.pixels.data() + static_cast<size_t>(stride) * y, y, 0) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

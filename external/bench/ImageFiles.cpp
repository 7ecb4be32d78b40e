#include "ImageFiles.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <tiffio.h>

namespace orvbench {

namespace {

// Top-down rows of 8-bit samples in red-green-blue order (or grey).
std::vector<uint8_t> TopDown8(const ImageRecord& img, bool rgb)
{
    const int w = img.width, h = img.height, ch = img.channels, bytes = img.bits / 8;
    std::vector<uint8_t> out(size_t(w) * h * ch);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = img.data + size_t(h - 1 - y) * w * ch * bytes;
        uint8_t* dst = out.data() + size_t(y) * w * ch;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < ch; ++c) {
                int sc = (rgb && ch == 3) ? 2 - c : c;
                dst[x * ch + c] = src[(x * ch + sc) * bytes + bytes - 1];
            }
    }
    return out;
}

bool WriteBmp(const char* path, const ImageRecord& img)
{
    const int w = img.width, h = img.height, bytes = img.bits / 8;
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t pixels = uint32_t(stride) * h;
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t v) { std::memcpy(header + at, &v, 4); };
    put32(2, 54 + pixels);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    header[26] = 1;
    header[28] = 24;
    put32(34, pixels);
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(header, 1, 54, f) == 54;
    std::vector<uint8_t> row(stride, 0);
    for (int y = 0; y < h && ok; ++y) {   // the image is already bottom-up
        const uint8_t* src = img.data + size_t(y) * w * img.channels * bytes;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int sc = img.channels == 3 ? c : 0;
                row[x * 3 + c] = src[(x * img.channels + sc) * bytes + bytes - 1];
            }
        ok = std::fwrite(row.data(), 1, stride, f) == size_t(stride);
    }
    return std::fclose(f) == 0 && ok;
}

bool WriteJpeg(const char* path, const ImageRecord& img, int quality)
{
    std::vector<uint8_t> px = TopDown8(img, true);
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = img.width;
    cinfo.image_height = img.height;
    cinfo.input_components = img.channels;
    cinfo.in_color_space = img.channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality < 1 || quality > 100 ? 90 : quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = px.data() + size_t(cinfo.next_scanline) * img.width * img.channels;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

bool WriteTiff(const char* path, const ImageRecord& img)
{
    TIFFSetWarningHandler(nullptr);
    TIFF* t = TIFFOpen(path, "w");
    if (!t)
        return false;
    const int w = img.width, h = img.height, ch = img.channels, bytes = img.bits / 8;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, ch);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, img.bits);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, ch == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    std::vector<uint8_t> row(size_t(w) * ch * bytes);
    bool ok = true;
    for (int y = 0; y < h && ok; ++y) {
        const uint8_t* src = img.data + size_t(h - 1 - y) * w * ch * bytes;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < ch; ++c) {
                int sc = ch == 3 ? 2 - c : c;
                std::memcpy(&row[(x * ch + c) * bytes], &src[(x * ch + sc) * bytes], bytes);
            }
        ok = TIFFWriteScanline(t, row.data(), uint32_t(y), 0) >= 0;
    }
    TIFFClose(t);
    return ok;
}

}  // namespace

bool WriteBytes(const char* path, const void* data, uint32_t size)
{
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

bool WriteImageFile(const char* path, const ImageRecord& img, int format, int quality)
{
    if (!path || !img.data || !img.width || !img.height)
        return false;
    switch (format) {
    case kFormatBmp: return WriteBmp(path, img);
    case kFormatJpeg: return WriteJpeg(path, img, quality);
    case kFormatTiff: return WriteTiff(path, img);
    case kFormatRaw: return WriteBytes(path, img.data, ImagePixelBytes(img));
    default: return false;
    }
}

}  // namespace orvbench

// PNG over libpng: palette, grey, colour, 16-bit samples (scaled to 8), alpha and
// transparency chunks, interlaced files.
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <png.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

struct PngIo {
    const uint8_t* data;
    size_t size;
    size_t pos;
    ByteBuffer* out;
    char message[200];
    uint8_t* scratch;       // malloc'd, freed by the caller on every path
    png_bytep* rows;        // malloc'd likewise
};

void PngError(png_structp png, png_const_charp msg)
{
    PngIo* io = static_cast<PngIo*>(png_get_error_ptr(png));
    snprintf(io->message, sizeof io->message, "%s", msg ? msg : "PNG error");
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep dst, png_size_t n)
{
    PngIo* io = static_cast<PngIo*>(png_get_io_ptr(png));
    if (n > io->size - io->pos)
        png_error(png, "Unexpected end of PNG data");
    memcpy(dst, io->data + io->pos, n);
    io->pos += n;
}

void PngWrite(png_structp png, png_bytep src, png_size_t n)
{
    PngIo* io = static_cast<PngIo*>(png_get_io_ptr(png));
    io->out->insert(io->out->end(), src, src + n);
}

void PngFlush(png_structp) {}

// All C++ objects live in the caller: nothing here may need a destructor when
// libpng jumps back.
bool DecodeInner(PngIo& io, png_structp png, png_infop info, PixelImage& img, std::string& err)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &io, PngRead);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);
    png_uint_32 w, h;
    int depth, colorType, interlace;
    png_get_IHDR(png, info, &w, &h, &depth, &colorType, &interlace, nullptr, nullptr);
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    int outBpp;
    int channels;  // samples per pixel in the rows libpng hands over
    bool split = false, unpack2 = false;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        outBpp = depth == 2 ? 4 : depth;
        channels = 0;
        unpack2 = depth == 2;
    } else {
        if (depth == 16)
            png_set_scale_16(png);
        if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (trns && (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_RGB))
            png_set_tRNS_to_alpha(png);
        png_set_bgr(png);
        const bool grey = (colorType & PNG_COLOR_MASK_COLOR) == 0;
        const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || trns;
        outBpp = grey ? 8 : 24;
        channels = (grey ? 1 : 3) + (alpha ? 1 : 0);
        split = alpha;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (!CheckImageSize(w, h, outBpp, err))
        png_error(png, err.c_str());
    if (!img.Create(static_cast<int>(w), static_cast<int>(h), outBpp, err))
        png_error(png, err.c_str());

    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp pal = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &pal, &count);
        for (int i = 0; i < count && i < static_cast<int>(img.palette.size()); ++i)
            img.palette[i] = {pal[i].blue, pal[i].green, pal[i].red, 0};
    }
    const size_t rowBytes = png_get_rowbytes(png, info);
    io.rows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * h));
    if (!io.rows)
        png_error(png, "Not enough memory");
    if (split || unpack2) {
        io.scratch = static_cast<uint8_t*>(malloc(rowBytes * h));
        if (!io.scratch)
            png_error(png, "Not enough memory");
        for (png_uint_32 y = 0; y < h; ++y)
            io.rows[y] = io.scratch + rowBytes * y;
    } else {
        for (png_uint_32 y = 0; y < h; ++y)
            io.rows[y] = img.TopRow(static_cast<int>(y));
    }
    png_read_image(png, io.rows);
    png_read_end(png, nullptr);

    if (unpack2) {
        for (png_uint_32 y = 0; y < h; ++y)
            for (png_uint_32 x = 0; x < w; ++x)
                img.SetIndex(static_cast<int>(x), static_cast<int>(y),
                             (io.rows[y][x >> 2] >> (6 - 2 * (x & 3))) & 3);
    }
    if (split) {
        img.CreateAlpha();
        for (png_uint_32 y = 0; y < h; ++y) {
            const uint8_t* s = io.rows[y];
            uint8_t* d = img.TopRow(static_cast<int>(y));
            uint8_t* a = img.Alpha() + static_cast<size_t>(h - 1 - y) * w;
            const int c = channels - 1;
            for (png_uint_32 x = 0; x < w; ++x, s += channels) {
                for (int k = 0; k < c; ++k)
                    d[c * x + k] = s[k];
                a[x] = s[c];
            }
        }
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE && trns) {
        png_bytep alpha = nullptr;
        int count = 0;
        png_get_tRNS(png, info, &alpha, &count, nullptr);
        if (alpha && count > 0) {
            img.CreateAlpha();
            for (png_uint_32 y = 0; y < h; ++y) {
                uint8_t* a = img.Alpha() + static_cast<size_t>(h - 1 - y) * w;
                for (png_uint_32 x = 0; x < w; ++x) {
                    const unsigned i = img.GetIndex(static_cast<int>(x), static_cast<int>(y));
                    a[x] = static_cast<int>(i) < count ? alpha[i] : 255;
                }
            }
        }
    }
    if (img.HasAlpha() && !AlphaUsed(img))
        img.DeleteAlpha();
    png_uint_32 rx, ry;
    int unit;
    if (png_get_pHYs(png, info, &rx, &ry, &unit) && unit == PNG_RESOLUTION_METER && rx && ry) {
        img.xDpi = static_cast<int>(rx * 0.0254 + 0.5);
        img.yDpi = static_cast<int>(ry * 0.0254 + 0.5);
    }
    return true;
}

bool EncodeInner(PngIo& io, png_structp png, png_infop info, const PixelImage& img)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &io, PngWrite, PngFlush);
    const int w = img.Width(), h = img.Height();
    const bool alpha = AlphaUsed(img);
    const bool grey = img.IsGrey();
    const bool indexed = img.Bpp() <= 8 && !grey && !alpha;
    int colorType, depth = 8, channels;
    if (indexed) {
        colorType = PNG_COLOR_TYPE_PALETTE;
        depth = img.Bpp();
        channels = 0;
    } else if (grey) {
        colorType = alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
        channels = alpha ? 2 : 1;
    } else {
        colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        channels = alpha ? 4 : 3;
    }
    png_set_IHDR(png, info, w, h, depth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_color pal[256];
        const int n = static_cast<int>(img.palette.size() < 256 ? img.palette.size() : 256);
        for (int i = 0; i < n; ++i) {
            pal[i].red = img.palette[i].r;
            pal[i].green = img.palette[i].g;
            pal[i].blue = img.palette[i].b;
        }
        png_set_PLTE(png, info, pal, n);
    }
    png_set_pHYs(png, info, static_cast<png_uint_32>(img.xDpi / 0.0254 + 0.5),
                 static_cast<png_uint_32>(img.yDpi / 0.0254 + 0.5), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (!grey && !indexed)
        png_set_bgr(png);
    if (!alpha && (indexed || grey || img.Bpp() == 24)) {
        for (int y = 0; y < h; ++y)
            png_write_row(png, const_cast<uint8_t*>(img.TopRow(y)));
    } else {
        io.scratch = static_cast<uint8_t*>(malloc(static_cast<size_t>(w) * channels));
        if (!io.scratch)
            png_error(png, "Not enough memory");
        for (int y = 0; y < h; ++y) {
            uint8_t* d = io.scratch;
            const uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
            for (int x = 0; x < w; ++x) {
                const PaletteEntry c = img.GetColor(x, y);
                if (grey) {
                    *d++ = c.b;
                } else {
                    *d++ = c.b;
                    *d++ = c.g;
                    *d++ = c.r;
                }
                if (alpha)
                    *d++ = a[x];
            }
            png_write_row(png, io.scratch);
        }
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        err = "Not a PNG file";
        return false;
    }
    PngIo io = {data, size, 0, nullptr, {0}, nullptr, nullptr};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info)
        ok = DecodeInner(io, png, info, img, err);
    else
        snprintf(io.message, sizeof io.message, "Not enough memory");
    png_destroy_read_struct(&png, &info, nullptr);
    free(io.scratch);
    free(io.rows);
    if (!ok) {
        img.Destroy();
        err = io.message[0] ? io.message : (err.empty() ? "Cannot decode the PNG file" : err);
    }
    return ok;
}

bool EncodePng(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    PngIo io = {nullptr, 0, 0, &out, {0}, nullptr, nullptr};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info)
        ok = EncodeInner(io, png, info, img);
    else
        snprintf(io.message, sizeof io.message, "Not enough memory");
    png_destroy_write_struct(&png, &info);
    free(io.scratch);
    if (!ok)
        err = io.message[0] ? io.message : "Cannot encode the PNG file";
    return ok;
}

}  // namespace orv_img

// Reference decodes of the packaged formats, each by its own library and the
// simplest path that library offers. No Win32 header here.
#include "LibraryDecoders.h"

#include <setjmp.h>
#include <string.h>

#include <gif_lib.h>
#include <jpeglib.h>
#include <openjpeg.h>
#include <png.h>
#include <tiffio.h>

namespace {

struct JpegTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void JpegExit(j_common_ptr c)
{
    longjmp(reinterpret_cast<JpegTrap*>(c->err)->jump, 1);
}

bool Jpeg(const Bytes& d, RgbaImage& out)
{
    jpeg_decompress_struct c;
    JpegTrap trap;
    c.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = JpegExit;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&c);
        return false;
    }
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, d.data(), d.size());
    jpeg_read_header(&c, TRUE);
    const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    const bool adobe = c.saw_Adobe_marker;
    c.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&c);
    out.width = c.output_width;
    out.height = c.output_height;
    out.px.resize(static_cast<size_t>(out.width) * out.height * 4);
    std::vector<uint8_t> row(static_cast<size_t>(out.width) * c.output_components);
    while (c.output_scanline < c.output_height) {
        const int y = c.output_scanline;
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&c, &r, 1);
        for (int x = 0; x < out.width; ++x) {
            uint8_t* o = out.px.data() + (static_cast<size_t>(y) * out.width + x) * 4;
            const uint8_t* s = row.data() + x * c.output_components;
            if (cmyk) {
                unsigned k[4];
                for (int i = 0; i < 4; ++i)
                    k[i] = adobe ? s[i] : 255 - s[i];
                for (int i = 0; i < 3; ++i)
                    o[i] = static_cast<uint8_t>((k[i] * k[3] + 127) / 255);
            } else {
                o[0] = s[0];
                o[1] = s[1];
                o[2] = s[2];
            }
            o[3] = 255;
        }
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return true;
}

bool Png(const Bytes& d, RgbaImage& out)
{
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, d.data(), d.size()))
        return false;
    // The simplified reader treats 16-bit samples as linear light; take 8-bit sRGB
    // from the low-level reader instead for those.
    const bool wide = (img.format & PNG_FORMAT_FLAG_LINEAR) != 0;
    png_image_free(&img);
    if (!wide) {
        memset(&img, 0, sizeof img);
        img.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&img, d.data(), d.size());
        img.format = PNG_FORMAT_RGBA;
        out.width = img.width;
        out.height = img.height;
        out.px.resize(PNG_IMAGE_SIZE(img));
        return png_image_finish_read(&img, nullptr, out.px.data(), 0, nullptr) != 0;
    }
    struct Reader {
        const Bytes* d;
        size_t pos;
        static void Read(png_structp p, png_bytep buf, png_size_t n)
        {
            Reader* r = static_cast<Reader*>(png_get_io_ptr(p));
            memcpy(buf, r->d->data() + r->pos, n);
            r->pos += n;
        }
    } reader = {&d, 0};
    png_structp p = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    if (setjmp(png_jmpbuf(p))) {
        png_destroy_read_struct(&p, &info, nullptr);
        return false;
    }
    png_set_read_fn(p, &reader, Reader::Read);
    png_read_info(p, info);
    png_set_scale_16(p);
    png_set_expand(p);
    png_set_gray_to_rgb(p);
    png_set_add_alpha(p, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(p);
    png_read_update_info(p, info);
    out.width = png_get_image_width(p, info);
    out.height = png_get_image_height(p, info);
    out.px.resize(static_cast<size_t>(out.width) * out.height * 4);
    std::vector<png_bytep> rows(out.height);
    for (int y = 0; y < out.height; ++y)
        rows[y] = out.px.data() + static_cast<size_t>(y) * out.width * 4;
    png_read_image(p, rows.data());
    png_destroy_read_struct(&p, &info, nullptr);
    return true;
}

struct Mem {
    const Bytes* d;
    uint64_t pos;
};
tmsize_t MemRead(thandle_t h, void* b, tmsize_t n)
{
    Mem* m = static_cast<Mem*>(h);
    const uint64_t k = std::min<uint64_t>(n, m->d->size() - m->pos);
    memcpy(b, m->d->data() + m->pos, k);
    m->pos += k;
    return static_cast<tmsize_t>(k);
}
tmsize_t MemWrite(thandle_t, void*, tmsize_t) { return -1; }
toff_t MemSeek(thandle_t h, toff_t o, int w)
{
    Mem* m = static_cast<Mem*>(h);
    m->pos = (w == SEEK_SET ? 0 : (w == SEEK_CUR ? m->pos : m->d->size())) + o;
    return m->pos;
}
int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<Mem*>(h)->d->size(); }

bool Tiff(const Bytes& d, RgbaImage& out)
{
    Mem m = {&d, 0};
    TIFF* t = TIFFClientOpen("ref", "r", &m, MemRead, MemWrite, MemSeek, MemClose, MemSize, nullptr,
                             nullptr);
    if (!t)
        return false;
    uint32_t w = 0, h = 0;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    TIFFGetField(t, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    // The RGBA interface hands out colour multiplied by alpha.
    out.premultiplied = extraCount > 0;
    out.hasAlpha = extraCount > 0;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    const bool ok = TIFFReadRGBAImageOriented(t, w, h, px.data(), ORIENTATION_TOPLEFT, 0) != 0;
    TIFFClose(t);
    out.width = w;
    out.height = h;
    out.px.resize(px.size() * 4);
    for (size_t i = 0; i < px.size(); ++i) {
        out.px[4 * i] = TIFFGetR(px[i]);
        out.px[4 * i + 1] = TIFFGetG(px[i]);
        out.px[4 * i + 2] = TIFFGetB(px[i]);
        out.px[4 * i + 3] = TIFFGetA(px[i]);
    }
    return ok;
}

int GifRead(GifFileType* g, GifByteType* b, int n)
{
    Mem* m = static_cast<Mem*>(g->UserData);
    const uint64_t k = std::min<uint64_t>(n, m->d->size() - m->pos);
    memcpy(b, m->d->data() + m->pos, k);
    m->pos += k;
    return static_cast<int>(k);
}

bool Gif(const Bytes& d, RgbaImage& out)
{
    Mem m = {&d, 0};
    int err = 0;
    GifFileType* g = DGifOpen(&m, GifRead, &err);
    if (!g)
        return false;
    if (DGifSlurp(g) != GIF_OK || g->ImageCount < 1) {
        DGifCloseFile(g, &err);
        return false;
    }
    const SavedImage& s = g->SavedImages[0];
    const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : g->SColorMap;
    GraphicsControlBlock gcb;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(g, 0, &gcb);
    out.width = s.ImageDesc.Width;
    out.height = s.ImageDesc.Height;
    out.px.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (size_t i = 0; i < static_cast<size_t>(out.width) * out.height; ++i) {
        const int idx = s.RasterBits[i];
        const GifColorType c = idx < map->ColorCount ? map->Colors[idx] : GifColorType{0, 0, 0};
        out.px[4 * i] = c.Red;
        out.px[4 * i + 1] = c.Green;
        out.px[4 * i + 2] = c.Blue;
        out.px[4 * i + 3] = idx == gcb.TransparentColor ? 0 : 255;
    }
    DGifCloseFile(g, &err);
    return true;
}

OPJ_SIZE_T OpjRead(void* b, OPJ_SIZE_T n, void* u)
{
    Mem* m = static_cast<Mem*>(u);
    if (m->pos >= m->d->size())
        return static_cast<OPJ_SIZE_T>(-1);
    const uint64_t k = std::min<uint64_t>(n, m->d->size() - m->pos);
    memcpy(b, m->d->data() + m->pos, k);
    m->pos += k;
    return k;
}
OPJ_OFF_T OpjSkip(OPJ_OFF_T n, void* u)
{
    static_cast<Mem*>(u)->pos += n;
    return n;
}
OPJ_BOOL OpjSeek(OPJ_OFF_T p, void* u)
{
    static_cast<Mem*>(u)->pos = p;
    return OPJ_TRUE;
}

bool Jp2(const Bytes& d, RgbaImage& out)
{
    const bool container = d.size() > 4 && d[0] == 0 && d[3] == 12;
    opj_codec_t* codec = opj_create_decompress(container ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    opj_setup_decoder(codec, &params);
    Mem m = {&d, 0};
    opj_stream_t* st = opj_stream_default_create(OPJ_TRUE);
    opj_stream_set_user_data(st, &m, nullptr);
    opj_stream_set_user_data_length(st, d.size());
    opj_stream_set_read_function(st, OpjRead);
    opj_stream_set_skip_function(st, OpjSkip);
    opj_stream_set_seek_function(st, OpjSeek);
    opj_image_t* img = nullptr;
    bool ok = opj_read_header(st, codec, &img) && opj_decode(codec, st, img) &&
              opj_end_decompress(codec, st);
    if (ok) {
        out.width = img->comps[0].w;
        out.height = img->comps[0].h;
        out.px.resize(static_cast<size_t>(out.width) * out.height * 4);
        for (size_t i = 0; i < static_cast<size_t>(out.width) * out.height; ++i)
            for (int k = 0; k < 4; ++k) {
                int v = 255;
                if (k < 3)
                    v = img->comps[img->numcomps >= 3 ? k : 0].data[i];
                else if (img->numcomps == 4 || img->numcomps == 2)
                    v = img->comps[img->numcomps - 1].data[i];
                out.px[4 * i + k] = static_cast<uint8_t>(v);
            }
    }
    if (img)
        opj_image_destroy(img);
    opj_stream_destroy(st);
    opj_destroy_codec(codec);
    return ok;
}

}  // namespace

bool DecodeWithLibrary(const std::string& name, const Bytes& data, RgbaImage& out)
{
    out = RgbaImage();
    switch (FormatFromName(name)) {
    case 3: return Jpeg(data, out);
    case 4: return Png(data, out);
    case 6: return Tiff(data, out);
    case 2: return Gif(data, out);
    case 11: case 12: return Jp2(data, out);
    default: return false;
    }
}

// JPEG 2000 over OpenJPEG: the JP2 container and the bare code stream, told apart
// by their signatures. Saved losslessly (reversible wavelet, one layer).
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include <openjpeg.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

struct Jp2Stream {
    const uint8_t* data;
    ByteBuffer* out;
    uint64_t size;
    uint64_t pos;
    char message[256];
};

OPJ_SIZE_T StreamRead(void* buf, OPJ_SIZE_T n, void* user)
{
    Jp2Stream* s = static_cast<Jp2Stream*>(user);
    if (s->pos >= s->size)
        return static_cast<OPJ_SIZE_T>(-1);
    const uint64_t k = std::min<uint64_t>(n, s->size - s->pos);
    memcpy(buf, s->data + s->pos, static_cast<size_t>(k));
    s->pos += k;
    return static_cast<OPJ_SIZE_T>(k);
}

OPJ_SIZE_T StreamWrite(void* buf, OPJ_SIZE_T n, void* user)
{
    Jp2Stream* s = static_cast<Jp2Stream*>(user);
    // Called from C: nothing may be thrown through it.
    try {
        if (s->pos + n > s->out->size())
            s->out->resize(static_cast<size_t>(s->pos + n));
    } catch (...) {
        return static_cast<OPJ_SIZE_T>(-1);
    }
    memcpy(s->out->data() + s->pos, buf, n);
    s->pos += n;
    return n;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T n, void* user)
{
    Jp2Stream* s = static_cast<Jp2Stream*>(user);
    const int64_t p = static_cast<int64_t>(s->pos) + n;
    if (p < 0)
        return -1;
    if (!s->out && static_cast<uint64_t>(p) > s->size) {
        s->pos = s->size;
        return -1;
    }
    s->pos = static_cast<uint64_t>(p);
    return n;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T p, void* user)
{
    Jp2Stream* s = static_cast<Jp2Stream*>(user);
    if (p < 0 || (!s->out && static_cast<uint64_t>(p) > s->size))
        return OPJ_FALSE;
    s->pos = static_cast<uint64_t>(p);
    return OPJ_TRUE;
}

void ErrorCallback(const char* msg, void* user)
{
    Jp2Stream* s = static_cast<Jp2Stream*>(user);
    if (!s->message[0]) {
        snprintf(s->message, sizeof s->message, "JPEG 2000: %s", msg);
        size_t n = strlen(s->message);
        while (n > 0 && (s->message[n - 1] == '\n' || s->message[n - 1] == '\r'))
            s->message[--n] = 0;
    }
}

void QuietCallback(const char*, void*) {}

struct Jp2Objects {
    opj_codec_t* codec = nullptr;
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr;
    ~Jp2Objects()
    {
        if (stream)
            opj_stream_destroy(stream);
        if (codec)
            opj_destroy_codec(codec);
        if (image)
            opj_image_destroy(image);
    }
};

opj_stream_t* MakeStream(Jp2Stream& s, bool input)
{
    opj_stream_t* st = opj_stream_create(1 << 16, input ? OPJ_TRUE : OPJ_FALSE);
    if (!st)
        return nullptr;
    opj_stream_set_user_data(st, &s, nullptr);
    if (input) {
        opj_stream_set_user_data_length(st, s.size);
        opj_stream_set_read_function(st, StreamRead);
    } else {
        opj_stream_set_write_function(st, StreamWrite);
    }
    opj_stream_set_skip_function(st, StreamSkip);
    opj_stream_set_seek_function(st, StreamSeek);
    return st;
}

inline uint8_t ToByte(int v, const opj_image_comp_t& c)
{
    if (c.sgnd)
        v += 1 << (c.prec - 1);
    const int max = c.prec >= 31 ? 0x7FFFFFFF : (1 << c.prec) - 1;
    v = std::max(0, std::min(v, max));
    if (c.prec == 8)
        return static_cast<uint8_t>(v);
    return static_cast<uint8_t>((static_cast<int64_t>(v) * 255 + max / 2) / max);
}

}  // namespace

bool DecodeJp2(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    const int kind = DetectFormat(data, size);
    if (kind != FORMAT_JP2 && kind != FORMAT_JPC) {
        err = "Not a JPEG 2000 file";
        return false;
    }
    Jp2Stream s = {data, nullptr, size, 0, {0}};
    Jp2Objects o;
    o.codec = opj_create_decompress(kind == FORMAT_JP2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    o.stream = MakeStream(s, true);
    if (!o.codec || !o.stream) {
        err = "Not enough memory";
        return false;
    }
    opj_set_error_handler(o.codec, ErrorCallback, &s);
    opj_set_warning_handler(o.codec, QuietCallback, &s);
    opj_set_info_handler(o.codec, QuietCallback, &s);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    if (!opj_setup_decoder(o.codec, &params) || !opj_read_header(o.stream, o.codec, &o.image) ||
        !o.image) {
        err = s.message[0] ? s.message : "Invalid JPEG 2000 header";
        return false;
    }
    const int64_t w = static_cast<int64_t>(o.image->x1) - o.image->x0;
    const int64_t h = static_cast<int64_t>(o.image->y1) - o.image->y0;
    if (o.image->numcomps == 0 || !CheckImageSize(w, h, 24, err)) {
        if (err.empty())
            err = "JPEG 2000 file without components";
        return false;
    }
    for (OPJ_UINT32 c = 0; c < o.image->numcomps; ++c)
        if (o.image->comps[c].prec == 0 || o.image->comps[c].prec > 31 || o.image->comps[c].dx == 0 ||
            o.image->comps[c].dy == 0) {
            err = "Unsupported JPEG 2000 component";
            return false;
        }
    // The library holds every sample of every component in 32 bits: that is what the
    // file makes it take, whatever our picture's depth.
    uint64_t samples = 0;
    for (OPJ_UINT32 c = 0; c < o.image->numcomps && samples <= kMaxImageBytes; ++c)
        samples += ((static_cast<uint64_t>(w) + o.image->comps[c].dx - 1) / o.image->comps[c].dx) *
                   ((static_cast<uint64_t>(h) + o.image->comps[c].dy - 1) / o.image->comps[c].dy);
    if (samples * 4 > kMaxImageBytes) {
        err = "Image too large for memory";
        return false;
    }
    if (!opj_decode(o.codec, o.stream, o.image) || !opj_end_decompress(o.codec, o.stream)) {
        err = s.message[0] ? s.message : "Cannot decode the JPEG 2000 file";
        return false;
    }
    const opj_image_comp_t* comps = o.image->comps;
    const int iw = static_cast<int>(comps[0].w), ih = static_cast<int>(comps[0].h);
    for (OPJ_UINT32 c = 0; c < o.image->numcomps; ++c)
        if (!comps[c].data || comps[c].w == 0 || comps[c].h == 0) {
            err = "JPEG 2000 component without data";
            return false;
        }
    const bool colour = o.image->numcomps >= 3;
    const OPJ_UINT32 alphaComp = colour ? 3 : 1;
    const bool alpha = o.image->numcomps > alphaComp;
    if (!img.Create(iw, ih, colour ? 24 : 8, err))
        return false;
    if (alpha)
        img.CreateAlpha();
    const bool ycc = o.image->color_space == OPJ_CLRSPC_SYCC;
    auto at = [&](OPJ_UINT32 c, int x, int y) {
        const opj_image_comp_t& k = comps[c];
        const uint32_t cx = std::min<uint32_t>(static_cast<uint32_t>(x) * comps[0].dx / k.dx, k.w - 1);
        const uint32_t cy = std::min<uint32_t>(static_cast<uint32_t>(y) * comps[0].dy / k.dy, k.h - 1);
        return k.data[static_cast<size_t>(cy) * k.w + cx];
    };
    for (int y = 0; y < ih; ++y) {
        uint8_t* row = img.TopRow(y);
        uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(ih - 1 - y) * iw : nullptr;
        for (int x = 0; x < iw; ++x) {
            if (!colour) {
                row[x] = ToByte(at(0, x, y), comps[0]);
            } else if (!ycc) {
                row[3 * x + 2] = ToByte(at(0, x, y), comps[0]);
                row[3 * x + 1] = ToByte(at(1, x, y), comps[1]);
                row[3 * x] = ToByte(at(2, x, y), comps[2]);
            } else {
                const double yy = ToByte(at(0, x, y), comps[0]);
                const double cb = ToByte(at(1, x, y), comps[1]) - 128.0;
                const double cr = ToByte(at(2, x, y), comps[2]) - 128.0;
                auto clamp = [](double v) {
                    return static_cast<uint8_t>(std::max(0.0, std::min(255.0, v + 0.5)));
                };
                row[3 * x + 2] = clamp(yy + 1.402 * cr);
                row[3 * x + 1] = clamp(yy - 0.344136 * cb - 0.714136 * cr);
                row[3 * x] = clamp(yy + 1.772 * cb);
            }
            if (a)
                a[x] = ToByte(at(alphaComp, x, y), comps[alphaComp]);
        }
    }
    if (img.HasAlpha() && !AlphaUsed(img))
        img.DeleteAlpha();
    return true;
}

bool EncodeJp2(const PixelImage& src, bool container, ByteBuffer& out, std::string& err)
{
    const bool grey = src.IsGrey();
    const bool alpha = AlphaUsed(src);
    const int w = src.Width(), h = src.Height();
    const int numcomps = (grey ? 1 : 3) + (alpha ? 1 : 0);
    opj_image_cmptparm_t parms[4];
    memset(parms, 0, sizeof parms);
    for (int c = 0; c < numcomps; ++c) {
        parms[c].dx = parms[c].dy = 1;
        parms[c].w = w;
        parms[c].h = h;
        parms[c].prec = 8;
        parms[c].sgnd = 0;
    }
    Jp2Objects o;
    o.image = opj_image_create(numcomps, parms, grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB);
    if (!o.image) {
        err = "Not enough memory";
        return false;
    }
    o.image->x0 = o.image->y0 = 0;
    o.image->x1 = w;
    o.image->y1 = h;
    if (alpha)
        o.image->comps[numcomps - 1].alpha = 1;
    for (int y = 0; y < h; ++y) {
        const uint8_t* a = alpha ? src.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            const PaletteEntry c = src.GetColor(x, y);
            if (grey) {
                o.image->comps[0].data[i] = c.b;
            } else {
                o.image->comps[0].data[i] = c.r;
                o.image->comps[1].data[i] = c.g;
                o.image->comps[2].data[i] = c.b;
            }
            if (a)
                o.image->comps[numcomps - 1].data[i] = a[x];
        }
    }
    opj_cparameters_t params;
    opj_set_default_encoder_parameters(&params);
    params.tcp_numlayers = 1;
    params.tcp_rates[0] = 0;
    params.cp_disto_alloc = 1;
    params.irreversible = 0;
    params.tcp_mct = grey ? 0 : 1;
    // Each resolution level halves the picture; a small one has fewer levels.
    int levels = 1;
    for (int side = std::min(w, h); side >= 2 && levels < 6; side >>= 1)
        ++levels;
    params.numresolution = levels;
    Jp2Stream s = {nullptr, &out, 0, 0, {0}};
    out.clear();
    o.codec = opj_create_compress(container ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    o.stream = MakeStream(s, false);
    if (!o.codec || !o.stream) {
        err = "Not enough memory";
        return false;
    }
    opj_set_error_handler(o.codec, ErrorCallback, &s);
    opj_set_warning_handler(o.codec, QuietCallback, &s);
    opj_set_info_handler(o.codec, QuietCallback, &s);
    if (!opj_setup_encoder(o.codec, &params, o.image) ||
        !opj_start_compress(o.codec, o.image, o.stream) || !opj_encode(o.codec, o.stream) ||
        !opj_end_compress(o.codec, o.stream)) {
        err = s.message[0] ? s.message : "Cannot encode the JPEG 2000 file";
        return false;
    }
    opj_stream_destroy(o.stream);  // flushes the last bytes
    o.stream = nullptr;
    return true;
}

}  // namespace orv_img

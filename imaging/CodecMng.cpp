// MNG and JNG over libmng: the first frame is shown; saving writes one PNG-style
// image inside an MNG stream.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The shared library is built with writing and chunk access; the header needs telling.
#define MNG_USE_SO
#include <libmng.h>
#include <zlib.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

struct MngState {
    const uint8_t* data;
    size_t size;
    size_t pos;
    ByteBuffer* out;
    std::vector<uint8_t> canvas;  // top-down B,G,R,A rows
    uint32_t width, height;
    bool sizeRefused;
    uint32_t ticks;
    char message[200];
};

MngState* State(mng_handle h)
{
    return static_cast<MngState*>(mng_get_userdata(h));
}

mng_ptr MNG_DECL Alloc(mng_size_t n)
{
    // The library expects zeroed memory, and asks for sizes from the file's fields.
    if (n == 0 || n > kMaxImageBytes)
        return nullptr;
    return calloc(1, n);
}

void MNG_DECL Free(mng_ptr p, mng_size_t)
{
    free(p);
}

mng_bool MNG_DECL OpenStream(mng_handle) { return MNG_TRUE; }
mng_bool MNG_DECL CloseStream(mng_handle) { return MNG_TRUE; }

mng_bool MNG_DECL ReadData(mng_handle h, mng_ptr buf, mng_uint32 len, mng_uint32p got)
{
    MngState* s = State(h);
    const size_t k = len < s->size - s->pos ? len : s->size - s->pos;
    memcpy(buf, s->data + s->pos, k);
    s->pos += k;
    *got = static_cast<mng_uint32>(k);
    return MNG_TRUE;
}

mng_bool MNG_DECL WriteData(mng_handle h, mng_ptr buf, mng_uint32 len, mng_uint32p written)
{
    MngState* s = State(h);
    const uint8_t* p = static_cast<const uint8_t*>(buf);
    // Called from C: nothing may be thrown through it.
    try {
        s->out->insert(s->out->end(), p, p + len);
    } catch (...) {
        return MNG_FALSE;
    }
    *written = len;
    return MNG_TRUE;
}

mng_bool MNG_DECL ErrorProc(mng_handle h, mng_int32 code, mng_int8, mng_chunkid, mng_uint32,
                            mng_int32, mng_int32, mng_pchar text)
{
    MngState* s = State(h);
    if (!s->message[0])
        snprintf(s->message, sizeof s->message, "MNG: %s (%d)", text ? text : "error",
                 static_cast<int>(code));
    return MNG_FALSE;
}

mng_bool MNG_DECL ProcessHeader(mng_handle h, mng_uint32 w, mng_uint32 ht)
{
    MngState* s = State(h);
    std::string err;
    if (!CheckImageSize(w, ht, 32, err)) {
        s->sizeRefused = true;
        snprintf(s->message, sizeof s->message, "%s", err.c_str());
        return MNG_FALSE;
    }
    s->width = w;
    s->height = ht;
    s->canvas.assign(static_cast<size_t>(w) * ht * 4, 0);
    mng_set_canvasstyle(h, MNG_CANVAS_BGRA8);
    return MNG_TRUE;
}

mng_ptr MNG_DECL CanvasLine(mng_handle h, mng_uint32 line)
{
    MngState* s = State(h);
    if (line >= s->height)
        return nullptr;
    return s->canvas.data() + static_cast<size_t>(line) * s->width * 4;
}

mng_bool MNG_DECL Refresh(mng_handle, mng_uint32, mng_uint32, mng_uint32, mng_uint32)
{
    return MNG_TRUE;
}

mng_uint32 MNG_DECL TickCount(mng_handle h)
{
    return State(h)->ticks += 10;
}

mng_bool MNG_DECL SetTimer(mng_handle, mng_uint32) { return MNG_TRUE; }

struct MngHandle {
    mng_handle h = nullptr;
    ~MngHandle()
    {
        if (h)
            mng_cleanup(&h);
    }
};

}  // namespace

bool DecodeMng(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    MngState s = {data, size, 0, nullptr, {}, 0, 0, false, 0, {0}};
    MngHandle m;
    m.h = mng_initialize(&s, Alloc, Free, MNG_NULL);
    if (!m.h) {
        err = "Not enough memory";
        return false;
    }
    mng_setcb_openstream(m.h, OpenStream);
    mng_setcb_closestream(m.h, CloseStream);
    mng_setcb_readdata(m.h, ReadData);
    mng_setcb_errorproc(m.h, ErrorProc);
    mng_setcb_processheader(m.h, ProcessHeader);
    mng_setcb_getcanvasline(m.h, CanvasLine);
    mng_setcb_refresh(m.h, Refresh);
    mng_setcb_gettickcount(m.h, TickCount);
    mng_setcb_settimer(m.h, SetTimer);
    const mng_retcode rc = mng_readdisplay(m.h);
    // A timer wait means the first frame is on the canvas and the rest would follow.
    if ((rc != MNG_NOERROR && rc != MNG_NEEDTIMERWAIT) || s.canvas.empty()) {
        err = s.message[0] ? s.message : "Cannot decode the MNG file";
        return false;
    }
    if (!img.Create(static_cast<int>(s.width), static_cast<int>(s.height), 24, err) ||
        !img.CreateAlpha()) {
        if (err.empty())
            err = "Not enough memory";
        return false;
    }
    for (uint32_t y = 0; y < s.height; ++y) {
        const uint8_t* p = s.canvas.data() + static_cast<size_t>(y) * s.width * 4;
        uint8_t* d = img.TopRow(static_cast<int>(y));
        uint8_t* a = img.Alpha() + static_cast<size_t>(s.height - 1 - y) * s.width;
        for (uint32_t x = 0; x < s.width; ++x, p += 4) {
            d[3 * x] = p[0];
            d[3 * x + 1] = p[1];
            d[3 * x + 2] = p[2];
            a[x] = p[3];
        }
    }
    if (!AlphaUsed(img))
        img.DeleteAlpha();
    return true;
}

bool EncodeMng(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    const int w = img.Width(), h = img.Height();
    const bool alpha = AlphaUsed(img);
    const bool grey = img.IsGrey();
    const bool indexed = img.Bpp() <= 8 && !grey && !alpha;
    mng_uint8 colorType;
    int channels = 0, depth = 8;
    if (indexed) {
        colorType = MNG_COLORTYPE_INDEXED;
        depth = img.Bpp();
    } else if (grey) {
        colorType = alpha ? MNG_COLORTYPE_GRAYA : MNG_COLORTYPE_GRAY;
        channels = alpha ? 2 : 1;
    } else {
        colorType = alpha ? MNG_COLORTYPE_RGBA : MNG_COLORTYPE_RGB;
        channels = alpha ? 4 : 3;
    }
    // Filter byte 0 and raw samples per row, then one zlib stream.
    const size_t rowBytes = indexed ? (static_cast<size_t>(w) * depth + 7) / 8
                                    : static_cast<size_t>(w) * channels;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * h);
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const uint8_t* row = img.TopRow(y);
        if (indexed) {
            raw.insert(raw.end(), row, row + rowBytes);
            continue;
        }
        const uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
        for (int x = 0; x < w; ++x) {
            const PaletteEntry c = img.GetColor(x, y);
            if (grey) {
                raw.push_back(c.b);
            } else {
                raw.push_back(c.r);
                raw.push_back(c.g);
                raw.push_back(c.b);
            }
            if (a)
                raw.push_back(a[x]);
        }
    }
    uLongf zlen = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(zlen);
    if (compress2(z.data(), &zlen, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) {
        err = "Cannot compress the MNG data";
        return false;
    }
    MngState s = {nullptr, 0, 0, &out, {}, 0, 0, false, 0, {0}};
    out.clear();
    MngHandle m;
    m.h = mng_initialize(&s, Alloc, Free, MNG_NULL);
    if (!m.h) {
        err = "Not enough memory";
        return false;
    }
    mng_setcb_openstream(m.h, OpenStream);
    mng_setcb_closestream(m.h, CloseStream);
    mng_setcb_writedata(m.h, WriteData);
    mng_setcb_errorproc(m.h, ErrorProc);
    bool ok = mng_create(m.h) == MNG_NOERROR &&
              mng_putchunk_mhdr(m.h, w, h, 1000, 0, 0, 0, MNG_SIMPLICITY_VALID) == MNG_NOERROR &&
              mng_putchunk_ihdr(m.h, w, h, static_cast<mng_uint8>(depth), colorType,
                                MNG_COMPRESSION_DEFLATE, MNG_FILTER_ADAPTIVE,
                                MNG_INTERLACE_NONE) == MNG_NOERROR;
    if (ok && indexed) {
        mng_palette8 pal;
        memset(pal, 0, sizeof pal);
        const int n = 1 << depth;
        for (int i = 0; i < n && i < static_cast<int>(img.palette.size()); ++i) {
            pal[i].iRed = img.palette[i].r;
            pal[i].iGreen = img.palette[i].g;
            pal[i].iBlue = img.palette[i].b;
        }
        ok = mng_putchunk_plte(m.h, n, pal) == MNG_NOERROR;
    }
    ok = ok && mng_putchunk_idat(m.h, static_cast<mng_uint32>(zlen), z.data()) == MNG_NOERROR &&
         mng_putchunk_iend(m.h) == MNG_NOERROR && mng_putchunk_mend(m.h) == MNG_NOERROR &&
         mng_write(m.h) == MNG_NOERROR;
    if (!ok) {
        err = s.message[0] ? s.message : "Cannot write the MNG file";
        out.clear();
        return false;
    }
    return true;
}

}  // namespace orv_img

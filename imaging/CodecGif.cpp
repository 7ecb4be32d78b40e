// GIF over giflib, read record by record so that every size is checked before a
// buffer is taken. The first frame is shown: image blocks without delay before it are
// composed with it, which is how true-colour GIFs (blocks of up to 256 colours with
// their own tables) are read. Pictures of more than 8 bits are written that way.
#include <string.h>

#include <algorithm>
#include <unordered_map>

#include <gif_lib.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

struct GifInput {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadFn(GifFileType* gif, GifByteType* buf, int n)
{
    GifInput* in = static_cast<GifInput*>(gif->UserData);
    if (n <= 0)
        return 0;
    const size_t k = std::min(static_cast<size_t>(n), in->size - in->pos);
    memcpy(buf, in->data + in->pos, k);
    in->pos += k;
    return static_cast<int>(k);
}

int WriteFn(GifFileType* gif, const GifByteType* buf, int n)
{
    ByteBuffer* out = static_cast<ByteBuffer*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

struct Frame {
    int left, top, width, height;
    std::vector<uint8_t> indices;
    std::vector<PaletteEntry> colours;
    int transparent;
};

struct GifCloser {
    GifFileType* gif;
    ~GifCloser()
    {
        int e;
        if (gif)
            DGifCloseFile(gif, &e);
    }
};

std::string GifError(GifFileType* gif, const char* fallback)
{
    const char* s = gif ? GifErrorString(gif->Error) : nullptr;
    return s ? std::string("GIF: ") + s : fallback;
}

}  // namespace

bool DecodeGif(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    GifInput in = {data, size, 0};
    int openErr = 0;
    GifCloser gif = {DGifOpen(&in, ReadFn, &openErr)};
    if (!gif.gif) {
        const char* s = GifErrorString(openErr);
        err = s ? std::string("GIF: ") + s : "Not a GIF file";
        return false;
    }
    GifFileType* g = gif.gif;
    int screenW = g->SWidth, screenH = g->SHeight;
    std::vector<PaletteEntry> globalMap;
    if (g->SColorMap) {
        for (int i = 0; i < g->SColorMap->ColorCount; ++i) {
            const GifColorType c = g->SColorMap->Colors[i];
            globalMap.push_back({c.Blue, c.Green, c.Red, 0});
        }
    }
    std::vector<Frame> frames;
    // Frames are kept until the first picture is composed: all of them within the limit.
    uint64_t held = 0;
    int transparent = -1, delay = 0;
    bool done = false;
    while (!done) {
        GifRecordType type;
        if (DGifGetRecordType(g, &type) == GIF_ERROR) {
            if (!frames.empty())
                break;  // trailing garbage after a complete frame
            err = GifError(g, "GIF data end early");
            return false;
        }
        switch (type) {
        case EXTENSION_RECORD_TYPE: {
            int code;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(g, &code, &ext) == GIF_ERROR) {
                err = GifError(g, "Invalid GIF extension");
                return false;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                transparent = (ext[1] & 1) ? ext[4] : -1;
                delay = ext[2] | (ext[3] << 8);
            }
            while (ext) {
                if (DGifGetExtensionNext(g, &ext) == GIF_ERROR) {
                    err = GifError(g, "Invalid GIF extension");
                    return false;
                }
            }
            break;
        }
        case IMAGE_DESC_RECORD_TYPE: {
            if (DGifGetImageDesc(g) == GIF_ERROR) {
                err = GifError(g, "Invalid GIF image descriptor");
                return false;
            }
            Frame f;
            f.left = g->Image.Left;
            f.top = g->Image.Top;
            f.width = g->Image.Width;
            f.height = g->Image.Height;
            f.transparent = transparent;
            if (!CheckImageSize(f.width, f.height, 8, err))
                return false;
            held += static_cast<uint64_t>(f.width) * f.height;
            if (held > kMaxImageBytes) {
                err = "GIF frames too large for memory";
                return false;
            }
            if (g->Image.ColorMap) {
                for (int i = 0; i < g->Image.ColorMap->ColorCount; ++i) {
                    const GifColorType c = g->Image.ColorMap->Colors[i];
                    f.colours.push_back({c.Blue, c.Green, c.Red, 0});
                }
            } else {
                f.colours = globalMap;
            }
            if (f.colours.empty()) {
                err = "GIF without a colour table";
                return false;
            }
            f.indices.resize(static_cast<size_t>(f.width) * f.height);
            static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            const int passes = g->Image.Interlace ? 4 : 1;
            for (int p = 0; p < passes; ++p) {
                const int start = g->Image.Interlace ? kStart[p] : 0;
                const int step = g->Image.Interlace ? kStep[p] : 1;
                for (int y = start; y < f.height; y += step)
                    if (DGifGetLine(g, f.indices.data() + static_cast<size_t>(y) * f.width,
                                    f.width) == GIF_ERROR) {
                        err = GifError(g, "GIF data end early");
                        return false;
                    }
            }
            frames.push_back(std::move(f));
            // A frame shown for a while ends the first picture.
            if (delay > 0)
                done = true;
            transparent = -1;
            delay = 0;
            break;
        }
        case TERMINATE_RECORD_TYPE:
            done = true;
            break;
        default:
            break;
        }
    }
    if (frames.empty()) {
        err = "No image in the GIF file";
        return false;
    }
    const Frame& first = frames[0];
    if (screenW <= 0 || screenH <= 0) {
        screenW = first.left + first.width;
        screenH = first.top + first.height;
    }
    // One block covering the screen stays an indexed picture.
    if (frames.size() == 1 && first.left == 0 && first.top == 0 && first.width == screenW &&
        first.height == screenH) {
        const size_t n = first.colours.size();
        const int bpp = n <= 2 ? 1 : (n <= 16 ? 4 : 8);
        if (!img.Create(screenW, screenH, bpp, err))
            return false;
        img.palette.assign(1u << bpp, PaletteEntry{0, 0, 0, 0});
        std::copy(first.colours.begin(), first.colours.end(), img.palette.begin());
        const bool alpha = first.transparent >= 0 && img.CreateAlpha();
        std::vector<uint8_t> arow(alpha ? screenW : 0);
        for (int y = 0; y < screenH; ++y) {
            const uint8_t* s = first.indices.data() + static_cast<size_t>(y) * screenW;
            uint8_t* row = img.TopRow(y);
            for (int x = 0; x < screenW; ++x) {
                const uint8_t v = static_cast<uint8_t>(s[x] < (1u << bpp) ? s[x] : 0);
                if (bpp == 8)
                    row[x] = v;
                else
                    img.SetIndex(x, y, v);
                if (alpha)
                    arow[x] = s[x] == first.transparent ? 0 : 255;
            }
            if (alpha)
                SetAlphaRow(img, y, arow.data());
        }
        if (img.HasAlpha() && !AlphaUsed(img))
            img.DeleteAlpha();
        return true;
    }
    if (!img.Create(screenW, screenH, 24, err) || !img.CreateAlpha()) {
        if (err.empty())
            err = "Not enough memory";
        return false;
    }
    memset(img.Alpha(), 0, static_cast<size_t>(screenW) * screenH);
    for (const Frame& f : frames) {
        for (int y = 0; y < f.height; ++y) {
            const int sy = f.top + y;
            if (sy < 0 || sy >= screenH)
                continue;
            uint8_t* row = img.TopRow(sy);
            uint8_t* a = img.Alpha() + static_cast<size_t>(screenH - 1 - sy) * screenW;
            const uint8_t* s = f.indices.data() + static_cast<size_t>(y) * f.width;
            for (int x = 0; x < f.width; ++x) {
                const int sx = f.left + x;
                if (sx >= screenW || s[x] == f.transparent)
                    continue;
                const PaletteEntry c = s[x] < f.colours.size() ? f.colours[s[x]] : PaletteEntry{0, 0, 0, 0};
                row[3 * sx] = c.b;
                row[3 * sx + 1] = c.g;
                row[3 * sx + 2] = c.r;
                a[sx] = 255;
            }
        }
    }
    if (!AlphaUsed(img))
        img.DeleteAlpha();
    return true;
}

namespace {

ColorMapObject* MakeMap(const std::vector<PaletteEntry>& colours)
{
    int size = 2;
    while (size < static_cast<int>(colours.size()))
        size <<= 1;
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    if (!map)
        return nullptr;
    for (int i = 0; i < size; ++i) {
        const PaletteEntry e = i < static_cast<int>(colours.size()) ? colours[i] : PaletteEntry{0, 0, 0, 0};
        map->Colors[i].Red = e.r;
        map->Colors[i].Green = e.g;
        map->Colors[i].Blue = e.b;
    }
    return map;
}

struct Block {
    int left, top, width, height;
};

// Cuts a true-colour picture into blocks of at most 256 colours: whole rows while
// they fit, single rows split into runs where one row holds more.
std::vector<Block> CutBlocks(const PixelImage& img)
{
    std::vector<Block> blocks;
    const int w = img.Width(), h = img.Height();
    std::unordered_map<uint32_t, int> seen;
    auto key = [&](int x, int y) {
        const uint8_t* p = img.TopRow(y) + 3 * x;
        return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    };
    int y = 0;
    while (y < h) {
        seen.clear();
        int rows = 0;
        for (int yy = y; yy < h; ++yy) {
            std::unordered_map<uint32_t, int> trial = seen;
            bool fits = true;
            for (int x = 0; x < w && fits; ++x) {
                trial.emplace(key(x, yy), 0);
                fits = trial.size() <= 256;
            }
            if (!fits)
                break;
            seen.swap(trial);
            ++rows;
        }
        if (rows > 0) {
            blocks.push_back({0, y, w, rows});
            y += rows;
            continue;
        }
        int x = 0;
        while (x < w) {
            seen.clear();
            int start = x;
            while (x < w) {
                seen.emplace(key(x, y), 0);
                if (seen.size() > 256)
                    break;
                ++x;
            }
            blocks.push_back({start, y, x - start, 1});
        }
        ++y;
    }
    return blocks;
}

struct EncoderCloser {
    GifFileType* gif;
    ~EncoderCloser()
    {
        int e;
        if (gif)
            EGifCloseFile(gif, &e);
    }
};

}  // namespace

bool EncodeGif(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    const int w = img.Width(), h = img.Height();
    if (w > 65535 || h > 65535) {
        err = "Image too large for a GIF file";
        return false;
    }
    int openErr = 0;
    EncoderCloser gif = {EGifOpen(&out, WriteFn, &openErr)};
    if (!gif.gif) {
        err = "Cannot create the GIF file";
        return false;
    }
    GifFileType* g = gif.gif;
    EGifSetGifVersion(g, true);
    if (img.Bpp() <= 8) {
        ColorMapObject* map = MakeMap(img.palette);
        const int ok = map && EGifPutScreenDesc(g, w, h, 8, 0, map) != GIF_ERROR &&
                       EGifPutImageDesc(g, 0, 0, w, h, false, nullptr) != GIF_ERROR;
        GifFreeMapObject(map);
        if (!ok) {
            err = GifError(g, "GIF write error");
            return false;
        }
        std::vector<GifPixelType> line(w);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                line[x] = img.GetIndex(x, y);
            if (EGifPutLine(g, line.data(), w) == GIF_ERROR) {
                err = GifError(g, "GIF write error");
                return false;
            }
        }
    } else {
        if (EGifPutScreenDesc(g, w, h, 8, 0, nullptr) == GIF_ERROR) {
            err = GifError(g, "GIF write error");
            return false;
        }
        std::vector<GifPixelType> line;
        for (const Block& b : CutBlocks(img)) {
            std::vector<PaletteEntry> colours;
            std::unordered_map<uint32_t, uint8_t> index;
            for (int y = b.top; y < b.top + b.height; ++y)
                for (int x = b.left; x < b.left + b.width; ++x) {
                    const uint8_t* p = img.TopRow(y) + 3 * x;
                    const uint32_t k = p[0] | (p[1] << 8) | (p[2] << 16);
                    if (index.emplace(k, static_cast<uint8_t>(colours.size())).second)
                        colours.push_back({p[0], p[1], p[2], 0});
                }
            ColorMapObject* map = MakeMap(colours);
            const bool ok = map && EGifPutImageDesc(g, b.left, b.top, b.width, b.height, false,
                                                    map) != GIF_ERROR;
            GifFreeMapObject(map);
            if (!ok) {
                err = GifError(g, "GIF write error");
                return false;
            }
            line.resize(b.width);
            for (int y = b.top; y < b.top + b.height; ++y) {
                for (int x = 0; x < b.width; ++x) {
                    const uint8_t* p = img.TopRow(y) + 3 * (b.left + x);
                    line[x] = index[p[0] | (p[1] << 8) | (p[2] << 16)];
                }
                if (EGifPutLine(g, line.data(), b.width) == GIF_ERROR) {
                    err = GifError(g, "GIF write error");
                    return false;
                }
            }
        }
    }
    int closeErr = 0;
    const int rc = EGifCloseFile(g, &closeErr);
    gif.gif = nullptr;
    if (rc == GIF_ERROR) {
        err = "GIF write error";
        return false;
    }
    return true;
}

}  // namespace orv_img

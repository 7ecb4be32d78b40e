// The driver side of the HFYU compressor: DriverProc answers the compressor messages
// of Video for Windows for 24-bit frames and hands the pixels to HuffyuvCodec.
#include <windows.h>
#include <vfw.h>

#include "HuffyuvCodec.h"

#include <string.h>

namespace {

const DWORD kHfyu = mmioFOURCC('H', 'F', 'Y', 'U');

// One open instance: an encoder and a decoder, made on begin and dropped on end.
struct Instance {
    HfyuCodec* encoder = nullptr;
    HfyuCodec* decoder = nullptr;
};

bool AcceptedInput(const BITMAPINFOHEADER* in)
{
    return in && in->biCompression == BI_RGB && in->biBitCount == 24 && in->biWidth > 0 &&
           in->biWidth % 4 == 0 && in->biHeight > 0;
}

bool AcceptedCompressed(const BITMAPINFOHEADER* in)
{
    return in && in->biCompression == kHfyu && in->biBitCount == 24 && in->biWidth > 0 &&
           in->biHeight > 0;
}

// The codec data travels behind the format header.
LRESULT CompressFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out)
{
    if (!AcceptedInput(in))
        return ICERR_BADFORMAT;
    HfyuCodec* probe = HfyuOpenEncoder(in->biWidth, in->biHeight);
    if (!probe)
        return ICERR_BADFORMAT;
    const size_t extra = HfyuExtraData(probe, nullptr, 0);
    const LRESULT size = static_cast<LRESULT>(sizeof(BITMAPINFOHEADER) + extra);
    if (out) {
        *out = *in;
        out->biSize = static_cast<DWORD>(size);
        out->biCompression = kHfyu;
        out->biSizeImage = static_cast<DWORD>(HfyuMaxFrameBytes(in->biWidth, in->biHeight));
        HfyuExtraData(probe, reinterpret_cast<uint8_t*>(out + 1), extra);
    }
    HfyuClose(probe);
    return out ? ICERR_OK : size;
}

LRESULT Compress(Instance* self, ICCOMPRESS* job)
{
    if (!self->encoder || !job || !job->lpInput || !job->lpOutput || !job->lpbiOutput)
        return ICERR_ERROR;
    const BITMAPINFOHEADER* in = job->lpbiInput;
    const size_t bytes = HfyuEncode(self->encoder, static_cast<const uint8_t*>(job->lpInput),
                                    static_cast<uint8_t*>(job->lpOutput),
                                    HfyuMaxFrameBytes(in->biWidth, in->biHeight));
    if (!bytes)
        return ICERR_ERROR;
    job->lpbiOutput->biSizeImage = static_cast<DWORD>(bytes);
    if (job->lpdwFlags)
        *job->lpdwFlags = AVIIF_KEYFRAME;
    if (job->lpckid)
        *job->lpckid = 0;
    return ICERR_OK;
}

LRESULT DecompressBegin(Instance* self, const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out)
{
    if (!AcceptedCompressed(in) || (out && (out->biBitCount != 24 || out->biCompression != BI_RGB)))
        return ICERR_BADFORMAT;
    HfyuClose(self->decoder);
    const size_t extra = in->biSize > sizeof(BITMAPINFOHEADER) ? in->biSize - sizeof(BITMAPINFOHEADER) : 0;
    self->decoder = HfyuOpenDecoder(in->biWidth, in->biHeight,
                                    reinterpret_cast<const uint8_t*>(in + 1), extra);
    return self->decoder ? ICERR_OK : ICERR_MEMORY;
}

LRESULT DecompressFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out)
{
    if (!AcceptedCompressed(in))
        return ICERR_BADFORMAT;
    if (!out)
        return sizeof(BITMAPINFOHEADER);
    memset(out, 0, sizeof *out);
    out->biSize = sizeof *out;
    out->biWidth = in->biWidth;
    out->biHeight = in->biHeight;
    out->biPlanes = 1;
    out->biBitCount = 24;
    out->biCompression = BI_RGB;
    out->biSizeImage = static_cast<DWORD>(in->biWidth) * in->biHeight * 3;
    return ICERR_OK;
}

LRESULT Decompress(Instance* self, ICDECOMPRESS* job)
{
    if (!job || !job->lpbiInput || !job->lpInput || !job->lpOutput)
        return ICERR_ERROR;
    if (!self->decoder && DecompressBegin(self, job->lpbiInput, nullptr) != ICERR_OK)
        return ICERR_ERROR;
    return HfyuDecode(self->decoder, static_cast<const uint8_t*>(job->lpInput),
                      job->lpbiInput->biSizeImage, static_cast<uint8_t*>(job->lpOutput))
               ? ICERR_OK
               : ICERR_ERROR;
}

LRESULT Info(ICINFO* info, DWORD size)
{
    if (!info || size < sizeof(ICINFO))
        return 0;
    memset(info, 0, sizeof *info);
    info->dwSize = sizeof *info;
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = kHfyu;
    info->dwFlags = VIDCF_FASTTEMPORALC;
    info->dwVersion = 1;
    info->dwVersionICM = ICVERSION;
    lstrcpyW(info->szName, L"HFYU");
    lstrcpyW(info->szDescription, L"HuffYUV lossless");
    return sizeof *info;
}

}  // namespace

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR, UINT msg, LPARAM lParam1, LPARAM lParam2)
{
    Instance* self = reinterpret_cast<Instance*>(id);
    switch (msg) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_INSTALL:
    case DRV_REMOVE:
        return 1;
    case DRV_OPEN: {
        ICOPEN* open = reinterpret_cast<ICOPEN*>(lParam2);
        if (open && open->fccType != ICTYPE_VIDEO)
            return 0;
        if (open)
            open->dwError = ICERR_OK;
        return reinterpret_cast<LRESULT>(new Instance);
    }
    case DRV_CLOSE:
        if (self) {
            HfyuClose(self->encoder);
            HfyuClose(self->decoder);
            delete self;
        }
        return 1;
    case DRV_QUERYCONFIGURE:
        return 0;
    case ICM_GETINFO:
        return Info(reinterpret_cast<ICINFO*>(lParam1), static_cast<DWORD>(lParam2));
    case ICM_COMPRESS_QUERY:
        if (!AcceptedInput(reinterpret_cast<BITMAPINFOHEADER*>(lParam1)))
            return ICERR_BADFORMAT;
        return lParam2 && !AcceptedCompressed(reinterpret_cast<BITMAPINFOHEADER*>(lParam2))
                   ? ICERR_BADFORMAT
                   : ICERR_OK;
    case ICM_COMPRESS_GET_FORMAT:
        return CompressFormat(reinterpret_cast<BITMAPINFOHEADER*>(lParam1),
                              reinterpret_cast<BITMAPINFOHEADER*>(lParam2));
    case ICM_COMPRESS_GET_SIZE: {
        const BITMAPINFOHEADER* in = reinterpret_cast<BITMAPINFOHEADER*>(lParam1);
        return in ? static_cast<LRESULT>(HfyuMaxFrameBytes(in->biWidth, in->biHeight)) : 0;
    }
    case ICM_COMPRESS_BEGIN: {
        const BITMAPINFOHEADER* in = reinterpret_cast<BITMAPINFOHEADER*>(lParam1);
        if (!self || !AcceptedInput(in))
            return ICERR_BADFORMAT;
        HfyuClose(self->encoder);
        self->encoder = HfyuOpenEncoder(in->biWidth, in->biHeight);
        return self->encoder ? ICERR_OK : ICERR_MEMORY;
    }
    case ICM_COMPRESS:
        return self ? Compress(self, reinterpret_cast<ICCOMPRESS*>(lParam1)) : ICERR_ERROR;
    case ICM_COMPRESS_END:
        if (self) {
            HfyuClose(self->encoder);
            self->encoder = nullptr;
        }
        return ICERR_OK;
    case ICM_DECOMPRESS_QUERY:
        return AcceptedCompressed(reinterpret_cast<BITMAPINFOHEADER*>(lParam1)) ? ICERR_OK
                                                                                : ICERR_BADFORMAT;
    case ICM_DECOMPRESS_GET_FORMAT:
        return DecompressFormat(reinterpret_cast<BITMAPINFOHEADER*>(lParam1),
                                reinterpret_cast<BITMAPINFOHEADER*>(lParam2));
    case ICM_DECOMPRESS_BEGIN:
        return self ? DecompressBegin(self, reinterpret_cast<BITMAPINFOHEADER*>(lParam1),
                                      reinterpret_cast<BITMAPINFOHEADER*>(lParam2))
                    : ICERR_ERROR;
    case ICM_DECOMPRESS:
        return self ? Decompress(self, reinterpret_cast<ICDECOMPRESS*>(lParam1)) : ICERR_ERROR;
    case ICM_DECOMPRESS_END:
        if (self) {
            HfyuClose(self->decoder);
            self->decoder = nullptr;
        }
        return ICERR_OK;
    default:
        if (msg < DRV_USER)
            return DefDriverProc(id, nullptr, msg, lParam1, lParam2);
        return ICERR_UNSUPPORTED;
    }
}

#include "HuffyuvCodec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

#include <string.h>

#include <vector>

struct HfyuCodec {
    AVCodecContext* context = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;   // the encoder's working copy of a frame
};

namespace {

HfyuCodec* Finish(HfyuCodec* codec, const AVCodec* which)
{
    codec->frame = av_frame_alloc();
    codec->packet = av_packet_alloc();
    if (!codec->frame || !codec->packet || avcodec_open2(codec->context, which, nullptr) < 0) {
        HfyuClose(codec);
        return nullptr;
    }
    return codec;
}

HfyuCodec* Make(const AVCodec* which, int width, int height)
{
    if (!which || width <= 0 || height <= 0)
        return nullptr;
    HfyuCodec* codec = new HfyuCodec;
    codec->width = width;
    codec->height = height;
    codec->context = avcodec_alloc_context3(which);
    if (!codec->context) {
        delete codec;
        return nullptr;
    }
    codec->context->width = width;
    codec->context->height = height;
    codec->context->pix_fmt = AV_PIX_FMT_RGB24;
    codec->context->time_base = AVRational{1, 25};
    codec->context->bits_per_coded_sample = 24;
    codec->context->codec_tag = 'H' | ('F' << 8) | ('Y' << 16) | ('U' << 24);
    return codec;
}

}  // namespace

HfyuCodec* HfyuOpenEncoder(int width, int height)
{
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_HUFFYUV);
    HfyuCodec* codec = Make(encoder, width, height);
    return codec ? Finish(codec, encoder) : nullptr;
}

HfyuCodec* HfyuOpenDecoder(int width, int height, const uint8_t* extra, size_t extraBytes)
{
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_HUFFYUV);
    HfyuCodec* codec = Make(decoder, width, height);
    if (!codec)
        return nullptr;
    if (extra && extraBytes) {
        codec->context->extradata =
            static_cast<uint8_t*>(av_mallocz(extraBytes + AV_INPUT_BUFFER_PADDING_SIZE));
        if (codec->context->extradata) {
            memcpy(codec->context->extradata, extra, extraBytes);
            codec->context->extradata_size = static_cast<int>(extraBytes);
        }
    }
    return Finish(codec, decoder);
}

void HfyuClose(HfyuCodec* codec)
{
    if (!codec)
        return;
    av_packet_free(&codec->packet);
    av_frame_free(&codec->frame);
    avcodec_free_context(&codec->context);
    delete codec;
}

size_t HfyuExtraData(HfyuCodec* codec, uint8_t* out, size_t capacity)
{
    if (!codec || codec->context->extradata_size <= 0)
        return 0;
    const size_t bytes = static_cast<size_t>(codec->context->extradata_size);
    if (out) {
        if (capacity < bytes)
            return 0;
        memcpy(out, codec->context->extradata, bytes);
    }
    return bytes;
}

size_t HfyuMaxFrameBytes(int width, int height)
{
    return static_cast<size_t>(width) * height * 4 + 4096;
}

size_t HfyuEncode(HfyuCodec* codec, const uint8_t* pixels, uint8_t* out, size_t capacity)
{
    if (!codec || !pixels || !out)
        return 0;
    AVFrame* frame = codec->frame;
    const int stride = codec->width * 3;
    // The codec takes top-down rows of red, green, blue; the frame is bottom-up blue first.
    codec->rgb.resize(static_cast<size_t>(stride) * codec->height);
    for (int y = 0; y < codec->height; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(codec->height - 1 - y) * stride;
        uint8_t* dst = &codec->rgb[static_cast<size_t>(y) * stride];
        for (int x = 0; x < stride; x += 3) {
            dst[x] = src[x + 2];
            dst[x + 1] = src[x + 1];
            dst[x + 2] = src[x];
        }
    }
    frame->data[0] = codec->rgb.data();
    frame->linesize[0] = stride;
    frame->width = codec->width;
    frame->height = codec->height;
    frame->format = AV_PIX_FMT_RGB24;
    if (avcodec_send_frame(codec->context, frame) < 0)
        return 0;
    size_t written = 0;
    if (avcodec_receive_packet(codec->context, codec->packet) == 0) {
        if (static_cast<size_t>(codec->packet->size) <= capacity) {
            memcpy(out, codec->packet->data, codec->packet->size);
            written = codec->packet->size;
        }
        av_packet_unref(codec->packet);
    }
    frame->data[0] = nullptr;
    return written;
}

int HfyuDecode(HfyuCodec* codec, const uint8_t* data, size_t bytes, uint8_t* pixels)
{
    if (!codec || !data || !pixels || !bytes)
        return 0;
    // The codec reads a little past the end of its input.
    uint8_t* padded = static_cast<uint8_t*>(av_mallocz(bytes + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!padded)
        return 0;
    memcpy(padded, data, bytes);
    codec->packet->data = padded;
    codec->packet->size = static_cast<int>(bytes);
    int ok = avcodec_send_packet(codec->context, codec->packet) == 0 &&
             avcodec_receive_frame(codec->context, codec->frame) == 0;
    codec->packet->data = nullptr;
    codec->packet->size = 0;
    av_free(padded);
    if (!ok)
        return 0;
    AVFrame* frame = codec->frame;
    // 24-bit streams come back as red-first triples or as blue-first quads.
    const int in = frame->format == AV_PIX_FMT_RGB24 ? 3
                 : frame->format == AV_PIX_FMT_BGR0 || frame->format == AV_PIX_FMT_BGRA ? 4 : 0;
    ok = in && frame->width == codec->width && frame->height == codec->height;
    if (ok) {
        const int stride = codec->width * 3;
        for (int y = 0; y < codec->height; ++y) {
            const uint8_t* src = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
            uint8_t* dst = pixels + static_cast<size_t>(codec->height - 1 - y) * stride;
            if (in == 3) {
                for (int x = 0; x < stride; x += 3) {
                    dst[x] = src[x + 2];
                    dst[x + 1] = src[x + 1];
                    dst[x + 2] = src[x];
                }
            } else {
                for (int x = 0; x < codec->width; ++x)
                    memcpy(dst + 3 * x, src + 4 * x, 3);
            }
        }
    }
    av_frame_unref(frame);
    return ok;
}

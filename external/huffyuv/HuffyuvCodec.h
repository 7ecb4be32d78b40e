// HuffYUV encoding and decoding of 24-bit frames (rows bottom-up, 3 bytes a pixel,
// width a multiple of 4) over libavcodec. Plain types only: the driver side includes
// Win32 headers, this side the codec's.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct HfyuCodec;

// An encoder for width x height frames; null on failure.
HfyuCodec* HfyuOpenEncoder(int width, int height);
// A decoder for frames made with the given codec data (the encoder's extra data).
HfyuCodec* HfyuOpenDecoder(int width, int height, const uint8_t* extra, size_t extraBytes);
void HfyuClose(HfyuCodec* codec);

// The codec data that follows the format header; its size when out is null.
size_t HfyuExtraData(HfyuCodec* codec, uint8_t* out, size_t capacity);
// Encodes one frame into out; bytes written, 0 on failure.
size_t HfyuEncode(HfyuCodec* codec, const uint8_t* pixels, uint8_t* out, size_t capacity);
// Decodes one frame into pixels (width x height x 3 bytes); non-zero on success.
int HfyuDecode(HfyuCodec* codec, const uint8_t* data, size_t bytes, uint8_t* pixels);
// Bytes an encoded frame can take at most.
size_t HfyuMaxFrameBytes(int width, int height);

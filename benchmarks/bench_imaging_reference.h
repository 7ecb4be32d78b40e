// Bare library encodes and decodes for bench_imaging (no Win32 header in their file).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

// Top-down R,G,B rows, width × 3 bytes each.
bool BareJpegEncode(const uint8_t* rgb, int width, int height, int quality, std::vector<uint8_t>& out);
bool BarePngEncode(const uint8_t* rgb, int width, int height, std::vector<uint8_t>& out);
// Decodes a colour JPEG into one buffer of 3-byte BGR pixels, top row first.
bool BareJpegDecode(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

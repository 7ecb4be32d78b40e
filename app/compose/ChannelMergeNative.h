// The channel merge's pixel steps over plain buffers (no Win32 header).
#pragma once

#include <stdint.h>

// Adds a channel into the running sum, component by component, saturating at 255.
// Both are width x height pixels of 3 bytes, rows `sumStride` and `channelStride`
// bytes apart; the row padding is not touched.
void AddChannelSaturating(uint8_t* sum, int sumStride, const uint8_t* channel, int channelStride,
                          int width, int height);

// The rectangle (rows counted from the top, right and bottom exclusive) that every
// channel still covers after its shift: a channel moved right by x blackens x columns
// at the left, one moved up by y (positive y) blackens y rows at the bottom. offsets
// holds count (x, y) pairs, one per merged channel.
struct MergeCrop
{
    int left, top, right, bottom;
};
MergeCrop CropForOffsets(const int (*offsets)[2], int count, int width, int height);

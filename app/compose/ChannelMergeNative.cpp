#include "app/compose/ChannelMergeNative.h"

#include <algorithm>

void AddChannelSaturating(uint8_t* sum, int sumStride, const uint8_t* channel, int channelStride,
                          int width, int height)
{
    for (int y = 0; y < height; ++y) {
        uint8_t* s = sum + size_t(y) * sumStride;
        const uint8_t* c = channel + size_t(y) * channelStride;
        for (int i = 0; i < 3 * width; ++i) {
            const int v = s[i] + c[i];
            s[i] = uint8_t(v > 255 ? 255 : v);
        }
    }
}

MergeCrop CropForOffsets(const int (*offsets)[2], int count, int width, int height)
{
    int maxX = 0, minX = 0, maxY = 0, minY = 0;
    for (int i = 0; i < count; ++i) {
        maxX = std::max(maxX, offsets[i][0]);
        minX = std::min(minX, offsets[i][0]);
        maxY = std::max(maxY, offsets[i][1]);
        minY = std::min(minY, offsets[i][1]);
    }
    return MergeCrop{maxX, -minY, width + minX, height - maxY};
}

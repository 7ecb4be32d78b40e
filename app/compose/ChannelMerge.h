// The channel merge: coloured channels added into one picture, cropped to what every
// shifted channel covers.
#pragma once

#include "afxwin.h"

#include <vector>

class CxImage;

// Results of a merge.
const int CHANNEL_MERGE_DONE = 1;
const int CHANNEL_MERGE_FAILED = 0;
const int CHANNEL_MERGE_SIZES_DIFFER = -1;

// channels: the loaded channels' pictures in slot order, offsets: each one's current
// shift. One channel comes back unchanged. Several are first made 24-bit (a channel the
// colouring left grey or indexed is converted, never read as if it were 24-bit), added
// with saturation, and cropped to the area all of them cover when any is shifted.
int MergeChannelPictures(const std::vector<const CxImage*>& channels,
                         const std::vector<POINT>& offsets, CxImage* result);

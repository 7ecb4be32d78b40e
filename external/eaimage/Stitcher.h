// The OpenCV side of the stitching library: plain types only, no Win32 header. The
// front reads and writes the files; everything between happens here.
#pragma once

#include <string>
#include <vector>

namespace eastitch {

// A decoded tile: blue, green, red, rows top first.
struct TileView
{
    const unsigned char* data;
    int width, height, step;
};

// Where a tile's top-left corner lies in the mosaic.
struct Placement
{
    int x, y;
};

// Results, as eaStitch returns them.
const int kOk = 0;
const int kBadArgument = 1;
const int kUnreadable = 2;
const int kUnplaceable = 3;
const int kWriteFailed = 4;

// Whether a picture type (extension with its dot, any case) can be written.
bool CanWrite(const std::string& extension);

// Places the tiles: every tile's corner in mosaic pixels (the smallest x and y are 0).
// kUnplaceable when some tile has no reliable overlap that ties it to the rest.
int PlaceTiles(const std::vector<TileView>& tiles, std::vector<Placement>* placements);

// The whole job on encoded files: decode, place, blend and encode in the type of
// `extension`. On kOk `encoded` holds the mosaic's file and `placements` (when given)
// where each tile went.
int StitchFiles(const std::vector<std::vector<unsigned char>>& files,
                const std::string& extension, std::vector<unsigned char>* encoded,
                std::vector<Placement>* placements);

}  // namespace eastitch

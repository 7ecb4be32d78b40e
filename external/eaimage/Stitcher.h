// The OpenCV side of the stitching library: plain types only, no Win32 header. The
// front decodes and writes the files; placing and blending happen here.
#pragma once

#include <vector>

namespace eastitch {

// A decoded tile: blue, green, red, rows top first (or every tile bottom first: the
// mosaic then comes out bottom first as well).
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

// Places the tiles: every tile's corner in mosaic pixels (the smallest x and y are 0).
// kUnplaceable when some tile has no reliable overlap that ties it to the rest.
int PlaceTiles(const std::vector<TileView>& tiles, std::vector<Placement>* placements);

// The mosaic's width and height for tiles at their places.
void MosaicSize(const std::vector<TileView>& tiles, const std::vector<Placement>& at,
                int* width, int* height);

// Blends the placed tiles into `mosaic` (MosaicSize large, rows `step` bytes apart),
// each tile weighing by its distance from its own edges.
void BlendTiles(const std::vector<TileView>& tiles, const std::vector<Placement>& at,
                unsigned char* mosaic, int step);

}  // namespace eastitch

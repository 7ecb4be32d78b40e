// Test data for composition, rendered by the camera bench: focus stacks with their
// all-in-focus truth, tile grids on a slide with the tiles' true places and the true
// mosaic, and exposure brackets. Native side (no Win32 header); the tool and the tests
// call the same functions, so a test makes small data in-process.
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

namespace composedata {

// A picture of 8-bit blue, green, red pixels, rows top first, 3 x width bytes each.
struct Picture
{
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
    const uint8_t* Row(int y) const { return bgr.data() + size_t(y) * width * 3; }
};

struct FocusStack
{
    std::vector<Picture> planes;
    std::vector<float> focus;   // stage focus of each plane
    Picture truth;              // every layer sharp, no noise
};

// planes pictures at focus evenly from -spread to +spread (the bench's three layers of
// cells are sharp at -1, 0 and +1).
FocusStack MakeFocusStack(int width, int height, int planes, float spread, uint32_t seed,
                          bool noise = true);

// A camera's noise on a clean picture: shot noise growing with the level and read
// noise, together `sigma` grey levels at mid-grey (128); read noise alone a third.
void AddCameraNoise(Picture* picture, float sigma, uint32_t seed);

// planes pictures of the bench's all-in-focus scene whose depth varies smoothly over
// the field: a pixel of plane i is blurred by how far its depth lies from the plane's
// focus (up to two focus units, as far as a bench layer), then gets camera noise of
// `noise` grey levels at mid-grey. The truth is the clean all-in-focus scene.
FocusStack MakeDepthStack(int width, int height, int planes, float noise, uint32_t seed);

struct GridSpec
{
    int tileWidth = 320, tileHeight = 240;
    int rows = 3, cols = 3;
    double overlap = 0.2;       // share of a tile that its neighbour covers
    int stageError = 12;        // the stage lands up to this many pixels off, each way
    float emptyShare = 0.0f;    // share of the slide without cells
    uint32_t seed = 1;
    bool noise = true;
    // A camera's noise instead of the bench's (grey levels at mid-grey, 0: the bench's).
    float cameraNoise = 0.0f;
    // Share of the slide blurred smooth (by slide position, so overlaps agree).
    float smoothShare = 0.0f;
    // Each tile's gain differs by up to this share either way.
    float gainSpread = 0.0f;
};

struct TileGrid
{
    std::vector<Picture> tiles;             // row by row
    std::vector<int> x, y;                  // each tile's corner in the mosaic
    Picture mosaic;                         // the covered area, even lamp, no noise
};

TileGrid MakeTileGrid(const GridSpec& spec);

struct Bracket
{
    std::vector<Picture> exposures;
    std::vector<float> exposureMs;
    Picture truth;                          // the middle exposure without noise
};

// count exposures `stops` apart around the bench's standard exposure.
Bracket MakeExposureBracket(int width, int height, int count, float stops, uint32_t seed);

// The picture as a file of the type of `extension` (".bmp", ".tif", ".jpg", ".png").
bool Encode(const Picture& picture, const std::string& extension, std::vector<uint8_t>* file);

// A picture file (any type OpenCV reads) back into a picture; false when undecodable.
bool Decode(const std::vector<uint8_t>& file, Picture* picture);

// Mean absolute difference per sample; -1 for pictures of different sizes.
double MeanAbsDifference(const Picture& a, const Picture& b);
// Root mean square difference per sample; -1 for pictures of different sizes.
double RmsDifference(const Picture& a, const Picture& b);

}  // namespace composedata

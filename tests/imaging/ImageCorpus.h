// Test helpers without a Win32 header, shared by the Wine tests, the native sanitizer
// run and the loader fuzzing benchmark: reference pictures (PAM), pixel comparison,
// and seeded mutations of image files.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "PixelImage.h"

typedef std::vector<uint8_t> Bytes;

// Top-down rows of R, G, B, A bytes.
struct RgbaImage {
    int width = 0, height = 0;
    bool hasAlpha = false;
    bool premultiplied = false;  // colour already multiplied by alpha
    std::vector<uint8_t> px;
    const uint8_t* At(int x, int y) const { return px.data() + (static_cast<size_t>(y) * width + x) * 4; }
};

bool ReadPam(const Bytes& data, RgbaImage& image);
RgbaImage ToRgba(const orv_img::PixelImage& image);
// Empty when every sample is within tol; else the first difference, described.
// Colour is not compared where the reference is fully transparent.
std::string CompareRgba(const RgbaImage& ours, const RgbaImage& ref, int tol);
// Peak signal-to-noise ratio of the colour samples, in dB (1000 when equal).
double Psnr(const RgbaImage& a, const RgbaImage& b);

// One line of the reference manifest: a file and its tolerance, or "lib" for files
// whose own library gives the reference.
struct ManifestEntry {
    std::string file;
    int tolerance = 0;
    bool library = false;
};
std::vector<ManifestEntry> ParseManifest(const Bytes& text);
// The tolerance to use: the manifest's, or for library references 1 where 16-bit
// samples are scaled to 8 by two roundings.
int LibraryTolerance(const ManifestEntry& e);

// Format code from a file name's extension (lower or upper case), 0 when unknown.
int FormatFromName(const std::string& name);

// A broken variant of a file and what was done to it.
struct Mutation {
    std::string what;
    Bytes data;
};
// count mutations of seedFile, drawn from seed: truncations, bit flips and poisoned
// header fields (sizes, bit counts, offsets, palette counts, run lengths, code sizes).
std::vector<Mutation> MakeMutations(const Bytes& seedFile, int format, uint32_t seed, int count);

// Synthetic pictures of every depth for the writers: bpp 1, 4, 8 (colour palette),
// 8 grey or 24, optionally with an alpha plane.
orv_img::PixelImage MakeTestPicture(int width, int height, int bpp, bool grey, bool alpha);

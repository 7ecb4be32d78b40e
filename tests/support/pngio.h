// PNG files for tests. No Win32 here: the codec's headers clash with windows.h.
#pragma once
#include <vector>

// Writes 8-bit RGB rows (3 bytes a pixel, `stride` bytes a row).
bool WritePngRgb(const unsigned char* rgb, int width, int height, int stride,
                 const char* unixPath);
// Reads any PNG as 8-bit RGB, tightly packed rows.
bool ReadPngRgb(const char* unixPath, std::vector<unsigned char>& rgb, int& width,
                int& height);

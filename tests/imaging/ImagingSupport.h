// Win32 side of the imaging tests: where the reference and output folders are, path
// conversion between Unix and Windows names, small file helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ImageCorpus.h"
#include "xImage.h"

// Unix folders made by the build (references) and filled by the tests.
std::string RefsDir();
std::string SavedDir();
std::string FuzzDir();

// Windows form of a Unix path, NUL-terminated.
std::vector<WCHAR> WinPath(const std::string& unixPath);
bool ReadUnixFile(const std::string& path, Bytes& data);
bool WriteUnixFile(const std::string& path, const Bytes& data);
// Removes every file of a Unix folder and creates it when missing.
void ResetUnixDir(const std::string& dir);
// Writes a PAM of the picture (the expected decode for the ImageMagick check).
bool WritePam(const std::string& path, const RgbaImage& image);

RgbaImage ToRgba(const CxImage& image);

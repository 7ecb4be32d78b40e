// Reference decodes of JPEG, PNG, TIFF, GIF and JPEG 2000 by their own libraries.
#pragma once

#include <string>

#include "ImageCorpus.h"

// Decodes by the format of the file name; false when the library refuses.
bool DecodeWithLibrary(const std::string& name, const Bytes& data, RgbaImage& out);

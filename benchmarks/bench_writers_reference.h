// The plain library calls the capture writers are measured against. No Win32 here.
#pragma once

// libjpeg-turbo: encode top-down R,G,B rows into memory at quality 75 (baseline).
// Answers the encoded size, 0 on failure.
unsigned long ReferenceJpegEncode(const unsigned char* rgb, int width, int height);

// libtiff: write one uncompressed 8-bit RGB page of top-down rows to a Unix path.
bool ReferenceTiffWrite(const char* unixPath, const unsigned char* rgb, int width, int height);

// The plain library calls the capture writers are measured against. No Win32 here.
#pragma once

#include "WriterCodecs.h"

// libjpeg-turbo: encode top-down R,G,B rows into memory at quality 75 (baseline).
// Answers the encoded size (the bytes in *out, freed with ReferenceFree), 0 on failure.
unsigned long ReferenceJpegEncode(const unsigned char* rgb, int width, int height, unsigned char** out);
void ReferenceFree(unsigned char* data);

// libtiff: write one uncompressed 8-bit RGB page of top-down rows into a new file seen
// through the stream table (the file calls the capture writer makes).
bool ReferenceTiffWrite(const orv_codec::CodecStream& stream, const unsigned char* rgb, int width,
                        int height);

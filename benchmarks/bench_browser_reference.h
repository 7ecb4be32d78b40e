// Bare libjpeg decode for bench_browser (no Win32 header in its file).
#pragma once
#include <stddef.h>

// Decodes a JPEG at full size into RGB rows; false on broken data.
bool BareJpegDecode(const unsigned char* data, size_t size, int& width, int& height);

// Inner loops of the display adjustments, free of Win32 so they build with the native
// compiler's vectoriser: per-sample table mapping and the unsharp mask on row bands.
// The callers split the rows into bands and run them on Win32 threads.
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace orv_kernels {

// dst := table[src] for rows × rowBytes samples; src and dst may be the same.
void MapRows(const uint8_t* src, uint8_t* dst, size_t stride, size_t rowBytes, int rows,
             const uint8_t table[256]);

bool IsIdentity(const uint8_t table[256]);

// The unsharp mask: a separable Gaussian of 11 symmetric integer taps, each pass's sums
// divided (truncating) by the taps' sum, then out = in + (in - blur) × s.
struct SharpenPlan {
    uint8_t* bits;       // first stored row
    size_t stride;
    int width, height;
    int channels;        // 1 or 3
    int taps[11];
    int sum;
    float s;
};

// Horizontal pass of stored row y into out (width × channels bytes).
void SharpenBlurRow(const SharpenPlan& plan, int y, uint8_t* out);

// Rows first..last, in place. halo[0..4] hold the horizontal pass of rows first-5..first-1
// and halo[5..9] of rows last+1..last+5 (unused ones outside the picture may be null),
// made before any band writes. scratch holds SharpenScratchBytes(plan) bytes.
size_t SharpenScratchBytes(const SharpenPlan& plan);
void SharpenBand(const SharpenPlan& plan, int first, int last, const uint8_t* const halo[10],
                 uint8_t* scratch);

}  // namespace orv_kernels

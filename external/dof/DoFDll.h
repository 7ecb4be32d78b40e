// Extended depth of field library: a per-pixel focus measure and an unsharp mask.
//
// Boundary rules:
// - Pictures are DofImage: width x height pixels of 8-bit blue, green, red, rows top
//   first, each row `step` bytes from the last (step >= 3 x width). Focus matrices are
//   DofMatrix: rows (= picture height) x cols (= picture width) 32-bit floats, each row
//   `step` bytes from the last (step >= 4 x cols).
// - The caller owns every buffer; the library keeps no pointer after a call returns and
//   allocates nothing the caller must free. Nothing throws out of the library.
// - Results: 1 done, 0 refused (a null pointer, an empty picture, a short step, a matrix
//   of another shape, two pictures of different sizes); a refused call writes nothing.
// - Calls may come from any thread made by Win32, several at once on different buffers.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef struct DofImage
{
    int width;
    int height;
    int step;               // bytes from one row to the next
    unsigned char* data;    // blue, green, red per pixel
} DofImage;

typedef struct DofMatrix
{
    int rows;               // picture height
    int cols;               // picture width
    int step;               // bytes from one row to the next
    float* data;
} DofMatrix;

// Fills every element with the focus measure of the pixel at the same place: the local
// energy of the smoothed luminance's Laplacian over a window of some ten pixels, so
// that sensor noise does not decide it. Larger means sharper; never negative.
__attribute__((ms_abi)) int ExtendDeepOfField(const DofImage* image, DofMatrix* focus);

// Sharpens `image` in place against `smoothed`, a blurred copy of the same size: a mild
// unsharp mask that leaves differences within the picture's noise alone. A flat
// picture stays as it is.
__attribute__((ms_abi)) int usm(const DofImage* smoothed, DofImage* image);

#ifdef __cplusplus
}
#endif

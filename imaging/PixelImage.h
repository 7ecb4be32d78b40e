// The in-memory picture behind CxImage, on the native side: no Win32 header here, so
// the codecs and the pixel operations build and run with or without Wine (the
// sanitizer build runs them natively).
//
// Layout is a Windows DIB: rows bottom-up, each padded to 4 bytes; 1, 4 or 8 bits per
// pixel with a palette of B,G,R,reserved entries, or 24-bit B,G,R. An optional alpha
// plane holds one byte per pixel, bottom-up, unpadded.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace orv_img {

// File format codes, shared with the program's file-type table.
enum ImageFormat {
    FORMAT_UNKNOWN = 0,
    FORMAT_BMP = 1,
    FORMAT_GIF = 2,
    FORMAT_JPG = 3,
    FORMAT_PNG = 4,
    FORMAT_ICO = 5,
    FORMAT_TIF = 6,
    FORMAT_TGA = 7,
    FORMAT_PCX = 8,
    FORMAT_WBMP = 9,
    FORMAT_WMF = 10,
    FORMAT_JP2 = 11,
    FORMAT_JPC = 12,
    FORMAT_PGX = 13,
    FORMAT_PNM = 14,
    FORMAT_RAS = 15,
    FORMAT_MNG = 17,
};

struct PaletteEntry {
    uint8_t b, g, r, reserved;
};

// Largest picture any loader may allocate; checked before allocating.
const uint64_t kMaxImageBytes = 768ull << 20;
const int kMaxImageSide = 1 << 18;

// Refuses sizes that are not positive, too large for the buffer limit, or
// overflowing; on refusal err says why.
bool CheckImageSize(int64_t width, int64_t height, int bpp, std::string& err);

inline size_t StrideFor(int width, int bpp)
{
    return ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
}

class PixelImage {
public:
    PixelImage() = default;
    PixelImage(const PixelImage& other);
    PixelImage& operator=(const PixelImage& other);
    PixelImage(PixelImage&& other) noexcept;
    PixelImage& operator=(PixelImage&& other) noexcept;
    ~PixelImage();

    // Allocates a zeroed picture; bpp 1, 4, 8 or 24. Indexed pictures get a grey
    // ramp palette. False (and err) when the size is refused or memory runs out.
    bool Create(int width, int height, int bpp, std::string& err);
    void Destroy();
    bool IsValid() const { return m_bits != nullptr; }
    void Swap(PixelImage& other) noexcept;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Bpp() const { return m_bpp; }
    size_t Stride() const { return m_stride; }
    size_t PixelBytes() const { return m_stride * static_cast<size_t>(m_height); }
    uint8_t* Bits() { return m_bits; }
    const uint8_t* Bits() const { return m_bits; }
    // Row y counted from the bottom, as stored.
    uint8_t* Row(int y) { return m_bits + m_stride * static_cast<size_t>(y); }
    const uint8_t* Row(int y) const { return m_bits + m_stride * static_cast<size_t>(y); }
    // Row y counted from the top.
    uint8_t* TopRow(int y) { return Row(m_height - 1 - y); }
    const uint8_t* TopRow(int y) const { return Row(m_height - 1 - y); }

    int format = FORMAT_UNKNOWN;
    std::vector<PaletteEntry> palette;  // 1 << bpp entries for indexed pictures
    int xDpi = 96, yDpi = 96;

    // Grey ramp palette of 1 << bpp entries.
    void SetGreyPalette();
    // 8-bit with the identity grey ramp.
    bool IsGrey() const;

    bool HasAlpha() const { return m_alpha != nullptr; }
    bool CreateAlpha();  // opaque plane
    void DeleteAlpha();
    uint8_t* Alpha() { return m_alpha; }
    const uint8_t* Alpha() const { return m_alpha; }

    // Index (indexed) or B,G,R of one pixel; (x, y) with y counted from the top.
    uint8_t GetIndex(int x, int y) const;
    void SetIndex(int x, int y, uint8_t index);
    PaletteEntry GetColor(int x, int y) const;

    // Selection: a box in pixel coordinates, rows counted from the bottom, right
    // and top exclusive (left < right, bottom < top).
    bool SelectionValid() const { return m_selValid; }
    void SelectionClear() { m_selValid = false; }
    // Adds the box {left, top, right, bottom} (bottom-up rows; the corners may come
    // in either order), clamped to the picture; nothing when it is empty.
    void SelectionAddRect(int left, int top, int right, int bottom);
    void SelectionBox(int& left, int& top, int& right, int& bottom) const;

    // Geometry. Crop takes top-down coordinates, right and bottom exclusive,
    // clamped to the picture; false when nothing is left.
    bool Crop(int left, int top, int right, int bottom, std::string& err);
    bool Flip();
    bool Mirror();
    bool RotateLeft(std::string& err);
    bool RotateRight(std::string& err);
    bool Rotate180();
    // Bilinear (mode 1) or nearest (mode 0) resampling of a 24-bit or grey copy.
    bool Resample(int newWidth, int newHeight, int mode, std::string& err);

    // Depth changes. Expanding keeps the colours; 24 to 8 makes grey.
    bool ConvertTo24(std::string& err);
    bool ConvertToGrey(std::string& err);

    // Per-sample tables: applied to the palette of indexed colour pictures, to the
    // samples of grey and 24-bit pictures (grey stays grey).
    void ApplyTable(const uint8_t table[256]);
    // Brightness is added, contrast scales about mid-grey by (100 + contrast) / 100.
    static void LightTable(long brightness, long contrast, uint8_t table[256]);
    // gamma > 1 lifts the mid-tones.
    static void GammaTable(float gamma, uint8_t table[256]);
    bool Light(long brightness, long contrast);
    bool Gamma(float gamma);
    // Scales the saturation by (100 + saturation) / 100 keeping hue and lightness.
    bool Saturate(long saturation);

private:
    bool AllocLike(int width, int height, int bpp, std::string& err);

    int m_width = 0, m_height = 0, m_bpp = 0;
    size_t m_stride = 0;
    uint8_t* m_bits = nullptr;
    uint8_t* m_alpha = nullptr;
    bool m_selValid = false;
    int m_selLeft = 0, m_selTop = 0, m_selRight = 0, m_selBottom = 0;
};

}  // namespace orv_img

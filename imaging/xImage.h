// CxImage: the program's in-memory picture and its file front end. Pixels are a
// bottom-up DIB (rows padded to 4 bytes; 1, 4 or 8 bits with a palette or 24-bit
// B,G,R; optional alpha plane); pixel coordinates count rows from the bottom.
//
// The codecs live in Win32-free files behind orv_img (Codecs.h); this side reads
// and writes files through Win32 (Windows paths), plays metafiles through GDI and
// draws into device contexts. A save is written to a temporary file beside the target
// and replaces it only when everything was written.
#pragma once

#include <windows.h>

#include <vector>

#include "PixelImage.h"

enum {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_ICO = 5,
    CXIMAGE_FORMAT_TIF = 6,
    CXIMAGE_FORMAT_TGA = 7,
    CXIMAGE_FORMAT_PCX = 8,
    CXIMAGE_FORMAT_WBMP = 9,
    CXIMAGE_FORMAT_WMF = 10,
    CXIMAGE_FORMAT_JP2 = 11,
    CXIMAGE_FORMAT_JPC = 12,
    CXIMAGE_FORMAT_PGX = 13,
    CXIMAGE_FORMAT_PNM = 14,
    CXIMAGE_FORMAT_RAS = 15,
    CXIMAGE_FORMAT_MNG = 17,
};

class CxImage {
public:
    explicit CxImage(DWORD imageType = CXIMAGE_FORMAT_UNKNOWN);
    CxImage(const CxImage& src, bool copyPixels = true, bool copySelection = true,
            bool copyAlpha = true);
    CxImage(const WCHAR* fileName, DWORD imageType);
    CxImage(const BYTE* buffer, DWORD size, DWORD imageType);
    virtual ~CxImage();
    CxImage& operator=(const CxImage& src);

    // Full copy of pixels, palette, selection and alpha unless told otherwise.
    void Copy(const CxImage& src, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
    // Takes the other picture's contents; the other is left empty.
    bool Transfer(CxImage& from);
    // A zeroed picture; bpp 1, 4, 8 or 24 (indexed ones get a grey ramp).
    void* Create(DWORD width, DWORD height, DWORD bpp, DWORD imageType = 0);
    bool Destroy();
    bool IsValid() const { return m_image.IsValid(); }

    // Files and memory. Load and Decode find the format by signature where the
    // content names one, else use the given type.
    bool Load(const WCHAR* fileName, DWORD imageType = CXIMAGE_FORMAT_UNKNOWN);
    bool Load(const char* fileName, DWORD imageType = CXIMAGE_FORMAT_UNKNOWN);
    bool Save(const WCHAR* fileName, DWORD imageType);
    bool Save(const char* fileName, DWORD imageType);
    bool Decode(const BYTE* buffer, DWORD size, DWORD imageType);
    // Allocates buffer (release with FreeMemory) holding size bytes.
    bool Encode(BYTE*& buffer, long& size, DWORD imageType);
    bool Encode(std::vector<BYTE>& out, DWORD imageType);
    static void FreeMemory(void* memblock);
    const char* GetLastError() const { return m_lastError; }
    void SetJpegQuality(BYTE quality) { m_jpegQuality = quality; }
    BYTE GetJpegQuality() const { return m_jpegQuality; }
    static bool IsTypeSupported(DWORD imageType, bool forWriting);
    // The type a file name's extension names in the program's file-type table (any
    // case); CXIMAGE_FORMAT_UNKNOWN for names of no picture the program reads.
    static DWORD GetTypeFromExtension(const WCHAR* extension);  // without the dot
    static DWORD GetTypeFromFileName(const WCHAR* fileName);
    // Any picture the program reads, as 24-bit blue, green, red without alpha.
    bool LoadAsColour(const WCHAR* fileName);
    // Saves in the type the name's extension holds; a metafile name (.wmf, .emf) gets
    // a metafile that draws the picture.
    bool SaveByName(const WCHAR* fileName);

    // DIB accessors.
    DWORD GetWidth() const { return m_image.Width(); }
    DWORD GetHeight() const { return m_image.Height(); }
    WORD GetBpp() const { return static_cast<WORD>(m_image.Bpp()); }
    DWORD GetType() const { return m_image.format; }
    void SetType(DWORD type) { m_image.format = static_cast<int>(type); }
    DWORD GetEffWidth() const { return static_cast<DWORD>(m_image.Stride()); }
    DWORD GetNumColors() const { return static_cast<DWORD>(m_image.palette.size()); }
    DWORD GetPaletteSize() const { return GetNumColors() * sizeof(RGBQUAD); }
    // Pixel bytes only (stride × height).
    DWORD GetSize() const { return static_cast<DWORD>(m_image.PixelBytes()); }
    // Row counted from the bottom, as stored.
    BYTE* GetBits(DWORD row = 0);
    const BYTE* GetBits(DWORD row = 0) const;
    RGBQUAD* GetPalette();
    void SetPalette(const RGBQUAD* colors, DWORD count = 256);
    void SetGrayPalette();
    bool IsGrayScale() const { return m_image.IsGrey(); }
    long GetXDPI() const { return m_image.xDpi; }
    long GetYDPI() const { return m_image.yDpi; }
    void SetXDPI(long dpi) { m_image.xDpi = static_cast<int>(dpi); }
    void SetYDPI(long dpi) { m_image.yDpi = static_cast<int>(dpi); }
    // Header and palette as StretchDIBits takes them.
    void FillBitmapInfo(BITMAPINFO* info) const;

    RGBQUAD GetPixelColor(long x, long y, bool getAlpha = true) const;
    BYTE GetPixelIndex(long x, long y) const;
    void SetPixelIndex(long x, long y, BYTE index);
    void SetPixelColor(long x, long y, RGBQUAD color, bool setAlpha = false);
    bool IsInside(long x, long y) const;

    bool AlphaIsValid() const { return m_image.HasAlpha(); }
    bool AlphaCreate() { return m_image.CreateAlpha(); }
    void AlphaDelete() { m_image.DeleteAlpha(); }
    BYTE AlphaGet(long x, long y) const;
    void AlphaSet(long x, long y, BYTE level);
    BYTE* AlphaGetPointer(long x = 0, long y = 0);

    // Selection: rows counted from the bottom; right and top exclusive.
    bool SelectionAddRect(RECT r, BYTE level = 255);
    bool SelectionClear();
    bool SelectionDelete() { return SelectionClear(); }
    bool SelectionIsValid() const { return m_image.SelectionValid(); }
    void SelectionGetBox(RECT& r) const;

    // Geometry and depth. Crop takes rows counted from the top; right and bottom
    // are exclusive.
    bool Crop(long left, long top, long right, long bottom, CxImage* dst = nullptr);
    bool Crop(const RECT& r, CxImage* dst = nullptr);
    bool Flip();
    bool Mirror();
    bool RotateLeft(CxImage* dst = nullptr);
    bool RotateRight(CxImage* dst = nullptr);
    bool Rotate180(CxImage* dst = nullptr);
    bool Resample(long newWidth, long newHeight, int mode = 1, CxImage* dst = nullptr);
    bool IncreaseBpp(DWORD bits);
    bool GrayScale();

    // Adjustments. Neutral values leave the pixels as they are; palette pictures
    // change their palette, grey ones stay grey.
    bool Light(long brightness, long contrast = 0);
    bool Gamma(float gamma);
    bool Saturate(long saturation, long colorSpace = 1);

    // Draws stretched into (x, y, cx, cy) (cx, cy < 0: the picture's size), only the
    // part inside pClipRect and the context's clip box.
    long Draw(HDC hdc, long x = 0, long y = 0, long cx = -1, long cy = -1,
              RECT* pClipRect = nullptr, bool smooth = false) const;
    long Draw(HDC hdc, const RECT& rect, RECT* pClipRect = nullptr, bool smooth = false) const;
    bool CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette = nullptr);
    // A 24-bit (or indexed) DIB section holding the picture; the caller deletes it.
    HBITMAP MakeBitmap(HDC hdc = nullptr) const;

    // The native picture, for code that works on it directly.
    orv_img::PixelImage& Pixels() { return m_image; }
    const orv_img::PixelImage& Pixels() const { return m_image; }

    // Makes every later file write stop with a failure after that many bytes
    // (negative: off). Lets tests break a save half way.
    static void SetWriteLimitForTests(long long bytes);

private:
    bool Fail(const char* text);
    bool FailErr(const std::string& text);
    bool DecodeMetafile(const BYTE* data, size_t size);
    bool EncodeMetafile(std::vector<BYTE>& out, bool enhanced);

    orv_img::PixelImage m_image;
    BYTE m_jpegQuality = 90;
    char m_lastError[256];
};

// Reads and writes whole files through Win32; the writer goes through a temporary
// file beside the target, replaced only when all bytes were written. On failure
// error names the cause.
bool ReadWholeFile(const WCHAR* path, std::vector<BYTE>& data, std::string& error);
bool WriteFileReplacing(const WCHAR* path, const BYTE* data, size_t size, std::string& error);

#include "app/browse/ThumbnailRender.h"
#include "app/browse/AviFrameReader.h"
#include "app/browse/ThumbnailDecode.h"
#include "app/shell/AppDirectory.h"
#include "afxcmn.h"
#include "xImage.h"
#include <algorithm>
#include <string>

namespace {

struct FileTypeRow
{
    const WCHAR* extension;
    int code;
};

const FileTypeRow kFileTypes[] = {
    {L"bmp", 1}, {L"gif", 2}, {L"jpg", 3}, {L"jpeg", 3}, {L"png", 4}, {L"ico", 5}, {L"tif", 6},
    {L"tiff", 6}, {L"tga", 7}, {L"pcx", 8}, {L"wbmp", 9}, {L"wmf", 10}, {L"emf", 10}, {L"j2k", 11},
    {L"jp2", 11}, {L"j2c", 12}, {L"jpc", 12}, {L"pgx", 13}, {L"pnm", 14}, {L"pgm", 14}, {L"ppm", 14},
    {L"ras", 15}, {L"mng", 17}, {L"jng", 17}, {L"avi", FILE_TYPE_AVI}, {L"raw", FILE_TYPE_RAW},
};

// The largest picture a thumbnail decodes, in pixels.
const size_t kMaxThumbnailPixels = size_t(1) << 28;
const int kLoadAttempts = 3;

// Another program still holds the file for writing, or it is still growing.
BOOL IsBeingWritten(LPCWSTR path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
    LARGE_INTEGER before = {};
    ::GetFileSizeEx(file, &before);
    ::CloseHandle(file);
    ::Sleep(100);
    WIN32_FILE_ATTRIBUTE_DATA after = {};
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &after)) return FALSE;
    return after.nFileSizeLow != before.LowPart || after.nFileSizeHigh != (DWORD)before.HighPart;
}

// A picture from top-down B, G, R rows.
BOOL PictureFromBgr(const std::vector<unsigned char>& bgr, int width, int height, CxImage& out)
{
    if (!out.Create(width, height, 24, CXIMAGE_FORMAT_JPG)) return FALSE;
    for (int y = 0; y < height; ++y) {
        BYTE* row = out.GetBits(height - 1 - y);
        if (row == NULL) return FALSE;
        memcpy(row, &bgr[(size_t)y * width * 3], (size_t)width * 3);
    }
    return TRUE;
}

BOOL DecodePicture(const std::vector<BYTE>& data, int type, int W, int H, CxImage& out)
{
    if (data.empty()) return FALSE;
    if (type == CXIMAGE_FORMAT_JPG) {
        std::vector<unsigned char> bgr;
        int width = 0, height = 0;
        if (thumb_decode::DecodeJpegReduced(data.data(), data.size(), W, H, kMaxThumbnailPixels, bgr, width,
                                            height) &&
            PictureFromBgr(bgr, width, height, out))
            return TRUE;
    }
    return out.Decode(data.data(), (DWORD)data.size(), (DWORD)type) && out.IsValid();
}

BOOL LoadPicture(LPCWSTR path, int type, int W, int H, CxImage& out)
{
    for (int attempt = 1;; ++attempt) {
        std::vector<BYTE> data;
        std::string error;
        if (ReadWholeFile(path, data, error) && DecodePicture(data, type, W, H, out)) return TRUE;
        if (attempt == kLoadAttempts || !IsBeingWritten(path)) return FALSE;
        ::Sleep(1000);
    }
}

BOOL LoadSkinPicture(LPCWSTR relative, CxImage& out)
{
    return out.Load(AppPath(relative), CXIMAGE_FORMAT_BMP) && out.IsValid();
}

HMODULE ResourceModule()
{
    HMODULE module = AfxGetResourceHandle();
    return module != NULL ? module : ::GetModuleHandleW(NULL);
}

BOOL LoadResourcePicture(UINT id, CxImage& out)
{
    HBITMAP bitmap = (HBITMAP)::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                           LR_CREATEDIBSECTION);
    if (bitmap == NULL) return FALSE;
    const BOOL ok = out.CreateFromHBITMAP(bitmap) && out.IsValid();
    ::DeleteObject(bitmap);
    return ok;
}

// The video's second frame (its first when it has only one), decompressed in memory.
BOOL LoadVideoFrame(LPCWSTR path, CxImage& out)
{
    CAviFrameReader reader;
    if (!reader.Open(path)) return FALSE;
    const LONG frames = reader.GetFrameCount();
    std::vector<BYTE> bmp;
    return frames > 0 && reader.ReadFrame(frames > 1 ? 1 : 0) && reader.GetFrameBmp(bmp) &&
           out.Decode(bmp.data(), (DWORD)bmp.size(), CXIMAGE_FORMAT_BMP) && out.IsValid();
}

// A thumbnail drawn in memory, rows from the top, 3 bytes a pixel in B, G, R order:
// no device context or bitmap, so the render threads never queue on the system's
// drawing locks or its memory mappings.
class Canvas
{
public:
    Canvas(BYTE* bits, int W, int H) : m_bits(bits), m_W(W), m_H(H), m_stride((size_t)W * 3) {}

    BYTE* Row(int y) const { return m_bits + (size_t)y * m_stride; }

    void Fill(int left, int top, int right, int bottom, COLORREF colour) const
    {
        left = std::max(left, 0), top = std::max(top, 0);
        right = std::min(right, m_W), bottom = std::min(bottom, m_H);
        for (int y = top; y < bottom; ++y) {
            BYTE* p = Row(y) + (size_t)left * 3;
            for (int x = left; x < right; ++x, p += 3) {
                p[0] = GetBValue(colour);
                p[1] = GetGValue(colour);
                p[2] = GetRValue(colour);
            }
        }
    }

    void Frame(COLORREF colour) const
    {
        Fill(0, 0, m_W, 1, colour);
        Fill(0, m_H - 1, m_W, m_H, colour);
        Fill(0, 0, 1, m_H, colour);
        Fill(m_W - 1, 0, m_W, m_H, colour);
    }

    // Scales the picture to rect's size and copies it there, blended over what is
    // there by its alpha when it has one.
    void DrawFitted(CxImage& picture, const CRect& rect) const
    {
        if (rect.Width() <= 0 || rect.Height() <= 0 || !picture.IsValid()) return;
        if (picture.GetBpp() < 24) picture.IncreaseBpp(24);
        if ((int)picture.GetWidth() != rect.Width() || (int)picture.GetHeight() != rect.Height())
            picture.Resample(rect.Width(), rect.Height(), 1);
        const int w = (int)picture.GetWidth(), h = (int)picture.GetHeight();
        const BOOL alpha = picture.AlphaIsValid();
        for (int y = 0; y < h; ++y) {
            const int ty = rect.top + y;
            if (ty < 0 || ty >= m_H) continue;
            const DWORD row = (DWORD)(h - 1 - y);
            const BYTE* src = picture.GetBits(row);
            const BYTE* level = alpha ? picture.AlphaGetPointer(0, (long)row) : NULL;
            BYTE* dst = Row(ty);
            for (int x = 0; x < w; ++x) {
                const int tx = rect.left + x;
                if (tx < 0 || tx >= m_W) continue;
                BYTE* d = dst + (size_t)tx * 3;
                const BYTE* p = src + (size_t)x * 3;
                if (level == NULL) {
                    d[0] = p[0], d[1] = p[1], d[2] = p[2];
                } else {
                    // Premultiplied over the background, as an alpha blend draws it.
                    const unsigned a = level[x];
                    for (int c = 0; c < 3; ++c) d[c] = (BYTE)(p[c] * a / 255 + d[c] * (255 - a) / 255);
                }
            }
        }
    }

private:
    BYTE* m_bits;
    int m_W, m_H;
    size_t m_stride;
};

void ComposeThumbnail(CxImage& picture, BOOL film, int W, int H, std::vector<BYTE>& pixels)
{
    pixels.assign((size_t)W * H * 3, 0);
    const Canvas canvas(pixels.data(), W, H);
    if (!film) {
        canvas.Fill(0, 0, W, H, STRIP_BACK_COLOR);
        if (picture.IsValid()) {
            CRect rect = FitRectInBox((int)picture.GetWidth(), (int)picture.GetHeight(), W, H);
            // Lowered a little under the list's hot frame, as far as the picture still fits.
            rect.OffsetRect(0, std::max(0, std::min(3, H - (int)rect.bottom)));
            canvas.DrawFitted(picture, rect);
        }
    } else {
        canvas.Fill(0, 0, W, H, RGB(255, 255, 255));
        canvas.Fill(0, 0, W, FILM_BAND, FILM_COLOR);
        canvas.Fill(0, H - FILM_BAND, W, H, FILM_COLOR);
        const int step = W / 10;
        for (int k = 0; k < 10; ++k) {
            canvas.Fill(3 + k * step, 3, step - 3 + k * step, 7, RGB(255, 255, 255));
            canvas.Fill(3 + k * step, H - 7, step - 3 + k * step, H - 3, RGB(255, 255, 255));
        }
        CRect rect = FitRectInBox((int)picture.GetWidth(), (int)picture.GetHeight(), W, H - 2 * FILM_BAND);
        rect.OffsetRect(0, FILM_BAND);
        canvas.DrawFitted(picture, rect);
    }
    canvas.Frame(STRIP_BACK_COLOR);
}

}  // namespace

HBITMAP BitmapFromPixels(const std::vector<BYTE>& pixels, int W, int H)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP bitmap = ::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bitmap == NULL || bits == NULL || pixels.size() < (size_t)W * H * 3) {
        if (bitmap != NULL) ::DeleteObject(bitmap);
        return NULL;
    }
    const size_t stride = ((size_t)W * 3 + 3) & ~(size_t)3;
    for (int y = 0; y < H; ++y) memcpy(static_cast<BYTE*>(bits) + y * stride, &pixels[(size_t)y * W * 3], (size_t)W * 3);
    return bitmap;
}

int GetImageFileType(LPCWSTR path)
{
    if (path == NULL) return FILE_TYPE_NONE;
    const CString text(path);
    const int dot = text.ReverseFind(L'.');
    if (dot < 0 || text.Find(L'\\', dot) >= 0 || text.Find(L'/', dot) >= 0) return FILE_TYPE_NONE;
    const CString extension = text.Mid(dot + 1);
    for (const FileTypeRow& row : kFileTypes)
        if (extension.CompareNoCase(row.extension) == 0) return row.code;
    return FILE_TYPE_NONE;
}

CRect FitRectInBox(int w, int h, int W, int H)
{
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return CRect(0, 0, 0, 0);
    const float rw = (float)w / (float)W;
    const float rh = (float)h / (float)H;
    if (rw < 1.0f && rh < 1.0f) {
        const int left = (W - w) / 2, top = (H - h) / 2;
        return CRect(left, top, left + w, top + h);
    }
    const float s = rw - rh <= 0.00001f ? rh : rw;
    const float dw = (float)w / s, dh = (float)h / s;
    const float left = (float)(int)(((float)W - dw) * 0.5f);
    const float top = (float)(int)(((float)H - dh) * 0.5f);
    return CRect((int)left, (int)top, (int)(left + dw), (int)(top + dh));
}

// The placeholder of a file that could not be read.
ThumbnailKind LoadUnreadable(int type, CxImage& picture)
{
    picture.Destroy();
    if (type == FILE_TYPE_AVI) {
        LoadResourcePicture(IDB_VIDEO_UNREADABLE, picture);
        return THUMB_VIDEO_FAILED;
    }
    LoadSkinPicture(L"skin\\file_not_exist.bmp", picture);
    return THUMB_PLACEHOLDER;
}

// The picture a thumbnail shows: the file's own, or the placeholder for its kind.
ThumbnailKind LoadThumbnailPicture(LPCWSTR path, int type, int W, int H, CxImage& picture, BOOL& film)
{
    film = FALSE;
    if (type == FILE_TYPE_AVI) {
        film = LoadVideoFrame(path, picture);
        return film ? THUMB_PICTURE : LoadUnreadable(type, picture);
    }
    if (type == FILE_TYPE_RAW) {
        LoadSkinPicture(L"skin\\raw.bmp", picture);
        return THUMB_PLACEHOLDER;
    }
    return LoadPicture(path, type, W, H, picture) ? THUMB_PICTURE : LoadUnreadable(type, picture);
}

BOOL RenderThumbnailPixels(LPCWSTR path, int W, int H, std::vector<BYTE>& pixels, ThumbnailKind* kind)
{
    ThumbnailKind result = THUMB_NONE;
    pixels.clear();
    const int type = GetImageFileType(path);
    if (type != FILE_TYPE_NONE && W > 0 && H > 0) {
        CxImage picture;
        BOOL film = FALSE;
        // Runs on the loader and capture threads: whatever a file makes a loader throw
        // stops here as an unreadable file.
        try {
            result = LoadThumbnailPicture(path, type, W, H, picture, film);
        } catch (...) {
            film = FALSE;
            result = LoadUnreadable(type, picture);
        }
        ComposeThumbnail(picture, film, W, H, pixels);
    }
    if (kind != NULL) *kind = result;
    return result != THUMB_NONE;
}

HBITMAP RenderThumbnailBitmap(LPCWSTR path, int W, int H, ThumbnailKind* kind)
{
    std::vector<BYTE> pixels;
    ThumbnailKind result = THUMB_NONE;
    HBITMAP bitmap = RenderThumbnailPixels(path, W, H, pixels, &result) ? BitmapFromPixels(pixels, W, H) : NULL;
    if (kind != NULL) *kind = bitmap != NULL ? result : THUMB_NONE;
    return bitmap;
}

int RenderThumbnail(CImageList* list, int slot, CDC*, int W, int H, LPCWSTR path)
{
    if (list == NULL) return 0;
    ThumbnailKind kind = THUMB_NONE;
    HBITMAP bitmap = RenderThumbnailBitmap(path, W, H, &kind);
    if (bitmap == NULL) return 0;
    const BOOL replaced = ::ImageList_Replace(list->GetSafeHandle(), slot, bitmap, NULL);
    ::DeleteObject(bitmap);
    return replaced && kind != THUMB_VIDEO_FAILED ? 1 : 0;
}

int ReplaceImageWithBitmap(CImageList* list, int slot, UINT nIDResource)
{
    CxImage picture;
    if (list == NULL || !LoadResourcePicture(nIDResource, picture)) return 0;
    std::vector<BYTE> pixels;
    ComposeThumbnail(picture, FALSE, ThumbnailSize.cx, ThumbnailSize.cy, pixels);
    HBITMAP bitmap = BitmapFromPixels(pixels, ThumbnailSize.cx, ThumbnailSize.cy);
    if (bitmap == NULL) return 0;
    const BOOL replaced = ::ImageList_Replace(list->GetSafeHandle(), slot, bitmap, NULL);
    ::DeleteObject(bitmap);
    return replaced ? 1 : 0;
}

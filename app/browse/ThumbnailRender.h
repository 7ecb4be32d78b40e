// What the browser lists and how one thumbnail is drawn: file type codes, the fitting of
// a picture into the thumbnail box, and the rendering of pictures, RAW placeholders,
// unreadable files and videos (a film strip around their frame) into 24-bit bitmaps.
// Rendering touches no window and may run on any Win32 thread.
#pragma once
#include "afxwin.h"
#include <vector>

class CImageList;

// The box of every thumbnail.
const SIZE ThumbnailSize = {100, 80};

// File type codes: 1-17 are the image library's formats, passed to it when loading.
enum { FILE_TYPE_NONE = 0, FILE_TYPE_AVI = 21, FILE_TYPE_RAW = 22 };

// Colours of the strip and of its thumbnails.
const COLORREF STRIP_BACK_COLOR = RGB(0x95, 0x95, 0x95);
const COLORREF FILM_COLOR = RGB(0x2C, 0x2C, 0x2C);
// Height of the film strip's bands above and below a video's frame.
const int FILM_BAND = 9;
// Shown for a video whose frame cannot be read.
const UINT IDB_VIDEO_UNREADABLE = 378;

// The code of a path by its extension (case-insensitive): 0 for files the browser does
// not list.
int GetImageFileType(LPCWSTR path);
inline BOOL IsVideoOrRaw(LPCWSTR path)
{
    const int type = GetImageFileType(path);
    return type == FILE_TYPE_AVI || type == FILE_TYPE_RAW;
}

// A w x h picture in a W x H box: centred at its own size when it is smaller both ways,
// else scaled down to touch the box and centred.
CRect FitRectInBox(int w, int h, int W, int H);

enum ThumbnailKind {
    THUMB_NONE = 0,         // not a listed type: no bitmap
    THUMB_PICTURE = 1,      // the file's own picture (or a video's frame)
    THUMB_PLACEHOLDER = 2,  // RAW or unreadable file
    THUMB_VIDEO_FAILED = 3  // a video whose frame could not be read
};

// The file's W x H thumbnail as rows from the top, 3 bytes a pixel in B, G, R order;
// FALSE for a path that is not listed.  A file that fails to load is retried only while
// another program is still writing it.  Touches no GDI object.
BOOL RenderThumbnailPixels(LPCWSTR path, int W, int H, std::vector<BYTE>& pixels, ThumbnailKind* kind = NULL);
// The same as a new 24-bit bitmap (the caller deletes it), NULL for a path that is not
// listed.
HBITMAP RenderThumbnailBitmap(LPCWSTR path, int W, int H, ThumbnailKind* kind = NULL);
HBITMAP BitmapFromPixels(const std::vector<BYTE>& pixels, int W, int H);
// Renders into slot of list; 1 when a picture or placeholder was put there, 0 for
// paths that are not listed and for unreadable videos (which show bitmap 378).
int RenderThumbnail(CImageList* list, int slot, CDC* dc, int W, int H, LPCWSTR path);
// Puts a bitmap resource, fitted into the thumbnail box, into slot; 0 when the bitmap
// cannot be loaded.
int ReplaceImageWithBitmap(CImageList* list, int slot, UINT nIDResource);

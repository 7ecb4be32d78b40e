// Records handed to the image store's operations by other parts of the program.
#pragma once
#include "afxwin.h"
#include "app/store/DyeTable.h"
#include <vector>

// The channel-merge panel's colouring request: optimize non-zero stretches the
// channel's levels first; the first colour is applied.
struct ChannelColorRequest
{
    int optimize = 0;
    std::vector<DyeRecord> colours;
};

// The HDR dialog's merge request: the output file and exactly three inputs.
struct HdrMergeRequest
{
    CString output;
    std::vector<CString> inputs;
};

// File information of the opened picture, copied out by CImageStore::GetImageInfo.
struct ImageFileInfo
{
    CString path;
    CString fileName;
    CString timeText;
    CString note;
    CString sizeText;
    int bitDepth = 8;
    int width = 0;
    int height = 0;
    int fileSize = 0;
    CTime fileTime;
};

// The ruler cross's look and scale: twenty 32-bit words, copied in and out whole.
struct RulerAttributes
{
    DWORD transparentBK;
    LOGPEN pen;            // style, width (x), colour
    struct {
        DWORD lbStyle;
        COLORREF lbColor;
        DWORD lbHatch;
    } brush;
    DWORD scaleLength;
    DWORD majorSpacing;    // view pixels between major ticks
    DWORD minorGaps[10];
};
static_assert(sizeof(RulerAttributes) == 20 * 4, "twenty words");

// One picture of the print layout; the item owns its image.
struct PrintItem
{
    class CxImage* image = nullptr;
    CString path;
    CString title;
    int zoomFixed = 0;
    int fitRequest = 0;
    int zoomPercent = 100;
    RECT imageRect = {0, 0, 0, 0};
    RECT clipRect = {0, 0, 0, 0};
    RECT captionRect = {0, 0, 0, 0};
    RECT cellRect = {0, 0, 0, 0};
    RECT printedImageRect = {0, 0, 0, 0};
    RECT printedClipRect = {0, 0, 0, 0};
    RECT printedCaptionRect = {0, 0, 0, 0};
    RECT printedCellRect = {0, 0, 0, 0};
};

struct PrintLayoutSettings
{
    int zoomPercent = 100;
    int fixedZoom = 0;
    int relayoutPending = 0;
    int refitPending = 0;
    int showFileName = 1;
    int showTime = 1;
    int showBorder = 1;
    RECT pageRect = {0, 0, 0, 0};
    CString dateText;
    std::vector<PrintItem> items;
};

// The image store: the picture the program works on (current image as shown, the
// adjustment base every adjustment pass starts from, the committed copy Default
// returns to), its file information and note, zoom and placement, selection tracker,
// ruler cross, grid, stamp, the display adjustments and the measurement object.
//
// One process-wide instance (Instance) serves the main view and the panels; comparison
// panes and previews hold heap instances (Create, Destroy) that are only opened, zoomed,
// drawn and released. A view is any CWnd: its scroll position comes from its scroll
// bars.
//
// Threads: the GUI thread calls everything; the main view's redraw thread calls the
// change tests and RunAdjustments. m_lock guards the current image and the adjustment
// base; it is never held across a window message. Images are swapped in under the lock
// and deleted outside it, so a reader never sees a freed picture.
//
// Coordinates: hit tests and drawing both use the view's drawing coordinates (client
// point plus scroll position); the image library counts rows from the bottom and the
// store converts at its boundary.
#pragma once
#include "afxwin.h"
#include "afxtracker.h"
#include "app/store/ImageRequests.h"
#include "app/store/MeasureTools.h"
#include "xImage.h"
#include <string>
#include <vector>

class CMeasureObject;
typedef BOOL (*LineBKCallback)(POINT& start, POINT& end, POINT& outStart, POINT& outEnd);

// A row of the file-type table of the open and save dialogs.
struct ImageFileType
{
    int format;
    int canOpen;
    int canSave;
    const WCHAR* description;
    const WCHAR* patterns;
};
extern const ImageFileType ImageFileTypeTable[20];

// The text after the last "." (without it), empty when there is none.
CString GetFileExtension(const CString& path);
// Format code of a lower-case extension, 0 when it names none.
int GetImageTypeFromExtension(const CString& extension);

// Levels tables (black point b, white point w, 0..255) over pixel bytes; rows are
// width × bytes per pixel long, padded to 4 bytes. 0 without pixels, else 1.
int ApplyLevelsTable24(int b, int w, BYTE* pixels, int width, int height);
int ApplyLevelsTable8(int b, int w, BYTE* pixels, int width, int height);
int ApplyLevelsTableRgb(int b0, int b1, int b2, int w0, int w1, int w2, BYTE* pixels, int width,
                        int height);
void BuildLevelsTable(int b, int w, BYTE table[256]);
// Pixels as width × height × 3 bytes, top row first (grey bytes written three times).
bool ImageToRgb24(const CxImage& image, std::vector<BYTE>& out);
// Contrast stretch of an 8-bit picture between its lowest and highest level.
int AutoStretchGrey(CxImage* image);

class CImageStore
{
public:
    CImageStore();
    virtual ~CImageStore();

    // Life cycle.
    static CImageStore* Instance();
    static CImageStore* Create();
    static void Destroy(CImageStore* store);
    void ReleaseImages();

    // Plain accessors.
    BOOL HasImage() const;
    void GetImageSize(int* width, int* height) const;
    float GetZoom() const { return m_zoom; }
    const CString& GetFilePath() const { return m_path; }
    const CString& GetFileName() const { return m_fileName; }
    void SetFilePath(LPCWSTR path);
    void SetMergeMode(int on) { m_mergeMode = on; }
    int IsMergeMode() const { return m_mergeMode; }
    void SetOverlayWindow(CWnd* overlay) { m_pOverlay = overlay; }
    void SetTrackOpenedFile(int on) { m_trackOpenedFile = on; }
    int IsTrackingOpenedFile() const { return m_trackOpenedFile; }
    void SetBaseFolder(LPCWSTR folder) { m_baseFolder = folder; }
    void GetBaseFolder(CString& out) const { out = m_baseFolder; }
    const CString& GetBaseFolder() const { return m_baseFolder; }
    int IsSaved() const { return m_saved; }
    void SetSaved(int saved = 1) { m_saved = saved; }
    // The process-wide store writes them to "MeasureAttribute.ini" at once: it is never
    // destroyed, so its destructor cannot be relied on to keep them.
    void SetRulerAttributes(const RulerAttributes& attributes);
    void GetRulerAttributes(RulerAttributes& attributes) const { attributes = m_ruler; }
    void SetRulerVisible(int on) { m_rulerVisible = on; }
    int IsRulerVisible() const { return m_rulerVisible; }
    void SetGridVisible(int on) { m_gridVisible = on; }
    int IsGridVisible() const { return m_gridVisible; }
    void SetGridSpacing(int spacing) { m_gridSpacing = spacing; }
    int GetGridSpacing() const { return m_gridSpacing; }
    void SetGridColor(COLORREF color) { m_gridColor = color; }
    COLORREF GetGridColor() const { return m_gridColor; }
    void SetLineApproach(int on);
    int IsLineApproach() const { return m_lineApproach; }
    void SetShowDate(int on) { m_showDate = on; }
    void SetShowTime(int on) { m_showTime = on; }
    void SetStampText(LPCWSTR text) { m_stampText = text; }
    void SetStampColor(COLORREF color) { m_stampColor = color; }
    const CString& GetStampText() const { return m_stampText; }
    COLORREF GetStampColor() const { return m_stampColor; }
    int IsShowingDate() const { return m_showDate; }
    int IsShowingTime() const { return m_showTime; }
    void SetCursorPoint(const POINT* point);
    void SetPageRect(const RECT& rect) { m_print.pageRect = rect; }
    void SetBackgroundColor(int r, int g, int b);
    CRect GetImageRect() const { return m_imageRect; }
    CxImage* GetCurrentImage() { return m_pCurrent; }   // under m_lock
    CMeasureObject* GetMeasure() const { return m_pMeasure; }

    // Measurement binding.
    void CreateMeasure(CWnd* view);
    void SetMeasureTarget(int mode);
    int GetMeasureTarget() const;
    void InvalidateMeasureTarget();
    void ClearMeasurements();
    float GetPerPixelLength() const;
    LPCWSTR GetUnitName() const;
    void SetLineBackgroundCallback(LineBKCallback callback);
    BOOL ApproachLine(POINT p1, POINT p2, POINT& out1, POINT& out2);
    void LoadRulerAttributes();
    void SaveRulerAttributes() const;
    // "MeasureAttribute.ini" in the per-user program folder.
    static CString RulerAttributesFile();

    // Measurement tools (guards: an image and the measurement object). Each SelectXxxTool
    // sends its tool id; when the library takes it, records tool id and current item and
    // returns 1, else 0 with nothing recorded.
#define ORV_DECLARE_SELECT_TOOL(name, button, tool, item) int Select##name##Tool();
    ORV_MEASURE_TOOLS(ORV_DECLARE_SELECT_TOOL)
#undef ORV_DECLARE_SELECT_TOOL
    int SelectMeasureTool(int toolId);
    int Calibrate();
    int ShowCalibrationTable();
    int ShowMeasureList();
    int GetCurSelItem();
    int GetToolId() const { return m_toolId; }
    int GetSelectedItem() const { return m_selectedItem; }
    int SetKeepItem(int keep);
    int GetKeepItem() const { return m_keepItem; }
    void ScaleLine(int on);
    int GetScaleLine() const { return m_scaleLine; }

    // Cell counters (guards: an image and the measurement object).
    void SetCountersWindow(CWnd* window);
    void ClearCounters();
    int SetCounterColor(int counterClass);
    void SetCounterNames(const std::vector<CString>& names);
    int ExportCounters(LPCWSTR path);
    void GetCountersInfo(std::vector<CString>& names, std::vector<int>& counts, std::vector<float>& shares,
                         int& currentClass);

    // Layers, forwarded to the library (0 or nothing without the measurement object).
    int NewLayer(LPCWSTR name);
    int GetLayerCount();
    int DeleteLayer(int index);
    int RenameLayer(int index, LPCWSTR name);
    void SetCurrentLayer(int index);
    void SetLayerVisible(int index, int visible);
    void GetLayerNames(std::vector<CString>& names);
    int GetCurrentLayerIndex();
    int IsLayerVisible(int index);
    int SaveLayers(LPCWSTR path);
    int LoadLayers(LPCWSTR path);

    // Zoom.
    void ZoomIn();
    void ZoomOut();
    void ResetZoom();
    void FitToRect(const RECT* rect);
    void SetZoom(float zoom);

    // Placement, selection and the ruler cross (view points in client coordinates).
    BOOL MapViewToImage(CWnd* view, int& x, int& y) const;
    void TrackSelection(CWnd* view, int x, int y);
    void SetSelectionFromTracker(CWnd* view, const CRect& rect);
    void ClearSelection();
    CRectTracker& GetTracker() { return m_tracker; }
    BOOL HitTestRuler(int x, int y);
    BOOL DragRuler(int x, int y);
    void SetRulerPosition(int x, int y);
    // Back to the unset position: the centre of the image.
    void ResetRulerPosition() { m_rulerX = m_rulerY = -1; }
    BOOL EndRulerDrag();
    BOOL HitTestRulerDblClk(CWnd* view, int x, int y, int ox, int oy);
    CPoint GetRulerCentre() const;
    // The scroll position of the view the last hit test or drawing used.
    void SetHitTestView(CWnd* view) { m_pHitView = view; }

    // Mouse events forwarded to the measurement object.
    void OnMeasureLButtonDown(CWnd* view, int x, int y, int ox, int oy);
    void OnMeasureLButtonUp(CWnd* view, int x, int y, int ox, int oy);
    void OnMeasureLButtonDblClk(CWnd* view, int x, int y, int ox, int oy);
    int OnMeasureMouseMove(CWnd* view, int x, int y, int ox, int oy);

    // Panning.
    void BeginDrag(CWnd* view, int x, int y);
    void PanView(CWnd* view, int x, int y);

    // Files.
    static int GetFilterIndexForType(int format, BOOL open);
    static int GetTypeForFilterIndex(int index, BOOL open);
    static CString GetDefaultExtension(int format);
    static CString BuildFilterString(BOOL open);
    BOOL PromptForFileName(CString& path, LPCWSTR initialFolder, UINT titleId, DWORD extraFlags,
                           BOOL open, int& format);
    static BOOL LoadImageFile(CxImage* image, LPCWSTR path);
    int OpenFile(LPCWSTR path, int readInfo);
    // Why the last open failed, in the image library's words.
    const char* GetLastOpenError() const { return m_lastOpenError.c_str(); }
    BOOL Save(LPCWSTR path);
    BOOL SaveImage(CxImage* image, LPCWSTR path);
    // Older name of SaveImage.
    BOOL SaveImageFile(CxImage* image, LPCWSTR path) { return SaveImage(image, path); }
    BOOL SaveWithOverlays(LPCWSTR path);
    BOOL SaveAs(CString& pathOut, BOOL replace);
    BOOL SaveDeepTiff(LPCWSTR path, CxImage* image);
    int AddPrintItem(LPCWSTR path);
    void ClearPrintItems();
    PrintLayoutSettings& GetPrintLayout() { return m_print; }

    // Display adjustments.
    void SetBrightness(int value);
    void SetGamma(int value);
    void SetContrast(int value);
    void SetSaturation(int value);
    void SetSharpen(int value);
    void SetLevels(int black, int white);
    void GetLevels(WORD& black, WORD& white) const;
    // The values the panels asked for (applied by the next adjustment pass).
    void GetRequestedAdjustments(int& brightness, int& gamma, int& contrast, int& saturation, int& sharpen) const
    {
        brightness = m_brightnessReq;
        gamma = m_gammaReq;
        contrast = m_contrastReq;
        saturation = m_saturationReq;
        sharpen = m_sharpenReq;
    }
    void GetSuggestedLevels(int& black, int& white) const;
    const int* GetHistogram() const { return m_histogram; }
    BOOL IsBrightnessChanged() const { return m_brightnessReq != m_brightness; }
    BOOL IsGammaChanged() const { return m_gammaReq != m_gamma; }
    BOOL IsContrastChanged() const { return m_contrastReq != m_contrast; }
    BOOL IsSaturationChanged() const { return m_saturationReq != m_saturation; }
    BOOL IsSharpenChanged() const { return m_sharpenReq != m_sharpen; }
    BOOL IsLevelsChanged() const { return m_blackReq != m_black || m_whiteReq != m_white; }
    int RunAdjustments();
    void ResetAdjustments();
    void ApplyAdjustments();
    void RevertAdjustments();
    void ComputeHistogram();
    int ApplyLevels(int black, int white);
    int ApplyAutoLevels();
    void DrawHistogram(CDC* dc, const CRect& rect);
    void DrawLevelMarkers(CDC* dc, const CRect& rect);

    // Drawing.
    void DrawToView(CWnd* view, CDC* dc);
    virtual void DrawLiveOverlay(CWnd* view, CDC* dc, int ox, int oy);
    void DrawCentered(CWnd* owner, CDC* dc, RECT rect);
    void DrawInWindow(CWnd* window, CDC* dc);
    BOOL RenderWithMeasures();
    void DrawTimeStamp(CDC* dc, const CRect& rect);
    void DrawRulerCross(CDC* dc, const CRect& rect);
    void DrawGrid(CDC* dc, const CRect& rect);
    void DrawCursorText(CDC* dc, const CRect& imageRect, const CRect& textRect);
    void UpdateRulerScale();
    // The print layout: the preview in the layout dialog's coordinates, and the same
    // layout on a printer page.
    void DrawPrintLayout(CDC* dc);
    void PrintLayout(CDC* dc);
    // The printer page in pixels and its resolution; a printer's own unless overridden.
    virtual void ReadPrinterPage(CDC* dc, int& width, int& height, int& dpiX, int& dpiY);
    // Image rectangle at the store's zoom inside a client rectangle.
    CRect ComputeImageRect(const CRect& client) const;

    // Picture notes and file information.
    void ReadImageInfo(LPCWSTR path);
    void GetImageInfo(ImageFileInfo& info) const;
    void SetNote(LPCWSTR text) { m_note = text; }
    const CString& GetNote() const { return m_note; }
    BOOL WriteImageNote(LPCWSTR name);
    BOOL DeleteImageNote(LPCWSTR name);
    // The note file of a picture name and creation time.
    CString NoteFilePath(const CString& name, const CTime& time) const;
    // Notes are kept on one INI line: line breaks and backslashes escaped.
    static CString EscapeNote(const CString& note);
    static CString UnescapeNote(const CString& stored);
    int GetBitDepth() const { return m_bitDepth; }

    // Geometric edits and crop.
    BOOL Flip();
    BOOL Mirror();
    BOOL RotateLeft();
    BOOL RotateRight();
    void CropToSelection();

    // Image operations.
    int Sharpen();
    int ApplyChannelColor(const ChannelColorRequest& request, CImageStore* target, int dominantGrey);
    static int ShiftImage(CImageStore* target, int dx, int dy);
    static int MergeImageFiles(const HdrMergeRequest& request);
    // The channel merge: the stores' current pictures added and saved to path (defined
    // with the channel merge, app/compose/ChannelMerge.cpp). 1 saved, -1 sizes differ,
    // 0 failed.
    int MergeChannels(const std::vector<CImageStore*>& stores, const std::vector<POINT>& offsets,
                      const CString& path);

    // The dye table, copied out.
    void GetDyeTable(DyeTableMap& out) const;
    void GetDyeNames(std::vector<CString>& out) const;

    CCriticalSection m_lock;   // guards the current image and the adjustment base

private:
    friend struct StoreAdjustJob;
    bool CanReuseBase(const CxImage& picture);
    void SwapInImages(CxImage* current, CxImage* base, CxImage** oldCurrent, CxImage** oldBase);
    BOOL SaveCommon(CxImage* image, LPCWSTR path, BOOL markSaved);
    BOOL SaveTo(CxImage* image, LPCWSTR path);
    CPoint ScrollPosition(CWnd* view) const;
    BOOL InImageRect(int x, int y) const;
    BOOL HitRulerBands(int x, int y) const;
    void ForwardPoint(CWnd* view, int x, int y, int ox, int oy, CPoint& out) const;
    int MeasureMode() const;
    int RunPipelineLocked();
    void DrawTracker(CDC* dc);
    BOOL HasImageAndMeasure() const { return m_pCurrent != NULL && m_pMeasure != NULL; }
    void UpdatePrintLayout();

    std::string m_lastOpenError;
    std::string m_lastSaveError;  // why the last save failed, for the save-failure message
    // File texts and numbers.
    CString m_path;
    CString m_fileName;
    CString m_timeText;
    CString m_note;
    CString m_sizeText;
    int m_bitDepth;
    int m_width, m_height;
    int m_fileSize;
    CTime m_fileTime;
    // Ruler cross.
    RulerAttributes m_ruler;
    int m_rulerVisible;
    int m_rulerDragging;
    int m_rulerX, m_rulerY;
    // Images.
    CxImage* m_pCurrent;
    CxImage* m_pBase;
    CxImage m_committed;
    // Measurement.
    CMeasureObject* m_pMeasure;
    int m_toolId;
    int m_selectedItem;
    int m_scaleLine, m_keepItem;
    // Placement.
    CRect m_imageRect;
    float m_zoom;
    CPoint m_dragStart, m_dragScroll;
    CRectTracker m_tracker;
    CBrush m_background;
    CBitmap m_paintSurface;   // the view's off-screen bitmap, kept between paints
    int m_histogram[256];
    // Adjustments: requested and applied.
    int m_blackReq, m_whiteReq, m_black, m_white;
    int m_suggestedBlack, m_suggestedWhite;
    int m_brightnessReq, m_brightness;
    int m_gammaReq, m_gamma;
    int m_contrastReq, m_contrast;
    int m_saturationReq, m_saturation;
    int m_sharpenReq, m_sharpen;
    int m_mergeMode;
    CWnd* m_pOverlay;
    CWnd* m_pMainView;
    CWnd* m_pPaintedView;
    CWnd* m_pHitView;
    // Stamp.
    CString m_stampText;
    COLORREF m_stampColor;
    int m_showDate, m_showTime;
    PrintLayoutSettings m_print;
    CString m_baseFolder;
    int m_trackOpenedFile;
    int m_saved;
    int m_gridVisible;
    int m_gridSpacing;
    COLORREF m_gridColor;
    CPoint m_cursor;
    CPoint m_cursorOffset;
    int m_lineApproach;
    int m_measureTarget;
};

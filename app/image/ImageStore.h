// The image store (placeholder until the image core replaces it): one process-wide
// instance holds the picture of the main view, heap instances serve comparison panes.
// This stand-in keeps the flags the shell reads and writes, opens and draws BMP files
// only, and leaves measuring and adjusting to the real store.
#pragma once
#include "afxwin.h"

class CMeasureObject;

class CImageStore
{
public:
    CImageStore();
    virtual ~CImageStore();

    // Life cycle.
    static CImageStore* Instance();
    static CImageStore* Create();
    static void Destroy(CImageStore* store);

    // Files.
    int OpenFile(LPCWSTR path, int readInfo);
    void ReleaseImages();
    BOOL HasImage() const;
    void GetImageSize(int* width, int* height) const;
    const CString& GetFilePath() const { return m_path; }
    const CString& GetFileName() const { return m_fileName; }
    void SetFilePath(LPCWSTR path);

    // Zoom and drawing.
    float GetZoom() const { return m_zoom; }
    void SetZoom(float zoom);
    void ResetZoom();
    void FitToRect(const RECT* rect);
    void DrawToView(CWnd* view, CDC* dc);
    void DrawCentered(CWnd* wnd, CDC* dc, RECT rect);
    // What lies over the live picture (marks, tracker, ruler cross, grid, cursor text),
    // without the picture, shifted by the live overlay's scroll offset.
    virtual void DrawLiveOverlay(CWnd* wnd, CDC* dc, int offsetX, int offsetY);
    void SetBackgroundColor(int r, int g, int b);
    void SetCursorPoint(const POINT* point);

    // Flags and folders.
    void SetMergeMode(int on) { m_mergeMode = on; }
    int IsMergeMode() const { return m_mergeMode; }
    void SetTrackOpenedFile(int on) { m_trackOpenedFile = on; }
    int IsTrackingOpenedFile() const { return m_trackOpenedFile; }
    void SetBaseFolder(LPCWSTR folder) { m_baseFolder = folder; }
    void GetBaseFolder(CString& out) const { out = m_baseFolder; }
    int IsSaved() const { return m_saved; }
    void SetSaved(int saved = 1) { m_saved = saved; }

    // Measurement binding.
    void CreateMeasure(CWnd* view);
    CMeasureObject* GetMeasure() const { return m_pMeasure; }
    void SetOverlayWindow(CWnd* overlay) { m_pOverlay = overlay; }
    void SetMeasureTarget(int mode);
    int GetMeasureTarget() const { return m_measureTarget; }
    void InvalidateMeasureTarget();
    void ClearMeasurements();

    // Adjustment change tests polled by the main view's redraw thread, and the pipeline.
    BOOL IsSaturationChanged() const { return FALSE; }
    BOOL IsBrightnessChanged() const { return FALSE; }
    BOOL IsContrastChanged() const { return FALSE; }
    BOOL IsGammaChanged() const { return FALSE; }
    BOOL IsLevelsChanged() const { return FALSE; }
    BOOL IsSharpenChanged() const { return FALSE; }
    void RunAdjustments() {}

    // Mouse input of the main view (selection, ruler cross, measuring, panning).
    void TrackSelection(CWnd* view, int x, int y);
    BOOL HitTestRuler(int x, int y);
    BOOL DragRuler(int x, int y);
    BOOL EndRulerDrag();
    BOOL HitTestRulerDblClk(CWnd* view, int x, int y, int ox, int oy);
    void OnMeasureLButtonDown(CWnd* view, int x, int y, int ox, int oy);
    void OnMeasureLButtonUp(CWnd* view, int x, int y, int ox, int oy);
    void OnMeasureLButtonDblClk(CWnd* view, int x, int y, int ox, int oy);
    int OnMeasureMouseMove(CWnd* view, int x, int y, int ox, int oy);
    void BeginDrag(CWnd* view, int x, int y);
    void PanView(CWnd* view, int x, int y);
    void CropToSelection();

    CCriticalSection m_lock;   // guards the images

private:
    CString m_path;
    CString m_fileName;
    HBITMAP m_hImage;
    int m_width, m_height;
    float m_zoom;
    int m_mergeMode;
    int m_trackOpenedFile;
    int m_saved;
    CString m_baseFolder;
    CMeasureObject* m_pMeasure;
    CWnd* m_pOverlay;
    CWnd* m_pView;
    int m_measureTarget;
    COLORREF m_background;
    CPoint m_cursor;
};

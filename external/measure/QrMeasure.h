// Measurement library: measurement tools, layers, five-class cell counters,
// calibration, scale bar and the drawing of every measurement unit.
//
// Boundary rules: one object exists at a time (the static members act on it); units are
// kept in image pixels, mouse points arrive relative to the image's top-left corner in
// window pixels and are divided by the scale given with SetScale. Nothing throws out of
// the library; memory is never freed on the other side of the module edge. DrawAllUnit
// may run on another thread (a capture) while the user edits: the object locks itself.
//
// Tool ids 0, 1 and 13 open the library's own modal dialogs (calibration against the
// selected or last line, the calibration table kept under
// HKEY_CURRENT_USER\Software\QrVMeasure\CalibrationTable, the measurement list);
// placing an annotation asks for its text. Precision (19) cycles the decimals shown.
#pragma once
#include "afxwin.h"
#include <vector>

// The library is reached through its C++ symbols; a module that never names one of its
// exports would not load it as a module, and its Win32 imports would stay unresolved.
extern "C" DWORD WINAPI QrVMeasureVersion(void);
__attribute__((used)) static DWORD(WINAPI* const _qrvMeasureImport)(void) = QrVMeasureVersion;

// Snaps a drawn line to an edge: start, end in; out start, out end written when it
// returns non-zero. Points are image pixels.
typedef BOOL (*LineBKCallback)(POINT& start, POINT& end, POINT& outStart, POINT& outEnd);

class CQrMeasure
{
public:
    // Tool ids taken by MenuItemEvent.
    enum ToolId : UINT
    {
        ToolCalibrate = 0,
        ToolCalibrationTable = 1,
        ToolLine = 2,
        ToolRectangle = 3,
        ToolCircle2 = 4,
        ToolCircle3 = 5,
        ToolPolygon = 6,
        ToolAngle = 7,
        ToolPointCount = 8,
        ToolAnnotation = 9,
        ToolSelect = 10,
        ToolMeasureList = 13,
        ToolDelete = 15,
        ToolArc = 18,
        ToolPrecision = 19,
        ToolParallel = 20,
        ToolDiameterCircle = 21,
        ToolConcentric = 22,
        ToolPointToLine = 23,
        ToolPolyline = 24,
        ToolCounter = 25,
    };

    // Item codes reported by GetCurSelItem (and kept by each unit).
    enum ItemCode
    {
        ItemSelect = 0,
        ItemLine = 1,
        ItemRectangle = 2,
        ItemCircle3 = 3,
        ItemPolygon = 4,
        ItemAngle = 5,
        ItemPointCount = 6,
        ItemAnnotation = 7,
        ItemDelete = 8,
        ItemArc = 9,
        ItemCircle2 = 10,
        ItemParallel = 11,
        ItemDiameterCircle = 12,
        ItemConcentric = 13,
        ItemPointToLine = 14,
        ItemPolyline = 15,
        ItemCounter = 16,   // internal: the cell counter reports no item of its own
    };

    // Sent to the counters window when counts change; wParam 0 when counting ended.
    static const UINT WM_COUNTERS_CHANGED = 0x801;
    static const int kCounterClasses = 5;

    explicit CQrMeasure(CWnd* pView = nullptr);
    virtual ~CQrMeasure();

    static void CreateCursor();
    static void ReleaseSingleton();

    // Binding: mode 1 main view, 0 live overlay.
    void SetMeasureWnd(CWnd* pWnd, int mode);
    CWnd* GetMeasureWnd() const;
    int m_nMeasureMode;

    // Tools.
    static int MenuItemEvent(UINT toolId, CQrMeasure* pObject);
    static int GetCurSelItem();
    static void SetKeepItem(int keep);
    void ScaleLine(int on);
    void SetLineApch(int on);
    void SetLineBK(LineBKCallback callback);

    // Calibration.
    static float GetperPixelLength();
    static LPCWSTR GetFathomType();
    void SetCalibration(float lengthPerPixel, LPCWSTR unitName);   // ignored unless > 0
    int GetPrecision() const;                                      // decimals shown

    // Drawing.
    void SetScale(float zoom);
    float GetScale() const;
    void DrawAllUnit(CDC* pDC, CSize origin);
    void DeleteAllUnit();

    // The finished units, for the measurement list.
    int GetUnitCount() const;
    BOOL GetUnitInfo(int index, int& itemCode, int& layer, double& value, CString& text) const;

    // Mouse (points relative to the image's top-left corner in window pixels).
    void OnLButtonDown(CPoint point);
    void OnLButtonUp(CPoint point);
    void OnLButtonDblClk(CPoint point);
    int OnMouseMove(CPoint point);   // non-zero when the drawing changed

    // Counters.
    void SetCompteursWnd(CWnd* pWnd);
    int SetCompteursColor(unsigned char counterClass);
    void SetCompteursName(const std::vector<CString>& names);
    void GetCompteursInfo(std::vector<CString>& names, std::vector<int>& counts,
                          std::vector<float>& shares, unsigned char& currentClass);
    int ExportCompteursToExcel(LPCWSTR path);
    void ClearAllCompteurs();

    // Layers (layer 0 is the background).
    int GetLayersNum();
    int NewLayer(LPCWSTR name);
    int DeleteLayer(int index);
    int RenameLayer(int index, LPCWSTR name);
    void SetCurrentLayer(int index);
    void SetLayerVisible(int index, int visible);
    void GetLayersName(std::vector<CString>& names);
    int GetCurrentLayerIndex();
    int IsLayerVisible(int index);
    // A char path is in the ANSI code page; the wide forms take any path intact.
    int SaveLayersAndMsrs(const char* path);
    int LoadLayersAndMsrs(const char* path);
    int SaveLayersAndMsrs(LPCWSTR path);
    int LoadLayersAndMsrs(LPCWSTR path);

    struct Impl;

private:
    CQrMeasure(const CQrMeasure&) = delete;
    CQrMeasure& operator=(const CQrMeasure&) = delete;

    Impl* m_pImpl;
};

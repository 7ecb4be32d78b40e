// The measuring tool column: a floating panel of skinned buttons for the drawing tools,
// select and delete, scale bar, calibration, precision, the measurement list, lock,
// ruler cross, grid and line detection, the layers panel and clear all. Everything goes
// through the image store; the document's interaction mode, the layers panel and the
// store are reached through the links.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/measure/MeasurePanelIds.h"

// Hands a drawn line to the process-wide store's line approach (the library's edge-snap
// callback).
BOOL MeasureLineCallback(POINT& start, POINT& end, POINT& outStart, POINT& outEnd);

class CMeasurePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CMeasurePanel)
public:
    explicit CMeasurePanel(CWnd* pParent = NULL);
    virtual ~CMeasurePanel();
    enum { IDD = IDD_MEASURE_PANEL };

    // Disables the tools when measuring is bound to the live overlay and the camera is
    // not running; enables them otherwise.
    virtual void Refresh();
    virtual void DisableTools();
    virtual void UpdateControlState();
    // Clears all units, scale bar off, keep-item on; only lock and ruler stay checked.
    virtual void ResetMeasurements();
    // The tool buttons show the library's current item while measuring.
    virtual void SyncToolButtons();

    // The panel works without its window (states are kept and shown once it is made):
    // the frame makes the window when it is first shown.
    BOOL MakeWindow(CWnd* owner);

    // The check state of a check button as the panel holds it (1 checked).
    int GetCheck(int id) const;

    struct ButtonRow
    {
        int id;
        BOOL check;   // an auto-check button
        UINT tip;     // string-table entry of its tooltip
        void (CMeasurePanel::*action)(int id);
    };
    static const ButtonRow kButtons[];
    static const int kButtonCount = 26;
    // First of the four bitmaps (normal, pressed, hover, disabled) of button row 0; each
    // later row's come four ids on.
    static const UINT kFirstSkin = 2500;

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnButton(UINT id);
    void OnToolButton(int id);
    void OnSelectTool(int id);
    void OnPrecision(int id);
    void OnCalibrate(int id);
    void OnCalibrationTable(int id);
    void OnMeasureList(int id);
    void OnScaleBar(int id);
    void OnLock(int id);
    void OnRuler(int id);
    void OnLayers(int id);
    void OnClearAll(int id);
    void OnGrid(int id);
    DECLARE_MESSAGE_MAP()

    static int RowOf(int id);
    void SetCheck(int id, int on);
    void EnableAll(BOOL enable);

    CSkinBitmapButton m_buttons[kButtonCount];
    int m_checks[kButtonCount];
    BOOL m_bToolsEnabled;
};

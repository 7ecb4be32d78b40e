// The one top-level window: three fixed splitters with the views, the caption bar in
// a rebar, and the popup panels that float over the right-hand area, all laid out by
// hand on every size change and every WM_NCHITTEST.  It turns hot keys into capture
// messages, follows camera plug-in and removal and runs the camera library's shut-down.
#pragma once
#include "afxwin.h"
#include "app/shell/FixedSplitterWnd.h"
#include "app/shell/ColorPanel.h"
#include "app/shell/FloatingStack.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/ProgressPopup.h"
#include "app/shell/TitleBar.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CaptureToolBar.h"
#include "app/image/ComparePane.h"
#include "app/image/CompareWindow.h"
#include "app/measure/MeasurePanel.h"

class CCameraHotplugListener;

// Hot-key ids of F9, F10 and F11.
const int HOTKEY_CAPTURE = 0xA002;
const int HOTKEY_RECORD_START = 0xA003;
const int HOTKEY_RECORD_STOP = 0xA004;
// Repeats the camera stop while the library is still finishing a recording.
const UINT_PTR TIMER_CLOSE_RETRY = 18;
// Looks twice a second whether the screen has put the frame over its floating windows:
// the system's order then shows it, and nothing else tells the frame.
const UINT_PTR TIMER_STACK_CHECK = 19;
// Once the frame and its panels have painted: the camera library's first look for
// cameras (on a thread of its own), then the live picture when asked for, then the
// sections not shown yet, one between messages.
const UINT_PTR TIMER_AFTER_FIRST_PAINT = 20;
// The next of those sections.
const UINT_PTR TIMER_BUILD_STEP = 21;

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    virtual ~CMainFrame();

    CFixedSplitterWnd m_wndOuter;   // 1 x 2: manage view | right splitter
    CFixedSplitterWnd m_wndRight;   // 2 x 1: inner splitter / thumbnail strip view
    CFixedSplitterWnd m_wndInner;   // 1 x 2: main view | image tool view
    CColorPanel m_borderVertical;
    CColorPanel m_borderHorizontal;
    CPreviewWnd m_preview;
    COverlayWnd m_overlay;
    CCaptureToolBar m_captureTools;
    CComparePane m_comparePane;
    CCompareWindow m_compareWindow;
    CProgressPopup m_focusMeter;
    CReBar m_wndReBar;
    CTitleBar m_titleBar;
    CMeasurePanel m_measurePanel;

    virtual void SetFullPreview(BOOL on);
    virtual int IsFullPreview() const { return m_bFullPreview; }
    virtual void SetCompareMode(BOOL on);
    virtual int IsCompareMode() const { return m_bCompareMode; }
    virtual void ShowCompareWindow(BOOL on);
    virtual int IsCompareWindowShown() const { return m_bCompareWindowShown; }
    virtual void RefreshCameraList();
    // The file last opened into the main view.
    virtual void SetCurrentFile(LPCWSTR path) { m_strCurrentFile = path; }
    virtual CString GetCurrentFile() const { return m_strCurrentFile; }

    // The program's start once its window has painted: the camera library's look for
    // cameras begins at once (on a thread of its own); after it, the capture folder into
    // the strip and the live picture, or word that none was found.
    void StartAfterFirstPaint();
    // Whether the camera library's first look for cameras has ended; until then nothing
    // else may call into the library.
    BOOL CamerasLooked() const { return m_bCamerasLooked; }
    virtual BOOL DestroyWindow() override;

    // Puts the floating panels, and every other window the frame shows over itself, back
    // above the frame on the screen, in their stacking order.
    void RaisePopups();
    // Those windows bottom to top, the frame's own panels first.
    std::vector<HWND> FloatingOrder();
    // The layout pass of WM_SIZE (also run by WM_NCHITTEST and full preview).
    void Layout(int cx, int cy);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnDeviceChangeMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCameraArrived(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCameraRemoved(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnToolWindowClosed(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHotKeyMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEndSessionMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg LRESULT OnRaisePopups(WPARAM wParam, LPARAM lParam);
    void RaisePopupsLater();
    // Preview and overlay (and in comparison mode the comparison pane) over the main view.
    void PlaceOverView();
    BOOL MayRaisePopups();
    // The twice-a-second look: the floating windows put in front again where the frame
    // came over them, their system order put right where only it went wrong.
    void CheckStack();
    DECLARE_MESSAGE_MAP()

    // Listener, comparison panes, camera manager and hot keys, once.
    void Teardown();
    void RefreshCameraPanels();
    void CreateBaseFolder();
    // The work left for after the first paint; the camera look runs once.
    void AfterFirstPaint();
    // Starts the camera library's first look for cameras on its own thread, once.
    void LookForCamerasAside();
    // The capture folder and the live picture, once asked for and the look has ended.
    void StartCamera();
    afx_msg LRESULT OnCamerasLooked(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStartCamera(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCameraOpened(WPARAM wParam, LPARAM lParam);
    void BuildDeferredStep();
    static DWORD WINAPI LookForCameras(void* frame);

    // The popups nothing shows until asked for: each is a top-level window, and each
    // costs the first paint about as much as a pane full of controls.  Made on first use.
    enum HiddenPopup { POPUP_COMPARE_PANE, POPUP_COMPARE_WINDOW, POPUP_FOCUS_METER, HIDDEN_POPUPS };
    void MakeHiddenPopup(HiddenPopup which);
    class CPopupOnDemand : public CBuildOnDemand
    {
    public:
        void Bind(CMainFrame* frame, HiddenPopup which)
        {
            m_frame = frame;
            m_which = which;
        }
        virtual void BuildNow() override { m_frame->MakeHiddenPopup(m_which); }
        virtual bool Built() const override { return m_frame->m_bPopupMade[m_which] != FALSE; }

    private:
        CMainFrame* m_frame = nullptr;
        HiddenPopup m_which = POPUP_COMPARE_PANE;
    };
    CPopupOnDemand m_popupBuilders[HIDDEN_POPUPS];
    BOOL m_bPopupMade[HIDDEN_POPUPS];

    CString m_strCurrentFile;
    int m_lastLayoutCx;
    int m_lastLayoutCy;
    CCameraHotplugListener* m_pHotplug;
    int m_bFullPreview;
    int m_bCompareMode;
    int m_bCompareWindowShown;
    BOOL m_bTornDown;
    BOOL m_bRaising;
    CFloatingStack m_floating;
    BOOL m_bCamerasLooked;
    HANDLE m_hLook;   // the thread of the camera look while it runs
    BOOL m_bStartPending;
    CRect m_lastBorderInner;
    // What the last layout pass was made for; a hit test with the same needs none.
    struct LayoutKey
    {
        CRect window;
        int fullPreview, compareMode, expanded, measureTarget;
        float zoom;
        CRect preview;
        bool operator==(const LayoutKey& o) const;
    };
    LayoutKey CurrentLayoutKey();
    LayoutKey m_laidOut;
    BOOL m_bLaidOut;
};

// The links object: how any part of the program reaches the others.
//
// One process-wide instance, Links().  The main frame fills it while it creates its
// panes, pages and popups, and clears what it filled when it goes; a test fills it with
// its own windows or with recording fakes derived from the real classes.  A null member
// means "absent": every caller checks before use.  No panel walks splitters or parent
// chains to find another; it asks here.
//
// Conventions for the classes named here:
// - Operations that one part calls on another are virtual, so a test can derive a fake
//   that records the call (construct the fake, point the member at it, restore after).
// - Windows are reached through their class's own operations; a member whose window
//   does not exist yet (m_hWnd NULL) is still the object the frame will create.
// - Add a member when a new part must be reached; keep the order by area.
// - The frame builds what its first paint does not show (the Browse and Image pages, the
//   collapsed Capture sections) afterwards, a section at a time between messages.  Their
//   members are LinkedPart<>: asking for one builds its part first, so no caller ever
//   sees a part that is not there yet; only while builds are held (ShellBuildHold: the
//   camera's first open) does a part not built yet read as absent.  The popups nothing
//   shows at first (comparison pane and window, focus meter) are LinkedPart<> too, made
//   only when asked for; Peek() reaches one without making it (to hide it, say).
#pragma once

#include <vector>

// A part built after the frame: BuildNow builds it if it can and is not built yet.
class CBuildOnDemand
{
public:
    virtual void BuildNow() = 0;
    virtual bool Built() const = 0;

protected:
    ~CBuildOnDemand() = default;
};

// Whether a ShellBuildHold is alive.
bool LinkedBuildsHeld();

// A member of the links that builds its part on first use.  Assigning a plain pointer
// (as tests do) drops the builder.
template <class T>
class LinkedPart
{
public:
    LinkedPart() = default;
    LinkedPart(T* p) : m_p(p) {}
    LinkedPart& operator=(T* p)
    {
        m_p = p;
        m_builder = nullptr;
        return *this;
    }
    T* Get() const
    {
        if (m_builder != nullptr && !m_builder->Built()) {
            if (LinkedBuildsHeld()) return nullptr;
            m_builder->BuildNow();
        }
        return m_p;
    }
    operator T*() const { return Get(); }
    T* operator->() const { return Get(); }
    T& operator*() const { return *Get(); }
    // Without building: for an owner asking whether the member still names its part.
    T* Peek() const { return m_p; }
    // For an owner: only while the member still names its part (a test may have put its
    // own), have it built by `builder`, or forget it.
    void BuildWith(T* part, CBuildOnDemand* builder)
    {
        if (m_p == part) m_builder = builder;
    }
    void Forget(T* part)
    {
        if (m_p == part) *this = nullptr;
    }

private:
    T* m_p = nullptr;
    CBuildOnDemand* m_builder = nullptr;
};

class CMainFrame;
class CDravenluxDoc;
class CDravenluxView;
class CManageView;
class CCapturePage;
class CBrowsePage;
class CImagePage;
class CImageListView;
class CThumbnailStrip;
class CThumbnailListCtrl;
class CImageToolView;
class CBrowseToolBar;
class CTitleBar;
class CColorPanel;
class CProgressPopup;
class CFoldPanel;
class CImageStore;
class CComparePane;
class CCompareWindow;
class CPrintLayoutDialog;
class CMeasurePanel;
class CLayersDialog;
class CCounterPanel;
class CImageAdjustPanel;
class CRotatePanel;
class CStampPanel;
class CImageInfoPanel;
class CFolderPanel;
class CPreviewWnd;
class COverlayWnd;
class CCaptureToolBar;
class CCameraPanel;
class CCapturePanel;
class CExposurePanel;
class CColorParamPanel;
class CParameterGroupPanel;
class CVideoRecordPanel;
class CCaptureProgressPanel;
class CCameraHotplugListener;
class CFluorescencePanel;
class CChannelMergePanel;
class CFusionPanel;

struct ShellLinks
{
    // Shell: frame, document, views and pages.
    CMainFrame* frame = nullptr;
    CDravenluxDoc* doc = nullptr;
    CDravenluxView* view = nullptr;            // the main image view
    CManageView* manage = nullptr;             // the left column with the three tabs
    LinkedPart<CCapturePage> capturePage;
    LinkedPart<CBrowsePage> browsePage;
    LinkedPart<CImagePage> imagePage;
    CImageToolView* toolView = nullptr;        // hosts the browse tool column
    CTitleBar* titleBar = nullptr;             // the caption bar
    LinkedPart<CProgressPopup> focusMeter;
    CColorPanel* borders[2] = {nullptr, nullptr};  // vertical, horizontal
    // The Capture page's fold sections, in section order (camera, capture, exposure,
    // colour, fluorescence, parameter groups).
    LinkedPart<std::vector<CFoldPanel*>> captureSections;

    // Image store, comparison, printing.
    CImageStore* store = nullptr;              // the process-wide store of the main view
    LinkedPart<CComparePane> comparePane;      // the stand-alone pane beside the preview
    LinkedPart<CCompareWindow> compareWindow;  // the four-pane window over the main view
    // The modeless print layout while it is open, else null.  Owned by the frame: whoever
    // opens it sets this; the frame deletes it when it reports being closed.
    CPrintLayoutDialog* printLayout = nullptr;

    // Measuring.
    CMeasurePanel* measurePanel = nullptr;
    LinkedPart<CLayersDialog> layers;
    LinkedPart<CCounterPanel> counter;

    // Image page panels.
    LinkedPart<CImageAdjustPanel> imageAdjust;
    LinkedPart<CRotatePanel> rotate;
    LinkedPart<CStampPanel> stamp;
    LinkedPart<CChannelMergePanel> channelMerge;
    LinkedPart<CFusionPanel> fusion;

    // Browsing.
    CImageListView* stripView = nullptr;
    CThumbnailStrip* strip = nullptr;
    CThumbnailListCtrl* thumbList = nullptr;
    CBrowseToolBar* browseTools = nullptr;
    LinkedPart<CImageInfoPanel> imageInfo;
    LinkedPart<CFolderPanel> folder;

    // Live preview and camera control.
    CPreviewWnd* preview = nullptr;
    COverlayWnd* overlay = nullptr;
    CCaptureToolBar* captureTools = nullptr;
    CCameraPanel* camera = nullptr;
    LinkedPart<CCapturePanel> capture;
    LinkedPart<CExposurePanel> exposure;
    LinkedPart<CColorParamPanel> colorParam;
    LinkedPart<CParameterGroupPanel> paramGroup;
    CVideoRecordPanel* videoRecord = nullptr;
    CCaptureProgressPanel* captureProgress = nullptr;
    CCameraHotplugListener* hotplug = nullptr;
    LinkedPart<CFluorescencePanel> fluorescence;

    // Set while the frame goes: nothing more is built on demand.
    bool noMoreBuilds = false;
    // ShellBuildHolds alive.
    int buildHolds = 0;
};

// The one instance.  In the program, store is CImageStore::Instance() from the frame's
// creation on; a test may point it at a store of its own.
ShellLinks& Links();

// While one lives, parts left for later stay unbuilt and read as absent: the camera
// opens at start without waiting for the sections the user has not asked for, which
// are refreshed from the camera once built.
class ShellBuildHold
{
public:
    ShellBuildHold();
    ~ShellBuildHold();
    ShellBuildHold(const ShellBuildHold&) = delete;
    ShellBuildHold& operator=(const ShellBuildHold&) = delete;
};

// Saves the links on construction and puts them back on destruction: tests fill the
// links freely inside one scope.
class ShellLinksScope
{
public:
    ShellLinksScope() : m_saved(Links()) {}
    ~ShellLinksScope() { Links() = m_saved; }
    ShellLinksScope(const ShellLinksScope&) = delete;
    ShellLinksScope& operator=(const ShellLinksScope&) = delete;

private:
    ShellLinks m_saved;
};

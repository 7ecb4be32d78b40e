// Shared pieces of the browser tests: folders of pictures and videos, a plain host
// window, the links filled with recording fakes, and thumbnail pixel reads.
#pragma once
#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/browse/ThumbnailRender.h"
#include "app/browse/BrowseToolBar.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/PreviewWnd.h"
#include "app/compose/ChannelMergePanel.h"
#include "app/image/ComparePane.h"
#include "app/store/ImageStore.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/MeasurePanel.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ImagePage.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ManageView.h"
#include "app/shell/ShellLinks.h"
#include "xImage.h"
#include <memory>
#include <string>
#include <vector>

class TempFolder
{
public:
    // A new folder in the temporary folder, or under base when given.
    explicit TempFolder(LPCWSTR tag = L"browse", LPCWSTR base = NULL);
    ~TempFolder();
    CString Path(LPCWSTR name) const { return m_folder + name; }
    const CString& Folder() const { return m_folder; }   // ends with a backslash
    // Names of the files in the folder (no sub-folders), sorted.
    std::vector<CString> Names() const;

private:
    CString m_folder;
};

// A picture with a colour gradient, or one colour all over (r, g, b).
CxImage MakePicture(int width, int height);
CxImage SolidPicture(int width, int height, BYTE r, BYTE g, BYTE b);
CString WritePicture(const TempFolder& dir, LPCWSTR name, const CxImage& picture, DWORD type);
CString WriteBytes(const TempFolder& dir, LPCWSTR name, const std::string& bytes);
std::vector<BYTE> ReadBytes(LPCWSTR path);
BOOL FileExists(LPCWSTR path);
// The recycle bin's folder of files under the test's home ("...\Trash\files\").  Its
// parents are made on first use: Wine moves files there only when they exist.
CString TrashFiles();
// For failure messages.
std::string Utf8(const CString& text);
// Failure messages show the text of a CString, not its address.
inline void PrintTo(const CString& text, std::ostream* os) { *os << '"' << Utf8(text) << '"'; }

// An AVI video of frames (one colour each) through AVIFile, uncompressed or with the
// project's HFYU compressor; rightHalf, when given, paints every frame's right half.
// TRUE when it was written.
BOOL WriteVideo(LPCWSTR path, int width, int height, const std::vector<COLORREF>& frames, BOOL huffyuv,
                COLORREF rightHalf = CLR_INVALID);
// A valid AVI file holding one audio stream and no video.
BOOL WriteAudioOnlyAvi(LPCWSTR path);
// Installs the project's HFYU compressor in the test prefix (once).
BOOL InstallHuffyuv();

// Pixels of a bitmap (top row first) and of one image-list slot.
struct Pixels
{
    int width = 0, height = 0;
    std::vector<COLORREF> rgb;
    COLORREF At(int x, int y) const { return rgb[(size_t)y * width + x]; }
};
Pixels ReadBitmap(HBITMAP bitmap);
Pixels ReadSlot(CImageList* list, int slot);
bool Near(COLORREF a, COLORREF b, int tolerance = 10);

// A visible popup on which panels are created.
class CHostWindow : public CWnd
{
public:
    BOOL Open(int cx, int cy, int x = 0, int y = 0);
    ~CHostWindow() override;
};

// ---------------------------------------------------------------------------------------
// Recording fakes of the parts the browser reaches through the links.

class FakeDoc : public CDravenluxDoc
{
public:
    // Opens into the links' store, as the document does, and records the path ("" for none).
    BOOL OnOpenDocument(LPCWSTR path) override;
    std::vector<CString> opened;
};

class FakeView : public CDravenluxView
{
public:
    void RefreshMainView() override { ++refreshes; }
    int refreshes = 0;
};

class FakeManageView : public CManageView
{
public:
    int GetCurrentTab() const override { return tab; }
    int tab = TAB_BROWSE;
};

class FakeFrame : public CMainFrame
{
public:
    int IsCompareMode() const override { return compare; }
    int compare = 0;
};

class FakeComparePane : public CComparePane
{
public:
    int OpenFile(LPCWSTR path, int) override
    {
        opened.push_back(path);
        return 1;
    }
    void SetZoom(float zoom) override { zooms.push_back(zoom); }
    void FitToWindow(int keepOwnZoom) override { fits.push_back(keepOwnZoom); }
    float GetZoom() override { return 0.25f; }
    std::vector<CString> opened;
    std::vector<float> zooms;
    std::vector<int> fits;
};

class FakePreview : public CPreviewWnd
{
public:
    float GetZoom() override { return 0.5f; }
};

class FakeCaptureTools : public CCaptureToolBar
{
public:
    void ShowZoom(float zoom) override { zooms.push_back(zoom); }
    std::vector<float> zooms;
};

class FakeMeasurePanel : public CMeasurePanel
{
public:
    void Refresh() override { ++refreshes; }
    void SyncToolButtons() override { ++syncs; }
    int refreshes = 0, syncs = 0;
};

class FakeLayers : public CLayersDialog
{
public:
    void RefreshLayerList() override { ++refills; }
    int refills = 0;
};

class FakeBrowseTools : public CBrowseToolBar
{
public:
    void OnFitToWindow() override { ++fits; }
    using CBrowseToolBar::PublishSavedFile;   // what a save hands the strip
    int fits = 0;
};

// The links filled with the fakes above and a store of the test's own, restored when
// the scope ends.  Windows are not created: a test creates what it looks at.
class BrowseLinks
{
public:
    BrowseLinks();
    ~BrowseLinks();
    ShellLinksScope scope;
    CImageStore store;
    FakeDoc doc;
    FakeView view;
    FakeManageView manage;
    FakeMeasurePanel measure;
    FakeLayers layers;
    FakeComparePane compare;
    FakePreview preview;
    FakeCaptureTools captureTools;
    std::unique_ptr<TempFolder> base;   // the store's folder for notes
};

// The strip created on a host of the given size, list and links wired.
class StripFixture
{
public:
    explicit StripFixture(int cx = 900, int cy = 170);
    ~StripFixture();
    CHostWindow host;
    CThumbnailStrip strip;
    CThumbnailListCtrl& List() { return strip.m_list; }
    // Pumps until the strip's progress bar is hidden and the list has no loader.
    bool WaitForFill(DWORD timeoutMs = 60000);
    BOOL ProgressShown() { return strip.m_progress.IsWindowVisible(); }
};

// Posts an item notification to the strip as the list would send it.
LRESULT NotifyItem(CThumbnailStrip& strip, UINT code, int item);

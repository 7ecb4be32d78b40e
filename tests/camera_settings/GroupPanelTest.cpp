// The parameter group panel on a plain parent against bench cameras: teams saved,
// loaded and deleted by name, the limits, a refused save, backup and restore through
// the folder picker, the black background and the layout.
#include "SettingsSupport.h"

#include "app/capture/CameraWorkGate.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/ParameterGroupPanel.h"
#include "app/store/ImageStore.h"
#include "app/shell/ColorPanel.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/FolderPicker.h"

#include <shlobj.h>

using namespace settingstest;
using orvbench::Bench;

namespace {

const char kCoreCamera[] = "camera zedodir 0547:A005 Model73.1 colour";      // camera type 18
const char kMinorCamera[] = "camera zuzirazo EB1A:7585 Model82.1";           // camera type 26
// A driver-library camera: a load opens it again, which waits on the device.
const char kDriverCamera[] = "camera camdrv 0547:C003 D.1 colour";

class CTestGroupPanel : public CParameterGroupPanel {
public:
    using CParameterGroupPanel::PickFolder;
};

struct Panel {
    explicit Panel(PlainParent& parent)
    {
        created = panel.Create(CParameterGroupPanel::IDD, &parent.wnd) != FALSE;
        panel.ShowWindow(SW_SHOW);
    }
    ~Panel() { panel.DestroyWindow(); }
    HWND H() const { return panel.m_hWnd; }
    void Name(const wchar_t* name) { SetDlgItemTextW(H(), IDC_GROUP_NAME, name); }
    // Clicks and runs the message loop until the camera's part of the work is done.
    void Press(int id)
    {
        Click(H(), id);
        EXPECT_TRUE(WaitFor([this] { return !panel.IsBusy(); }, 30000)) << id;
    }
    CTestGroupPanel panel;
    bool created = false;
};

std::vector<std::u16string> ComboItems(HWND dialog)
{
    std::vector<std::u16string> items;
    HWND combo = GetDlgItem(dialog, IDC_GROUP_NAME);
    const int n = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char16_t text[128] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)text);
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND dialog)
{
    return (int)SendDlgItemMessageW(dialog, IDC_GROUP_NAME, CB_GETCURSEL, 0, 0);
}

bool Contains(const std::vector<std::u16string>& texts, UINT id)
{
    const std::u16string wanted = LoadU16(id);
    for (const std::u16string& t : texts)
        if (t.find(wanted) != std::u16string::npos)
            return true;
    return false;
}

// The text of the item the picker's tree has selected.
CString SelectedFolderName(HWND picker)
{
    HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    WCHAR text[MAX_PATH] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (tree != nullptr && item.hItem != nullptr)
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Selects a folder in the picker and answers it only once the tree has kept that
// selection a while: a selection made as the picker shows does not always hold.
void SelectFolder(HWND picker, const CString& folder)
{
    const int slash = folder.ReverseFind(L'\\');
    const CString leaf = folder.Mid(slash + 1);
    int held = 0;
    for (int tries = 0; tries < 100 && held < 6; tries++) {
        if (held == 0)
            SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(folder)));
        Sleep(50);
        const CString shown = SelectedFolderName(picker);
        held = leaf.IsEmpty() || shown.CompareNoCase(leaf) == 0 ? held + 1 : 0;
    }
}

// The picker's own selection once it has held a while, as a user would see it before
// pressing OK: the tree can still move just after the picker shows.
CString SettledSelection(HWND picker)
{
    CString last;
    int held = 0;
    for (int tries = 0; tries < 100 && held < 6; tries++) {
        Sleep(50);
        const CString shown = SelectedFolderName(picker);
        held = !shown.IsEmpty() && shown == last ? held + 1 : 0;
        last = shown;
    }
    return last;
}

// Answers message boxes with OK and the folder picker with the folder set (empty:
// Cancel; "*": the folder it preselects).
struct Picker {
    explicit Picker(const CString& folder)
        : watcher([this, folder](const SeenDialog& d) {
              if (!Contains(d.texts, IDS_CHOOSE_FOLDER))
                  return IDOK;
              if (folder.IsEmpty())
                  return IDCANCEL;
              if (folder != L"*")
                  SelectFolder(d.hwnd, folder);
              else
                  shown = SettledSelection(d.hwnd);
              return IDOK;
          })
    {
        if (!folder.IsEmpty() && folder != L"*")
            SettleAccessTimes(folder + L"\\");
    }
    // The texts of the message boxes seen, the picker left out.
    std::vector<std::u16string> Messages()
    {
        std::vector<std::u16string> out;
        for (const SeenDialog& d : watcher.Dialogs())
            if (!Contains(d.texts, IDS_CHOOSE_FOLDER))
                out.push_back(d.Text());
        return out;
    }
    CString shown; // what the tree showed as "*" was answered
    DialogWatcher watcher;
};

// A folder the picker's tree shows (the temporary folder lies under a hidden one).
CString TestFolder(LPCWSTR name)
{
    CString folder = CString(L"C:\\") + name;
    CreateDirectoryW(folder, nullptr);
    return folder + L"\\";
}

// Empties and removes a folder when the scope ends.
struct RemovedAtExit {
    explicit RemovedAtExit(const CString& folder) : folder(folder) {}
    ~RemovedAtExit()
    {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(folder + L"*", &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW(folder + found.cFileName);
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder);
    }
    CString folder;
};

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void WriteText(const CString& path, const char* text)
{
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, text, (DWORD)strlen(text), &written, nullptr);
    CloseHandle(f);
}

CString AppDataProgramFolder()
{
    WCHAR appData[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE);
    return CString(appData) + L"\\Orvisnap\\";
}

void RemoveAllTeams()
{
    while (ManagerRecord().teamCount > 0)
        QrCCameraDelParamterTeam(0);
}

// Sends WM_NULL to a window every 10 ms and keeps the longest answer.
struct AnswerProbe {
    explicit AnswerProbe(HWND target) : target(target)
    {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    // Stops the probe; the GUI thread keeps answering until it has.
    double StopMs()
    {
        stop = 1;
        WaitFor([this] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 30000);
        CloseHandle(thread);
        return worstMs;
    }
    static DWORD WINAPI Run(void* arg)
    {
        AnswerProbe* p = static_cast<AnswerProbe*>(arg);
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        while (!p->stop) {
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            DWORD_PTR result = 0;
            SendMessageTimeoutW(p->target, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
            QueryPerformanceCounter(&t1);
            p->worstMs = std::max(p->worstMs, (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart);
            Sleep(10);
        }
        return 0;
    }
    HWND target;
    HANDLE thread = nullptr;
    volatile LONG stop = 0;
    double worstMs = 0;
};

class CFakeFoldPanel : public CFoldPanel {
public:
    void SetExpanded(BOOL expanded) override { g_calls.push_back(expanded ? "Expand" : "Collapse"); }
};

// Posts a marker while it is laid out and notes whether the marker had come through
// when its refresh began, that is whether the window answered in between.
class CMarkingPage : public CFakeCapturePage {
public:
    void LayoutPanels() override
    {
        CFakeCapturePage::LayoutPanels();
        ::PostMessageW(marker.Hwnd(), WM_APP, 0, 0);
    }
    BOOL RefreshPanelsStep(int step) override
    {
        if (step == 0)
            markerAtRefresh = marker.Count(WM_APP);
        return CFakeCapturePage::RefreshPanelsStep(step);
    }
    MessageReceiver marker;
    int markerAtRefresh = -1;
};

// Notes whether the panel's controls were back already when the frame was laid out.
class CWatchingTitleBar : public CFakeTitleBar {
public:
    void RelayoutFrame() override
    {
        CFakeTitleBar::RelayoutFrame();
        loadEnabledAtRelayout = Enabled(panel, IDC_GROUP_LOAD) ? 1 : 0;
    }
    HWND panel = nullptr;
    int loadEnabledAtRelayout = -1;
};

// A stop retry that notes whether the library was still busy with other work.
class CRetryingCameraPanel : public CFakeCameraPanel {
public:
    void PlayCamera() override
    {
        CFakeCameraPanel::PlayCamera();
        if (CameraWorkRunning())
            playedDuringWork++;
    }
    int playedDuringWork = 0;
};

// A team saved under `name` with 12 ms and gain 30, the camera then at 40 ms and 60.
void SaveBrightTeam(Panel& p, DialogWatcher& boxes, const wchar_t* name)
{
    QrCCameraSetAeState(0);
    QrCCameraSetExposureTimeMS(12000, 1);
    QrCCameraSetAnalogGain(30);
    p.Name(name);
    p.Press(IDC_GROUP_SAVE);
    ASSERT_TRUE(boxes.WaitForCount(1, 5000));
    ASSERT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_SAVED));
    QrCCameraSetExposureTimeMS(40000, 1);
    QrCCameraSetAnalogGain(60);
}

}  // namespace

TEST(ParameterGroupPanel, TeamsByExactNameUpToTheCameraTypesLimit)
{
    FakeLinks links;
    LiveCamera camera(kMinorCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(p.created);
    EXPECT_FALSE(Enabled(p.H(), IDC_GROUP_DELETE));   // no teams to delete

    DialogWatcher boxes(IDOK);
    for (const wchar_t* name : {L"day", L"night", L"Day", L"dusk"}) {
        p.Name(name);
        p.Press(IDC_GROUP_SAVE);
    }
    EXPECT_EQ(ComboItems(p.H()), (std::vector<std::u16string>{u"day", u"night", u"Day", u"dusk"}));
    // The last team saved is the one in use.
    EXPECT_EQ(ComboSelection(p.H()), 3);
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_DELETE));

    // The same name again overwrites its team; a fifth is refused on this camera type.
    p.Name(L"night");
    p.Press(IDC_GROUP_SAVE);
    EXPECT_EQ(ManagerRecord().teamCount, 4);
    EXPECT_EQ(ComboSelection(p.H()), 1);
    p.Name(L"noon");
    p.Press(IDC_GROUP_SAVE);
    ASSERT_TRUE(boxes.WaitForCount(6, 5000));
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_FULL));
    EXPECT_EQ(ManagerRecord().teamCount, 4);

    // Empty and unknown names.
    p.Name(L"");
    p.Press(IDC_GROUP_LOAD);
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_NAME_EMPTY));
    EXPECT_EQ(CallCount("RelayoutFrame"), 0);
    p.Name(L"DAY");
    p.Press(IDC_GROUP_LOAD);
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_LOAD_MISSING));
    EXPECT_EQ(CallCount("RelayoutFrame"), 1);
    EXPECT_EQ(CallCount("RefreshAllPanels"), 0);
    p.Name(L"DAY");
    p.Press(IDC_GROUP_DELETE);
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_DELETE_MISSING));
    EXPECT_EQ(ManagerRecord().teamCount, 4);

    // Deleting the team in use leaves no team matching: nothing selected.
    p.Name(L"night");
    p.Press(IDC_GROUP_DELETE);
    EXPECT_EQ(ComboItems(p.H()), (std::vector<std::u16string>{u"day", u"Day", u"dusk"}));
    EXPECT_EQ(ComboSelection(p.H()), -1);
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, ACoreCameraTakesTwentyTeams)
{
    FakeLinks links;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    DialogWatcher boxes(IDOK);
    for (int i = 1; i <= 21; i++) {
        CString name;
        name.Format(L"set %d", i);
        p.Name(name);
        p.Press(IDC_GROUP_SAVE);
    }
    EXPECT_EQ(ManagerRecord().teamCount, 20);
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_FULL));
    EXPECT_EQ(ComboItems(p.H()).back(), u"set 20");
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, LoadAppliesTheTeamAndRefreshesThePage)
{
    FakeLinks links;
    std::vector<CFoldPanel*> sections(6, nullptr);
    CFakeFoldPanel own;
    sections[5] = &own;
    Links().captureSections = &sections;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    DialogWatcher boxes(IDOK);

    QrCCameraSetAeState(0);
    QrCCameraSetExposureTimeMS(12000, 1);
    QrCCameraSetAnalogGain(30);
    p.Name(L"bright");
    p.Press(IDC_GROUP_SAVE);
    ASSERT_TRUE(boxes.WaitForCount(1, 5000));
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_SAVED));

    QrCCameraSetExposureTimeMS(40000, 1);
    QrCCameraSetAnalogGain(60);
    g_calls.clear();
    p.Press(IDC_GROUP_LOAD);
    EXPECT_EQ(Current().exposureTime, 12000);
    EXPECT_EQ(Current().gain, 30);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"LayoutPanels", "RefreshAllPanels", "Expand",
                                                 "ToolsRefreshFromCamera", "RelayoutFrame"}));
    EXPECT_EQ(boxes.Count(), 1);
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, ALoadWaitsForTheCameraOffTheGuiThreadWithThePanelAndTheCameraTimersHeld)
{
    FakeLinks links;
    LiveCamera camera(kDriverCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    DialogWatcher boxes(IDOK);
    SaveBrightTeam(p, boxes, L"slow");
    CRetryingCameraPanel cameraPanel;
    ASSERT_TRUE(cameraPanel.Create(CCameraPanel::IDD, &parent.wnd));
    PumpProgramMessages(300);

    AnswerProbe probe(p.H());
    Sleep(30);
    g_calls.clear();
    // A stop retry comes due again and again while the load reopens the camera.
    ::SetTimer(cameraPanel.m_hWnd, TIMER_STOP_RETRY, 10, nullptr);
    Click(p.H(), IDC_GROUP_LOAD);
    EXPECT_TRUE(CameraWorkRunning());
    // The click returns at once; until the camera is done nothing on the panel works.
    EXPECT_TRUE(p.panel.IsBusy());
    for (int id : {IDC_GROUP_NAME, IDC_GROUP_SAVE, IDC_GROUP_LOAD, IDC_GROUP_DELETE, IDC_GROUP_BACKUP,
                   IDC_GROUP_RESTORE})
        EXPECT_FALSE(Enabled(p.H(), id)) << id;
    p.Press(IDC_GROUP_SAVE);   // refused while the load runs
    EXPECT_EQ(boxes.Count(), 1);
    ASSERT_TRUE(WaitFor([&] { return Enabled(p.H(), IDC_GROUP_LOAD); }, 30000));
    // The values when the controls come back are the camera's own.
    const CameraCurParam cur = Current();
    typedef int(WINAPI * GetExposure)(int*);
    GetExposure held = reinterpret_cast<GetExposure>(
        GetProcAddress(GetModuleHandleA("CamDrvD.dll"), "CamDrvDIICameraGetExposureTime"));
    ASSERT_NE(held, nullptr);
    int deviceMs = 0;
    held(&deviceMs);
    EXPECT_EQ(cur.exposureTime, 12000u);
    EXPECT_EQ(deviceMs, 12);
    EXPECT_EQ(cur.gain, 30);
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_BACKUP));
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_RESTORE));
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_DELETE));
    EXPECT_EQ(CallCount("RefreshAllPanels"), 1);
    // The camera was opened again meanwhile, and the window kept answering.
    EXPECT_LE(probe.StopMs(), 100.0);
    // The retry ran once the camera was back, then stopped.
    PumpProgramMessages(200);
    EXPECT_FALSE(CameraWorkRunning());
    EXPECT_EQ(cameraPanel.playedDuringWork, 0);
    EXPECT_EQ(CallCount("PlayCamera"), 1);
    cameraPanel.DestroyWindow();
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, ALoadRefreshesThePageInStepsAndGivesTheControlsBackLast)
{
    FakeLinks links;
    CMarkingPage page;
    CWatchingTitleBar titleBar;
    Links().capturePage = &page;
    Links().titleBar = &titleBar;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    titleBar.panel = p.H();
    DialogWatcher boxes(IDOK);
    SaveBrightTeam(p, boxes, L"bright");
    g_calls.clear();
    p.Press(IDC_GROUP_LOAD);
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"LayoutPanels", "RefreshAllPanels", "ToolsRefreshFromCamera", "RelayoutFrame"}));
    // The window answered between the layout and the refresh of the panels.
    EXPECT_EQ(page.markerAtRefresh, 1);
    EXPECT_EQ(titleBar.loadEnabledAtRelayout, 0);
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_LOAD));
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_BACKUP));
    EXPECT_EQ(Current().exposureTime, 12000u);
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, ASaveTheCameraRefusesIsReportedAsFailed)
{
    FakeLinks links;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    DialogWatcher boxes(IDOK);
    ASSERT_TRUE(Bench::Get().Unplug("Model73.1"));
    ASSERT_TRUE(Enabled(p.H(), IDC_GROUP_SAVE));
    p.Name(L"lost");
    p.Press(IDC_GROUP_SAVE);
    ASSERT_TRUE(boxes.WaitForCount(1, 5000));
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_GROUP_SAVE_FAILED));
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, StoppedCameraLeavesOnlyBackupAndRestore)
{
    FakeLinks links;
    LoadBench(kCoreCamera);
    PlainParent parent;
    Panel p(parent);
    for (int id : {IDC_GROUP_SAVE, IDC_GROUP_NAME, IDC_GROUP_LOAD, IDC_GROUP_DELETE})
        EXPECT_FALSE(Enabled(p.H(), id)) << id;
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_BACKUP));
    EXPECT_TRUE(Enabled(p.H(), IDC_GROUP_RESTORE));

    // The five buttons the user sees stand apart.
    std::vector<CRect> rects;
    for (int id : {IDC_GROUP_SAVE, IDC_GROUP_LOAD, IDC_GROUP_DELETE, IDC_GROUP_BACKUP, IDC_GROUP_RESTORE}) {
        ASSERT_TRUE(Visible(p.H(), id));
        CRect r;
        GetWindowRect(GetDlgItem(p.H(), id), &r);
        rects.push_back(r);
    }
    CRect client;
    GetWindowRect(p.H(), &client);
    for (size_t i = 0; i < rects.size(); i++) {
        CRect inside;
        inside.IntersectRect(&rects[i], &client);
        EXPECT_EQ(inside, rects[i]) << i;
        for (size_t k = i + 1; k < rects.size(); k++) {
            CRect overlap;
            EXPECT_FALSE(overlap.IntersectRect(&rects[i], &rects[k])) << i << " and " << k;
        }
    }
}

TEST(ParameterGroupPanel, BackupAndRestoreThroughTheFolderPicker)
{
    FakeLinks links;
    std::vector<CFoldPanel*> sections(6, nullptr);
    Links().captureSections = &sections;
    // The folder the picker offers itself (the desktop's program folder): a folder the
    // test selects in Wine's picker does not always keep its selection.
    WCHAR desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(NULL, desktop, CSIDL_DESKTOP, TRUE));
    CString title;
    title.LoadString(AFX_IDS_APP_TITLE);
    const CString backup = CString(desktop) + L"\\" + title + L"\\";
    RemovedAtExit cleanup(backup);
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    RemoveAllTeams();
    PlainParent parent;
    Panel p(parent);
    {
        DialogWatcher boxes(IDOK);
        p.Name(L"kept");
        p.Press(IDC_GROUP_SAVE);
    }

    WriteText(AppDataProgramFolder() + L"group_notes.txt", "notes");
    {
        Picker picker(L"*");
        Click(p.H(), IDC_GROUP_BACKUP);
        ASSERT_EQ(picker.Messages(), (std::vector<std::u16string>{LoadU16(IDS_BACKUP_DONE)}));
        EXPECT_EQ(U16(picker.shown), U16(title));
    }
    EXPECT_TRUE(Exists(backup + L"Orvisnap.reg"));
    EXPECT_TRUE(Exists(backup + L"group_notes.txt"));

    // A deleted team comes back with the restore.
    p.Name(L"kept");
    p.Press(IDC_GROUP_DELETE);
    ASSERT_EQ(ManagerRecord().teamCount, 0);
    g_calls.clear();
    {
        Picker picker(L"*");
        Click(p.H(), IDC_GROUP_RESTORE);
        ASSERT_EQ(picker.Messages(), (std::vector<std::u16string>{LoadU16(IDS_RESTORE_DONE)}));
    }
    EXPECT_EQ(ComboItems(p.H()), (std::vector<std::u16string>{u"kept"}));
    EXPECT_EQ(CallCount("RefreshAllPanels"), 1);
    EXPECT_EQ(CallCount("RelayoutFrame"), 1);

    // A folder without our backup restores nothing and says so.
    const CString stranger = TestFolder(L"orv_group_stranger");
    WriteText(stranger + L"stray.txt", "stray");
    DeleteFileW(AppDataProgramFolder() + L"stray.txt");
    {
        Picker picker(stranger.Left(stranger.GetLength() - 1));
        Click(p.H(), IDC_GROUP_RESTORE);
        EXPECT_EQ(picker.Messages(), (std::vector<std::u16string>{LoadU16(IDS_RESTORE_FAILED)}));
    }
    EXPECT_FALSE(Exists(AppDataProgramFolder() + L"stray.txt"));

    // Cancelling the picker says nothing at all.
    {
        Picker picker(L"");
        Click(p.H(), IDC_GROUP_BACKUP);
        EXPECT_EQ(picker.watcher.Count(), 1);
        EXPECT_TRUE(picker.Messages().empty());
    }
    RemoveAllTeams();
}

TEST(ParameterGroupPanel, ThePickerKeepsADriveRootAndPreselectsTheDesktopFolder)
{
    FakeLinks links;
    LoadBench(kCoreCamera);
    PlainParent parent;
    Panel p(parent);
    CString folder;
    {
        Picker picker(L"C:\\");
        ASSERT_TRUE(p.panel.PickFolder(&folder));
    }
    EXPECT_EQ(U16(folder), u"C:\\");
    {
        Picker picker(L"*");
        ASSERT_TRUE(p.panel.PickFolder(&folder));
    }
    WCHAR desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE);
    EXPECT_EQ(U16(folder), U16(CString(desktop) + L"\\Orvisnap\\"));
}

namespace {

class CFakePreview : public CPreviewWnd {
public:
    void SetBackgroundColor(BYTE r, BYTE g, BYTE b) override { colour = RGB(r, g, b); }
    COLORREF colour = 0x123456;
};

class CFakeBorder : public CColorPanel {
public:
    void SetColor(int r, int g, int b) override { colour = RGB(r, g, b); }
    void SetInnerColor(int r, int g, int b) override { inner = RGB(r, g, b); }
    void SetLowerColor(int r, int g, int b) override { lower = RGB(r, g, b); }
    COLORREF colour = 0x123456, inner = 0x123456, lower = 0x123456;
};

COLORREF StoreBackground(CImageStore& store, PlainParent& parent)
{
    CClientDC dc(&parent.wnd);
    store.DrawToView(&parent.wnd, &dc);
    return dc.GetPixel(3, 3);
}

}  // namespace

TEST(ParameterGroupPanel, BlackBackgroundTwiceGivesTheGreyBack)
{
    FakeLinks links;
    CFakePreview preview;
    CFakeBorder vertical, horizontal;
    CImageStore store;
    Links().preview = &preview;
    Links().borders[0] = &vertical;
    Links().borders[1] = &horizontal;
    Links().store = &store;
    PlainParent parent(120, 120);
    CParameterGroupPanel panel;
    EXPECT_EQ(panel.IsBlackBackground(), 0);

    panel.ToggleBlackBackground();
    EXPECT_EQ(panel.IsBlackBackground(), 1);
    EXPECT_EQ(preview.colour, RGB(0, 0, 0));
    EXPECT_EQ(vertical.colour, RGB(0, 0, 0));
    EXPECT_EQ(vertical.inner, RGB(149, 149, 149));
    EXPECT_EQ(vertical.lower, RGB(189, 189, 189));
    EXPECT_EQ(horizontal.colour, RGB(0, 0, 0));
    EXPECT_EQ(StoreBackground(store, parent), RGB(0, 0, 0));

    panel.ToggleBlackBackground();
    for (COLORREF c : {preview.colour, vertical.colour, horizontal.colour, StoreBackground(store, parent)})
        EXPECT_EQ(c, RGB(189, 189, 189));
    EXPECT_EQ(vertical.inner, RGB(149, 149, 149));
}

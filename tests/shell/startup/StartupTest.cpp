// Orvisnap.exe started as a process, watched from outside: the window it shows, the
// second copy it refuses, the messages of a bench without cameras, the live picture, a
// file named on the command line, what it leaves in the registry, and its closing.
#include "ProgramProcess.h"
#include "support/gtest.h"
#include "support/testprinter.h"
#include "support/wintest.h"
#include <commctrl.h>
#include <initializer_list>
#include <vector>

namespace {

const char16_t kRecentKey[] = u"Software\\Varnek www.varnek.example\\Orvisnap\\Recent File List";
const UINT kIdPaneFirst = 0xE900;
const UINT kIdAppExit = 0xE141;
const UINT kIdAppAbout = 0xE140;

const WCHAR* W(const std::u16string& s) { return reinterpret_cast<const WCHAR*>(s.c_str()); }

std::u16string TempPath(const char16_t* leaf)
{
    WCHAR dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::u16string(reinterpret_cast<const char16_t*>(dir)) + leaf;
}

bool WriteFileBytes(const std::u16string& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
    CloseHandle(h);
    return n == bytes.size();
}

// A small 24-bit bitmap file with a diagonal gradient.
std::string BitmapBytes(int w, int h)
{
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * h;
    std::string out(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < stride; x++)
            out.push_back(static_cast<char>((x + y) & 0xFF));
    return out;
}

std::u16string BenchFile(const char16_t* leaf, const std::string& text)
{
    std::u16string path = TempPath(leaf);
    WriteFileBytes(path, text);
    return path;
}

RECT WindowRect(HWND h)
{
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

// The screen's pixels in a rectangle, as 0x00RRGGBB, row by row.
std::vector<DWORD> Grab(const RECT& r)
{
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = GrabPixels(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool Similar(DWORD pixel, COLORREF colour, int tolerance)
{
    return abs(int((pixel >> 16) & 0xFF) - GetRValue(colour)) <= tolerance &&
           abs(int((pixel >> 8) & 0xFF) - GetGValue(colour)) <= tolerance &&
           abs(int(pixel & 0xFF) - GetBValue(colour)) <= tolerance;
}

// Share of pixels of a screen rectangle further than tolerance from every one of colours.
double ShareUnlike(const RECT& r, std::initializer_list<COLORREF> colours, int tolerance)
{
    const std::vector<DWORD> pixels = Grab(r);
    if (pixels.empty())
        return 0;
    long unlike = 0;
    for (DWORD p : pixels) {
        bool similar = false;
        for (COLORREF colour : colours)
            similar |= Similar(p, colour, tolerance);
        if (!similar)
            ++unlike;
    }
    return double(unlike) / double(pixels.size());
}

// Whether the picture in a screen rectangle moves: a share of its pixels changes within
// half a second.
bool PictureMoves(const RECT& r)
{
    const std::vector<DWORD> before = Grab(r);
    PumpMessagesFor(500);
    const std::vector<DWORD> after = Grab(r);
    if (before.empty() || before.size() != after.size())
        return false;
    long changed = 0;
    for (size_t i = 0; i < before.size(); i++)
        changed += before[i] != after[i];
    return changed > (long)before.size() / 50;
}

struct OwnedPopups {
    DWORD pid;
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwned(HWND h, LPARAM lp)
{
    OwnedPopups* d = reinterpret_cast<OwnedPopups*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == d->pid && GetWindow(h, GW_OWNER) == d->owner && IsWindowVisible(h))
        d->found.push_back(h);
    return TRUE;
}

// The biggest visible popup owned by the frame that is not layered: the live preview.
HWND PreviewOf(const ProgramProcess& p, HWND frame)
{
    OwnedPopups d = {p.Pid(), frame, {}};
    EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&d));
    HWND best = nullptr;
    long bestArea = 0;
    for (HWND h : d.found) {
        if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED)
            continue;
        RECT r = WindowRect(h);
        long area = (long)(r.right - r.left) * (r.bottom - r.top);
        if (area > bestArea) {
            bestArea = area;
            best = h;
        }
    }
    return best;
}

// The caption bar (inside the frame's rebar), which carries the File menu's commands.
HWND CaptionBar(HWND frame)
{
    HWND rebar = GetDlgItem(frame, 0xE804);
    return rebar ? GetWindow(rebar, GW_CHILD) : nullptr;
}

// The visible popup of the frame that has a child with this id.
HWND OwnedPopupWith(const ProgramProcess& p, HWND frame, int childId)
{
    OwnedPopups d = {p.Pid(), frame, {}};
    EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&d));
    for (HWND h : d.found)
        if (GetDlgItem(h, childId) != nullptr)
            return h;
    return nullptr;
}

struct ChildSearch {
    int id;
    const WCHAR* cls;
    HWND found;
};

BOOL CALLBACK FindChild(HWND h, LPARAM lp)
{
    ChildSearch* d = reinterpret_cast<ChildSearch*>(lp);
    WCHAR cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (GetDlgCtrlID(h) == d->id && (d->cls == nullptr || lstrcmpiW(cls, d->cls) == 0)) {
        d->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND ChildById(HWND parent, int id, const WCHAR* cls = nullptr)
{
    ChildSearch d = {id, cls, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

// A button press as its parent hears it.
void PressButton(HWND button)
{
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// Starts the program with a new picture file named on its command line; the frame, or
// null when it did not come up.
HWND StartWithPicture(ProgramProcess& p, const char16_t* leaf, int w, int h, std::u16string& image)
{
    image = TempPath(leaf);
    if (!WriteFileBytes(image, BitmapBytes(w, h)) || !p.Start(u"\"" + image + u"\""))
        return nullptr;
    return p.WaitForMainWindow(60000);
}

// A real left click at a screen point.
void Click(POINT at)
{
    SetCursorPos(at.x, at.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

}  // namespace

TEST(Startup, MaximisedCaptionlessFrameWithItsPanesAndALivePicture)
{
    ProgramProcess p;
    ASSERT_TRUE(p.Start());
    HWND frame = p.WaitForMainWindow(60000);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsZoomed(frame));
    const LONG style = GetWindowLongW(frame, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(GetMenu(frame), nullptr);

    // Outer splitter: the left column 220 wide, the right one beside it.
    HWND outer = GetDlgItem(frame, kIdPaneFirst);
    ASSERT_NE(outer, nullptr);
    HWND left = GetDlgItem(outer, kIdPaneFirst);
    HWND right = GetDlgItem(outer, kIdPaneFirst + 1);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    RECT lr = WindowRect(left), rr = WindowRect(right), fr = WindowRect(frame);
    EXPECT_EQ(lr.right - lr.left, 220);
    EXPECT_EQ(rr.left, lr.right + 1);
    // The right splitter: the strip row is 164 high below the views' row, and the inner
    // splitter's tool pane 40 wide, whatever the caption bar above takes.
    HWND views = GetDlgItem(right, kIdPaneFirst);
    HWND strip = GetDlgItem(right, kIdPaneFirst + 16);
    ASSERT_NE(views, nullptr);
    ASSERT_NE(strip, nullptr);
    RECT vr = WindowRect(views), sr = WindowRect(strip);
    EXPECT_EQ(sr.bottom - sr.top, 164);
    EXPECT_EQ(sr.top, vr.bottom + 1);
    EXPECT_LE(sr.bottom, fr.bottom);
    HWND tools = GetDlgItem(views, kIdPaneFirst + 1);
    ASSERT_NE(tools, nullptr);
    RECT tr = WindowRect(tools);
    EXPECT_EQ(tr.right - tr.left, 40);

    // The live picture: the preview shows more than its grey background.
    HWND preview = PreviewOf(p, frame);
    ASSERT_NE(preview, nullptr);
    RECT pr = WindowRect(preview);
    EXPECT_GT(pr.right - pr.left, 1000);
    EXPECT_TRUE(WaitFor([&] { return ShareUnlike(pr, {RGB(189, 189, 189)}, 10) > 0.5; }, 20000));
    SaveScreenshot(nullptr, "program_capture_tab");
    p.Close();
}

TEST(Startup, SecondCopyIsRefusedAndTheFirstStays)
{
    ProgramProcess first;
    ASSERT_TRUE(first.Start());
    HWND frame = first.WaitForMainWindow(60000);
    ASSERT_NE(frame, nullptr);

    ProgramProcess second;
    ASSERT_TRUE(second.Start());
    ProgramBox box = second.WaitForBox(30000);
    EXPECT_EQ(box.text, u"Orvisnap 正在運行！");
    EXPECT_EQ(second.WaitForMainWindow(0), nullptr);
    ProgramProcess::Press(box, IDOK);
    DWORD code = 0;
    EXPECT_TRUE(second.WaitForExit(20000, &code));

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_TRUE(first.Boxes().empty());
    first.Close();
}

TEST(Startup, BenchWithoutCamerasSaysSoOnceTheWindowIsUpAndClosesAtOnce)
{
    ProgramProcess p;
    ASSERT_TRUE(p.Start(u"", BenchFile(u"orv_empty_bench.txt", "seed 1\n")));
    ProgramBox box = p.WaitForBox(60000);
    EXPECT_EQ(box.text, u"沒有相機！");
    // The frame is already there behind the message.
    HWND frame = p.WaitForMainWindow(0);
    EXPECT_NE(frame, nullptr);
    ProgramProcess::Press(box, IDOK);
    ASSERT_NE(p.WaitForMainWindow(10000), nullptr);
    // No camera: the close does not wait for anything.
    const DWORD t0 = GetTickCount();
    PostMessageW(p.WaitForMainWindow(0), WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitForExit(20000));
    EXPECT_LT(GetTickCount() - t0, 15000u);
}

TEST(Startup, CameraThatCannotStopKeepsTheWindowUntilTheRetrySucceeds)
{
    // A driver camera whose first stop fails, as one still finishing a recording does.
    ProgramProcess p;
    ASSERT_TRUE(p.Start(u"", BenchFile(u"orv_stopfail_bench.txt",
                                        "stopfail 2\ncamera camdrv 0547:C00A Model51.1 colour\n")));
    HWND frame = p.WaitForMainWindow(60000);
    ASSERT_NE(frame, nullptr);
    PumpMessagesFor(2000);
    // File, Exit takes the same path as the close button.
    PostMessageW(frame, WM_COMMAND, kIdAppExit, 0);
    PumpMessagesFor(40);
    EXPECT_TRUE(p.Running());
    EXPECT_TRUE(p.WaitForExit(20000));
}

TEST(Startup, FileOnTheCommandLineOpensAndIsFirstOfTheRecentFiles)
{
    ProgramProcess p;
    std::u16string image;
    HWND frame = StartWithPicture(p, u"orv_start_image.bmp", 64, 48, image);
    ASSERT_NE(frame, nullptr);
    p.Close();
    std::u16string first = ReadUserString(kRecentKey, u"File1");
    EXPECT_EQ(lstrcmpiW(W(first), W(image)), 0);
}

TEST(Startup, MissingFileIsNamedInAMessageThenTheProgramEndsAndItIsNotARecentFile)
{
    // The camera library looks for cameras only once the window is up: a start that fails
    // before ends with nothing to write but must not leave the failed file as a recent one.
    const std::u16string missing = u"C:\\nowhere\\missing.bmp";
    ProgramProcess p;
    ASSERT_TRUE(p.Start(missing));
    ProgramBox box = p.WaitForBox(60000);
    EXPECT_EQ(box.text, u"打開文件失敗！\n" + missing);
    // The frame has gone by then; the program waits for the answer before it ends.
    EXPECT_EQ(p.WaitForMainWindow(0), nullptr);
    EXPECT_TRUE(p.Running());
    ProgramProcess::Press(box, IDOK);
    EXPECT_TRUE(p.WaitForExit(60000));
    EXPECT_NE(lstrcmpiW(W(ReadUserString(kRecentKey, u"File1")), W(missing)), 0);
}

TEST(Startup, ScreenshotsOfTheTabsTheFileMenuAndTheAboutBox)
{
    ProgramProcess p;
    ASSERT_TRUE(p.Start());
    HWND frame = p.WaitForMainWindow(60000);
    ASSERT_NE(frame, nullptr);
    PumpMessagesFor(2000);
    HWND outer = GetDlgItem(frame, kIdPaneFirst);
    HWND manage = GetDlgItem(outer, kIdPaneFirst);
    HWND tab = GetDlgItem(manage, 132);
    ASSERT_NE(tab, nullptr);
    const char* names[] = {"program_browse_tab", "program_image_tab"};
    for (int i = 1; i <= 2; i++) {
        // A click on the tab, as the user makes it (tabs at least 72 wide from the left;
        // item rectangles cannot be asked across processes).
        POINT at = {2 + i * 72 + 36, 11};
        ClientToScreen(tab, &at);
        Click(at);
        EXPECT_TRUE(WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == i; }, 5000));
        PumpMessagesFor(1000);
        SaveScreenshot(nullptr, names[i - 1]);
    }

    // The caption bar's File button opens its menu.
    HWND rebar = GetDlgItem(frame, 0xE804);
    HWND bar = rebar ? GetWindow(rebar, GW_CHILD) : nullptr;
    HWND fileButton = bar ? GetDlgItem(bar, 1163) : nullptr;
    ASSERT_NE(fileButton, nullptr);
    PostMessageW(bar, WM_COMMAND, MAKEWPARAM(1163, BN_CLICKED), reinterpret_cast<LPARAM>(fileButton));
    HWND menu = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (menu = FindWindowW(L"#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 5000));
    PumpMessagesFor(500);
    SaveScreenshot(nullptr, "program_file_menu");
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(bar, WM_CANCELMODE, 0, 0);
    PumpMessagesFor(500);

    PostMessageW(frame, WM_COMMAND, kIdAppAbout, 0);
    ProgramBox about = p.WaitForBox(10000);
    EXPECT_NE(about.hwnd, nullptr);
    EXPECT_NE(about.text.find(u"Version 4.3.0.605"), std::u16string::npos);
    PumpMessagesFor(500);
    SaveScreenshot(nullptr, "program_about_box");
    ProgramProcess::Press(about, IDOK);
    p.Close();
}

TEST(Startup, PrintSetupAndPrintPreviewFromTheFileMenuAndTheWindowAfterThem)
{
    const std::string output = ScreenshotDir() + "/program_print.ps";
    ASSERT_NE(UseTestPrinter(output.c_str()), nullptr);
    ProgramProcess p;
    std::u16string image;
    HWND frame = StartWithPicture(p, u"orv_print_image.bmp", 320, 240, image);
    ASSERT_NE(frame, nullptr);
    PumpMessagesFor(2000);
    HWND bar = CaptionBar(frame);
    ASSERT_NE(bar, nullptr);
    HWND live = PreviewOf(p, frame);
    ASSERT_NE(live, nullptr);

    // 設置列印: the system's print-setup dialog, with the page's orientation.
    PostMessageW(bar, WM_COMMAND, 0xE106, 0);
    ProgramBox setup = p.WaitForBox(20000);
    ASSERT_NE(setup.hwnd, nullptr);
    EXPECT_NE(GetDlgItem(setup.hwnd, 0x421), nullptr);
    PumpMessagesFor(500);
    SaveScreenshot(nullptr, "program_print_setup");
    ProgramProcess::Press(setup, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(setup.hwnd); }, 10000));

    // The print layout (the browse tools' print button) with the picture imported through
    // the image open dialog, so the printed page has something on it.
    HWND layoutButton = ChildById(frame, 1013, L"Button");
    ASSERT_NE(layoutButton, nullptr);
    PressButton(layoutButton);
    HWND layout = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (layout = OwnedPopupWith(p, frame, 1512)) != nullptr; }, 20000));
    HWND import = GetDlgItem(layout, 1512);
    PressButton(import);
    ProgramBox open;
    ASSERT_TRUE(WaitFor([&] {
        for (const ProgramBox& b : p.Boxes())
            if (b.hwnd != layout)
                open = b;
        return open.hwnd != nullptr;
    }, 20000));
    EXPECT_EQ(open.caption, u"打開圖像文件");
    HWND name = ChildById(open.hwnd, 0x47c, L"Edit");
    if (name == nullptr)
        name = ChildById(open.hwnd, 0x480, L"Edit");
    ASSERT_NE(name, nullptr);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W(image)));
    ProgramProcess::Press(open, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(open.hwnd); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(layout, 1513)); }, 10000));   // print: items

    // 預覽列印: a window over the frame; the live picture and the layout step aside until
    // it closes.
    PostMessageW(bar, WM_COMMAND, 0xE109, 0);
    HWND preview = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (preview = OwnedPopupWith(p, frame, 0xE300)) != nullptr; }, 20000));
    EXPECT_FALSE(IsWindowVisible(live));
    EXPECT_FALSE(IsWindowVisible(layout));
    const RECT fr = WindowRect(frame), pr = WindowRect(preview);
    EXPECT_TRUE(EqualRect(&fr, &pr));
    PumpMessagesFor(1000);
    SaveScreenshot(nullptr, "program_print_preview");
    PostMessageW(preview, WM_COMMAND, 0xE300, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(preview); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(live) && IsWindowVisible(layout); }, 5000));
    const RECT lr = WindowRect(live);
    // The live picture shows again where it was, moving: neither the view's grey behind
    // it, a blank window nor what the preview left on the screen.
    EXPECT_TRUE(WaitFor([&] {
        return ShareUnlike(lr, {RGB(189, 189, 189), RGB(244, 244, 244), RGB(255, 255, 255), RGB(0, 0, 0)}, 12) > 0.5 &&
               PictureMoves(lr);
    }, 20000));
    SaveScreenshot(nullptr, "program_after_print_preview");
    p.Close();
}

namespace {

const WCHAR kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Points the user's application-data folder somewhere else while it lives.
class AppDataScope {
public:
    explicit AppDataScope(const std::u16string& folder)
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key,
                        nullptr);
        DWORD size = sizeof m_saved;
        m_had = RegQueryValueExW(m_key, L"AppData", nullptr, &m_type, reinterpret_cast<BYTE*>(m_saved), &size) ==
                ERROR_SUCCESS;
        m_size = size;
        RegSetValueExW(m_key, L"AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       DWORD((folder.size() + 1) * sizeof(char16_t)));
    }
    ~AppDataScope()
    {
        if (m_had)
            RegSetValueExW(m_key, L"AppData", 0, m_type, reinterpret_cast<const BYTE*>(m_saved), m_size);
        else
            RegDeleteValueW(m_key, L"AppData");
        RegCloseKey(m_key);
    }

private:
    HKEY m_key = nullptr;
    bool m_had = false;
    DWORD m_type = REG_EXPAND_SZ, m_size = 0;
    WCHAR m_saved[MAX_PATH * 2] = {};
};

}  // namespace

// A new user: nothing of the program in the application-data folder yet. Once the
// program has ended, the measurement settings file holds the look of the ruler cross.
TEST(Startup, NewUserGetsTheMeasureSettingsFileAtTheEnd)
{
    const std::u16string appData = TempPath(u"orv_fresh_profile");
    CreateDirectoryW(W(appData), nullptr);
    const std::u16string file = appData + u"\\Orvisnap\\MeasureAttribute.ini";
    // What an earlier run left there: the settings, the camera's own file and the
    // measuring picture.
    WIN32_FIND_DATAW found;
    HANDLE left = FindFirstFileW(W(appData + u"\\Orvisnap\\*"), &found);
    if (left != INVALID_HANDLE_VALUE) {
        do
            DeleteFileW(W(appData + u"\\Orvisnap\\" + (const char16_t*)found.cFileName));
        while (FindNextFileW(left, &found));
        FindClose(left);
    }
    RemoveDirectoryW(W(appData + u"\\Orvisnap\\PicRecord"));
    RemoveDirectoryW(W(appData + u"\\Orvisnap"));
    ASSERT_EQ(GetFileAttributesW(W(appData + u"\\Orvisnap")), INVALID_FILE_ATTRIBUTES);
    {
        AppDataScope scope(appData);
        ProgramProcess p;
        ASSERT_TRUE(p.Start());
        ASSERT_NE(p.WaitForMainWindow(60000), nullptr);
        p.Close();
    }
    const WCHAR* section = L"RulerAttribute";
    EXPECT_EQ(GetPrivateProfileIntW(section, L"TransparentBK", -1, W(file)), 1);
    EXPECT_EQ(GetPrivateProfileIntW(section, L"ColorRuler", -1, W(file)), 0);
    EXPECT_EQ(GetPrivateProfileIntW(section, L"ColorBK", -1, W(file)), 0xFEFFFF);
}

#include "support/gtest.h"

#include <string>
#include <vector>

#include "CaptureFileName.h"
#include "TempFolder.h"

#include <dlgs.h>

namespace {

// What a user does in the Save-As dialog, and what the dialog showed them.
struct DialogScript {
    std::u16string typedName;  // empty: press Cancel
    int filter = -1;           // 0-based filter to pick, -1 leaves the initial one
    bool seen = false;
    int initialFilter = -1;
    std::vector<std::u16string> filters;
};

std::u16string ComboText(HWND combo, int index)
{
    WCHAR text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return reinterpret_cast<const char16_t*>(text);
}

DWORD WINAPI PlayUser(LPVOID param)
{
    DialogScript* script = static_cast<DialogScript*>(param);
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && !dialog; ++i) {
        Sleep(50);
        dialog = FindWindowW(L"#32770", L"camera capture files");
    }
    if (!dialog)
        return 0;
    // The dialog shows once it has filled its controls.
    for (int i = 0; i < 250 && !(IsWindowVisible(dialog) &&
                                 SendMessageW(GetDlgItem(dialog, cmb1), CB_GETCOUNT, 0, 0) > 0); ++i)
        Sleep(20);
    script->seen = true;
    HWND types = GetDlgItem(dialog, cmb1);
    script->initialFilter = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        script->filters.push_back(ComboText(types, i));

    if (script->typedName.empty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    if (script->filter >= 0) {
        SendMessageW(types, CB_SETCURSEL, script->filter, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(types));
    }
    HWND name = GetDlgItem(dialog, cmb13);
    if (!name)
        name = GetDlgItem(dialog, edt1);
    SetWindowTextW(name, W(script->typedName));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return 0;
}

// Runs the dialog with a user playing the script on a thread of its own.
BOOL RunDialog(DialogScript& script, BOOL videoMode, BOOL rawFilter, BYTE& format, CString& path)
{
    HANDLE user = CreateThread(nullptr, 0, PlayUser, &script, 0, nullptr);
    BOOL ok = AskCaptureFileName(nullptr, L"Orv", videoMode, rawFilter, format, path);
    WaitForSingleObject(user, 15000);
    CloseHandle(user);
    return ok;
}

TEST(CaptureSaveDialog, ChosenFilterSetsTheFormat)
{
    TempFolder folder;
    DialogScript script;
    script.typedName = folder.Path("shot.jpg");
    script.filter = 1;
    BYTE format = 8;
    CString path;
    ASSERT_TRUE(RunDialog(script, FALSE, TRUE, format, path));
    ASSERT_TRUE(script.seen);
    EXPECT_EQ(script.initialFilter, 2);  // TIFF, from the settings' format
    EXPECT_EQ(script.filters, (std::vector<std::u16string>{u"BMP Files (*.bmp)", u"JPEG Files (*.jpg)",
                                                            u"TIFF Files (*.tif)", u"RAW Files (*.raw)"}));
    EXPECT_EQ(format, 1);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(path))),
              folder.Path("shot.jpg"));
}

TEST(CaptureSaveDialog, VideoModeOffersAviOnly)
{
    TempFolder folder;
    DialogScript script;
    script.typedName = folder.Path("clip.avi");
    BYTE format = 2;
    CString path;
    ASSERT_TRUE(RunDialog(script, TRUE, TRUE, format, path));
    EXPECT_EQ(script.filters, std::vector<std::u16string>{u"AVI Files (*.avi)"});
    EXPECT_EQ(format, 32);
}

TEST(CaptureSaveDialog, CancelKeepsTheSettings)
{
    DialogScript script;  // no name: the user cancels
    BYTE format = 4;
    CString path;
    EXPECT_FALSE(RunDialog(script, FALSE, FALSE, format, path));
    EXPECT_TRUE(script.seen);
    EXPECT_EQ(script.filters.size(), 3u);  // no RAW filter for this camera
    EXPECT_EQ(format, 4);
}

}  // namespace

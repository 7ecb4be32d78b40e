// The Save-As dialog of the ask mode drops its RAW filter for the rest of the process
// once the parameters were initialised for product 37 or 38, whatever camera follows.
#include "support/gtest.h"
#include "capture_test_camera.h"

#include <dlgs.h>

#include <string>
#include <vector>

namespace {

// Reads the dialog's file types and cancels it.
DWORD WINAPI ReadTypesAndCancel(LPVOID param)
{
    auto* types = static_cast<std::vector<std::u16string>*>(param);
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
    HWND combo = GetDlgItem(dialog, cmb1);
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        WCHAR text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        types->push_back(reinterpret_cast<const char16_t*>(text));
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

std::vector<std::u16string> AskedTypes()
{
    std::vector<std::u16string> types;
    HANDLE user = CreateThread(nullptr, 0, ReadTypesAndCancel, &types, 0, nullptr);
    CaptureParam settings;
    settings.IsCaptureDlg = 1;
    settings.CaptureType = CAPTURE_TYPE_BMP;
    CString name;
    EXPECT_FALSE(CCameraManager::Instance().MakeCaptureFileName(&name, &settings, 0));
    WaitForSingleObject(user, 15000);
    CloseHandle(user);
    return types;
}

bool OffersRaw(const std::vector<std::u16string>& types)
{
    for (const std::u16string& t : types)
        if (t == u"RAW Files (*.raw)")
            return true;
    return false;
}

}  // namespace

TEST_F(CaptureCameraTest, RawFilterFollowsTheProcessFlagNotTheCurrentProduct)
{
    OpenCamera();
    // Product 37 open but its parameters not initialised: RAW is still offered.
    CCameraManagerProbe::SetProduct(37);
    std::vector<std::u16string> types = AskedTypes();
    ASSERT_EQ(types.size(), 4u);
    EXPECT_TRUE(OffersRaw(types));

    ASSERT_EQ(QrCCameraParameterInit(), CAM_OK);
    types = AskedTypes();
    ASSERT_EQ(types.size(), 3u);
    EXPECT_FALSE(OffersRaw(types));

    // Another product later in the process: the flag stays.
    CCameraManagerProbe::SetProduct(5);
    types = AskedTypes();
    ASSERT_EQ(types.size(), 3u);
    EXPECT_FALSE(OffersRaw(types));
}

// The camera library finds the bench's cameras through its exports, creates their
// devices by camera-type code and opens the camera with live frames.
#include "BenchSupport.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/QrCCamera.h"

#include "camera/device/CoreCameraList.h"

using orvbench::Bench;

namespace {

std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> out;
    int n = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        WCHAR buf[128] = {0};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(ToLibraryName(CString(buf)));
    }
    return out;
}

}  // namespace

// One test: the manager is one per process and gone after QrCCameraMgrUninitialize.
TEST(CameraLibraryWiring, ReflashFindsTheDefaultBenchCameraAndInitOpensIt)
{
    benchtest::LoadCameraLibrary();
    Bench::Get().LoadDefault();
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    int count = 0;
    ASSERT_EQ(QrCGetCameraCount(&count), CAM_OK);
    EXPECT_EQ(count, 1);
    CameraMgrParam param;
    ASSERT_EQ(QrCCameraGetMgrParameter(&param), CAM_OK);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_CORE_A);
    EXPECT_EQ(param.sensorKind, SENSOR_KIND_CMOS);

    HWND cameras = CreateWindowW(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 0, 0, 100, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    QrCRegisterCamera(cameras);
    std::vector<std::string> names = ComboTexts(cameras);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "Model73 #1");
    DestroyWindow(cameras);

    // With cameras in two libraries the combo keeps the current camera selected,
    // whichever list it comes from.
    benchtest::LoadBench("camera zuzirazo EB1A:7585 Minor.1\n");
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);   // fills the second library's list
    ASSERT_TRUE(Bench::Get().Plug("camera zedodir 0547:A005 Model73.1"));
    ASSERT_TRUE(Bench::Get().Plug("camera zedodir 0547:A005 Model73.2"));
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    ASSERT_EQ(QrCChoiceCamera(1), CAM_OK);
    auto selected = [] {
        HWND combo = CreateWindowW(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 0, 0, 100, 200, nullptr,
                                   nullptr, nullptr, nullptr);
        QrCRegisterCamera(combo);
        const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        const std::string text = ComboTexts(combo).at(size_t(index < 0 ? 0 : index));
        DestroyWindow(combo);
        return std::make_pair(int(index), text);
    };
    EXPECT_EQ(selected(), std::make_pair(1, std::string("Model73 #2")));
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_MINOR), CAM_OK);
    EXPECT_EQ(selected().first, 2);
    Bench::Get().LoadDefault();
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);

    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    const uint32_t before = Bench::Get().FrameCount("Model73.1");
    ASSERT_EQ(QrCCameraInit(1, &wnd, hwnd, 1), CAM_OK);
    EXPECT_TRUE(WaitFor([&] { return Bench::Get().FrameCount("Model73.1") > before + 5; }, 5000));
    QrCCameraUnInit();
    QrCCameraMgrUninitialize();
    wnd.Detach();
    DestroyWindow(hwnd);
}


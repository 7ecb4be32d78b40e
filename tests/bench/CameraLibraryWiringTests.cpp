// The camera library finds the bench's cameras through its exports, creates their
// devices by camera-type code and opens the camera with live frames.
#include "BenchSupport.h"

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

    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    const uint32_t before = Bench::Get().FrameCount("Model73.1");
    ASSERT_EQ(QrCCameraInit(1, &wnd, hwnd, 1), CAM_OK);
    Sleep(600);
    EXPECT_GT(Bench::Get().FrameCount("Model73.1"), before + 5);
    QrCCameraUnInit();
    QrCCameraMgrUninitialize();
    wnd.Detach();
    DestroyWindow(hwnd);
}


// Driver cameras on the camera bench: their bench lines and USB places, the simulated
// tree the scan walks, and the manager choosing one and showing its live picture.
// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/CameraManager.h"
#include "camera/device/CameraFactory.h"
#include "camera/device/SimulatedUsbHost.h"
#include "camera/device/UsbCameraScanner.h"

#include <memory>
#include <string>
#include <vector>

using orvbench::Bench;
using orvbench::CameraSpec;

namespace {

const int kNoHost = -2;

// The camera-type code the scan finds on the host the factory makes for the current
// bench; kNoHost when it makes none.
int ScanBench(std::vector<std::string>* opened = nullptr)
{
    std::unique_ptr<CUsbHostInterface> host(CreateUsbHost());
    if (!host)
        return kNoHost;
    CUsbCameraScanner scanner(host.get());
    const int code = scanner.Scan();
    if (opened)
        *opened = static_cast<CSimulatedUsbHost*>(host.get())->OpenedPaths();
    return code;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

}  // namespace

TEST(BenchDriverCameras, CamdrvLinesWithTheirUsbPlaces)
{
    std::string error;
    ASSERT_TRUE(Bench::Get().Load("camera camdrv 0547:C00A Model51.1 mono usb=3:2.4.1\n"
                                  "camera camdrv 0547:C009 Model50.1\n"
                                  "camera zedodir 0547:A005 Model73.1\n",
                                  &error))
        << error;
    const std::vector<CameraSpec> driver = Bench::Get().DriverCameras();
    ASSERT_EQ(driver.size(), 2u);
    EXPECT_EQ(driver[0].name, "Model51.1");
    EXPECT_EQ(driver[0].product, 0xC00A);
    EXPECT_FALSE(driver[0].colour);
    EXPECT_EQ(driver[0].usbController, 3);
    EXPECT_EQ(driver[0].usbPorts, (std::vector<int>{2, 4, 1}));
    EXPECT_TRUE(driver[1].usbPorts.empty());
    // The library lists do not see driver cameras.
    EXPECT_EQ(Bench::Get().CameraNames(orvbench::kLibraryZedOdir),
              std::vector<std::string>{"Model73.1"});
    EXPECT_TRUE(Bench::Get().CameraNames(orvbench::kLibraryZuzIrazo).empty());

    const char* const kRefused[] = {
        "camera zedodir 0547:A005 X.1 usb=0:1",   // places are for driver cameras
        "camera camdrv 0547:C00A X.1 usb=0",
        "camera camdrv 0547:C00A X.1 usb=10:1",   // the scan tries controllers 0-9
        "camera camdrv 0547:C00A X.1 usb=0:1..2",
        "camera camdrv 0547:C00A X.1 usb=0:0",
        "camera camdrv 0547:C00A X.1 usb=0:1.2.3.4.5.6.7",  // more hubs than USB allows
        "camera camdrv 0547:C00A X.1 usb=0:2\ncamera camdrv 0547:C009 Y.1 usb=0:2",
        "camera camdrv 0547:C00A X.1 usb=0:2\ncamera camdrv 0547:C009 Y.1 usb=0:2.1",
    };
    for (const char* text : kRefused)
        EXPECT_FALSE(Bench::Get().Load(text, &error)) << text;
    EXPECT_EQ(Bench::Get().DriverCameras().size(), 2u);  // a refused file changes nothing

    ASSERT_TRUE(Bench::Get().Load("camera camdrv 0547:C00A X.1 usb=0:2\n"
                                  "camera camdrv 0547:C009 Y.1 usb=1:2\n",
                                  &error))
        << error;
    EXPECT_FALSE(Bench::Get().Plug("camera camdrv 0547:C008 Z.1 usb=1:2.3", &error));
    EXPECT_TRUE(Bench::Get().Plug("camera camdrv 0547:C008 Z.1 usb=1:3.3", &error)) << error;
    EXPECT_EQ(Bench::Get().DriverCameras().size(), 3u);
    EXPECT_TRUE(Bench::Get().Unplug("Z.1"));
    EXPECT_EQ(Bench::Get().DriverCameras().size(), 2u);
    Bench::Get().LoadDefault();
}

TEST(BenchDriverCameras, TheScanWalksTheTreeOfTheBenchsDriverCameras)
{
    // Without driver cameras the scan keeps this machine's controllers.
    Bench::Get().LoadDefault();
    EXPECT_EQ(ScanBench(), kNoHost);

    // Behind two hubs on the third controller: HCD0 to HCD2, the root hub, two hubs.
    ASSERT_TRUE(Bench::Get().Load("camera camdrv 0547:C009 Model50.1 usb=2:3.4.2\n"));
    std::vector<std::string> opened;
    EXPECT_EQ(ScanBench(&opened), 13);
    EXPECT_EQ(opened.size(), 6u);

    // A camera without a place takes a root port of controller 0 that no placed camera
    // uses; the first camera met decides.
    ASSERT_TRUE(Bench::Get().Load("camera camdrv 0547:C00A Model51.1 usb=0:1.1\n"
                                  "camera camdrv 0547:C008 Model44.1\n"));
    EXPECT_EQ(ScanBench(), 12);
    ASSERT_TRUE(Bench::Get().Load("camera camdrv 0547:C00A Model51.1 usb=0:2\n"
                                  "camera camdrv 0547:C008 Model44.1\n"));
    EXPECT_EQ(ScanBench(), 1);

    // On the tree, but not a product of the type table.
    ASSERT_TRUE(Bench::Get().Load("camera camdrv 0547:ABCD Other.1\n"));
    EXPECT_EQ(ScanBench(), -1);
    Bench::Get().LoadDefault();
}

TEST(BenchDriverCameras, RefreshChoosesTheBenchCameraAndItsLivePictureRuns)
{
    char folder[MAX_PATH] = {0};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path = std::string(folder) + "orv_driver_camera.bench";
    ASSERT_TRUE(WriteTextFile(path, "# one driver camera\ncamera camdrv 0547:C00A Model51.1 colour\n"));
    ASSERT_TRUE(SetEnvironmentVariableA("ORV_BENCH_FILE", path.c_str()));
    Bench::Get().LoadFromEnvironment();
    SetEnvironmentVariableA("ORV_BENCH_FILE", nullptr);
    DeleteFileA(path.c_str());
    ASSERT_EQ(Bench::Get().DriverCameras().size(), 1u);

    CCameraManager::Instance().SetUsbHost(nullptr);
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    CameraMgrParam param;
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_CAMDRVB);
    CameraParamInfo info;
    ASSERT_EQ(QrCCameraGetParameterInfo(&info, 1), CAM_OK);
    EXPECT_TRUE(info.modelName == CString("Model51"));

    HWND parent = CreateWindowExW(0, L"STATIC", L"driver camera", WS_POPUP | WS_VISIBLE, 0, 0,
                                  320, 260, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 260,
                                 parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent && child);
    CWnd draw;
    ASSERT_TRUE(draw.Attach(child));
    {
        MessageSpy spy(parent);
        ASSERT_EQ(QrCCameraInit(0, &draw, child, 1), CAM_OK);
        // wParam 1: a frame went to the window.
        EXPECT_TRUE(WaitFor(
            [&] {
                int shown = 0;
                for (const SpyMessage& m : spy.Messages())
                    shown += m.msg == WM_CAMERA_FRAME_STATUS && m.wParam == 1;
                return shown >= 3;
            },
            10000));
        EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    }
    draw.Detach();
    DestroyWindow(parent);
    QrCSetCamera(CAMERA_TYPE_NONE);
    Bench::Get().LoadDefault();
}

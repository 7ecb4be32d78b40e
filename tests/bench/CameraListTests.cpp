// The camera lists over the bench: entries, display names, unlisted products, the
// current index across refreshes, hot-plug names and the configuration folder.
#include "BenchSupport.h"

#include "camera/device/CoreCameraList.h"
#include "camera/device/CoreCameraListB.h"
#include "camera/device/MinorCameraList.h"

using orvbench::Bench;

namespace {

std::string Text(const CString& s)
{
    return ToLibraryName(s);
}

// "未知設備", the text of an unlisted product.
const WCHAR kUnknown[] = {0x672A, 0x77E5, 0x8A2D, 0x5099, 0};

}  // namespace

TEST(CameraLists, EntriesCarryProductKindAndDisplayName)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench(
        "camera zedodir 0547:A005 Model73.2\n"
        "camera zedodir 0547:A005 NoDot\n"
        "camera zedodir 0547:E005 Odd.3\n"
        "camera zedodir 1234:A005 Alien.7\n"
        "camera zedodir 0547:A008 Model28.4\n"
        "camera zedodir 0547:A008 Other.2\n"
        "camera zedodir 5172:3841 Plain.5\n"
        "camera zedodir EBA1:7585 Hd.1\n"
        "camera zuzirazo EB1A:7585 Minor.1\n"
        "camera zuzirazo EB1A:7586 MinorOdd.1\n");
    CCoreCameraList list;
    list.Refresh();
    ASSERT_EQ(list.GetCount(), 8);
    struct Want { const char* device; int index; int kind; const WCHAR* display; };
    const Want want[] = {
        {"Model73.2", 11, 1, L"Model73 #2"}, {"NoDot", 11, 1, L"Model73 #1"},
        {"Odd.3", -1, 0, kUnknown}, {"Alien.7", -1, 0, kUnknown},
        {"Model28.4", 1, 1, L"Model28 #4"}, {"Other.2", 1, 1, L"Model84 #2"},
        {"Plain.5", 4, 1, L"Model88"}, {"Hd.1", 29, 3, L"Model90 #1"},
    };
    for (int i = 0; i < 8; ++i) {
        const CameraListEntry* e = list.GetEntry(i);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(Text(e->deviceName), want[i].device);
        EXPECT_EQ(e->productIndex, want[i].index) << want[i].device;
        EXPECT_EQ(e->sensorKind, want[i].kind) << want[i].device;
        EXPECT_EQ(Text(e->displayName), Text(CString(want[i].display))) << want[i].device;
    }
    EXPECT_EQ(list.GetEntry(0)->vendorId, 0x0547);
    EXPECT_EQ(list.GetEntry(0)->productId, 0xA005);

    CMinorCameraList minor;
    minor.Refresh();
    ASSERT_EQ(minor.GetCount(), 2);
    EXPECT_EQ(Text(minor.GetEntry(0)->displayName), "Model82 #1");
    EXPECT_EQ(minor.GetEntry(0)->productIndex, 27);
    EXPECT_EQ(minor.GetEntry(0)->sensorKind, 3);
    EXPECT_EQ(minor.GetEntry(1)->productIndex, -1);
    EXPECT_EQ(Text(minor.GetEntry(1)->displayName), Text(CString(kUnknown)));

    CCoreCameraListB second;
    second.Refresh();
    EXPECT_EQ(second.GetCount(), 0);
}

TEST(CameraLists, CurrentIndexStaysInsideTheListAfterARefresh)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench("camera zedodir 0547:A005 A.1\ncamera zedodir 0547:A005 B.1\n"
                         "camera zedodir 0547:A005 C.1\n");
    CCoreCameraList list;
    list.Refresh();
    list.SetCurrentIndex(2);
    ASSERT_EQ(list.GetCurrentIndex(), 2);
    list.Refresh();
    EXPECT_EQ(list.GetCurrentIndex(), 2);   // a refresh keeps the choice
    Bench::Get().Unplug("B.1");
    Bench::Get().Unplug("C.1");
    list.Refresh();
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    ASSERT_NE(list.GetCurrentEntry(), nullptr);
    EXPECT_EQ(Text(list.GetCurrentEntry()->deviceName), "A.1");
}

TEST(CameraLists, RemovingCamerasKeepsTheCurrentIndexInsideTheList)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench("camera zedodir 0547:A005 A.1\ncamera zedodir 0547:A005 B.1\n"
                         "camera zedodir 0547:A005 C.1\n");
    CCoreCameraList list;
    list.Refresh();
    list.SetCurrentIndex(2);
    list.RemoveByName(L"A.1");
    list.RemoveByName(L"B.1");
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    list.SetCurrentIndex(0);
    list.RemoveByName(L"C.1");   // the current one: back to 0 on an empty list
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    EXPECT_EQ(list.GetCurrentEntry(), nullptr);
}

TEST(CameraLists, DeviceChangeReportsTheNameThatCameOrWent)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench("camera zedodir 0547:A005 A.1\n");
    CCoreCameraList list;
    CString name;
    EXPECT_EQ(list.DeviceChange(name, nullptr, 1), 0);
    EXPECT_TRUE(name.IsEmpty());
    Bench::Get().Plug("camera zedodir 0547:A007 New.9");
    EXPECT_EQ(list.DeviceChange(name, nullptr, 1), 1);
    EXPECT_EQ(Text(name), "New.9");
    GUID guid{};
    ASSERT_TRUE(list.GetGuid(&guid));
    EXPECT_NE(guid.Data1, 0u);
}

TEST(CameraLists, OpenCreatesTheConfigurationFolder)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench("camera zedodir 0547:A005 A.1\n");
    CString folder = CameraConfigurationFolder();
    RemoveDirectoryW(folder);
    CCoreCameraList list;
    EXPECT_EQ(list.Open(), 0);
    DWORD attributes = GetFileAttributesW(folder);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(folder.Right(1), CString(L"\\"));
    CMinorCameraList minor;
    EXPECT_EQ(minor.Open(), 0);
}

#include "support/gtest.h"

#include <set>
#include <string>

#include "CaptureFileName.h"
#include "TempFolder.h"

// The framework module must be loaded by Wine, not only mapped as an ELF library,
// or its Win32 imports stay unresolved; importing one of its exports sees to that.
extern "C" DWORD WINAPI AfxFrameworkVersion(void);

namespace {

TEST(CameraWritersProgram, LoadsTheFrameworkModule)
{
    EXPECT_NE(AfxFrameworkVersion(), 0u);
    EXPECT_NE(GetModuleHandleW(L"orvfw.dll"), nullptr);
}

std::u16string Str(const CString& s)
{
    return reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(s));
}

class CaptureFileNames : public ::testing::Test {
protected:
    CaptureNameFields Fields(const char* prefix, int captureType)
    {
        m_prefix = Widen(prefix);
        CaptureNameFields f;
        f.folder = folder.Path();
        f.prefix = W(m_prefix);
        f.captureType = captureType;
        return f;
    }

    // Names shots 0..count-1 as a series and creates each file, as the capture would.
    std::u16string Series(CaptureNameFields f, int count)
    {
        std::u16string names;
        for (int shot = 0; shot < count; ++shot) {
            f.shot = shot;
            CString name;
            EXPECT_TRUE(BuildCaptureFileName(f, name));
            std::u16string path = Str(name);
            const std::u16string root = folder.Path("");
            EXPECT_EQ(path.substr(0, root.size()), root);
            std::u16string leaf = path.substr(root.size());
            names += (names.empty() ? u"" : u" ") + leaf;
            CloseHandle(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        }
        return names;
    }

    TempFolder folder;
    std::u16string m_prefix;
};

TEST_F(CaptureFileNames, SeriesTakesTheFirstFreeNumberThenShotSuffixes)
{
    folder.Touch("X.tif");
    folder.Touch("X1.tif");
    folder.Touch("X2.tif");
    CaptureNameFields f = Fields("X", 8);
    f.isLapse = TRUE;
    EXPECT_EQ(Series(f, 3), u"X3.tif X3-1.tif X3-2.tif");

    CaptureNameFields a = Fields("A", 8);
    a.isLapse = TRUE;
    EXPECT_EQ(Series(a, 3), u"A.tif A-1.tif A-2.tif");
}

TEST_F(CaptureFileNames, NumberedNamesNeverOverwrite)
{
    folder.Touch("N.jpg");
    folder.Touch("N_1.jpg");
    CaptureNameFields f = Fields("N", 1);
    CString name;
    ASSERT_TRUE(BuildCaptureFileName(f, name));
    EXPECT_EQ(Str(name), folder.Path("N.jpg"));  // without IsNum the shot overwrites

    f.isNum = TRUE;
    ASSERT_TRUE(BuildCaptureFileName(f, name));
    EXPECT_EQ(Str(name), folder.Path("N_2.jpg"));
}

TEST_F(CaptureFileNames, TimeStampIsTenDigitsWithoutThePrefix)
{
    CaptureNameFields f = Fields("", 4);
    f.isTimeStamp = TRUE;
    f.localTime.wYear = 2026;
    f.localTime.wMonth = 1;
    f.localTime.wDay = 9;
    f.localTime.wHour = 5;
    f.localTime.wMinute = 7;
    f.localTime.wSecond = 3;
    CString name;
    ASSERT_TRUE(BuildCaptureFileName(f, name));
    EXPECT_EQ(Str(name), folder.Path("0109050703.raw"));

    CaptureNameFields p = Fields("Orv", 4);
    p.isTimeStamp = TRUE;
    p.shot = 2;
    p.localTime = f.localTime;
    ASSERT_TRUE(BuildCaptureFileName(p, name));
    EXPECT_EQ(Str(name), folder.Path("0109050703.raw"));
}

TEST_F(CaptureFileNames, ExtensionsFollowTheFormat)
{
    EXPECT_EQ(Str(CaptureFileExtension(1)), u".jpg");
    EXPECT_EQ(Str(CaptureFileExtension(2)), u".bmp");
    EXPECT_EQ(Str(CaptureFileExtension(4)), u".raw");
    EXPECT_EQ(Str(CaptureFileExtension(8)), u".tif");
    EXPECT_EQ(Str(CaptureFileExtension(32)), u".avi");
    EXPECT_EQ(Str(CaptureFileExtension(16)), u".bmp");
}

TEST_F(CaptureFileNames, MissingFolderIsRefused)
{
    std::u16string missing = folder.Path("gone\\");
    CaptureNameFields f = Fields("X", 8);
    f.folder = W(missing);
    CString name;
    EXPECT_FALSE(BuildCaptureFileName(f, name));
    EXPECT_EQ(Str(name), missing + u"X.tif");
}

TEST_F(CaptureFileNames, ProbeSeesEveryCandidate)
{
    // The builder asks only the probe, so the manager can name files without a disk.
    struct Disk {
        std::set<std::u16string> files;
        static BOOL Exists(LPCWSTR path, void* context)
        {
            return static_cast<Disk*>(context)->files.count(reinterpret_cast<const char16_t*>(path));
        }
    } disk;
    disk.files = {u"Q:\\cap", u"Q:\\cap\\S.bmp", u"Q:\\cap\\S1.bmp", u"Q:\\cap\\S2-1.bmp"};
    CaptureNameFields f;
    f.folder = L"Q:\\cap\\";
    f.prefix = L"S";
    f.captureType = 2;
    f.isNum = TRUE;
    f.shot = 1;
    f.exists = Disk::Exists;
    f.probeContext = &disk;
    CString name;
    ASSERT_TRUE(BuildCaptureFileName(f, name));
    EXPECT_EQ(Str(name), u"Q:\\cap\\S1-1.bmp");
    disk.files.insert(u"Q:\\cap\\S2.bmp");
    ASSERT_TRUE(BuildCaptureFileName(f, name));
    EXPECT_EQ(Str(name), u"Q:\\cap\\S2-1_1.bmp");
}

}  // namespace

#include "support/gtest.h"
#include <windows.h>

extern "C" DWORD WINAPI AfxFrameworkVersion(void);

TEST(FrameworkModule, LoadsThroughImportTable)
{
    EXPECT_NE(GetModuleHandleW(L"orvfw.dll"), nullptr);
    EXPECT_EQ(AfxFrameworkVersion(), 0x0100u);
}

// A second module for the framework tests: fills and frees framework strings that
// the test program owns, and hands back ones it made.
#include "afxwin.h"

extern "C" DWORD WINAPI FwPeerVersion(void) { return 1; }

void FwPeerFillCaption(CString& rOut, int nShot)
{
    rOut.Format(L"第%d張 %s", nShot, L"影像");
}

CString FwPeerMakeString(int nRepeat)
{
    CString s;
    for (int i = 0; i < nRepeat; i++) s += L"相機";
    return s;
}

void FwPeerDeleteString(CString* p) { delete p; }

void FwPeerFillList(CStringArray& rList, int nCount)
{
    for (int i = 0; i < nCount; i++) {
        CString s;
        s.Format(L"IMG_%04d.jpg", i);
        rList.Add(s);
    }
}

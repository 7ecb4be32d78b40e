#include "camera/core/LibraryResources.h"

HINSTANCE QrCInstance()
{
    // Looked up by name: the library is always loaded under this module name.
    static HINSTANCE instance = GetModuleHandleW(L"QrCCamera.dll");
    return instance;
}

CString LoadLibraryString(UINT id)
{
    // LoadStringW with a zero length hands out a pointer into the resource itself.
    const WCHAR* text = nullptr;
    int length = LoadStringW(QrCInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return CString();
    return CString(text, length);
}

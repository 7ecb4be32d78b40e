#include "app/shell/FolderPicker.h"
#include <shlobj.h>

void SettleAccessTimes(const CString& folder)
{
    for (int end = folder.Find(L'\\'); end >= 0; end = folder.Find(L'\\', end + 1)) {
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW(folder.Left(end + 1) + L"*", &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        while (::FindNextFileW(find, &found)) {
        }
        ::FindClose(find);
    }
}

int CALLBACK PreselectFolderCallback(HWND picker, UINT message, LPARAM, LPARAM folder)
{
    const LPCWSTR path = reinterpret_cast<LPCWSTR>(folder);
    if (message == BFFM_INITIALIZED && path != NULL && path[0] != 0) {
        CString settled(path);
        if (settled.Right(1) != L"\\")
            settled += L"\\";
        SettleAccessTimes(settled);
        ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, folder);
    }
    return 0;
}

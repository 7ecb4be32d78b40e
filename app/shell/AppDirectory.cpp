#include "app/shell/AppDirectory.h"

void GetAppDirectory(CString& out)
{
    // Long paths are legal: grow the buffer until the whole module path fits.
    DWORD size = MAX_PATH;
    for (;;) {
        CString path;
        DWORD n = ::GetModuleFileNameW(NULL, path.GetBuffer((int)size), size);
        if (n == 0) {
            path.ReleaseBuffer(0);
            out.Empty();
            return;
        }
        if (n < size) {
            path.ReleaseBuffer((int)n);
            int slash = path.ReverseFind('\\');
            out = slash >= 0 ? path.Left(slash + 1) : CString();
            return;
        }
        path.ReleaseBuffer(0);
        if (size >= 32768 * 2) {
            out.Empty();
            return;
        }
        size *= 2;
    }
}

CString AppPath(LPCWSTR relative)
{
    CString dir;
    GetAppDirectory(dir);
    return dir + relative;
}

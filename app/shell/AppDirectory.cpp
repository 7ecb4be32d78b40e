#include "app/shell/AppDirectory.h"

CString FolderOfProgram(ModuleFileNameFn moduleFileName)
{
    // Long paths are legal: grow the buffer until the whole module path fits.
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        CString path;
        DWORD n = moduleFileName(NULL, path.GetBuffer((int)size), size);
        if (n == 0) {
            path.ReleaseBuffer(0);
            return CString();
        }
        if (n < size) {
            path.ReleaseBuffer((int)n);
            int slash = path.ReverseFind('\\');
            return slash >= 0 ? path.Left(slash + 1) : CString();
        }
        path.ReleaseBuffer(0);
    }
    return CString();
}

void GetAppDirectory(CString& out) { out = FolderOfProgram(::GetModuleFileNameW); }

CString AppPath(LPCWSTR relative)
{
    CString dir;
    GetAppDirectory(dir);
    return dir + relative;
}

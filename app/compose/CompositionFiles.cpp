#include "app/compose/CompositionFiles.h"

namespace {

CompositionClock g_clock = nullptr;

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// Index of the "." that starts the file name's extension, -1 when none.
int ExtensionDot(const CString& path)
{
    int dot = path.ReverseFind(L'.');
    int slash = path.ReverseFind(L'\\');
    return dot > slash ? dot : -1;
}

}  // namespace

int MakeUniqueFileName(CString& path)
{
    if (!Exists(path))
        return 1;
    const int dot = ExtensionDot(path);
    if (dot < 0)
        return 0;
    const CString stem = path.Left(dot), extension = path.Mid(dot);
    for (int k = 1;; ++k) {
        CString candidate;
        candidate.Format(L"%s_%d%s", (LPCWSTR)stem, k, (LPCWSTR)extension);
        if (!Exists(candidate)) {
            path = candidate;
            return 1;
        }
    }
}

CString CompositionStamp()
{
    SYSTEMTIME now;
    if (g_clock)
        g_clock(&now);
    else
        GetLocalTime(&now);
    CString stamp;
    stamp.Format(L"%02d%02d%02d%02d%02d", now.wMonth, now.wDay, now.wHour, now.wMinute,
                 now.wSecond);
    return stamp;
}

void SetCompositionClock(CompositionClock clock)
{
    g_clock = clock;
}

CString FileExtensionOf(const CString& path)
{
    const int dot = ExtensionDot(path);
    return dot < 0 ? CString() : path.Mid(dot);
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash + 1);
}

CString FileNameOf(const CString& path)
{
    return path.Mid(path.ReverseFind(L'\\') + 1);
}

std::string ToUtf8(const CString& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), &out[0], n, nullptr, nullptr);
    return out;
}

#include "app/browse/RecycleBin.h"
#include <shellapi.h>
#include <vector>

namespace {

BOOL FileIsGone(LPCWSTR path)
{
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return FALSE;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

BOOL ShellDeleteFile(LPCWSTR path, BOOL noUndo, DWORD* error)
{
    DWORD code = ERROR_SUCCESS;
    if (path == NULL || *path == 0) {
        code = ERROR_INVALID_PARAMETER;
    } else {
        // The shell's own move would not ask whether the file is in use.
        HANDLE probe = ::CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
        if (probe == INVALID_HANDLE_VALUE) {
            code = ::GetLastError();
        } else {
            ::CloseHandle(probe);
            // The shell wants a list ended by two zero characters.
            const size_t length = (size_t)lstrlenW(path);
            std::vector<WCHAR> from(length + 2, 0);
            memcpy(from.data(), path, length * sizeof(WCHAR));
            SHFILEOPSTRUCTW op = {};
            op.wFunc = FO_DELETE;
            op.pFrom = from.data();
            op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | (noUndo ? 0 : FOF_ALLOWUNDO);
            const int result = ::SHFileOperationW(&op);
            if (!FileIsGone(path))
                code = result != 0 ? (DWORD)result : (op.fAnyOperationsAborted ? ERROR_CANCELLED : ERROR_ACCESS_DENIED);
        }
    }
    if (error != NULL) *error = code;
    return code == ERROR_SUCCESS;
}

BOOL MoveFileToRecycleBin(LPCWSTR path, DWORD* error) { return ShellDeleteFile(path, FALSE, error); }

CString DescribeSystemError(DWORD code)
{
    WCHAR* text = NULL;
    CString out;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         NULL, code, 0, (LPWSTR)&text, 0, NULL) != 0 &&
        text != NULL) {
        out = text;
        ::LocalFree(text);
        out.TrimRight(L"\r\n ");
    }
    if (out.IsEmpty()) out.Format(L"%lu", (unsigned long)code);
    return out;
}

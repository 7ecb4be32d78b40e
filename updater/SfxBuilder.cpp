#include "SfxBuilder.h"
#include <algorithm>
#include <string.h>

namespace {

void PutInt32(std::string& out, INT32 v)
{
    for (int i = 0; i < 4; i++) out += (char)(((UINT32)v >> (8 * i)) & 0xFF);
}

BOOL WriteAll(HANDLE h, const void* p, DWORD cb)
{
    DWORD put = 0;
    return ::WriteFile(h, p, cb, &put, NULL) && put == cb;
}

// Appends a whole file; its size must still fit the format's signed 32-bit fields.
BOOL CopyInto(HANDLE hOut, const CString& strSource, LONGLONG llLimit, LONGLONG& llCopied)
{
    llCopied = 0;
    HANDLE h = ::CreateFileW(strSource, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    std::vector<char> buf(256 * 1024);
    BOOL ok = TRUE;
    for (;;) {
        DWORD got = 0;
        ok = ::ReadFile(h, buf.data(), (DWORD)buf.size(), &got, NULL);
        if (!ok || got == 0) break;
        llCopied += got;
        if (llCopied > llLimit || !WriteAll(hOut, buf.data(), got)) {
            ok = FALSE;
            break;
        }
    }
    ::CloseHandle(h);
    return ok;
}

} // namespace

BOOL CSfxBuilder::Fail(LPCWSTR lpszReason, const CString& strWhat)
{
    m_strError = CString(lpszReason) + L": " + strWhat;
    return FALSE;
}

BOOL CSfxBuilder::AddFile(const CString& strName, const CString& strSourcePath)
{
    if (!CSfxPackage::IsSafeEntryName(strName)) return Fail(L"name refused", strName);
    if (SfxEncodeName(strName).size() > SFX_MAX_NAME_BYTES) return Fail(L"name too long", strName);
    if (m_files.size() >= SFX_MAX_ENTRIES) return Fail(L"more than 256 files", strName);
    m_files.push_back(Item{ strName, strSourcePath });
    return TRUE;
}

BOOL CSfxBuilder::AddFolderPart(const CString& strFolder, const CString& strPrefix)
{
    std::vector<CString> files, dirs;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(strFolder + L"\\*", &fd);
    if (h == INVALID_HANDLE_VALUE) return Fail(L"cannot list", strFolder);
    do {
        CString name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? dirs : files).push_back(name);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    auto byName = [](const CString& a, const CString& b) { return a.Compare(b) < 0; };
    std::sort(files.begin(), files.end(), byName);
    std::sort(dirs.begin(), dirs.end(), byName);
    for (const CString& f : files)
        if (!AddFile(strPrefix + f, strFolder + L"\\" + f)) return FALSE;
    for (const CString& d : dirs)
        if (!AddFolderPart(strFolder + L"\\" + d, strPrefix + d + L"\\")) return FALSE;
    return TRUE;
}

BOOL CSfxBuilder::AddFolder(const CString& strFolder)
{
    CString folder = strFolder;
    folder.TrimRight(L"\\/");
    return AddFolderPart(folder, CString());
}

BOOL CSfxBuilder::Write(const CString& strPackagePath)
{
    if (m_files.empty()) return Fail(L"no files", strPackagePath);
    HANDLE hOut = ::CreateFileW(strPackagePath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hOut == INVALID_HANDLE_VALUE) return Fail(L"cannot create", strPackagePath);

    // Offsets and sizes are signed 32-bit: the stored bytes must end below 2 GB.
    const LONGLONG kLimit = 0x7FFFFFFF;
    LONGLONG pos = 0;
    BOOL ok = TRUE;
    if (!m_strStub.IsEmpty() && !CopyInto(hOut, m_strStub, kLimit, pos)) ok = Fail(L"cannot copy the stub", m_strStub);

    std::string table;
    for (size_t i = 0; ok && i < m_files.size(); i++) {
        LONGLONG size = 0;
        if (!CopyInto(hOut, m_files[i].source, kLimit - pos, size)) {
            ok = Fail(L"cannot store", m_files[i].source);
            break;
        }
        std::string name = SfxEncodeName(m_files[i].name);
        PutInt32(table, (INT32)pos);
        PutInt32(table, (INT32)size);
        table += name;
        PutInt32(table, (INT32)name.size());
        pos += size;
    }
    if (ok) {
        PutInt32(table, (INT32)m_files.size());
        table.append(SFX_MARKER, SFX_MARKER_LEN);
        if (!WriteAll(hOut, table.data(), (DWORD)table.size())) ok = Fail(L"cannot write", strPackagePath);
    }
    ::CloseHandle(hOut);
    if (!ok) ::DeleteFileW(strPackagePath);
    return ok;
}

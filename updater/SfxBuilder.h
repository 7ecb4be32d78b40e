// Writes update packages in the layout CSfxPackage reads.  Used by the package tool, the
// tests and the benchmark; no window code here.
#pragma once
#include "SfxPackage.h"
#include <vector>

class CSfxBuilder
{
public:
    // An optional leading part (the archive's own executable); none by default.
    void SetStub(const CString& strStubPath) { m_strStub = strStubPath; }
    // One file stored under a name relative to the target folder ("\" between parts).
    // FALSE, with the reason in GetError, for a name the reader would refuse.
    BOOL AddFile(const CString& strName, const CString& strSourcePath);
    // Every file below a folder, named by its path relative to it, in name order so the
    // same folder always gives the same package.
    BOOL AddFolder(const CString& strFolder);
    // FALSE, with the reason in GetError, when the package cannot be written whole.
    BOOL Write(const CString& strPackagePath);

    int GetCount() const { return (int)m_files.size(); }
    const CString& GetError() const { return m_strError; }

private:
    struct Item
    {
        CString name;
        CString source;
    };
    BOOL AddFolderPart(const CString& strFolder, const CString& strPrefix);
    BOOL Fail(LPCWSTR lpszReason, const CString& strWhat);

    CString m_strStub;
    std::vector<Item> m_files;
    CString m_strError;
};

// SHA-256 through the platform's crypto provider, fed in pieces while a file streams by.
#pragma once
#include "afx.h"
#include <wincrypt.h>

class CSha256
{
public:
    CSha256();
    ~CSha256();

    BOOL Begin();
    BOOL Add(const void* pData, DWORD cb);
    // Lower-case hex of the digest; empty when hashing failed.
    CString Finish();

private:
    HCRYPTPROV m_hProv;
    HCRYPTHASH m_hHash;
    BOOL m_bFailed;
    void Free();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;
};

// Hash and size of a whole file; FALSE when it cannot be read.
BOOL Sha256OfFile(const CString& strPath, CString& strHex, LONGLONG& llSize);

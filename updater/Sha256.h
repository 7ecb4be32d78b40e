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

// Hashes on a thread of its own, so a download goes on while the bytes before are hashed.
// Add copies the bytes and returns at once unless every buffer is still waiting.
class CSha256Pipe
{
public:
    CSha256Pipe();
    ~CSha256Pipe();

    BOOL Begin();
    BOOL Add(const void* pData, DWORD cb);
    // Waits for the bytes handed over so far; lower-case hex, empty when hashing failed.
    CString Finish();

private:
    static DWORD WINAPI HashProc(LPVOID pParam);
    void Stop();

    enum { kSlots = 8, kSlotBytes = 256 * 1024 };
    struct Slot
    {
        char* data;
        DWORD cb;    // 0 ends the stream
    };
    Slot m_slots[kSlots];
    HANDLE m_hFree;
    HANDLE m_hFilled;
    HANDLE m_hThread;
    int m_nNext;
    CSha256 m_sha;
    BOOL m_bOk;
    CSha256Pipe(const CSha256Pipe&) = delete;
    CSha256Pipe& operator=(const CSha256Pipe&) = delete;
};

// Hash and size of a whole file; FALSE when it cannot be read.
BOOL Sha256OfFile(const CString& strPath, CString& strHex, LONGLONG& llSize);

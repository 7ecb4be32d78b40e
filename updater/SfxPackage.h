// The update package: a self-extracting archive whose stored files are described by a
// table at the end of the file, read backwards from a marker.  No window code here: the
// updater, the package tool and the tests share it.
//
// Layout, from the end (integers 32-bit little-endian):
//   "!ZODI_SFX!"                      10 bytes, no terminator
//   file count N                      4 bytes, unsigned
//   N records, record N-1 nearest the count; each record in file order is
//     data offset (signed, from the start of the file), data size (signed),
//     name (UTF-8, relative to the target folder, no terminator), name length (signed)
//   the stored bytes, anywhere before the table
#pragma once
#include "afx.h"
#include <string>

#define SFX_OPEN_FAILED    1000   // the package cannot be opened for reading
#define SFX_NO_TRAILER     1001   // the last bytes are not the marker
#define SFX_OK             1002
#define SFX_BAD_TABLE      1003   // the table is damaged or names a place outside the target
#define SFX_NO_FILES       1004
#define SFX_CREATE_FAILED  1005   // an output file could not be written
#define SFX_READ_FAILED    1006   // the package could not be read while extracting

#define SFX_MARKER         "!ZODI_SFX!"
#define SFX_MARKER_LEN     10
#define SFX_MAX_ENTRIES    256
#define SFX_MAX_NAME_BYTES 999

struct CSfxEntry
{
    CString m_strName;   // first member: a pointer to the entry is a pointer to its name
    INT32 m_nSize;
    INT32 m_nOffset;
};

// Called once per entry after its copy; the entry's name is its first member.
typedef void (*SFX_PROGRESS_CALLBACK)(CSfxEntry* pEntry, void* pContext);

class CSfxPackage
{
public:
    CSfxPackage();

    void SetPath(const CString& strPath) { m_strPath = strPath; }
    const CString& GetPath() const { return m_strPath; }

    void Reset();
    // Reads and checks the whole table; nothing is written.
    int Open(const CString& strPath);
    // Copies every entry into the folder, the last record first.  SFX_OK only when every
    // file was written whole; a file that fails keeps its old content and the rest are
    // still written.
    int ExtractAll(const CString& strFolder, SFX_PROGRESS_CALLBACK pfnProgress = NULL, void* pContext = NULL);
    int ExtractFile(HANDLE hPackage, int nIndex, const CString& strFolder);

    UINT32 GetFileCount() const { return m_nFileCount; }
    UINT32 GetTailLength() const { return m_nTailLength; }
    const CSfxEntry& GetEntry(int nIndex) const { return m_entries[nIndex]; }

    // A name the reader accepts: relative, below the target folder, a plain file name in
    // every part (no drive, stream, device, wildcard or "." / ".." part).
    static BOOL IsSafeEntryName(const CString& strName);

private:
    CString m_strPath;
    CSfxEntry m_entries[SFX_MAX_ENTRIES];
    UINT32 m_nFileCount;
    UINT32 m_nTailLength;
};

// Stored names are UTF-8.  Decoding fails for bytes that are not.
BOOL SfxDecodeName(const char* pBytes, int nLength, CString& strName);
std::string SfxEncodeName(const CString& strName);

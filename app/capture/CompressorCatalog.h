// The installed video compressors as the video settings dialog sees them: the five
// Video for Windows calls it makes, behind virtual operations so a test can stand in a
// catalogue of its own (twins, compressors that will not open).
#pragma once
#include <windows.h>
#include <vfw.h>

class CCompressorCatalog
{
public:
    virtual ~CCompressorCatalog();

    // ICInfo of video compressor number index; FALSE past the last one.
    virtual BOOL Info(DWORD index, ICINFO* info);
    // ICOpen in query mode; NULL when it does not open.
    virtual HIC OpenQuery(DWORD handler);
    // ICGetInfo into the whole record; the bytes copied, 0 on failure.
    virtual LRESULT GetInfo(HIC hic, ICINFO* info);
    // ICM_CONFIGURE: with ICMF_CONFIGURE_QUERY 0 means "has a dialog"; without flags
    // the compressor shows its dialog.
    virtual LRESULT Configure(HIC hic, HWND owner, DWORD_PTR flags);
    virtual void Close(HIC hic);

    // The system's compressors.
    static CCompressorCatalog& System();
};

#include "app/capture/CompressorCatalog.h"

CCompressorCatalog::~CCompressorCatalog() {}

BOOL CCompressorCatalog::Info(DWORD index, ICINFO* info)
{
    return ICInfo(ICTYPE_VIDEO, index, info);
}

HIC CCompressorCatalog::OpenQuery(DWORD handler)
{
    return ICOpen(ICTYPE_VIDEO, handler, ICMODE_QUERY);
}

LRESULT CCompressorCatalog::GetInfo(HIC hic, ICINFO* info)
{
    return ICGetInfo(hic, info, sizeof(ICINFO));
}

LRESULT CCompressorCatalog::Configure(HIC hic, HWND owner, DWORD_PTR flags)
{
    return ICSendMessage(hic, ICM_CONFIGURE, (DWORD_PTR)owner, flags);
}

void CCompressorCatalog::Close(HIC hic)
{
    ICClose(hic);
}

CCompressorCatalog& CCompressorCatalog::System()
{
    static CCompressorCatalog catalog;
    return catalog;
}

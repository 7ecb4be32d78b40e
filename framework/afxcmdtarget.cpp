#include "afximpl.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() {}
CCmdTarget::~CCmdTarget() {}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY _messageEntries[] = { { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } };
    static const AFX_MSGMAP messageMap = { NULL, &_messageEntries[0] };
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID)
{
    for (; lpEntry->nSig != AfxSig_end; lpEntry++) {
        if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID && nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return NULL;
}

namespace {

union CmdFunctions
{
    AFX_PMSG pfn;
    void (CCmdTarget::*pfn_v)();
    BOOL (CCmdTarget::*pfn_b)();
    void (CCmdTarget::*pfn_u)(UINT);
    BOOL (CCmdTarget::*pfn_bu)(UINT);
    void (CCmdTarget::*pfn_NOTIFY)(NMHDR*, LRESULT*);
    BOOL (CCmdTarget::*pfn_bNOTIFY)(NMHDR*, LRESULT*);
    void (CCmdTarget::*pfn_uNOTIFY)(UINT, NMHDR*, LRESULT*);
    BOOL (CCmdTarget::*pfn_buNOTIFY)(UINT, NMHDR*, LRESULT*);
    void (CCmdTarget::*pfn_UI)(CCmdUI*);
};

BOOL DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, AFX_PMSG pfn, void* pExtra, UINT_PTR nSig)
{
    CmdFunctions mmf;
    mmf.pfn = pfn;
    AFX_NOTIFY* pNotify = (AFX_NOTIFY*)pExtra;
    switch (nSig) {
    case AfxSigCmd_v: (pTarget->*mmf.pfn_v)(); return TRUE;
    case AfxSigCmd_b: return (pTarget->*mmf.pfn_b)();
    case AfxSigCmd_RANGE: (pTarget->*mmf.pfn_u)(nID); return TRUE;
    case AfxSigCmd_EX: return (pTarget->*mmf.pfn_bu)(nID);
    case AfxSigNotify_v: (pTarget->*mmf.pfn_NOTIFY)(pNotify->pNMHDR, pNotify->pResult); return TRUE;
    case AfxSigNotify_b: return (pTarget->*mmf.pfn_bNOTIFY)(pNotify->pNMHDR, pNotify->pResult);
    case AfxSigNotify_RANGE: (pTarget->*mmf.pfn_uNOTIFY)(nID, pNotify->pNMHDR, pNotify->pResult); return TRUE;
    case AfxSigNotify_EX: return (pTarget->*mmf.pfn_buNOTIFY)(nID, pNotify->pNMHDR, pNotify->pResult);
    case AfxSigCmdUI:
    case AfxSigCmdUI_RANGE: {
        // A handler that called ContinueRouting lets the next target have its say.
        CCmdUI* pCmdUI = (CCmdUI*)pExtra;
        if (pCmdUI == NULL) return FALSE;
        (pTarget->*mmf.pfn_UI)(pCmdUI);
        BOOL bHandled = !pCmdUI->m_bContinueRouting;
        pCmdUI->m_bContinueRouting = FALSE;
        return bHandled;
    }
    }
    return FALSE;
}

} // namespace

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT nMsg = 0;
    if ((UINT)nCode != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(nCode);
        nCode = LOWORD(nCode);
    }
    if (nMsg == 0) nMsg = WM_COMMAND;

    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL) {
        const AFX_MSGMAP_ENTRY* lpEntry = FindMessageEntry(pMap->lpEntries, nMsg, (UINT)nCode & 0xFFFF, nID);
        if (lpEntry == NULL) continue;
        if (pHandlerInfo != NULL) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pmf = lpEntry->pfn;
            return TRUE;
        }
        return DispatchCmdMsg(this, nID, lpEntry->pfn, pExtra, lpEntry->nSig);
    }
    return FALSE;
}

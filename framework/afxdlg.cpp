#include "afximpl.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_SETFONT, HandleSetFont)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
        if (pDlg == NULL) return TRUE;
        // Called from inside the platform's dialog manager: nothing may unwind past it.
        try {
            return pDlg->OnInitDialog();
        } catch (CException* e) {
            e->Delete();
            return TRUE;
        }
    }
    return FALSE;
}

CDialog::CDialog()
    : m_lpszTemplateName(NULL), m_hDialogTemplate(NULL), m_lpDialogTemplate(NULL), m_lpDialogInit(NULL),
      m_pParentWnd(NULL), m_hWndTop(NULL)
{
}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = MAKEINTRESOURCEW(nIDTemplate);
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    if (m_hWnd != NULL && CWnd::FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

static LPCDLGTEMPLATE LoadDialogTemplate(LPCWSTR lpszTemplateName, HINSTANCE* phInst)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, (LPCWSTR)RT_DIALOG);
    HRSRC hResource = ::FindResourceW(hInst, lpszTemplateName, (LPCWSTR)RT_DIALOG);
    if (hResource == NULL) return NULL;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    if (hTemplate == NULL) return NULL;
    *phInst = hInst;
    return (LPCDLGTEMPLATE)::LockResource(hTemplate);
}

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    HINSTANCE hInst = NULL;
    LPCDLGTEMPLATE lpTemplate = LoadDialogTemplate(lpszTemplateName, &hInst);
    if (lpTemplate == NULL) return FALSE;
    if (pParentWnd == NULL) pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd); }

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    // A modeless dialog without a parent belongs to the main window, if there is one.
    if (pParentWnd == NULL) pParentWnd = AfxGetMainWnd();
    m_lpDialogInit = lpDialogInit;
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, AfxGetResourceHandle());
}

BOOL CDialog::CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    LPCDLGTEMPLATE lpTemplate = (LPCDLGTEMPLATE)::GlobalLock(hDialogTemplate);
    BOOL bResult = CreateIndirect(lpTemplate, pParentWnd, NULL);
    ::GlobalUnlock(hDialogTemplate);
    return bResult;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (lpDialogTemplate == NULL || m_hWnd != NULL) return FALSE;
    AfxInitCommonControlsOnce();
    if (hInst == NULL) hInst = AfxGetInstanceHandle();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (hWnd == NULL) {
        // The window may have come and gone (OnInitDialog destroying it).
        if (m_hWnd != NULL) Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    return TRUE;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    m_hDialogTemplate = hDialogTemplate;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

HWND CDialog::PreModal()
{
    // The owner is the top-level window of the given parent, or the main window.
    CWnd* pWnd = CWnd::GetSafeOwner(m_pParentWnd, &m_hWndTop);
    return pWnd->GetSafeHwnd();
}

void CDialog::PostModal()
{
    if (::IsWindow(m_hWndTop)) ::EnableWindow(m_hWndTop, TRUE);
    m_hWndTop = NULL;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE lpDialogTemplate = m_lpDialogTemplate;
    HINSTANCE hInst = AfxGetResourceHandle();
    bool bGlobalLocked = false;
    if (m_lpszTemplateName != NULL) {
        lpDialogTemplate = LoadDialogTemplate(m_lpszTemplateName, &hInst);
    } else if (m_hDialogTemplate != NULL) {
        lpDialogTemplate = (LPCDLGTEMPLATE)::GlobalLock(m_hDialogTemplate);
        bGlobalLocked = true;
    }
    if (lpDialogTemplate == NULL) return -1;

    HWND hWndParent = PreModal();
    BOOL bEnableParent = FALSE;
    if (hWndParent != NULL && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    if (CreateDlgIndirect(lpDialogTemplate, CWnd::FromHandle(hWndParent), hInst)) {
        if (m_nFlags & WF_CONTINUEMODAL) {
            DWORD dwFlags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG) dwFlags |= MLF_NOIDLEMSG;
            RunModalLoop(dwFlags);
        }
        if (m_hWnd != NULL)
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    m_nFlags &= ~WF_CONTINUEMODAL;

    // The owner comes back before the dialog goes, so activation returns to it.
    if (bEnableParent) ::EnableWindow(hWndParent, TRUE);
    if (hWndParent != NULL && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
    DestroyWindow();
    PostModal();
    if (bGlobalLocked) ::GlobalUnlock(m_hDialogTemplate);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }
void CDialog::NextDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->GetSafeHwnd(), 1L); }
void CDialog::SetDefID(UINT nID) { ::SendMessageW(m_hWnd, DM_SETDEFID, nID, 0); }
DWORD CDialog::GetDefID() const { return (DWORD)::SendMessageW(m_hWnd, DM_GETDEFID, 0, 0); }

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE)) return TRUE;
    return TRUE;
}

void CDialog::OnSetFont(CFont*) {}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    CRect before;
    ::GetWindowRect(m_hWnd, &before);
    // The dialog procedure (AfxDlgProc) calls OnInitDialog from inside the default.
    const LRESULT result = Default();
    // A modal dialog (owner disabled, or none) that neither placed nor showed itself
    // opens centred on its owner rather than at its template's corner.
    CRect after;
    ::GetWindowRect(m_hWnd, &after);
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!(GetStyle() & (WS_VISIBLE | WS_CHILD)) && after.TopLeft() == before.TopLeft() &&
        (owner == NULL || !::IsWindowEnabled(owner)))
        CenterWindow();
    return result;
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM)
{
    OnSetFont(CFont::FromHandle((HFONT)wParam));
    return Default();
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnClose()
{
    // The close box of a dialog means Cancel, as the platform's dialog manager has it.
    Default();
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWnd == NULL) return FALSE;
    return PreTranslateInput(pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    // Only real commands travel on; control notifications stay with the dialog.
    if ((nCode != CN_COMMAND && (UINT)nCode != CN_UPDATE_COMMAND_UI) || !IS_COMMAND_ID(nID) || nID >= 0xF000)
        return FALSE;
    CWnd* pOwner = GetParent();
    if (pOwner != NULL && pOwner != this && pOwner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return FALSE;
}

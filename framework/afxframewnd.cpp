// Frame windows: creation from a resource, the client views, layout of control bars,
// command routing and accelerators.
#include "afximpl.h"
#include "afxframe.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const RECT CFrameWnd::rectDefault = {(LONG)CW_USEDEFAULT, (LONG)CW_USEDEFAULT, 0, 0};

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSessionMsg)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() : m_hAccelTable(NULL), m_pViewActive(NULL), m_nIDHelp(0) {}

CFrameWnd::~CFrameWnd() {}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1),
                                           ::LoadIconW(NULL, IDI_APPLICATION));
    cs.style &= ~FWS_ADDTOTITLE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCWSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = NULL;
    if (lpszMenuName != NULL) {
        HINSTANCE hInst = AfxFindResourceHandle(lpszMenuName, (LPCWSTR)RT_MENU);
        hMenu = ::LoadMenuW(hInst, lpszMenuName);
    }
    m_strTitle = lpszWindowName;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), hMenu, (LPVOID)pContext)) {
        if (hMenu != NULL) ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strFull;
    strFull.LoadString(nIDResource);
    int nNewLine = strFull.Find('\n');
    m_strTitle = nNewLine < 0 ? strFull : strFull.Left(nNewLine);

    LPCWSTR lpszRes = MAKEINTRESOURCEW(nIDResource);
    HINSTANCE hMenuInst = AfxFindResourceHandle(lpszRes, (LPCWSTR)RT_MENU);
    LPCWSTR lpszMenu = ::FindResourceW(hMenuInst, lpszRes, (LPCWSTR)RT_MENU) != NULL ? lpszRes : NULL;
    if (!Create(NULL, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0, pContext)) return FALSE;

    HINSTANCE hAccInst = AfxFindResourceHandle(lpszRes, (LPCWSTR)RT_ACCELERATOR);
    m_hAccelTable = ::LoadAcceleratorsW(hAccInst, lpszRes);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    CCreateContext* pContext = (CCreateContext*)lpcs->lpCreateParams;
    return OnCreateHelper(lpcs, pContext);
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    if (!OnCreateClient(lpcs, pContext)) return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext != NULL && pContext->m_pNewViewClass != NULL)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != NULL;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CWnd* pView = (CWnd*)pContext->m_pNewViewClass->CreateObject();
    if (pView == NULL) return NULL;
    if (!pView->Create(NULL, NULL, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext)) {
        // Views delete themselves once they had a window; this one never had.
        if (pView->m_hWnd == NULL) delete pView;
        return NULL;
    }
    return pView;
}

// Follows the first pane down through nested splitters, one look among a window's own
// children per level. A search of all descendants would also visit every control under
// the view, each visit a round trip to the window server.
CWnd* CFrameWnd::GetFirstPane() const
{
    CWnd* pFound = NULL;
    if (m_hWnd == NULL) return NULL;
    for (HWND h = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST); h != NULL; h = ::GetDlgItem(h, AFX_IDW_PANE_FIRST)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != NULL) pFound = pWnd;
    }
    return pFound;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = NULL;
    if (GetActiveView() == NULL) {
        CWnd* pWnd = GetFirstPane();
        if (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CView))) {
            pView = (CView*)pWnd;
            SetActiveView(pView, FALSE);
        }
    }
    if (bMakeVisible) {
        // Every view of the frame, however deep in splitters, gets its first update.
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (pView != NULL) pView->OnActivateFrame(WA_INACTIVE, this);
        int nCmdShow = -1;
        CWinApp* pApp = AfxGetApp();
        if (pApp != NULL && pApp->m_pMainWnd == this) {
            nCmdShow = pApp->m_nCmdShow;
            pApp->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
        if (pView != NULL) pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc != NULL) pDoc->UpdateAllViews(NULL);
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible()) nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic()) nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        BringWindowToTop();
    }
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!bAddToTitle || m_hWnd == NULL) return;
    CDocument* pDoc = GetActiveDocument();
    CString title = m_strTitle;
    if (pDoc != NULL && !pDoc->GetTitle().IsEmpty()) title = pDoc->GetTitle() + L" - " + m_strTitle;
    CString current;
    GetWindowText(current);
    if (current != title) SetWindowText(title);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld) return;
    m_pViewActive = NULL;
    if (pViewOld != NULL && bNotify) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew != NULL && bNotify) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    if (pView != NULL) return pView->GetDocument();
    // Before any view was activated the first pane's document stands in.
    CWnd* pWnd = GetFirstPane();
    CView* pFirst = DYNAMIC_DOWNCAST(CView, pWnd);
    return pFirst != NULL ? pFirst->GetDocument() : NULL;
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_hWnd == NULL) return;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The panes cover the client area; erasing underneath them only flickers.
    if (::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST) != NULL) return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive != NULL && m_pViewActive->m_hWnd != NULL) m_pViewActive->SetFocus();
    else CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnClose()
{
    CDocument* pDocument = GetActiveDocument();
    if (pDocument != NULL && !pDocument->CanCloseFrame(this)) return;
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this) {
        if (pDocument == NULL && !pApp->SaveAllModified()) return;
        pApp->CloseAllDocuments(FALSE);
        // Closing the documents normally takes the frame with it.
        if (pApp->m_pMainWnd == NULL || m_hWnd == NULL) return;
    }
    if (pDocument != NULL && m_hWnd != NULL) pDocument->PreCloseFrame(this);
    if (m_hWnd != NULL) DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    // The menu goes with the window; nothing else of ours needs freeing here.
    CWnd::OnDestroy();
}

LRESULT CFrameWnd::OnQueryEndSessionMsg(WPARAM, LPARAM)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this) return pApp->SaveAllModified();
    return TRUE;
}

void CFrameWnd::PostNcDestroy()
{
    // Frames are made on the heap by their templates.
    delete this;
}

// Children first (the walk goes from the message's window up), the frame's accelerators
// last.
BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable != NULL)
        return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CView* pView = GetActiveView();
    if (pView != NULL && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return CWnd::OnCommand(wParam, lParam);
}

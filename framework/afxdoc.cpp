// Documents, document templates, the command line and the recent-file list, and the
// application's document commands.
#include "afximpl.h"
#include "afxprotect.h"
#include "afxframe.h"
#include "afxdlgs.h"
#include <shellapi.h>
#include <commdlg.h>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

// CDocument ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() : m_pDocTemplate(NULL), m_bModified(FALSE), m_bAutoDelete(TRUE) {}

CDocument::~CDocument()
{
    // Views still attached lose their document; they do not own it.
    for (int i = 0; i < m_viewList.GetSize(); i++) ((CView*)m_viewList[i])->m_pDocument = NULL;
    m_viewList.RemoveAll();
    if (m_pDocTemplate != NULL) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCWSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    // Each frame once, however many of the document's views it holds: a frame's title
    // update may have to search its whole window tree.
    CPtrArray updated;
    for (int i = 0; i < m_viewList.GetSize(); i++) {
        CFrameWnd* pFrame = ((CView*)m_viewList[i])->GetParentFrame();
        if (pFrame == NULL) continue;
        BOOL seen = FALSE;
        for (int j = 0; j < updated.GetSize() && !seen; j++) seen = updated[j] == pFrame;
        if (seen) continue;
        updated.Add(pFrame);
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::SetPathName(LPCWSTR lpszPathName, BOOL bAddToMRU)
{
    WCHAR full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(lpszPathName, MAX_PATH * 4, full, NULL);
    m_strPathName = (n > 0 && n < MAX_PATH * 4) ? CString(full) : CString(lpszPathName);
    int nSlash = m_strPathName.ReverseFind('\\');
    SetTitle(nSlash >= 0 ? (LPCWSTR)m_strPathName.Mid(nSlash + 1) : (LPCWSTR)m_strPathName);
    if (bAddToMRU && AfxGetApp() != NULL) AfxGetApp()->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView)
{
    m_viewList.Add(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    for (int i = 0; i < m_viewList.GetSize(); i++) {
        if (m_viewList[i] == pView) {
            m_viewList.RemoveAt(i);
            break;
        }
    }
    pView->m_pDocument = NULL;
    OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.GetSize() > 0 ? (POSITION)(INT_PTR)1 : NULL;
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    INT_PTR i = (INT_PTR)rPosition - 1;
    CView* pView = (CView*)m_viewList[(int)i];
    rPosition = (i + 1 < m_viewList.GetSize()) ? (POSITION)(i + 2) : NULL;
    return pView;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (int i = 0; i < m_viewList.GetSize(); i++) {
        CView* pView = (CView*)m_viewList[i];
        if (pView != pSender) pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::OnChangedViewList()
{
    if (m_viewList.GetSize() == 0 && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCWSTR lpszPathName)
{
    HANDLE h = ::CreateFileW(lpszPathName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(h);
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

// A document that keeps nothing writes nothing but an empty file; documents with
// content override this.
BOOL CDocument::OnSaveDocument(LPCWSTR lpszPathName)
{
    HANDLE h = AfxCreateFileRespectingProtection(lpszPathName, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(h);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Closing the frames removes the views, which would close the document again.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (m_viewList.GetSize() > 0) {
        CView* pView = (CView*)m_viewList[0];
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != NULL && pFrame->m_hWnd != NULL) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        }
        // A view that outlived its frame is let go.
        if (m_viewList.GetSize() > 0 && m_viewList[0] == pView) RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

void CDocument::DeleteContents() {}

BOOL CDocument::SaveModified()
{
    if (!IsModified()) return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString prompt;
    prompt.Format(L"Save changes to %s?", (LPCWSTR)name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame)
{
    // Only the last frame of a document asks about unsaved changes.
    for (int i = 0; i < m_viewList.GetSize(); i++) {
        CFrameWnd* pOther = ((CView*)m_viewList[i])->GetParentFrame();
        if (pOther != NULL && pOther != pFrame) return TRUE;
    }
    return SaveModified();
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

BOOL CDocument::DoSave(LPCWSTR lpszPathName, BOOL bReplace)
{
    CString newName = lpszPathName != NULL ? CString(lpszPathName) : CString();
    if (newName.IsEmpty()) {
        WCHAR file[MAX_PATH * 4] = {0};
        lstrcpynW(file, m_strTitle, MAX_PATH * 4);
        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof(ofn);
        CWnd* pMain = AfxGetMainWnd();
        ofn.hwndOwner = pMain->GetSafeHwnd();
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH * 4;
        ofn.lpstrFilter = L"*.*\0*.*\0";
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!::GetSaveFileNameW(&ofn)) return FALSE;
        newName = file;
    }
    if (!OnSaveDocument(newName)) return FALSE;
    if (bReplace) SetPathName(newName);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    DWORD attr = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(m_strPathName);
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_READONLY)) return DoSave(NULL);
    return DoSave(m_strPathName);
}

void CDocument::OnFileClose()
{
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(NULL); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocTemplate != NULL && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// CDocTemplate ------------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() {}

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty()) m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    // Fields separated by '\n': title, doc name, new-file name, filter, extension,
    // registry type id, registry type name.
    rString.Empty();
    int nStart = 0;
    for (int i = 0; i < (int)index; i++) {
        int n = m_strDocStrings.Find('\n', nStart);
        if (n < 0) return FALSE;
        nStart = n + 1;
    }
    int nEnd = m_strDocStrings.Find('\n', nStart);
    rString = nEnd < 0 ? m_strDocStrings.Mid(nStart) : m_strDocStrings.Mid(nStart, nEnd - nStart);
    return TRUE;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (m_pDocClass == NULL) return NULL;
    CDocument* pDocument = (CDocument*)m_pDocClass->CreateObject();
    if (pDocument == NULL) return NULL;
    AddDocument(pDocument);
    return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (m_pFrameClass == NULL) return NULL;
    CFrameWnd* pFrame = (CFrameWnd*)m_pFrameClass->CreateObject();
    if (pFrame == NULL) return NULL;
    // A frame that fails to load deletes itself (PostNcDestroy) when it had a window.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, NULL, &context)) {
        if (pFrame->m_hWnd == NULL) delete pFrame;
        return NULL;
    }
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }
void CDocTemplate::RemoveDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = NULL; }

void CDocTemplate::CloseAllDocuments(BOOL)
{
    POSITION pos = GetFirstDocPosition();
    while (pos != NULL) {
        CDocument* pDoc = GetNextDoc(pos);
        pDoc->OnCloseDocument();
    }
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos != NULL) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->SaveModified()) return FALSE;
    }
    return TRUE;
}

// CSingleDocTemplate ------------------------------------------------------------------

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(NULL)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc != NULL) m_pOnlyDoc->m_pDocTemplate = NULL;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc) m_pOnlyDoc = NULL;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const { return m_pOnlyDoc != NULL ? (POSITION)1 : NULL; }

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos == (POSITION)1 ? m_pOnlyDoc : NULL;
    rPos = NULL;
    return pDoc;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString strDocName;
    if (!GetDocString(strDocName, docName) || strDocName.IsEmpty()) strDocName.LoadString(AFX_IDS_UNTITLED);
    if (strDocName.IsEmpty()) strDocName = L"Untitled";
    pDocument->SetTitle(strDocName);
}

// The single-document order: the frame (and every view) exists before the document
// is opened; the main window is set only once the open succeeded, and a new frame
// whose first open fails is destroyed again.
CDocument* CSingleDocTemplate::OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible)
{
    LoadTemplate();
    CDocument* pDocument = NULL;
    CFrameWnd* pFrame = NULL;
    BOOL bCreated = FALSE;
    BOOL bWasModified = FALSE;

    if (m_pOnlyDoc != NULL) {
        pDocument = m_pOnlyDoc;
        if (!pDocument->SaveModified()) return NULL;
        CWnd* pMain = AfxGetMainWnd();
        pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pMain);
    } else {
        pDocument = CreateNewDocument();
        if (pDocument == NULL) return NULL;
        bCreated = TRUE;
    }

    BOOL bCreatedFrame = FALSE;
    if (pFrame == NULL) {
        // The document must survive the frame's failure paths until we know.
        BOOL bAutoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE;
        pFrame = CreateNewFrame(pDocument, NULL);
        pDocument->m_bAutoDelete = bAutoDelete;
        if (pFrame == NULL) {
            if (bCreated) delete pDocument;
            return NULL;
        }
        bCreatedFrame = TRUE;
    }

    if (lpszPathName == NULL) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            if (bCreatedFrame) pFrame->DestroyWindow();
            return NULL;
        }
    } else {
        bWasModified = pDocument->IsModified();
        pDocument->SetModifiedFlag(FALSE);
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (bCreatedFrame) {
                // Destroying the frame drops its views and with them the document.
                pFrame->DestroyWindow();
            } else if (!pDocument->IsModified()) {
                pDocument->SetModifiedFlag(bWasModified);
            } else {
                SetDefaultTitle(pDocument);
                pDocument->OnNewDocument();
            }
            return NULL;
        }
        pDocument->SetPathName(lpszPathName);
    }

    CWinThread* pThread = AfxGetThread();
    if (bCreatedFrame && pThread != NULL && pThread->m_pMainWnd == NULL) pThread->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

// CCommandLineInfo and CRecentFileList -------------------------------------------------

CCommandLineInfo::CCommandLineInfo()
    : m_nShellCommand(FileNew), m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE)
{
}

CCommandLineInfo::~CCommandLineInfo() {}

void CCommandLineInfo::ParseParam(LPCWSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        if (lstrcmpiW(pszParam, L"p") == 0) m_nShellCommand = FilePrint;
        else if (lstrcmpiW(pszParam, L"pt") == 0) m_nShellCommand = FilePrintTo;
        else if (lstrcmpiW(pszParam, L"dde") == 0) m_nShellCommand = FileDDE;
        else if (lstrcmpiW(pszParam, L"unregister") == 0 || lstrcmpiW(pszParam, L"unregserver") == 0)
            m_nShellCommand = AppUnregister;
        else if (lstrcmpiW(pszParam, L"Embedding") == 0) { m_bRunEmbedded = TRUE; m_bShowSplash = FALSE; }
        else if (lstrcmpiW(pszParam, L"Automation") == 0) { m_bRunAutomated = TRUE; m_bShowSplash = FALSE; }
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    } else if (m_nShellCommand == FilePrintTo) {
        if (m_strPrinterName.IsEmpty()) m_strPrinterName = pszParam;
        else if (m_strDriverName.IsEmpty()) m_strDriverName = pszParam;
        else if (m_strPortName.IsEmpty()) m_strPortName = pszParam;
    }
}

CRecentFileList::CRecentFileList(UINT nStart, LPCWSTR lpszSection, LPCWSTR lpszEntryFormat, int nSize)
    : m_nStart(nStart), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_nSize(nSize), m_arrNames(new CString[nSize > 0 ? nSize : 1])
{
}

CRecentFileList::~CRecentFileList() { delete[] m_arrNames; }

void CRecentFileList::Add(LPCWSTR lpszPathName)
{
    if (m_nSize <= 0 || lpszPathName == NULL || *lpszPathName == 0) return;
    WCHAR full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(lpszPathName, MAX_PATH * 4, full, NULL);
    CString name = (n > 0 && n < MAX_PATH * 4) ? CString(full) : CString(lpszPathName);
    int i;
    for (i = 0; i < m_nSize - 1; i++)
        if (m_arrNames[i].CompareNoCase(name) == 0) break;
    for (; i > 0; i--) m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = name;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize) return;
    for (int i = nIndex; i < m_nSize - 1; i++) m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    for (int i = 0; i < m_nSize; i++) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = pApp->GetProfileString(m_strSectionName, entry, L"");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    // The section is rewritten whole, so a shortened list leaves no stale entries.
    pApp->WriteProfileString(m_strSectionName, NULL, NULL);
    for (int i = 0; i < m_nSize; i++) {
        if (m_arrNames[i].IsEmpty()) continue;
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        pApp->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}

// CWinApp: documents -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, OnOpenRecentFile)
END_MESSAGE_MAP()

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    pTemplate->LoadTemplate();
    m_templateList.Add(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCWSTR lpszFileName)
{
    if (m_templateList.GetSize() == 0) return NULL;
    return GetDocTemplate(0)->OpenDocumentFile(lpszFileName);
}

void CWinApp::AddToRecentFileList(LPCWSTR lpszPathName)
{
    if (m_pRecentFileList != NULL) m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    delete m_pRecentFileList;
    m_pRecentFileList = NULL;
    if (nMaxMRU == 0) return;
    m_pRecentFileList = new CRecentFileList(0, L"Recent File List", L"File%d", (int)nMaxMRU);
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList != NULL) m_pRecentFileList->WriteList();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == NULL) return;
    for (int i = 1; i < argc; i++) {
        LPCWSTR pszParam = argv[i];
        BOOL bFlag = FALSE;
        if (pszParam[0] == '-' || pszParam[0] == '/') {
            bFlag = TRUE;
            pszParam++;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, i == argc - 1);
    }
    ::LocalFree(argv);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    BOOL bResult = TRUE;
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, 0, NULL, NULL)) OnFileNew();
        if (m_pMainWnd == NULL) bResult = FALSE;
        break;
    case CCommandLineInfo::FileOpen:
        if (!OpenDocumentFile(rCmdInfo.m_strFileName)) bResult = FALSE;
        break;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
    case CCommandLineInfo::FileDDE:
    case CCommandLineInfo::AppUnregister:
        bResult = FALSE;
        break;
    case CCommandLineInfo::FileNothing:
        break;
    }
    return bResult;
}

BOOL CWinApp::SaveAllModified()
{
    for (int i = 0; i < m_templateList.GetSize(); i++)
        if (!GetDocTemplate(i)->SaveAllModified()) return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (int i = 0; i < m_templateList.GetSize(); i++) GetDocTemplate(i)->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew()
{
    if (m_templateList.GetSize() == 0) return;
    GetDocTemplate(0)->OpenDocumentFile(NULL);
}

void CWinApp::OnFileOpen()
{
    WCHAR file[MAX_PATH * 4] = {0};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_pMainWnd->GetSafeHwnd();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 4;
    ofn.lpstrFilter = L"*.*\0*.*\0";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!::GetOpenFileNameW(&ofn)) return;
    OpenDocumentFile(file);
}

// The system's print-setup dialog; what it chooses is what the next print uses.
void CWinApp::OnFilePrintSetup()
{
    CPrintDialog pd(TRUE);
    pd.m_pd.Flags &= ~PD_RETURNDC;   // a choice only, no job
    pd.m_pParentWnd = m_pMainWnd;
    DoPrintDialog(&pd);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != NULL) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnOpenRecentFile(UINT nID)
{
    if (m_pRecentFileList == NULL) return;
    int nIndex = (int)(nID - ID_FILE_MRU_FILE1);
    if (nIndex < 0 || nIndex >= m_pRecentFileList->GetSize()) return;
    CString name = (*m_pRecentFileList)[nIndex];
    if (name.IsEmpty()) return;
    if (OpenDocumentFile(name) == NULL) m_pRecentFileList->Remove(nIndex);
}

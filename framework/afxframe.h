// The single-document architecture: documents, views, frames, document templates and
// static splitters.  One template makes one document shown in one frame; the frame
// owns the views, routes commands view -> document -> frame -> application, and ends
// the program when it is the main window and goes away.
#pragma once
#include "afxwin.h"
#include "afxres.h"

class CDocument;
class CView;
class CFrameWnd;
class CDocTemplate;
class CSplitterWnd;

// Frame style extras (kept in the style word's unused bits by convention).
#ifndef FWS_ADDTOTITLE
#define FWS_ADDTOTITLE 0x00008000L
#endif

// Handed through window creation (lpCreateParams) so a frame can make its views and a
// view can attach itself to its document.
struct CCreateContext
{
    CRuntimeClass* m_pNewViewClass = NULL;
    CDocument* m_pCurrentDoc = NULL;
    CDocTemplate* m_pNewDocTemplate = NULL;
    CView* m_pLastView = NULL;
    CFrameWnd* m_pCurrentFrame = NULL;
};

class CPrintDialog;
class CPrintPreviewWnd;

// What a print job knows about itself.  Printing is routed to the views; the printed
// page itself belongs to the program.  The job owns its print dialog (m_pPD), whose
// m_pd.hDC is the printer's context once the job is prepared.  A maximum page of 0xFFFF
// means "unknown": the view's OnPrepareDC then ends the job after page 1.
struct CPrintInfo
{
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    CPrintDialog* m_pPD;
    BOOL m_bPreview = FALSE;
    BOOL m_bDirect = FALSE;
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
    CRect m_rectDraw;
    void SetMinPage(UINT n) { m_nMinPage = n; }
    void SetMaxPage(UINT n) { m_nMaxPage = n; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    // The pages the user asked for (all of them unless a range was chosen).
    UINT GetFromPage() const;
    UINT GetToPage() const;
};

// --------------------------------------------------------------------------------
class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    virtual ~CDocument();

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCWSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCWSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views, in the order they were attached.
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    int GetViewCount() const { return (int)m_viewList.GetSize(); }
    CView* GetView(int i) const { return (CView*)m_viewList[i]; }
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = NULL);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCWSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCWSTR lpszPathName);
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual BOOL SaveModified();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    virtual void OnChangedViewList();
    // Save: asks for a name when there is none or bReplace; returns FALSE on failure.
    virtual BOOL DoSave(LPCWSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate;
    CPtrArray m_viewList;
    BOOL m_bModified;
    BOOL m_bAutoDelete;     // deleted when its last view goes

protected:
    afx_msg void OnFileClose();
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();
    DECLARE_MESSAGE_MAP()
};

// --------------------------------------------------------------------------------
class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    CView();
    virtual ~CView();

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    // Printing, routed from ID_FILE_PRINT, ID_FILE_PRINT_DIRECT and
    // ID_FILE_PRINT_PREVIEW.  The framework prepares and ends a job; the page is the
    // program's.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    BOOL DoPreparePrinting(CPrintInfo* pInfo);

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    virtual void PostNcDestroy() override;

    CDocument* m_pDocument;
    // The print preview open on this view, NULL when none.
    CPrintPreviewWnd* m_pPreviewWnd;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMsg(WPARAM, LPARAM);
    afx_msg LRESULT OnMouseActivateMsg(WPARAM, LPARAM);
    afx_msg void OnNextPaneCmd(UINT nID);
    afx_msg void OnFilePrint();
    afx_msg void OnFilePrintPreview();
    DECLARE_MESSAGE_MAP()

    friend class CDocument;
};

// --------------------------------------------------------------------------------
// Print preview: a window over the view's top-level window that shows the pages a print
// would produce.  Each page is the view's own OnPrepareDC and OnPrint on a context that
// reports IsPrinting and answers GetDeviceCaps for the printer, recorded once and shown
// scaled, so the preview is the printed page.  The top-level window's other popups step
// aside while it is up and come back in their order when it closes.  It owns the job and
// deletes itself with its window.
class CPrintPreviewWnd : public CWnd
{
    DECLARE_DYNAMIC(CPrintPreviewWnd)
public:
    // Zoom steps: the whole page, then twice and four times that.
    enum { zoomWholePage = 0, zoomMax = 2 };
    // The bar's command ids.
    enum { idPrint = AFX_ID_PREVIEW_PRINT, idNext = AFX_ID_PREVIEW_NEXT, idPrev = AFX_ID_PREVIEW_PREV,
           idZoomIn = AFX_ID_PREVIEW_ZOOMIN, idZoomOut = AFX_ID_PREVIEW_ZOOMOUT, idClose = AFX_ID_PREVIEW_CLOSE,
           idPageNumber = AFX_ID_PREVIEW_NUMPAGE, idPageArea = 0xE30F };

    CPrintPreviewWnd();
    virtual ~CPrintPreviewWnd();

    // Takes pInfo (prepared for the printer) whatever the outcome.
    BOOL Create(CView* pView, CPrintInfo* pInfo);
    // Back to the window as it was before the preview.
    void Close();

    UINT GetCurrentPage() const { return m_nCurPage; }
    BOOL HasPage(UINT nPage);
    BOOL ShowPage(UINT nPage);
    int GetZoom() const { return m_nZoom; }
    void SetZoom(int nZoom);
    // The printer page in pixels, and where the page area shows it (its client coordinates).
    CSize GetPaperSize() const { return m_sizePaper; }
    CRect GetPageRect() const;
    CWnd* GetPageArea() { return &m_pageArea; }
    // Draws the page area's content as it is shown, scrolled, into pDC.
    void DrawPageArea(CDC* pDC, const CRect& rectClient);

    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual void PostNcDestroy() override;

protected:
    HENHMETAFILE PageAt(UINT nPage);
    void RecalcPageArea();
    void UpdateBar();
    void HidePopups(HWND hWndTop);
    void RestorePopups();

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPrintCmd();
    afx_msg void OnNextPage();
    afx_msg void OnPrevPage();
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnCloseCmd();
    DECLARE_MESSAGE_MAP()

    class CPageArea : public CWnd
    {
    public:
        CPrintPreviewWnd* m_pOwner = NULL;
        void Scroll(int nBar, UINT nSBCode);
    protected:
        afx_msg void OnPaint();
        afx_msg BOOL OnEraseBkgnd(CDC* pDC);
        afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
        afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
        afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
        afx_msg void OnSize(UINT nType, int cx, int cy);
        DECLARE_MESSAGE_MAP()
    };

    CView* m_pView;
    CPrintInfo* m_pInfo;
    CDC m_dcPrinter;          // the job's printer context, for the view's questions
    CSize m_sizePaper;
    CPtrArray m_pages;        // HENHMETAFILE per page from the first, NULL until drawn
    UINT m_nLastPage;         // the last page there is, 0 while unknown
    UINT m_nCurPage;
    int m_nZoom;
    CPageArea m_pageArea;
    CFont m_font;
    CPtrArray m_hidden;       // popups hidden for the preview, top first
    HWND m_hWndTop;
};

// --------------------------------------------------------------------------------
class CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView();
    virtual ~CScrollView();

    static const SIZE sizeDefault;

    // MM_TEXT only: logical units are pixels.  Default page is a tenth of the total,
    // default line a tenth of the page.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CPoint GetScrollPosition() const;
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    void ScrollToPosition(POINT pt);

    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL) override;
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

    int m_nMapMode;
    CSize m_totalLog, m_totalDev;
    CSize m_pageDev, m_lineDev;

protected:
    void UpdateBars();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bInsideUpdate;
};

// --------------------------------------------------------------------------------
class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    virtual ~CFrameWnd();

    static const RECT rectDefault;

    // Creates the frame from resource nIDResource: the title is the first part of its
    // string, the menu and accelerator table of that id are loaded when present.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL);
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = NULL, LPCWSTR lpszMenuName = NULL,
                DWORD dwExStyle = 0, CCreateContext* pContext = NULL);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    virtual void PostNcDestroy() override;

    HACCEL m_hAccelTable;
    CView* m_pViewActive;
    UINT m_nIDHelp;
    CString m_strTitle;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    int OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // The deepest window of the chain of first panes (a splitter's first pane, its own
    // first pane, ...) that has an object of its own.
    CWnd* GetFirstPane() const;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnQueryEndSessionMsg(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};


// --------------------------------------------------------------------------------
class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    virtual ~CDocTemplate();

    virtual void LoadTemplate();
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual BOOL SaveAllModified();

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    virtual ~CSingleDocTemplate();

    virtual void AddDocument(CDocument* pDoc) override;
    virtual void RemoveDocument(CDocument* pDoc) override;
    virtual POSITION GetFirstDocPosition() const override;
    virtual CDocument* GetNextDoc(POSITION& rPos) const override;
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    virtual void SetDefaultTitle(CDocument* pDocument) override;

    CDocument* m_pOnlyDoc;
};

// --------------------------------------------------------------------------------
class CCommandLineInfo : public CObject
{
public:
    CCommandLineInfo();
    virtual ~CCommandLineInfo();
    virtual void ParseParam(LPCWSTR pszParam, BOOL bFlag, BOOL bLast);

    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand;
    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;
    BOOL m_bRunAutomated;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;
};

// The recent-file list: entries File1..FileN of a profile section, newest first.
class CRecentFileList
{
public:
    CRecentFileList(UINT nStart, LPCWSTR lpszSection, LPCWSTR lpszEntryFormat, int nSize);
    ~CRecentFileList();
    int GetSize() const { return m_nSize; }
    const CString& operator[](int nIndex) const { return m_arrNames[nIndex]; }
    void Add(LPCWSTR lpszPathName);
    void Remove(int nIndex);
    void ReadList();
    void WriteList();

    UINT m_nStart;
    CString m_strSectionName;
    CString m_strEntryFormat;
    int m_nSize;
    CString* m_arrNames;
};

// --------------------------------------------------------------------------------
// Static splitter: a grid of panes, each a child with id AFX_IDW_PANE_FIRST + 16 x row
// + column; panes may themselves be splitters.  The last row and column take what the
// others leave.
class CSplitterWnd : public CWnd
{
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();
    virtual ~CSplitterWnd();

    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };

    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols,
                              DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = AFX_IDW_PANE_FIRST);
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit,
                            CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    // The rectangle a pane gets, in splitter client coordinates.
    CRect GetPaneRect(int row, int col) const;

    virtual void RecalcLayout();
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const RECT& rect);
    virtual CWnd* GetActivePane(int* pRow = NULL, int* pCol = NULL);
    virtual void SetActivePane(int row, int col, CWnd* pWnd = NULL);
    // Activates the next (or previous) view of the whole splitter tree this one
    // belongs to, wrapping around.
    virtual void ActivateNext(BOOL bPrev = FALSE);
    static CSplitterWnd* GetParentSplitter(const CWnd* pWnd, BOOL bAnyState);

    // Spacing in pixels: bars between panes, the gap they leave and the border.
    int m_cxSplitter, m_cySplitter;
    int m_cxSplitterGap, m_cySplitterGap;
    int m_cxBorder, m_cyBorder;

protected:
    struct CRowColInfo { int nMinSize; int nIdealSize; int nCurSize; };
    void LayoutRowCol(CRowColInfo* pInfo, int nMax, int nSize, int nSizeSplitter);
    int HitTestBar(CPoint pt) const;   // 0 none, 1 + column bar, 101 + row bar
    void StopTracking(BOOL bAccept);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint pt);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    int m_nRows, m_nCols;
    CRowColInfo* m_pRowInfo;
    CRowColInfo* m_pColInfo;
    BOOL m_bTracking;
    int m_htTrack;
    CPoint m_ptTrackStart;
    int m_nTrackStartSize;
};

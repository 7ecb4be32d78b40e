// The document: holds no pixels (they live in the image store).  It routes a file that
// is opened to the store, the channel-merge panel or the print layout, and keeps the
// interaction mode that decides what a left drag in the main view does.
#pragma once
#include "afxwin.h"

// InteractionMode values.
enum { MODE_NONE = 0, MODE_SELECT = 1, MODE_MEASURE = 2 };

class CDravenluxDoc : public CDocument
{
    DECLARE_DYNCREATE(CDravenluxDoc)
public:
    CDravenluxDoc();
    virtual ~CDravenluxDoc();

    int InteractionMode;   // MODE_NONE, MODE_SELECT or MODE_MEASURE
    int ThumbnailIndex;    // list index of the file the strip opened last
    int SkipMergeOpen;     // the next open in merge mode only clears this

    virtual BOOL OnNewDocument() override;
    // Opens path into the image store, or hands it to the merge panel or the print
    // layout; FALSE whenever the file did not become the document.
    virtual BOOL OnOpenDocument(LPCWSTR lpszPathName) override;
    // The document keeps nothing to write: saving never touches a file.
    virtual BOOL OnSaveDocument(LPCWSTR lpszPathName) override;

protected:
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();
    DECLARE_MESSAGE_MAP()
};

// The image information panel of the Browse page: name, time, bit depth, picture and
// file size of the picture the image store holds, and its note.  Editing the name
// renames the file; Save keeps the note.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/browse/ImageInfoPanelIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinEdit.h"
#include "app/store/ImageRequests.h"

class CImageInfoPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CImageInfoPanel)
public:
    explicit CImageInfoPanel(CWnd* pParent = NULL);
    virtual ~CImageInfoPanel();
    enum { IDD = IDD_IMAGE_INFO_PANEL };

    // Fields from the image store; without a picture they keep what they show.
    virtual void Refresh();
    // Hands the note being edited to the image store.
    virtual void StoreNote();
    virtual void OnSave();

    // The base name a typed name gives: an extension of up to three characters after
    // the last "." is dropped.
    static CString TypedBaseName(const CString& typed);
    // A base name the file system takes as one name in the same folder.
    static BOOL IsAcceptableBaseName(const CString& base);

    CSkinBitmapButton m_btnSave;
    CSkinEdit m_editNote;
    CSkinEdit m_editTime;
    CSkinEdit m_editImageSize;
    CSkinEdit m_editFileSize;
    CSkinEdit m_editBitDepth;
    CSkinEdit m_editName;
    ImageFileInfo m_info;

protected:
    virtual BOOL OnInitDialog() override;
    afx_msg void OnSaveClicked();
    DECLARE_MESSAGE_MAP()

    // Moves the file; a change of case only goes through a temporary name when the
    // file system will not take it in one step.
    static BOOL MoveFileTo(const CString& from, const CString& to);
};

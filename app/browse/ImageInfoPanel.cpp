#include "app/browse/ImageInfoPanel.h"
#include "app/browse/BrowseNotes.h"
#include "app/browse/BrowseStringIds.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/store/ImageStore.h"
#include "app/shell/ImagePage.h"
#include "app/shell/ShellLinks.h"

namespace {

const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;
const UINT kEditDisabled = 296, kEditNormal = 297, kNoteDisabled = 298, kNoteNormal = 299;
// An extension typed after the name: a "." this close to the end.
const int kTypedExtensionReach = 5;

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

BOOL Exists(const CString& path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

IMPLEMENT_DYNAMIC(CImageInfoPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CImageInfoPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_INFO_SAVE, OnSaveClicked)
END_MESSAGE_MAP()

CImageInfoPanel::CImageInfoPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CImageInfoPanel::~CImageInfoPanel() {}

BOOL CImageInfoPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    const int labels[] = {IDC_INFO_NAME_LABEL, IDC_INFO_TIME_LABEL, IDC_INFO_BIT_DEPTH_LABEL,
                          IDC_INFO_IMAGE_SIZE_LABEL, IDC_INFO_FILE_SIZE_LABEL, IDC_INFO_NOTE_LABEL};
    for (int id : labels) AddTransparentStatic(id);
    m_btnSave.SubclassDlgItem(IDC_INFO_SAVE, this);
    m_btnSave.SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0,
                      CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    struct
    {
        CSkinEdit* edit;
        int id;
        BOOL readOnly;
    } edits[] = {
        {&m_editName, IDC_INFO_NAME, FALSE},          {&m_editTime, IDC_INFO_TIME, TRUE},
        {&m_editBitDepth, IDC_INFO_BIT_DEPTH, TRUE},  {&m_editImageSize, IDC_INFO_IMAGE_SIZE, TRUE},
        {&m_editFileSize, IDC_INFO_FILE_SIZE, TRUE},
    };
    for (auto& e : edits) {
        e.edit->SubclassDlgItem(e.id, this);
        e.edit->SetBitmaps(kEditNormal, kEditDisabled);
        // A click hands the focus on: the facts cannot be typed over.
        if (e.readOnly) e.edit->SetFocusRedirect(TRUE, NULL);
    }
    m_editNote.SubclassDlgItem(IDC_INFO_NOTE, this);
    m_editNote.SetBitmaps(kNoteNormal, kNoteDisabled);
    return TRUE;
}

void CImageInfoPanel::Refresh()
{
    CImageStore* store = Links().store;
    if (store != NULL && store->HasImage()) {
        store->GetImageInfo(m_info);
        if (m_hWnd != NULL) {
            CString text;
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_INFO_NAME), m_info.fileName);
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_INFO_TIME), m_info.timeText);
            text.Format(L"%d", m_info.bitDepth);
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_INFO_BIT_DEPTH), text);
            text.Format(L"%dx%d", m_info.width, m_info.height);
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_INFO_IMAGE_SIZE), text);
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_INFO_FILE_SIZE), m_info.sizeText);
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_INFO_NOTE), m_info.note);
        }
    }
    if (m_hWnd != NULL) Invalidate();
}

void CImageInfoPanel::StoreNote()
{
    CImageStore* store = Links().store;
    if (store == NULL || m_hWnd == NULL) return;
    CString note;
    GetDlgItemText(IDC_INFO_NOTE, note);
    store->SetNote(note);
}

CString CImageInfoPanel::TypedBaseName(const CString& typed)
{
    const int dot = typed.ReverseFind(L'.');
    if (dot >= 0 && typed.GetLength() - dot < kTypedExtensionReach) return typed.Left(dot);
    return typed;
}

BOOL CImageInfoPanel::IsAcceptableBaseName(const CString& base)
{
    static const CString kReserved(L"\\/:*?\"<>|");
    if (base.IsEmpty() || base == L"." || base == L"..") return FALSE;
    for (int i = 0; i < base.GetLength(); ++i) {
        const WCHAR c = base[i];
        if (c < 32 || kReserved.Find(c) >= 0) return FALSE;
    }
    return TRUE;
}

BOOL CImageInfoPanel::MoveFileTo(const CString& from, const CString& to)
{
    if (from.CompareNoCase(to) != 0) return ::MoveFileW(from, to);
    if (from == to) return TRUE;
    // Only the case changes.  A direct move may find the target to be the file itself
    // and leave the old spelling on disk: go through a temporary name.
    CString temporary;
    for (int n = 0; n < 100; ++n) {
        temporary.Format(L"%s.rename%d", (LPCWSTR)from, n);
        if (!Exists(temporary)) break;
    }
    if (!::MoveFileW(from, temporary)) return FALSE;
    if (::MoveFileW(temporary, to)) return TRUE;
    ::MoveFileW(temporary, from);
    return FALSE;
}

void CImageInfoPanel::OnSaveClicked() { OnSave(); }

void CImageInfoPanel::OnSave()
{
    ShellLinks& links = Links();
    CImageStore* store = links.store;
    if (store == NULL || !store->HasImage()) return;
    ImageFileInfo info;
    store->GetImageInfo(info);
    const int dot = info.fileName.ReverseFind(L'.');
    const CString oldBase = dot >= 0 ? info.fileName.Left(dot) : info.fileName;
    const CString extension = dot >= 0 ? info.fileName.Mid(dot) : CString();
    CString typed;
    GetDlgItemText(IDC_INFO_NAME, typed);
    const CString newBase = TypedBaseName(typed);
    if (newBase == oldBase) {
        StoreNote();
        store->WriteImageNote(L"");
        return;
    }
    // A name with a folder in it would move the file elsewhere.
    if (!IsAcceptableBaseName(newBase)) {
        AfxMessageBox(IDS_RENAME_FAILED, MB_OK);
        Refresh();
        return;
    }
    if (::MessageBoxW(m_hWnd, LoadText(IDS_ASK_RENAME), LoadText(IDS_ATTENTION), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        Refresh();
        return;
    }
    const int slash = info.path.ReverseFind(L'\\');
    const CString target = (slash >= 0 ? info.path.Left(slash + 1) : CString()) + newBase + extension;
    // Only the case changes: the name found is the file itself.
    const BOOL sameFile = target.CompareNoCase(info.path) == 0;
    if (!sameFile && Exists(target)) {
        AfxMessageBox(IDS_RENAME_EXISTS, MB_OK);
        Refresh();
        return;
    }
    const CString oldNote = NoteFileOf(store, info.path);
    if (!MoveFileTo(info.path, target)) {
        AfxMessageBox(IDS_RENAME_FAILED, MB_OK);
        Refresh();
        return;
    }
    StoreNote();
    if (!oldNote.IsEmpty()) ::DeleteFileW(oldNote);
    store->SetFilePath(target);
    store->WriteImageNote(L"");
    if (links.imagePage != NULL && links.imagePage->m_hWnd != NULL)
        links.imagePage->PostMessage(WM_ADJUST_PANEL_REFRESH, 0, 0);
    CThumbnailListCtrl* list = links.thumbList;
    if (list != NULL) {
        list->RenameFile(info.path, target);
        list->SetLoadPending(1);
        list->LoadThumbnails();
    }
    if (links.strip != NULL) links.strip->UpdateCurrentImageLabel(0);
    Refresh();
}

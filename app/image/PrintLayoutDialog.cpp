#include "app/image/PrintLayoutDialog.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/store/ImageStore.h"
#include "app/image/ImageStringIds.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"

namespace {

const UINT kButtonSkin[4] = {194, 196, 195, 197};   // normal, pressed, hover, disabled
const UINT kCheckSkin[3] = {180, 179, 181};         // normal, checked, disabled
const UINT kEditNormal = 294;
const UINT kEditDisabled = 295;
const int kMinZoom = 1;
const int kMaxZoom = 800;
const int kButtonIds[4] = {IDC_PRINT_IMPORT, IDC_PRINT_CLOSE_ALL, IDC_PRINT_PRINT, IDCANCEL};
const int kOptionIds[5] = {IDC_PRINT_SHOW_TIME, IDC_PRINT_SHOW_NAME, IDC_PRINT_SHOW_BORDER, IDC_PRINT_FULL_PAGE,
                           IDC_PRINT_FIXED_ZOOM};
const int kLabels[] = {IDC_PRINT_LABEL_SHOW,       IDC_PRINT_LABEL_ZOOM,      IDC_PRINT_LABEL_PERCENT,
                       IDC_PRINT_LABEL_RANGE,      IDC_PRINT_LABEL_PREVIEW,   IDC_PRINT_LABEL_TIME,
                       IDC_PRINT_LABEL_NAME,       IDC_PRINT_LABEL_BORDER,    IDC_PRINT_LABEL_FULL_PAGE,
                       IDC_PRINT_LABEL_FIXED_ZOOM};

BOOL IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
}

// Digits only, 0 for anything else.
int ParseZoom(const CString& text)
{
    if (text.IsEmpty() || text.GetLength() > 4)
        return 0;
    int value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return 0;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

}  // namespace

IMPLEMENT_DYNAMIC(CPrintLayoutDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CPrintLayoutDialog, CPanelDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_PRINT_IMPORT, OnImport)
    ON_BN_CLICKED(IDC_PRINT_PRINT, OnPrintButton)
    ON_BN_CLICKED(IDC_PRINT_CLOSE_ALL, OnCloseAll)
    ON_BN_CLICKED(IDC_PRINT_FULL_PAGE, OnFullPage)
    ON_BN_CLICKED(IDC_PRINT_FIXED_ZOOM, OnFixedZoom)
    ON_BN_CLICKED(IDC_PRINT_SHOW_TIME, OnShowTime)
    ON_BN_CLICKED(IDC_PRINT_SHOW_NAME, OnShowFileName)
    ON_BN_CLICKED(IDC_PRINT_SHOW_BORDER, OnShowBorder)
    ON_MESSAGE(WM_PRINT_ADD_IMAGE, OnAddImage)
END_MESSAGE_MAP()

CPrintLayoutDialog::CPrintLayoutDialog(CWnd* pParent) : CPanelDialog(IDD, pParent), m_preview(0, 0, 0, 0) {}

CPrintLayoutDialog::~CPrintLayoutDialog() {}

CImageStore* CPrintLayoutDialog::Store() const
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

BOOL CPrintLayoutDialog::OnInitDialog()
{
    for (int id : kLabels)
        AddTransparentStatic(id);
    CPanelDialog::OnInitDialog();
    for (int i = 0; i < 4; ++i) {
        m_buttons[i].SubclassDlgItem(kButtonIds[i], this);
        m_buttons[i].SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    }
    for (int i = 0; i < 5; ++i) {
        m_options[i].SubclassDlgItem(kOptionIds[i], this);
        m_options[i].SetSkin(kCheckSkin[0], kCheckSkin[1], 0, kCheckSkin[2], 0, 0, CSkinBitmapButton::DRAW_NATURAL);
    }
    m_zoomEdit.SubclassDlgItem(IDC_PRINT_ZOOM, this);
    m_zoomEdit.SetBitmaps(kEditNormal, kEditDisabled);
    m_zoomEdit.SetRange(kMinZoom, kMaxZoom);

    // The preview is exactly the page the layout is computed for; the dialog grows to
    // hold it wherever the dialog font makes the template smaller.
    CWnd* frame = GetDlgItem(IDC_PRINT_PREVIEW);
    CRect r;
    frame->GetWindowRect(&r);
    ScreenToClient(&r);
    m_preview = CRect(r.left, r.top, r.left + kPreviewWidth, r.top + kPreviewHeight);
    frame->MoveWindow(&m_preview, FALSE);
    CRect client;
    GetClientRect(&client);
    if (client.bottom < m_preview.bottom + r.left) {
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(NULL, 0, 0, window.Width(), window.Height() + m_preview.bottom + r.left - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Store()->SetPageRect(m_preview);
    LoadSettings();
    UpdateControlState();
    return TRUE;
}

void CPrintLayoutDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    dc.FillSolidRect(&m_preview, RGB(255, 255, 255));
    Store()->DrawPrintLayout(&dc);
}

void CPrintLayoutDialog::RedrawPreview()
{
    InvalidateRect(&m_preview, TRUE);
}

void CPrintLayoutDialog::UpdateControlState()
{
    if (GetSafeHwnd() == NULL)
        return;
    const int n = (int)Store()->GetPrintLayout().items.size();
    for (int id : kOptionIds)
        GetDlgItem(id)->EnableWindow(n > 0);
    GetDlgItem(IDC_PRINT_CLOSE_ALL)->EnableWindow(n > 0);
    GetDlgItem(IDC_PRINT_PRINT)->EnableWindow(n > 0);
    GetDlgItem(IDC_PRINT_IMPORT)->EnableWindow(n != kMaxItems);
    GetDlgItem(IDC_PRINT_ZOOM)->EnableWindow(n > 0 && Store()->GetPrintLayout().fixedZoom);
}

void CPrintLayoutDialog::LoadSettings()
{
    if (GetSafeHwnd() == NULL)
        return;
    const PrintLayoutSettings& p = Store()->GetPrintLayout();
    CheckDlgButton(IDC_PRINT_SHOW_TIME, p.showTime ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_PRINT_SHOW_NAME, p.showFileName ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_PRINT_SHOW_BORDER, p.showBorder ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_PRINT_FIXED_ZOOM, p.fixedZoom ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_PRINT_FULL_PAGE, p.fixedZoom ? BST_UNCHECKED : BST_CHECKED);
    if (p.fixedZoom) {
        CString text;
        text.Format(L"%d", p.zoomPercent);
        SetDlgItemText(IDC_PRINT_ZOOM, text);
    }
    GetDlgItem(IDC_PRINT_ZOOM)->EnableWindow(p.fixedZoom);
}

BOOL CPrintLayoutDialog::PreTranslateMessage(MSG* pMsg)
{
    // Only a key's own code counts: a command or timer that happens to carry 13 or 27
    // in wParam is not a key press.
    if (IsKeyMessage(pMsg->message) && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        if (pMsg->message == WM_KEYDOWN)
            ApplyTypedZoom();
        return FALSE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CPrintLayoutDialog::ApplyTypedZoom()
{
    CString text;
    GetDlgItemText(IDC_PRINT_ZOOM, text);
    const int zoom = ParseZoom(text);
    if (zoom < kMinZoom || zoom > kMaxZoom)
        return;
    PrintLayoutSettings& p = Store()->GetPrintLayout();
    p.zoomPercent = zoom;
    p.relayoutPending = 1;
    for (PrintItem& item : p.items) {
        item.zoomFixed = 0;
        item.zoomPercent = zoom;
    }
    RedrawPreview();
}

void CPrintLayoutDialog::AfterAdding()
{
    RedrawPreview();
    UpdateControlState();
    LoadSettings();
}

void CPrintLayoutDialog::OnImport()
{
    CString path;
    int format = 0;
    if (!Store()->PromptForFileName(path, NULL, 0, OFN_FILEMUSTEXIST, TRUE, format))
        return;
    if (Store()->AddPrintItem(path))
        AfterAdding();
}

LRESULT CPrintLayoutDialog::OnAddImage(WPARAM wParam, LPARAM)
{
    CImageStore* store = Store();
    if ((int)store->GetPrintLayout().items.size() >= kMaxItems) {
        AfxMessageBox(IDS_PRINT_PAGE_FULL, MB_OK);
        return 0;
    }
    // The index was taken when the message was posted: it must still name a listed file.
    std::vector<CString> files;
    if (Links().thumbList != NULL)
        Links().thumbList->GetFileNames(files);
    if (wParam >= files.size())
        return 0;
    store->AddPrintItem(files[wParam]);
    AfterAdding();
    return 0;
}

void CPrintLayoutDialog::OnPrint()
{
    if (Links().view != NULL && Links().view->GetSafeHwnd() != NULL)
        Links().view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
}

void CPrintLayoutDialog::OnPrintButton()
{
    OnPrint();
}

void CPrintLayoutDialog::OnCloseAll()
{
    Store()->ClearPrintItems();
    RedrawPreview();
    UpdateControlState();
}

void CPrintLayoutDialog::OnFullPage()
{
    PrintLayoutSettings& p = Store()->GetPrintLayout();
    p.fixedZoom = 0;
    p.relayoutPending = 1;
    p.refitPending = 1;
    for (PrintItem& item : p.items) {
        item.zoomFixed = 0;
        item.fitRequest = 1;
    }
    RedrawPreview();
    LoadSettings();
}

void CPrintLayoutDialog::OnFixedZoom()
{
    PrintLayoutSettings& p = Store()->GetPrintLayout();
    p.fixedZoom = 1;
    p.relayoutPending = 1;
    for (PrintItem& item : p.items) {
        item.zoomFixed = 0;
        item.zoomPercent = p.zoomPercent;
    }
    RedrawPreview();
    LoadSettings();
}

void CPrintLayoutDialog::OnShowTime()
{
    Store()->GetPrintLayout().showTime = IsDlgButtonChecked(IDC_PRINT_SHOW_TIME) == BST_CHECKED;
    RedrawPreview();
}

void CPrintLayoutDialog::OnShowFileName()
{
    Store()->GetPrintLayout().showFileName = IsDlgButtonChecked(IDC_PRINT_SHOW_NAME) == BST_CHECKED;
    RedrawPreview();
}

void CPrintLayoutDialog::OnShowBorder()
{
    Store()->GetPrintLayout().showBorder = IsDlgButtonChecked(IDC_PRINT_SHOW_BORDER) == BST_CHECKED;
    RedrawPreview();
}

void CPrintLayoutDialog::OnOK() {}

void CPrintLayoutDialog::OnCancel()
{
    Store()->ClearPrintItems();
    if (Links().frame != NULL && Links().frame->GetSafeHwnd() != NULL)
        Links().frame->PostMessage(WM_PRINT_DIALOG_CLOSED, 0, 0);
    DestroyWindow();
}

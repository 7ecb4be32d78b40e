#include "app/measure/LayerNameDialog.h"

IMPLEMENT_DYNAMIC(CLayerNameDialog, CDialog)

BEGIN_MESSAGE_MAP(CLayerNameDialog, CDialog)
END_MESSAGE_MAP()

CLayerNameDialog::CLayerNameDialog(CWnd* pParent) : CDialog(IDD, pParent) {}

CLayerNameDialog::~CLayerNameDialog() {}

void CLayerNameDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LAYER_NAME, m_edit);
    DDX_Text(pDX, IDC_LAYER_NAME, m_name);
}

BOOL CLayerNameDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
    return FALSE;
}

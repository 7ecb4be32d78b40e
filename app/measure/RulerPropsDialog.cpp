#include "app/measure/RulerPropsDialog.h"

IMPLEMENT_DYNAMIC(CRulerPropsDialog, CDialog)

BEGIN_MESSAGE_MAP(CRulerPropsDialog, CDialog)
END_MESSAGE_MAP()

CRulerPropsDialog::CRulerPropsDialog(CWnd* pParent) : CDialog(IDD, pParent) {}
CRulerPropsDialog::~CRulerPropsDialog() {}


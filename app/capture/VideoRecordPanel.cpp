#include "app/capture/VideoRecordPanel.h"

IMPLEMENT_DYNAMIC(CVideoRecordPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CVideoRecordPanel, CPanelDialog)
END_MESSAGE_MAP()

CVideoRecordPanel::CVideoRecordPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CVideoRecordPanel::~CVideoRecordPanel() {}

void CVideoRecordPanel::UpdateControlState() {}

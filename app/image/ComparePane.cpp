#include "app/image/ComparePane.h"

IMPLEMENT_DYNAMIC(CComparePane, CDialog)

BEGIN_MESSAGE_MAP(CComparePane, CDialog)
END_MESSAGE_MAP()

CComparePane::CComparePane(CWnd* pParent) : CDialog(IDD, pParent), m_pStore(NULL), m_zoom(1.0f) {}
CComparePane::~CComparePane() { CImageStore::Destroy(m_pStore); }

BOOL CComparePane::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pStore == NULL) m_pStore = CImageStore::Create();
    return TRUE;
}

int CComparePane::OpenFile(LPCWSTR path, int readInfo)
{
    if (m_pStore == NULL) return 0;
    int result = m_pStore->OpenFile(path, readInfo);
    FitToWindow(1);
    return result;
}

void CComparePane::ReleaseImages()
{
    if (m_pStore != NULL) m_pStore->ReleaseImages();
}

void CComparePane::FitToWindow(int keepOwnZoom)
{
    (void)keepOwnZoom;
}

void CComparePane::SetZoom(float zoom)
{
    m_zoom = zoom;
    if (m_pStore != NULL) m_pStore->SetZoom(zoom);
}

float CComparePane::GetZoom()
{
    return m_zoom;
}

void CComparePane::OpenSelectedThumbnail() {}

void CComparePane::MirrorImage() {}

void CComparePane::FlipImage() {}

CImageStore* CComparePane::GetStore()
{
    return m_pStore;
}

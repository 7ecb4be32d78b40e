#include "app/browse/ThumbnailListCtrl.h"

IMPLEMENT_DYNAMIC(CThumbnailListCtrl, CWnd)

CThumbnailListCtrl::CThumbnailListCtrl() : m_bExpanded(FALSE) {}
CThumbnailListCtrl::~CThumbnailListCtrl() {}

void CThumbnailListCtrl::AddFile(CString path, int)
{
    CSingleLock lock(&m_lock, TRUE);
    for (size_t i = 0; i < m_paths.size(); i++) {
        if (m_paths[i].CompareNoCase(path) == 0) {
            m_paths.erase(m_paths.begin() + i);
            break;
        }
    }
    m_paths.insert(m_paths.begin(), path);
}

void CThumbnailListCtrl::GetFileNames(std::vector<CString>& out)
{
    CSingleLock lock(&m_lock, TRUE);
    out = m_paths;
}

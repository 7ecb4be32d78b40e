#include "app/browse/BrowseNotes.h"
#include "app/store/ImageStore.h"

CString NoteFileOf(const CImageStore* store, const CString& path)
{
    CFileStatus status;
    if (store == NULL || path.IsEmpty() || !CFile::GetStatus(path, status)) return CString();
    const int slash = path.ReverseFind(L'\\');
    return store->NoteFilePath(slash >= 0 ? path.Mid(slash + 1) : path, status.m_ctime);
}

// File information of the opened picture and its note, kept in one INI file per
// picture under the program's folder, named after the picture and its creation time.
#include "app/store/ImageStore.h"
#include <algorithm>
#include "app/store/DeepTiff.h"
#include <string>

BOOL EnsureUnicodeIni(LPCWSTR path);

namespace {

const WCHAR kNoteKey[] = L"Note";
const DWORD kNoteChars = 32768;   // the longest note read back

CString SizeText(ULONGLONG size)
{
    CString text;
    if (size >= 1048576)
        text.Format(L"%0.1f MB", size * 9.5367431640625e-07);
    else if (size >= 1024)
        text.Format(L"%0.1f KB", size / 1024.0);
    else
        text.Format(L"%d Byte", (int)size);
    return text;
}

}  // namespace

CString CImageStore::EscapeNote(const CString& note)
{
    // Notes without line breaks or backslashes are stored as they are.
    if (note.Find(L'\n') < 0 && note.Find(L'\r') < 0 && note.Find(L'\\') < 0)
        return note;
    CString out;
    for (int i = 0; i < note.GetLength(); ++i) {
        const WCHAR c = note[i];
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else
            out += c;
    }
    return out;
}

CString CImageStore::UnescapeNote(const CString& stored)
{
    if (stored.Find(L'\\') < 0)
        return stored;
    CString out;
    for (int i = 0; i < stored.GetLength(); ++i) {
        const WCHAR c = stored[i];
        if (c == L'\\' && i + 1 < stored.GetLength()) {
            const WCHAR n = stored[++i];
            out += n == L'n' ? L'\n' : (n == L'r' ? L'\r' : n);
        } else {
            out += c;
        }
    }
    return out;
}

CString CImageStore::NoteFilePath(const CString& name, const CTime& time) const
{
    return m_baseFolder + L"PicRecord\\" + name + time.Format(L"%Y%m%d%H%M%S") + L".ini";
}

void CImageStore::ReadImageInfo(LPCWSTR path)
{
    if (m_pCurrent == NULL || path == NULL)
        return;
    CFileStatus status;
    if (CFile::GetStatus(path, status)) {
        m_fileTime = status.m_ctime;
        m_timeText = m_fileTime.Format(L"%Y/%m/%d/ %H:%M:%S");
        m_fileSize = (int)status.m_size;
        m_sizeText = SizeText(status.m_size);
        m_path = path;
        const int slash = m_path.ReverseFind(L'\\');
        m_fileName = slash >= 0 ? m_path.Mid(slash + 1) : m_path;
        std::vector<WCHAR> buffer(kNoteChars, 0);
        ::GetPrivateProfileStringW(m_fileName, kNoteKey, L"", buffer.data(), kNoteChars,
                                   NoteFilePath(m_fileName, m_fileTime));
        m_note = UnescapeNote(buffer.data());
    }
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent == NULL)
            return;
        m_width = (int)m_pCurrent->GetWidth();
        m_height = (int)m_pCurrent->GetHeight();
        m_bitDepth = m_pCurrent->GetBpp();
        if (m_pCurrent->GetType() != CXIMAGE_FORMAT_TIF)
            return;
    }
    // A 16-bit TIFF is 8-bit in memory: the file's own depth is what the deep writer keeps.
    std::vector<BYTE> data;
    std::string error;
    if (ReadWholeFile(path, data, error)) {
        const int depth = deep_tiff::ReadTiffBitDepth(data.data(), data.size());
        if (depth > 0)
            m_bitDepth = depth;
    }
}

void CImageStore::GetImageInfo(ImageFileInfo& info) const
{
    if (m_pCurrent == NULL)
        return;
    info.path = m_path;
    info.fileName = m_fileName;
    info.timeText = m_timeText;
    info.note = m_note;
    info.sizeText = m_sizeText;
    info.bitDepth = m_bitDepth;
    info.width = m_width;
    info.height = m_height;
    info.fileSize = m_fileSize;
    info.fileTime = m_fileTime;
}

BOOL CImageStore::WriteImageNote(LPCWSTR name)
{
    const CString folder = m_baseFolder + L"PicRecord";
    if (::GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES)
        ::CreateDirectoryW(folder, NULL);
    const CString section = name != NULL && *name ? CString(name) : m_fileName;
    CTime time = m_fileTime;
    // Another picture's note is named after that picture's own creation time.
    if (name != NULL && *name && section.CompareNoCase(m_fileName) != 0) {
        CFileStatus status;
        const int slash = m_path.ReverseFind(L'\\');
        const CString other = (slash >= 0 ? m_path.Left(slash + 1) : CString()) + section;
        if (CFile::GetStatus(other, status))
            time = status.m_ctime;
    }
    const CString file = NoteFilePath(section, time);
    return EnsureUnicodeIni(file) && ::WritePrivateProfileStringW(section, kNoteKey, EscapeNote(m_note), file);
}

BOOL CImageStore::DeleteImageNote(LPCWSTR name)
{
    const CString section = name != NULL && *name ? CString(name) : m_fileName;
    CTime time = m_fileTime;
    if (name != NULL && *name) {
        // The named picture's own time: a name may carry its folder.
        CString path = name;
        if (path.Find(L'\\') < 0) {
            const int slash = m_path.ReverseFind(L'\\');
            path = (slash >= 0 ? m_path.Left(slash + 1) : CString()) + path;
        }
        CFileStatus status;
        if (CFile::GetStatus(path, status))
            time = status.m_ctime;
    }
    const int slash = section.ReverseFind(L'\\');
    const CString file = NoteFilePath(slash >= 0 ? section.Mid(slash + 1) : section, time);
    return ::DeleteFileW(file);
}

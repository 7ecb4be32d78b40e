// Image files: the file-type table and dialogs, opening into the store, the saves
// (plain, with overlays, Save As, deep TIFF) and the print list.
#include "app/store/ImageStore.h"
#include <algorithm>
#include "app/store/DeepTiff.h"
#include "app/store/StoreStringIds.h"
#include "afxdlgs.h"
#include <string>

const ImageFileType ImageFileTypeTable[20] = {
    {-1, 1, 1, L"Supported files",
     L"*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.ico;*.tif;*.tiff;*.tga;*.pcx;*.wbmp;*.wmf;*.emf;*.j2k;*.jp2;"
     L"*.jbg;*.j2c;*.jpc;*.pgx;*.pnm;*.pgm;*.ppm;*.ras"},
    {1, 1, 1, L"BMP files", L"*.bmp"},
    {2, 1, 1, L"GIF files", L"*.gif"},
    {3, 1, 1, L"JPG files", L"*.jpg;*.jpeg"},
    {4, 1, 1, L"PNG files", L"*.png"},
    {17, 1, 1, L"MNG files", L"*.mng;*.jng;*.png"},
    {5, 1, 1, L"ICO CUR files", L"*.ico;*.cur"},
    {6, 1, 1, L"TIF files", L"*.tif;*.tiff"},
    {7, 1, 1, L"TGA files", L"*.tga"},
    {8, 1, 1, L"PCX files", L"*.pcx"},
    {9, 1, 1, L"WBMP files", L"*.wbmp"},
    {10, 1, 0, L"WMF EMF files", L"*.wmf;*.emf"},
    {11, 1, 1, L"JP2 files", L"*.j2k;*.jp2"},
    {12, 1, 1, L"JPC files", L"*.j2c;*.jpc"},
    {13, 1, 1, L"PGX files", L"*.pgx"},
    {15, 1, 1, L"RAS files", L"*.ras"},
    {14, 1, 1, L"PNM files", L"*.pnm;*.pgm;*.ppm"},
    {0, 0, 0, NULL, NULL},
    {0, 0, 0, NULL, NULL},
    {0, 0, 0, NULL, NULL},
};

namespace {

const WCHAR kTrueColourGif[] =
    L"The image will be saved as a true color GIF!\nThis is ok for QrView, but not for many other "
    L"programs.\nFor better compatibility, please use DecreaseBpp to 8 bits or less.";

CString LowerExtension(LPCWSTR path)
{
    CString ext = GetFileExtension(path != NULL ? CString(path) : CString());
    ext.MakeLower();
    return ext;
}

BOOL Offered(const ImageFileType& row, BOOL open)
{
    return row.description != NULL && (open ? row.canOpen : row.canSave);
}

}  // namespace

BOOL EnsureUnicodeIni(LPCWSTR path);

CString GetFileExtension(const CString& path)
{
    const int dot = path.ReverseFind(L'.');
    return dot >= 0 ? path.Mid(dot + 1) : CString();
}

int GetImageTypeFromExtension(const CString& extension)
{
    return int(CxImage::GetTypeFromExtension(extension));
}

int CImageStore::GetFilterIndexForType(int format, BOOL open)
{
    int index = 0;
    for (const ImageFileType& row : ImageFileTypeTable) {
        if (!Offered(row, open))
            continue;
        if (row.format == format)
            return index;
        ++index;
    }
    return -1;
}

int CImageStore::GetTypeForFilterIndex(int index, BOOL open)
{
    int i = 0;
    for (const ImageFileType& row : ImageFileTypeTable) {
        if (!Offered(row, open))
            continue;
        if (i++ == index)
            return row.format;
    }
    return -1;
}

CString CImageStore::GetDefaultExtension(int format)
{
    for (const ImageFileType& row : ImageFileTypeTable)
        if (row.description != NULL && row.format == format)
            return CString(row.patterns).Mid(2, 3);
    return CString();
}

CString CImageStore::BuildFilterString(BOOL open)
{
    CString filter;
    for (const ImageFileType& row : ImageFileTypeTable) {
        if (!Offered(row, open))
            continue;
        filter += row.description;
        filter += L'\0';
        filter += row.patterns;
        filter += L'\0';
    }
    return filter;
}

BOOL CImageStore::PromptForFileName(CString& path, LPCWSTR initialFolder, UINT titleId, DWORD extraFlags,
                                    BOOL open, int& format)
{
    (void)titleId;
    if (format == 0)
        format = 1;
    const CString defExt = GetDefaultExtension(format);
    CFileDialog dlg(open, defExt, NULL, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | extraFlags, NULL, NULL);
    CString title;
    title.LoadString(open ? IDS_OPEN_IMAGE_TITLE : IDS_SAVE_IMAGE_TITLE);
    const CString filter = BuildFilterString(open);
    // Large enough for any path the caller proposes and any the user picks.
    std::vector<WCHAR> buffer(std::max(path.GetLength() + 1, 32768), 0);
    memcpy(buffer.data(), (LPCWSTR)path, path.GetLength() * sizeof(WCHAR));
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = (DWORD)buffer.size();
    dlg.m_ofn.lpstrFilter = filter;
    const int index = GetFilterIndexForType(format, open);
    dlg.m_ofn.nFilterIndex = index >= 0 ? index + 1 : 1;
    dlg.m_ofn.lpstrTitle = title.IsEmpty() ? NULL : (LPCWSTR)title;
    dlg.m_ofn.lpstrInitialDir = open && initialFolder != NULL && *initialFolder ? initialFolder : NULL;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    path = buffer.data();
    const int chosen = GetTypeForFilterIndex((int)dlg.m_ofn.nFilterIndex - 1, open);
    if (chosen != 0)
        format = chosen;
    return TRUE;
}

BOOL CImageStore::LoadImageFile(CxImage* image, LPCWSTR path)
{
    if (image == NULL || path == NULL)
        return FALSE;
    const CString ext = LowerExtension(path);
    if (ext.IsEmpty())
        return FALSE;
    CxImage loaded;
    if (!loaded.Load(path, GetImageTypeFromExtension(ext)) || !loaded.IsValid())
        return FALSE;
    image->Transfer(loaded);
    return TRUE;
}

bool CImageStore::CanReuseBase(const CxImage& picture)
{
    CSingleLock lock(&m_lock, TRUE);
    return m_pBase != NULL && m_pBase->IsValid() && m_pBase->GetSize() == picture.GetSize() &&
           !m_pBase->AlphaIsValid() && !picture.AlphaIsValid();
}

int CImageStore::OpenFile(LPCWSTR path, int readInfo)
{
    // Loading happens outside the lock; the new pictures are swapped in under it and the
    // old ones deleted after, so the redraw thread never holds a freed picture.
    const CString ext = LowerExtension(path);
    CxImage* current = NULL;
    CxImage* base = NULL;
    if (!ext.IsEmpty()) {
        current = new (std::nothrow) CxImage;
        if (current != NULL && !current->Load(path, GetImageTypeFromExtension(ext))) {
            m_lastOpenError = current->GetLastError();
            delete current;
            current = NULL;
        }
        if (current != NULL && !CanReuseBase(*current)) {
            base = new (std::nothrow) CxImage(*current);
            if (base == NULL || !base->IsValid()) {
                m_lastOpenError = "Not enough memory";
                delete base;
                delete current;
                base = current = NULL;
            }
        }
    } else {
        m_lastOpenError = "No file extension";
    }
    CxImage *oldCurrent, *oldBase;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (current != NULL && base == NULL) {
            // The open picture's base takes the copy: its memory is already there. The
            // redraw thread reads it, so under the lock, together with the swap.
            if (CanReuseBase(*current)) {
                m_pBase->Copy(*current);
                base = m_pBase;
            } else {
                base = new (std::nothrow) CxImage(*current);
            }
            if (base == NULL || !base->IsValid()) {
                m_lastOpenError = "Not enough memory";
                if (base != m_pBase)
                    delete base;
                delete current;
                base = current = NULL;
            }
        }
        SwapInImages(current, base, &oldCurrent, &oldBase);
    }
    delete oldCurrent;
    if (oldBase != base)
        delete oldBase;
    if (current == NULL)
        return 0;
    // From the base, which only this thread changes (the redraw thread rewrites the current).
    m_committed.Copy(*base);
    m_zoom = 1.0f;
    m_showDate = m_showTime = 0;
    m_stampText.Empty();
    m_tracker.m_rect.SetRectEmpty();
    UpdateRulerScale();
    if (readInfo) {
        ReadImageInfo(path);
        ResetAdjustments();
    }
    return 1;
}

BOOL CImageStore::SaveTo(CxImage* image, LPCWSTR path)
{
    const int type = GetImageTypeFromExtension(LowerExtension(path));
    m_lastSaveError.clear();
    if (type == CXIMAGE_FORMAT_TIF && image->GetBpp() > 8)
        return SaveDeepTiff(path, image);
    const BOOL ok = image->Save(path, type);
    if (!ok)
        m_lastSaveError = image->GetLastError();
    return ok;
}

BOOL CImageStore::SaveCommon(CxImage* image, LPCWSTR path, BOOL markSaved)
{
    if (image == NULL || path == NULL)
        return FALSE;
    const int type = GetImageTypeFromExtension(LowerExtension(path));
    if (type == 0 || !CxImage::IsTypeSupported(type, true))
        return FALSE;
    if (type == CXIMAGE_FORMAT_GIF && image->GetBpp() > 8)
        AfxMessageBox(kTrueColourGif, MB_OK | MB_ICONINFORMATION);
    const BOOL ok = SaveTo(image, path);
    // A failed save leaves the work unsaved.
    if (ok && markSaved)
        m_saved = 1;
    return ok;
}

BOOL CImageStore::Save(LPCWSTR path)
{
    CxImage copy;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent == NULL)
            return FALSE;
        copy.Copy(*m_pCurrent);
    }
    return SaveCommon(&copy, path, TRUE);
}

BOOL CImageStore::SaveImage(CxImage* image, LPCWSTR path)
{
    return SaveCommon(image, path, TRUE);
}

BOOL CImageStore::SaveWithOverlays(LPCWSTR path)
{
    const int type = GetImageTypeFromExtension(LowerExtension(path));
    if (path == NULL || type == 0 || !CxImage::IsTypeSupported(type, true) || m_pCurrent == NULL)
        return FALSE;
    if (type == CXIMAGE_FORMAT_GIF && m_pCurrent->GetBpp() > 8)
        AfxMessageBox(kTrueColourGif, MB_OK | MB_ICONINFORMATION);
    BOOL ok = FALSE;
    std::string error;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent == NULL)
            return FALSE;
        CxImage kept(*m_pCurrent);
        RenderWithMeasures();
        ok = SaveTo(m_pCurrent, path);
        error = m_lastSaveError;
        m_pCurrent->Transfer(kept);
    }
    m_showDate = m_showTime = 0;
    m_stampText.Empty();
    if (!ok) {
        AfxMessageBox(CString(error.empty() ? "Write error" : error.c_str()), MB_OK);
        return FALSE;
    }
    // The saved copy gets the note too, under its own name and creation time.
    CFileStatus status;
    const CString saved(path);
    const int slash = saved.ReverseFind(L'\\');
    const CString name = slash >= 0 ? saved.Mid(slash + 1) : saved;
    if (CFile::GetStatus(path, status) && !m_note.IsEmpty()) {
        const CString file = NoteFilePath(name, status.m_ctime);
        CString folder = m_baseFolder + L"PicRecord";
        ::CreateDirectoryW(folder, NULL);
        if (EnsureUnicodeIni(file)) ::WritePrivateProfileStringW(name, L"Note", EscapeNote(m_note), file);
    }
    return TRUE;
}

BOOL CImageStore::SaveAs(CString& pathOut, BOOL replace)
{
    if (m_pCurrent == NULL)
        return FALSE;
    const int format = (int)m_pCurrent->GetType();
    CString proposed = m_fileName;
    if (replace && proposed.IsEmpty()) {
        proposed = L"UntitledImage";
        const CString ext = GetDefaultExtension(format);
        if (!ext.IsEmpty())
            proposed += L"." + ext;
    }
    int chosenFormat = format;
    if (!PromptForFileName(proposed, L"", 0, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, FALSE, chosenFormat))
        return FALSE;
    if (!SaveWithOverlays(proposed))
        return FALSE;
    pathOut = proposed;
    return TRUE;
}

BOOL CImageStore::SaveDeepTiff(LPCWSTR path, CxImage* image)
{
    if (image == NULL || !image->IsValid())
        return FALSE;
    CxImage work(*image, true, false, false);
    if (!work.IncreaseBpp(24))
        return FALSE;
    // 16 bits per sample where the file had them, 8 otherwise.
    const int depth = (m_bitDepth == 48 || m_bitDepth == 64) ? 48 : 24;
    const int w = (int)work.GetWidth(), h = (int)work.GetHeight();
    std::vector<uint8_t> out;
    int rc;
    if (depth == 48) {
        std::vector<uint16_t> samples((size_t)w * h * 3);
        for (int y = 0; y < h; ++y) {
            // Rows walked by their stride, top row first, red first.
            const BYTE* src = work.GetBits(h - 1 - y);
            uint16_t* d = samples.data() + (size_t)y * w * 3;
            for (int x = 0; x < w; ++x) {
                d[3 * x] = (uint16_t)(src[3 * x + 2] << 8);
                d[3 * x + 1] = (uint16_t)(src[3 * x + 1] << 8);
                d[3 * x + 2] = (uint16_t)(src[3 * x] << 8);
            }
        }
        rc = deep_tiff::WriteTiff16(out, w, h, 2, 48, 0, 1, samples.data());
    } else {
        rc = deep_tiff::WriteTiff8(out, w, h, 2, 24, 0, 1, 0, NULL, work.GetBits());
    }
    if (rc != deep_tiff::TIFF_WRITE_OK) {
        m_lastSaveError = "TIFF write error";
        return FALSE;
    }
    return WriteFileReplacing(path, out.data(), out.size(), m_lastSaveError);
}

int CImageStore::AddPrintItem(LPCWSTR path)
{
    CxImage* image = new (std::nothrow) CxImage;
    if (image == NULL || !LoadImageFile(image, path)) {
        delete image;
        return 0;
    }
    PrintItem item;
    item.image = image;
    item.path = path;
    CString title = item.path.Mid(item.path.ReverseFind(L'\\') + 1);
    const int dot = title.ReverseFind(L'.');
    item.title = dot >= 0 ? title.Left(dot) : title;
    item.zoomFixed = m_print.fixedZoom;
    item.fitRequest = !m_print.fixedZoom;
    item.zoomPercent = m_print.zoomPercent;
    const CTime now = CTime::GetCurrentTime();
    m_print.dateText.Format(L"%d-%02d-%02d", now.GetYear(), now.GetMonth(), now.GetDay());
    m_print.relayoutPending = 1;
    m_print.refitPending = 1;
    m_print.items.push_back(item);
    return 1;
}

void CImageStore::ClearPrintItems()
{
    for (PrintItem& item : m_print.items)
        delete item.image;
    const RECT page = m_print.pageRect;
    m_print = PrintLayoutSettings();
    m_print.pageRect = page;
}

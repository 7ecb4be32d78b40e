#include "CaptureFileName.h"

namespace {

// wsprintfW writes at most 1024 characters; paths are far shorter.
const int kNameChars = 1100;

BOOL FileSystemProbe(LPCWSTR path, void*)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

class NameProbe {
public:
    explicit NameProbe(const CaptureNameFields& f)
        : m_probe(f.exists ? f.exists : FileSystemProbe), m_context(f.probeContext) {}
    bool operator()(LPCWSTR path) const { return m_probe(path, m_context) != FALSE; }

private:
    CaptureNameProbe m_probe;
    void* m_context;
};

// The first n = 1, 2, ... for which folder + prefix + n + extension is free.
int FirstFreeNumber(const CaptureNameFields& f, LPCWSTR extension, const NameProbe& exists)
{
    WCHAR candidate[kNameChars];
    for (int n = 1;; ++n) {
        wsprintfW(candidate, L"%s%s%d%s", f.folder, f.prefix, n, extension);
        if (!exists(candidate))
            return n;
    }
}

bool ExistsWithExtension(LPCWSTR base, LPCWSTR extension, const NameProbe& exists)
{
    WCHAR candidate[kNameChars];
    wsprintfW(candidate, L"%s%s", base, extension);
    return exists(candidate);
}

bool FolderOfNameExists(LPCWSTR name, const NameProbe& exists)
{
    WCHAR folder[kNameChars];
    lstrcpynW(folder, name, kNameChars);
    WCHAR* slash = nullptr;
    for (WCHAR* p = folder; *p; ++p)
        if (*p == L'\\')
            slash = p;
    if (!slash || slash == folder)
        return false;
    // A drive root keeps its backslash ("C:" alone means the drive's current folder).
    if (slash[-1] == L':')
        slash[1] = 0;
    else
        *slash = 0;
    return exists(folder);
}

// Capture-format codes as the capture settings carry them.
const int kFormatJpeg = 1;
const int kFormatBmp = 2;
const int kFormatRaw = 4;
const int kFormatTiff = 8;
const int kFormatAvi = 32;

}  // namespace

LPCWSTR CaptureFileExtension(int captureType)
{
    switch (captureType) {
    case kFormatJpeg: return L".jpg";
    case kFormatRaw: return L".raw";
    case kFormatTiff: return L".tif";
    case kFormatAvi: return L".avi";
    default: return L".bmp";
    }
}

BOOL BuildCaptureFileName(const CaptureNameFields& f, CString& name)
{
    const NameProbe exists(f);
    const LPCWSTR extension = CaptureFileExtension(f.captureType);
    WCHAR base[kNameChars];

    if (f.isTimeStamp) {
        const SYSTEMTIME& t = f.localTime;
        wsprintfW(base, L"%s%02d%02d%02d%02d%02d", f.folder, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    } else {
        wsprintfW(base, L"%s%s", f.folder, f.prefix);
        if (f.shot > 0) {
            // Later shots of a series carry the number that shot 0 took, plus "-shot".
            if (ExistsWithExtension(base, extension, exists)) {
                int n = FirstFreeNumber(f, extension, exists);
                if (n == 1)
                    wsprintfW(base, L"%s%s-%d", f.folder, f.prefix, f.shot);
                else
                    wsprintfW(base, L"%s%s%d-%d", f.folder, f.prefix, n - 1, f.shot);
            }
        } else if (f.isLapse && ExistsWithExtension(base, extension, exists)) {
            wsprintfW(base, L"%s%s%d", f.folder, f.prefix, FirstFreeNumber(f, extension, exists));
        }
    }

    WCHAR full[kNameChars];
    wsprintfW(full, L"%s%s", base, extension);
    if (f.isNum) {
        for (int n = 1; exists(full); ++n)
            wsprintfW(full, L"%s_%d%s", base, n, extension);
    }
    name = full;
    return FolderOfNameExists(full, exists) ? TRUE : FALSE;
}

namespace {

// Filter order of the still dialog; the capture format follows the chosen index.
const WCHAR kStillFilters[] =
    L"BMP Files (*.bmp)\0*.bmp\0"
    L"JPEG Files (*.jpg)\0*.jpg\0"
    L"TIFF Files (*.tif)\0*.tif\0";
const WCHAR kRawFilter[] = L"RAW Files (*.raw)\0*.raw\0";
const WCHAR kVideoFilters[] = L"AVI Files (*.avi)\0*.avi\0";

DWORD InitialFilterIndex(int captureType)
{
    switch (captureType) {
    case kFormatJpeg: return 2;
    case kFormatTiff: return 3;
    case kFormatRaw: return 4;
    case kFormatAvi: return 5;
    default: return 1;
    }
}

BYTE FormatOfFilterIndex(DWORD index)
{
    switch (index) {
    case 2: return kFormatJpeg;
    case 3: return kFormatTiff;
    case 4: return kFormatRaw;
    default: return kFormatBmp;
    }
}

}  // namespace

BOOL AskCaptureFileName(HWND owner, LPCWSTR initialName, BOOL videoMode, BOOL rawFilter,
                        BYTE& captureType, CString& path)
{
    // Filter strings hold embedded nulls; assemble them by length, not by lstrcat.
    WCHAR filters[128] = {};
    size_t used = 0;
    auto append = [&](const WCHAR* block, size_t chars) {
        memcpy(filters + used, block, (chars - 1) * sizeof(WCHAR));  // drop the final null
        used += chars - 1;
    };
    if (videoMode) {
        append(kVideoFilters, sizeof kVideoFilters / sizeof(WCHAR));
    } else {
        append(kStillFilters, sizeof kStillFilters / sizeof(WCHAR));
        if (rawFilter)
            append(kRawFilter, sizeof kRawFilter / sizeof(WCHAR));
    }

    WCHAR file[MAX_PATH * 2] = {};
    if (initialName)
        lstrcpynW(file, initialName, MAX_PATH * 2);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = InitialFilterIndex(captureType);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH * 2;
    ofn.lpstrTitle = L"camera capture files";
    ofn.lpstrDefExt = L"bmp";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!AfxGetFileName(&ofn, FALSE))
        return FALSE;
    path = file;
    captureType = videoMode ? static_cast<BYTE>(kFormatAvi) : FormatOfFilterIndex(ofn.nFilterIndex);
    return TRUE;
}

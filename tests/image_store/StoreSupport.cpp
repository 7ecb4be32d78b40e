#include "StoreSupport.h"

TempFolder::TempFolder()
{
    WCHAR base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    m_folder.Format(L"%sorvstore%lu_%d\\", base, ::GetCurrentProcessId(), ++counter);
    ::CreateDirectoryW(m_folder, NULL);
}

TempFolder::~TempFolder()
{
    // Files and one level of folders below.
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(m_folder + L"*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const CString name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                WIN32_FIND_DATAW inner;
                HANDLE h2 = ::FindFirstFileW(m_folder + name + L"\\*", &inner);
                if (h2 != INVALID_HANDLE_VALUE) {
                    do
                        ::DeleteFileW(m_folder + name + L"\\" + inner.cFileName);
                    while (::FindNextFileW(h2, &inner));
                    ::FindClose(h2);
                }
                ::RemoveDirectoryW(m_folder + name);
            } else {
                ::DeleteFileW(m_folder + name);
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(m_folder);
}

CString TempFolder::Path(LPCWSTR name) const
{
    return m_folder + name;
}

CxImage MakePicture(int width, int height, int bpp)
{
    CxImage image;
    image.Create(width, height, bpp);
    for (int y = 0; y < height; ++y) {
        BYTE* row = image.GetBits(y);
        for (int x = 0; x < width; ++x) {
            if (bpp == 24) {
                row[3 * x] = (BYTE)(x * 5 + y);
                row[3 * x + 1] = (BYTE)(y * 7 + 20);
                row[3 * x + 2] = (BYTE)(200 - x);
            } else {
                row[x] = (BYTE)(x * 3 + y * 2);
            }
        }
    }
    return image;
}

CxImage FlatPicture(int width, int height, int bpp, BYTE value)
{
    CxImage image;
    image.Create(width, height, bpp);
    for (int y = 0; y < height; ++y)
        memset(image.GetBits(y), value, image.GetEffWidth());
    return image;
}

CString WritePicture(const TempFolder& dir, LPCWSTR name, CxImage picture, DWORD type)
{
    const CString path = dir.Path(name);
    picture.Save(path, type);
    return path;
}

std::vector<BYTE> ReadBytes(LPCWSTR path)
{
    std::vector<BYTE> data;
    std::string error;
    ReadWholeFile(path, data, error);
    return data;
}

TestView::TestView(int width, int height)
{
    CreateEx(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL, NULL);
}

TestView::~TestView()
{
    if (GetSafeHwnd() != NULL)
        DestroyWindow();
}

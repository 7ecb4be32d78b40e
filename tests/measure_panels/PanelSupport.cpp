#include "PanelSupport.h"
#include "xImage.h"

TempDir::TempDir()
{
    static int counter = 0;
    WCHAR temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    m_path.Format(L"%smeasure_panels_%u_%d", temp, ::GetCurrentProcessId(), counter++);
    ::CreateDirectoryW(m_path, nullptr);
}

TempDir::~TempDir()
{
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(m_path + L"\\*", &found);
    if (h != INVALID_HANDLE_VALUE) {
        do
            ::DeleteFileW(m_path + L"\\" + found.cFileName);
        while (::FindNextFileW(h, &found));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(m_path);
}

CString WritePicture(const TempDir& dir, LPCWSTR name, int width, int height)
{
    CxImage image;
    image.Create(width, height, 24, CXIMAGE_FORMAT_BMP);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, RGBQUAD{BYTE(x), BYTE(y), BYTE(x + y), 0});
    const CString path = dir.File(name);
    image.Save((LPCWSTR)path, CXIMAGE_FORMAT_BMP);
    return path;
}

CWnd* MeasureView()
{
    static CWnd* view = nullptr;
    if (view == nullptr) {
        view = new CWnd;
        view->CreateEx(0, AfxRegisterWndClass(0), L"view", WS_POPUP | WS_VISIBLE, 900, 0, 640, 480, NULL, NULL);
        CImageStore::Instance()->CreateMeasure(view);
    }
    return view;
}

CImageStore* FreshStore(const CString& picture)
{
    CWnd* view = MeasureView();
    CImageStore* store = CImageStore::Instance();
    store->SetMeasureTarget(1);
    store->OpenFile(picture, 0);
    store->ClearMeasurements();
    store->SelectMeasureTool(kToolSelect);
    // A layer file without layers empties the library's list.
    TempDir dir;
    const CString empty = dir.File(L"empty.txt");
    HANDLE h = ::CreateFileW(empty, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, "OrvLayers 1\r\n", 13, &written, nullptr);
    ::CloseHandle(h);
    store->LoadLayers(empty);
    CClientDC dc(view);
    store->DrawToView(view, &dc);
    return store;
}

void ClickCheck(HWND dialog, int id)
{
    HWND button = ::GetDlgItem(dialog, id);
    const LRESULT state = ::SendMessageW(button, BM_GETCHECK, 0, 0);
    ::SendMessageW(button, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
}

void Click(HWND dialog, int id)
{
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dialog, id)));
}

CString ItemText(HWND dialog, int id)
{
    WCHAR text[256] = L"";
    ::GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

PlainParent::PlainParent(int width, int height)
{
    CreateEx(0, AfxRegisterWndClass(0), L"parent", WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL, NULL);
}

PlainParent::~PlainParent()
{
    DestroyWindow();
}

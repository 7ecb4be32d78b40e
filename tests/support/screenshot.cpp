#include "support/wintest.h"
#include "support/pngio.h"

std::string ScreenshotDir()
{
    WCHAR path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (!n || n >= MAX_PATH)
        return std::string();
    WCHAR* slash = path + n;
    while (slash > path && *slash != L'\\')
        --slash;
    lstrcpyW(slash + 1, L"screenshots");
    CreateDirectoryW(path, nullptr);
    char* unix = wine_get_unix_file_name(path);
    if (!unix)
        return std::string();
    std::string dir(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return dir;
}

std::vector<DWORD> GrabPixels(HDC src, int x, int y, int w, int h)
{
    std::vector<DWORD> pixels;
    if (!src || w <= 0 || h <= 0)
        return pixels;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(src);
    if (dib && mem) {
        HGDIOBJ old = SelectObject(mem, dib);
        if (BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY)) {
            GdiFlush();
            const DWORD* p = static_cast<const DWORD*>(bits);
            pixels.assign(p, p + static_cast<size_t>(w) * h);
            for (DWORD& v : pixels)
                v &= 0xFFFFFF;
        }
        SelectObject(mem, old);
    }
    if (mem)
        DeleteDC(mem);
    if (dib)
        DeleteObject(dib);
    return pixels;
}

bool SaveScreenshotPng(HWND hwnd, const char* unixPath)
{
    int x = 0, y = 0, w, h;
    HDC src;
    if (hwnd) {
        RECT r;
        if (!GetWindowRect(hwnd, &r))
            return false;
        w = r.right - r.left;
        h = r.bottom - r.top;
        src = GetWindowDC(hwnd);
    } else {
        x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        src = GetDC(nullptr);
    }
    if (!src)
        return false;
    // The window DC's origin is the window's corner; the screen's is (x, y).
    const std::vector<DWORD> pixels = GrabPixels(src, hwnd ? 0 : x, hwnd ? 0 : y, w, h);
    ReleaseDC(hwnd, src);
    if (pixels.empty())
        return false;
    std::vector<unsigned char> rgb(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgb[i * 3] = (pixels[i] >> 16) & 0xFF;
        rgb[i * 3 + 1] = (pixels[i] >> 8) & 0xFF;
        rgb[i * 3 + 2] = pixels[i] & 0xFF;
    }
    return WritePngRgb(rgb.data(), w, h, w * 3, unixPath);
}

std::string SaveScreenshot(HWND hwnd, const char* name)
{
    std::string dir = ScreenshotDir();
    if (dir.empty())
        return std::string();
    std::string path = dir + "/" + name + ".png";
    return SaveScreenshotPng(hwnd, path.c_str()) ? path : std::string();
}

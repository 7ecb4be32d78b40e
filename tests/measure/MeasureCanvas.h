// A 32-bit top-down bitmap selected into a framework DC, for reading back what the
// measurement library drew.
#pragma once
#include "afxwin.h"

class MeasureCanvas
{
public:
    MeasureCanvas(int width, int height)
        : m_width(width), m_height(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        HDC screen = ::GetDC(nullptr);
        m_hdc = ::CreateCompatibleDC(screen);
        ::ReleaseDC(nullptr, screen);
        m_bitmap = ::CreateDIBSection(m_hdc, &bi, DIB_RGB_COLORS, (void**)&m_bits, nullptr, 0);
        m_old = ::SelectObject(m_hdc, m_bitmap);
        m_dc.Attach(m_hdc);
        Clear();
    }
    ~MeasureCanvas()
    {
        m_dc.Detach();
        ::SelectObject(m_hdc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_hdc);
    }
    void Clear()
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = 0;
    }
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const DWORD v = m_bits[y * m_width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    bool Near(int x, int y, COLORREF color, int radius = 1) const
    {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
            {
                const int px = x + dx, py = y + dy;
                if (px >= 0 && py >= 0 && px < m_width && py < m_height && At(px, py) == color)
                    return true;
            }
        return false;
    }
    int Count(COLORREF color) const
    {
        int n = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                n += At(x, y) == color;
        return n;
    }

private:
    int m_width, m_height;
    HDC m_hdc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
    CDC m_dc;
};

// Levels, histogram and the cross, comparison and position overlays of the live picture.
#include "camera/core/CameraManager.h"

#include "afxwin.h"

#include <algorithm>
#include <stdlib.h>
#include <string.h>

namespace {

// The histogram panel is 188 columns wide: level 255 maps to column 188.
const double kLevelToColumn = 0.73725;
const double kColumnScale = 0.005319149;       // 1 / 188
const double kColumnToBin = 1.356391997287216; // 255 / 188
const int kHistogramColumns = 188;
const int kHistogramMaxHeight = 100;
const COLORREF kHistogramColor = RGB(0, 0, 222);
const int kGridStep = 120;

double MarkerColumn(int level)
{
    double p = level * kLevelToColumn;
    if (p < 0)
        p = 0;
    if (p > 187)
        p = 188;
    return p;
}

// The record's channel indexes the per-channel arrays; a record set from outside may
// hold anything.
int ShownChannel(const CameraMgrParam& param)
{
    return param.showChannel > 3 ? 3 : param.showChannel;
}

}  // namespace

// --- levels -----------------------------------------------------------------------------

int CCameraManager::SetGammaEx(int gamma)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    gamma = std::clamp(gamma, 20, 150);
    const int channel = ShownChannel(m_param);
    m_param.gamma[channel] = gamma;
    m_pDevice->SetGammaEx(gamma, channel);
    return CAM_OK;
}

int CCameraManager::GetGammaEx(int* gamma)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!gamma)
        return CAM_ERR_RANGE;
    const int channel = ShownChannel(m_param);
    int value = m_param.gamma[channel];
    m_pDevice->GetGammaEx(&value, channel);
    m_param.gamma[channel] = value;
    *gamma = value;
    return CAM_OK;
}

int CCameraManager::SetLevelsValues(int low, int high)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    low = static_cast<WORD>(low);
    high = static_cast<WORD>(high);
    if (low > 254)
        low = 255;
    const int channel = ShownChannel(m_param);
    m_param.levelsLow[channel] = low;
    m_param.levelsHigh[channel] = high;
    return m_pDevice->SetLevelsValues(low, high, channel);
}

int CCameraManager::GetLevelsValues(int* low, int* high)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    const int channel = ShownChannel(m_param);
    m_pDevice->GetLevelsValues(&m_param.levelsLow[channel], &m_param.levelsHigh[channel], channel);
    if (low)
        *low = m_param.levelsLow[channel];
    if (high)
        *high = m_param.levelsHigh[channel];
    return CAM_OK;
}

int CCameraManager::SetAutoLevelsState(int on)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    const int channel = ShownChannel(m_param);
    m_param.autoLevels[channel] = on;
    m_pDevice->SetAutoLevelsState(on, channel);
    return CAM_OK;
}

int CCameraManager::SetShowChannel(int channel)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    channel = std::clamp(channel, 0, 3);
    m_param.showChannel = static_cast<BYTE>(channel);
    return m_pDevice->SetShowChannel(channel);
}

int CCameraManager::LevelsDefault()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    m_param.showChannel = 3;
    for (int i = 0; i < 4; ++i) {
        m_param.autoLevels[i] = 0;
        m_param.levelsLow[i] = 0;
        m_param.levelsHigh[i] = 255;
        m_param.gamma[i] = 100;
        m_pDevice->SetGammaEx(100, 3);
        m_pDevice->SetAutoLevelsState(0, i);
        m_pDevice->SetLevelsValues(0, 255, i);
    }
    m_pDevice->SetShowChannel(3);
    return CAM_OK;
}

// Window coordinates to frame pixels, one factor for both axes.
BOOL CCameraManager::MapWindowRectToFrame(const RECT* windowRect, RECT* frameRect) const
{
    HWND drawWnd = DrawWindowHandle();
    if (!windowRect || !drawWnd)
        return FALSE;
    RECT window;
    GetWindowRect(drawWnd, &window);
    const int windowWidth = window.right - window.left;
    if (windowWidth <= 0)
        return FALSE;
    const double scale = double(m_frameWidth) / windowWidth;
    frameRect->left = static_cast<LONG>((windowRect->left + 1) * scale);
    frameRect->top = static_cast<LONG>((windowRect->top + 1) * scale);
    frameRect->right = static_cast<LONG>((windowRect->right + 1) * scale);
    frameRect->bottom = static_cast<LONG>((windowRect->bottom + 1) * scale);
    // A region drawn to the window's edge scales past the frame's last pixel.
    ClampToFrame(frameRect);
    return frameRect->right > frameRect->left && frameRect->bottom > frameRect->top;
}

void CCameraManager::ClampToFrame(RECT* frameRect) const
{
    frameRect->left = std::max<LONG>(0, frameRect->left);
    frameRect->top = std::max<LONG>(0, frameRect->top);
    frameRect->right = std::min<LONG>(m_frameWidth, frameRect->right);
    frameRect->bottom = std::min<LONG>(m_frameHeight, frameRect->bottom);
}

int CCameraManager::CalcAreaLevels(const RECT* area)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    RECT r;
    if (!MapWindowRectToFrame(area, &r) || m_param.mode == 0 || !m_pProcessLock)
        return CAM_ERR_NO_DEVICE;

    // Grey value, then red, green and blue.
    int intensity[4] = {0, 0, 0, 0};
    int result;
    {
        CSingleLock lock(m_pProcessLock, TRUE);
        result = m_pDevice->GetImageIntensity(m_buffers[BUF_PROCESSING], m_frameWidth,
                                              m_frameHeight, &r, intensity, ShownChannel(m_param));
    }
    // A region the device could not measure leaves the levels as they were.
    if (result != CAM_OK)
        return result;
    const int channel = ShownChannel(m_param);
    // The library devices answer one value, asked for the shown channel; a device that
    // gives the colours separately is read per channel.
    const bool colours = intensity[1] || intensity[2] || intensity[3];
    int low;
    if (channel < 3)
        low = colours ? static_cast<int>(intensity[1 + channel] + 0.5) : intensity[0];
    else if (m_bmih.biBitCount == 24 && colours)
        low = std::max(intensity[1], std::max(intensity[2], intensity[3]));
    else
        low = intensity[0];
    low = std::clamp(low, 0, 254);
    m_param.autoLevels[channel] = 0;
    m_param.levelsHigh[channel] = 255;
    m_param.levelsLow[channel] = low;
    m_pDevice->SetAutoLevelsState(0, channel);
    m_pDevice->SetLevelsValues(low, 255, channel);
    return result;
}

// --- histogram ----------------------------------------------------------------------------

int CCameraManager::DrawHistogramFram(CDC* dc, const RECT* rect)
{
    if (m_param.runState != RUN_LIVE || !dc || !rect)
        return CAM_OK;
    const int channel = ShownChannel(m_param);
    const double scale = (rect->right - rect->left - 1) * kColumnScale;
    const int lowX = rect->left + 1 + static_cast<int>(MarkerColumn(m_param.levelsLow[channel]) * scale);
    const int highX = rect->left + 1 + static_cast<int>(MarkerColumn(m_param.levelsHigh[channel]) * scale);

    CPen black, white;
    black.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    white.CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* old = dc->SelectObject(&black);
    dc->MoveTo(lowX, rect->top + 1);
    dc->LineTo(lowX, rect->bottom - 1);
    dc->SelectObject(&white);
    dc->MoveTo(highX, rect->top + 1);
    dc->LineTo(highX, rect->bottom - 1);
    dc->SelectObject(old);
    return CAM_OK;
}

int CCameraManager::DrawHistogramData(CDC* dc, const RECT* rect)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    int counts[256] = {0};
    m_pDevice->GetLevelsCounts(counts);
    if (!dc || !rect)
        return CAM_ERR_RANGE;
    const int height = std::clamp<int>(rect->bottom - rect->top, 0, kHistogramMaxHeight);
    if (m_param.runState != RUN_LIVE)
        return CAM_OK;

    INT64 total = 0;
    for (int c : counts)
        total += c;
    if (total < 64)
        return CAM_ERR_NO_DEVICE;
    const INT64 threshold = total / 64;

    CPen pen;
    pen.CreatePen(PS_SOLID, 1, kHistogramColor);
    CPen* old = dc->SelectObject(&pen);
    for (int i = 0; i < kHistogramColumns; ++i) {
        const INT64 c = counts[static_cast<int>(i * kColumnToBin)];
        int bar;
        if (c >= threshold)
            bar = height;
        else if (c <= 0)
            bar = 0;
        else
            bar = static_cast<int>(std::min<INT64>(c * height / threshold + 3, height));
        const int x = rect->left + 1 + i;
        dc->MoveTo(x, rect->bottom - 1);
        dc->LineTo(x, rect->bottom - 1 - bar);
    }
    dc->SelectObject(old);
    return CAM_OK;
}

// --- cross ---------------------------------------------------------------------------------

int CCameraManager::ShowCross(int on)
{
    m_showCross = on;
    return CAM_OK;
}

int CCameraManager::GetShowCross(int* on)
{
    if (!on)
        return CAM_ERR_RANGE;
    *on = m_showCross;
    return CAM_OK;
}

int CCameraManager::SetCrossColor(COLORREF color)
{
    m_crossColor = color;
    return CAM_OK;
}

int CCameraManager::GetCrossColor(COLORREF* color)
{
    if (!color)
        return CAM_ERR_RANGE;
    *color = m_crossColor;
    return CAM_OK;
}

// --- comparison image ------------------------------------------------------------------------

// The copy names the library's own lock (ComparisonParam::lock): a caller reading the
// pixels holds it, which keeps QrCSetComparisonImage from replacing them meanwhile.
int CCameraManager::GetComparisonParam(ComparisonParam* param)
{
    if (!param)
        return CAM_ERR_RANGE;
    CSingleLock lock(&m_comparisonLock, TRUE);
    *param = m_comparison;
    param->lock = &m_comparisonLock;
    return CAM_OK;
}

int CCameraManager::SetComparisonImage(const BYTE* pixels, int width, int height, int bytesPerPixel)
{
    if (!pixels)
        return CAM_ERR_NO_DEVICE;
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return CAM_ERR_RANGE;
    const UINT64 size = UINT64(width) * UINT64(height) * UINT64(bytesPerPixel);
    if (size > SIZE_MAX)
        return CAM_ERR_NO_MEMORY;
    CSingleLock lock(&m_comparisonLock, TRUE);
    const UINT64 capacity = UINT64(m_comparison.width) * m_comparison.height * m_comparison.bytesPerPixel;
    if (!m_comparison.image || capacity < size) {
        free(m_comparison.image);
        m_comparison.image = static_cast<BYTE*>(malloc(static_cast<size_t>(size)));
        if (!m_comparison.image) {
            m_comparison.width = m_comparison.height = 0;
            m_comparison.display = 0;
            return CAM_ERR_NO_MEMORY;
        }
        m_comparisonCapacity = size;
    }
    memcpy(m_comparison.image, pixels, static_cast<size_t>(size));
    m_comparison.width = width;
    m_comparison.height = height;
    m_comparison.bytesPerPixel = bytesPerPixel;
    m_comparison.display = 1;
    return CAM_OK;
}

int CCameraManager::SetTransparency(float transparency)
{
    CSingleLock lock(&m_comparisonLock, TRUE);
    m_comparison.transparency = transparency;
    return CAM_OK;
}

int CCameraManager::SetCmpImageDisplay(int on)
{
    CSingleLock lock(&m_comparisonLock, TRUE);
    if (!m_comparison.image)
        return CAM_ERR_NO_DEVICE;
    m_comparison.display = on;
    return CAM_OK;
}

// --- grid and cursor position ------------------------------------------------------------------

int CCameraManager::DrawXY(CDC* dc, const RECT* client, const POINT* cursor, int xOffset, int yOffset)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!dc || !client || !cursor)
        return CAM_ERR_RANGE;
    const int w = m_sourceRect.right - m_sourceRect.left;
    const int h = m_sourceRect.bottom - m_sourceRect.top;
    const int cw = client->right - client->left;
    const int ch = client->bottom - client->top;

    int x = w < cw ? cursor->x - (cw - w) / 2 : cursor->x;
    int y = h < ch ? cursor->y - (ch - h) / 2 : cursor->y;
    x += xOffset;
    y += yOffset;
    if (x >= 0 && x <= w && y >= 0 && y <= h) {
        m_lastCursor.x = x;
        m_lastCursor.y = y;
    }

    dc->SetTextColor(RGB(0, 0, 255));
    WCHAR text[48];
    wsprintfW(text, L"X:%d,Y:%d", static_cast<int>(m_lastCursor.x), static_cast<int>(m_lastCursor.y));
    dc->TextOut(6, ch - 20, text, lstrlenW(text));

    const int mx = std::max(0, (cw - w) / 2);
    const int my = std::max(0, (ch - h) / 2);
    for (int k = 1; k * kGridStep < w; ++k) {
        const int gx = mx + k * kGridStep - xOffset;
        dc->MoveTo(gx, my);
        dc->LineTo(gx, my + h - yOffset);
    }
    for (int k = 1; k * kGridStep < h; ++k) {
        const int gy = my + k * kGridStep - yOffset;
        dc->MoveTo(mx, gy);
        dc->LineTo(mx + w - xOffset, gy);
    }
    return CAM_OK;
}

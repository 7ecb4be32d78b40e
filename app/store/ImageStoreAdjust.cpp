// Display adjustments: requested and applied values, the pipeline the redraw thread
// runs, Apply and Default, histogram, levels preview and the levels tables.
#include "app/store/ImageStore.h"
#include "Bands.h"
#include "app/store/PixelKernels.h"
#include <algorithm>
#include <math.h>
#include <string.h>

namespace {

// Below this many pixel bytes a pass runs on the calling thread.
const size_t kBandThreshold = 1 << 20;
const int kMaxBands = 8;

struct TableBand {
    const BYTE* src;      // first row of the band (stored order)
    BYTE* dst;
    size_t stride;
    size_t rowBytes;
    int rows;
    const BYTE* table;
};

void MapBand(void* param, int band)
{
    const TableBand& b = static_cast<const TableBand*>(param)[band];
    orv_kernels::MapRows(b.src, b.dst, b.stride, b.rowBytes, b.rows, b.table);
}

// Maps every sample of src through table into dst (same size and layout), in row bands
// on Win32 threads for large pictures.
void MapSamples(const BYTE* src, BYTE* dst, size_t stride, size_t rowBytes, int height, const BYTE* table)
{
    const int bands = stride * height >= kBandThreshold ? orvbands::BandCount(height, 1) : 1;
    TableBand band[kMaxBands];
    const int per = (height + bands - 1) / bands;
    int count = 0;
    for (; count < bands && count * per < height; ++count) {
        const int first = count * per;
        const int rows = first + per <= height ? per : height - first;
        band[count] = {src + stride * first, dst + stride * first, stride, rowBytes, rows, table};
    }
    orvbands::RunBands(count, MapBand, band);
}

bool SamplesAreTabled(const CxImage& image)
{
    return image.GetBpp() == 24 || image.IsGrayScale();
}

size_t RowBytes(const CxImage& image)
{
    return image.GetBpp() == 24 ? (size_t)image.GetWidth() * 3 : (size_t)image.GetWidth();
}

// dst := table applied to src: samples of 24-bit and grey pictures, the palette of the
// others. dst must be a copy of src's size and depth (contents are overwritten).
void ApplyTableFrom(const CxImage& src, CxImage& dst, const BYTE table[256])
{
    if (SamplesAreTabled(src)) {
        if (orv_kernels::IsIdentity(table)) {
            if (&src != &dst)
                memcpy(dst.GetBits(), src.GetBits(), src.GetSize());
            return;
        }
        MapSamples(src.GetBits(), dst.GetBits(), src.GetEffWidth(), RowBytes(src), (int)src.GetHeight(),
                   table);
    } else {
        if (&src != &dst)
            memcpy(dst.GetBits(), src.GetBits(), src.GetSize());
        dst.Pixels().palette = src.Pixels().palette;
        dst.Pixels().ApplyTable(table);
    }
}

void Compose(BYTE table[256], const BYTE step[256])
{
    for (int i = 0; i < 256; ++i)
        table[i] = step[table[i]];
}

bool SameLayout(const CxImage& a, const CxImage& b)
{
    return a.IsValid() && b.IsValid() && a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           a.GetBpp() == b.GetBpp();
}

}  // namespace

void BuildLevelsTable(int b, int w, BYTE table[256])
{
    b = b < 0 ? 0 : (b >= 253 ? 253 : b);
    w = w < 2 ? 2 : (w < 255 ? w : 255);
    for (int i = 0; i < 256; ++i) {
        if (i >= w)
            table[i] = 255;
        else if (i <= b)
            table[i] = 0;
        else
            table[i] = (BYTE)floor((double)(i - b) / (double)(w - b) * 255.0 + 0.5);
    }
}

namespace {

int ApplyTableToRows(const BYTE* const tables[3], int bytesPerPixel, BYTE* pixels, int width, int height)
{
    if (pixels == NULL)
        return 0;
    const size_t stride = (((size_t)width * bytesPerPixel * 8 + 31) / 32) * 4;
    for (int y = 0; y < height; ++y) {
        BYTE* p = pixels + stride * y;
        for (int x = 0; x < width * bytesPerPixel; ++x)
            p[x] = tables[x % bytesPerPixel][p[x]];
    }
    return 1;
}

}  // namespace

int ApplyLevelsTable24(int b, int w, BYTE* pixels, int width, int height)
{
    BYTE t[256];
    BuildLevelsTable(b, w, t);
    const BYTE* tables[3] = {t, t, t};
    return ApplyTableToRows(tables, 3, pixels, width, height);
}

int ApplyLevelsTable8(int b, int w, BYTE* pixels, int width, int height)
{
    BYTE t[256];
    BuildLevelsTable(b, w, t);
    const BYTE* tables[3] = {t, t, t};
    return ApplyTableToRows(tables, 1, pixels, width, height);
}

int ApplyLevelsTableRgb(int b0, int b1, int b2, int w0, int w1, int w2, BYTE* pixels, int width,
                        int height)
{
    BYTE t0[256], t1[256], t2[256];
    BuildLevelsTable(b0, w0, t0);
    BuildLevelsTable(b1, w1, t1);
    BuildLevelsTable(b2, w2, t2);
    const BYTE* tables[3] = {t0, t1, t2};
    return ApplyTableToRows(tables, 3, pixels, width, height);
}

bool ImageToRgb24(const CxImage& image, std::vector<BYTE>& out)
{
    if (!image.IsValid())
        return false;
    const int w = (int)image.GetWidth(), h = (int)image.GetHeight();
    out.resize((size_t)w * h * 3);
    const orv_img::PixelImage& p = image.Pixels();
    for (int y = 0; y < h; ++y) {
        BYTE* d = out.data() + (size_t)y * w * 3;
        for (int x = 0; x < w; ++x) {
            // Palette pictures by their colours, never their indices.
            const orv_img::PaletteEntry c = p.GetColor(x, y);
            d[3 * x] = c.b;
            d[3 * x + 1] = c.g;
            d[3 * x + 2] = c.r;
        }
    }
    return true;
}

int AutoStretchGrey(CxImage* image)
{
    if (image == NULL || !image->IsValid())
        return 0;
    if (!image->IsGrayScale())
        return 1;
    int counts[256] = {0};
    const int w = (int)image->GetWidth(), h = (int)image->GetHeight();
    for (int y = 0; y < h; ++y) {
        const BYTE* row = image->GetBits(y);
        for (int x = 0; x < w; ++x)
            ++counts[row[x]];
    }
    int lo = 0, hi = 255;
    while (lo < 255 && counts[lo] == 0)
        ++lo;
    while (hi > 0 && counts[hi] == 0)
        --hi;
    if (lo == 255 && counts[255] == 0) {
        lo = 0;
        hi = 255;
    }
    if (hi <= lo + 1) {
        hi = hi + 1 > 255 ? 255 : hi + 1;
        lo = lo - 1 < 0 ? 0 : lo - 1;
    }
    ApplyLevelsTable8(lo, hi, image->GetBits(), w, h);
    return 1;
}

void CImageStore::SetBrightness(int value)
{
    if (m_pCurrent == NULL)
        return;
    m_saved = 0;
    m_brightnessReq = value;
}

void CImageStore::SetGamma(int value)
{
    if (m_pCurrent == NULL)
        return;
    m_saved = 0;
    m_gammaReq = value;
}

void CImageStore::SetContrast(int value)
{
    if (m_pCurrent == NULL)
        return;
    m_saved = 0;
    m_contrastReq = value;
}

void CImageStore::SetSaturation(int value)
{
    if (m_pCurrent == NULL)
        return;
    m_saved = 0;
    m_saturationReq = value;
}

void CImageStore::SetSharpen(int value)
{
    if (m_pCurrent == NULL)
        return;
    m_saved = 0;
    m_sharpenReq = value;
}

void CImageStore::SetLevels(int black, int white)
{
    m_blackReq = (WORD)black;
    m_whiteReq = (WORD)white;
    m_saved = 0;
}

void CImageStore::GetLevels(WORD& black, WORD& white) const
{
    black = (WORD)m_blackReq;
    white = (WORD)m_whiteReq;
}

void CImageStore::GetSuggestedLevels(int& black, int& white) const
{
    black = m_suggestedBlack;
    white = m_suggestedWhite;
}

int CImageStore::RunAdjustments()
{
    if (m_pCurrent == NULL)
        return 0;
    CSingleLock lock(&m_lock, TRUE);
    return RunPipelineLocked();
}

int CImageStore::RunPipelineLocked()
{
    // The store's lock is held by the caller.
    if (m_pCurrent == NULL || m_pBase == NULL || !m_pBase->IsValid())
        return 0;
    // Requests are plain words the GUI thread may change at any time: take each once.
    const int brightness = m_brightnessReq, contrast = m_contrastReq, gamma = m_gammaReq;
    const int saturation = m_saturationReq, sharpen = m_sharpenReq;
    const int black = m_blackReq, white = m_whiteReq;

    // Brightness, contrast and gamma are per-sample tables: composed into one.
    BYTE before[256], step[256];
    for (int i = 0; i < 256; ++i)
        before[i] = (BYTE)i;
    if (brightness != 0 || m_brightness != 0) {
        m_brightness = brightness;
        orv_img::PixelImage::LightTable(brightness, 0, step);
        Compose(before, step);
    }
    if (contrast != 0 || m_contrast != 0) {
        m_contrast = contrast;
        orv_img::PixelImage::LightTable(0, contrast, step);
        Compose(before, step);
    }
    if (gamma != 100 || m_gamma != 100) {
        m_gamma = gamma;
        if (gamma != 100) {
            orv_img::PixelImage::GammaTable((float)gamma * 0.01f, step);
            Compose(before, step);
        }
    }
    const bool saturate = saturation != 0 || m_saturation != 0;
    const bool sharp = sharpen != 0 || m_sharpen != 0;
    BYTE after[256];
    for (int i = 0; i < 256; ++i)
        after[i] = (BYTE)i;
    if (black != 0 || m_black != 0 || white != 255 || m_white != 255) {
        m_black = black;
        m_white = white;
        BuildLevelsTable(black, white, after);
    }
    if (!saturate && !sharp)
        Compose(before, after);

    // The current picture is rebuilt from the base; with a matching layout the first
    // table is the copy. The user's selection on it stays.
    const bool hadSelection = m_pCurrent->SelectionIsValid();
    RECT selection = {0, 0, 0, 0};
    if (hadSelection)
        m_pCurrent->SelectionGetBox(selection);
    if (!SameLayout(*m_pCurrent, *m_pBase)) {
        m_pCurrent->Copy(*m_pBase);
        if (!m_pCurrent->IsValid())
            return 0;
    }
    ApplyTableFrom(*m_pBase, *m_pCurrent, before);
    orv_img::PixelImage& cur = m_pCurrent->Pixels();
    if (m_pBase->AlphaIsValid()) {
        if (cur.CreateAlpha())
            memcpy(cur.Alpha(), m_pBase->Pixels().Alpha(), (size_t)cur.Width() * cur.Height());
    } else {
        cur.DeleteAlpha();
    }
    cur.SelectionClear();
    if (hadSelection)
        m_pCurrent->SelectionAddRect(selection);
    if (saturate) {
        m_saturation = saturation;
        m_pCurrent->Saturate(saturation, 1);
    }
    if (sharp) {
        m_sharpen = sharpen;
        Sharpen();
    }
    if (saturate || sharp)
        ApplyTableFrom(*m_pCurrent, *m_pCurrent, after);
    return 1;
}

void CImageStore::ResetAdjustments()
{
    m_blackReq = m_black = 0;
    m_whiteReq = m_white = 255;
    m_brightnessReq = m_brightness = 0;
    m_gammaReq = m_gamma = 100;
    m_contrastReq = m_contrast = 0;
    m_saturationReq = m_saturation = 0;
    m_sharpenReq = m_sharpen = 0;
}

void CImageStore::ApplyAdjustments()
{
    if (m_pCurrent == NULL)
        return;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent == NULL || m_pBase == NULL)
            return;
        m_pBase->Copy(*m_pCurrent);
        m_committed.Copy(*m_pCurrent);
    }
    ResetAdjustments();
}

void CImageStore::RevertAdjustments()
{
    if (m_pCurrent == NULL)
        return;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent == NULL || m_pBase == NULL)
            return;
        m_pCurrent->Copy(m_committed);
        m_pBase->Copy(m_committed);
    }
    ResetAdjustments();
}

void CImageStore::ComputeHistogram()
{
    memset(m_histogram, 0, sizeof m_histogram);
    std::vector<BYTE> rgb;
    int w = 0, h = 0;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pBase == NULL || !ImageToRgb24(*m_pBase, rgb))
            return;
        w = (int)m_pBase->GetWidth();
        h = (int)m_pBase->GetHeight();
    }
    for (BYTE v : rgb)
        ++m_histogram[v];
    for (int& c : m_histogram)
        c /= 3;
    const int threshold = (int)(w * (double)h * 0.0001);
    m_suggestedBlack = 0;
    for (int i = 0; i < 256; ++i)
        if (m_histogram[i] >= threshold) {
            m_suggestedBlack = i;
            break;
        }
    m_suggestedWhite = 255;
    for (int i = 255; i >= 0; --i)
        if (m_histogram[i] >= threshold) {
            m_suggestedWhite = i;
            break;
        }
}

int CImageStore::ApplyLevels(int black, int white)
{
    if (m_pCurrent == NULL)
        return 0;
    m_blackReq = (WORD)black;
    m_whiteReq = (WORD)white;
    // The whole pipeline, so the other adjustments stay in the preview.
    CSingleLock lock(&m_lock, TRUE);
    return RunPipelineLocked();
}

int CImageStore::ApplyAutoLevels()
{
    return ApplyLevels(m_suggestedBlack, m_suggestedWhite);
}

void CImageStore::DrawHistogram(CDC* dc, const CRect& rect)
{
    if (m_pCurrent == NULL || dc == NULL)
        return;
    CPen pen(PS_SOLID, 1, 0xDE0000);
    CPen* old = dc->SelectObject(&pen);
    const int limit = rect.Height() < 120 ? rect.Height() : 120;
    long long sum = 0;
    for (int c : m_histogram)
        sum += c;
    // Fewer than 256 pixels would make the cap 0.
    const long long cap = (sum / 256) * 4 > 0 ? (sum / 256) * 4 : 1;
    const double scale = (double)limit / (double)cap;
    const int left = rect.left + 1, bottom = rect.bottom - 1;
    for (int i = 0; i < 256; ++i) {
        const int height = m_histogram[i] >= cap ? limit : (int)(m_histogram[i] * scale);
        dc->MoveTo(left + i, bottom);
        dc->LineTo(left + i, bottom - height);
    }
    dc->SelectObject(old);
}

void CImageStore::DrawLevelMarkers(CDC* dc, const CRect& rect)
{
    if (m_pCurrent == NULL || dc == NULL)
        return;
    const int x0 = rect.left + 1;
    const double s = (rect.right - x0) / 256.0;
    CPen black(PS_SOLID, 1, RGB(0, 0, 0)), white(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* old = dc->SelectObject(&black);
    const int xb = x0 + (int)(m_blackReq * s), xw = x0 + (int)(m_whiteReq * s);
    dc->MoveTo(xb, rect.top + 1);
    dc->LineTo(xb, rect.bottom - 1);
    dc->SelectObject(&white);
    dc->MoveTo(xw, rect.top + 1);
    dc->LineTo(xw, rect.bottom - 1);
    dc->SelectObject(old);
}

// Pixel operations on a store's picture or on files: the sharpen step of the
// adjustment pipeline, dye colouring of a channel, the shift by a pixel offset and the
// HDR merge of three files. Depths are the pictures' own (palette pictures by their
// colours), never guessed from buffer lengths.
#include "app/store/ImageStore.h"
#include <algorithm>
#include "app/store/HdrMerge.h"
#include "Bands.h"
#include "app/store/PixelKernels.h"
#include <math.h>
#include <string>

namespace {

const int kTaps = 5;   // each side of the centre
const int kMaxBands = 8;

// A picture the operations can walk sample by sample: 8-bit grey or 24-bit.
bool MakeWorkable(CxImage& image)
{
    if (image.IsGrayScale() || image.GetBpp() == 24)
        return true;
    return image.IncreaseBpp(24);
}

struct SharpenBandJob {
    const orv_kernels::SharpenPlan* plan;
    int first, last;
    const uint8_t* halo[10];
    std::vector<uint8_t> scratch;
};

void SharpenBandOf(void* param, int band)
{
    SharpenBandJob& j = static_cast<SharpenBandJob*>(param)[band];
    orv_kernels::SharpenBand(*j.plan, j.first, j.last, j.halo, j.scratch.data());
}

// Sharpens in place, in row bands on Win32 threads. The rows a band reads from its
// neighbours are blurred before any band starts writing.
void RunSharpenBands(const orv_kernels::SharpenPlan& plan)
{
    const int height = plan.height;
    const int bands = height < 64 ? 1 : orvbands::BandCount(height, 1);
    const size_t rowBytes = (size_t)plan.width * plan.channels;
    std::vector<uint8_t> halos((size_t)bands * 10 * rowBytes);
    SharpenBandJob jobs[kMaxBands];
    const int per = (height + bands - 1) / bands;
    int count = 0;
    for (int i = 0; i < bands && i * per < height; ++i, ++count) {
        SharpenBandJob& j = jobs[i];
        j.plan = &plan;
        j.first = i * per;
        j.last = std::min(height, (i + 1) * per) - 1;
        j.scratch.resize(orv_kernels::SharpenScratchBytes(plan));
        for (int k = 0; k < 10; ++k) {
            const int row = k < kTaps ? j.first - kTaps + k : j.last + 1 + (k - kTaps);
            uint8_t* out = halos.data() + ((size_t)i * 10 + k) * rowBytes;
            j.halo[k] = NULL;
            if (row >= 0 && row < height) {
                orv_kernels::SharpenBlurRow(plan, row, out);
                j.halo[k] = out;
            }
        }
    }
    orvbands::RunBands(count, SharpenBandOf, jobs);
}

void Range(const BYTE* values, size_t count, size_t step, int& lo, int& hi)
{
    int counts[256] = {0};
    for (size_t i = 0; i < count; ++i)
        ++counts[values[i * step]];
    lo = 0;
    while (lo < 256 && counts[lo] == 0)
        ++lo;
    hi = 255;
    while (hi >= 0 && counts[hi] == 0)
        --hi;
    if (lo > 255) {
        lo = 0;
        hi = 255;
    }
    if (hi <= lo + 1) {
        hi = hi + 1 > 255 ? 255 : hi + 1;
        lo = lo - 1 < 0 ? 0 : lo - 1;
    }
}

}  // namespace

int CImageStore::Sharpen()
{
    // Runs inside the adjustment pass, which holds this store's lock.
    if (m_pCurrent == NULL)
        return 0;
    const float s = (float)m_sharpenReq * 0.1f;
    if (s == 0.0f)
        return 1;
    if (!MakeWorkable(*m_pCurrent))
        return 0;
    const double a = 1.0 / (s * s + s * s);
    const double c = sqrt(a * 0.31830987732601135);
    int taps[2 * kTaps + 1];
    int sum = 0;
    for (int k = -kTaps; k <= kTaps; ++k) {
        taps[k + kTaps] = (int)(exp(-k * k * a) * c * 1000.0);
        sum += taps[k + kTaps];
    }
    // Dividing by the taps' own sum keeps a flat picture flat at every strength.
    if (sum <= 0)
        return 1;
    orv_kernels::SharpenPlan plan;
    plan.bits = m_pCurrent->GetBits();
    plan.stride = m_pCurrent->GetEffWidth();
    plan.width = (int)m_pCurrent->GetWidth();
    plan.height = (int)m_pCurrent->GetHeight();
    plan.channels = m_pCurrent->GetBpp() == 24 ? 3 : 1;
    memcpy(plan.taps, taps, sizeof plan.taps);
    plan.sum = sum;
    plan.s = s;
    RunSharpenBands(plan);
    return 1;
}

int CImageStore::ApplyChannelColor(const ChannelColorRequest& request, CImageStore* target, int dominantGrey)
{
    if (target == NULL || request.colours.empty())
        return 0;
    CxImage work;
    {
        CSingleLock lock(&target->m_lock, TRUE);
        if (target->m_pCurrent == NULL)
            return 0;
        work.Copy(*target->m_pCurrent, true, false, false);
    }
    if (!work.IsValid() || !MakeWorkable(work))
        return 0;
    const DyeRecord& dye = request.colours[0];
    const int w = (int)work.GetWidth(), h = (int)work.GetHeight();
    const bool grey = work.GetBpp() == 8;
    const int c = grey ? 1 : 3;
    if (request.optimize) {
        // Contiguous copy of the samples to find each channel's range.
        std::vector<BYTE> samples((size_t)w * h * c);
        for (int y = 0; y < h; ++y)
            memcpy(samples.data() + (size_t)y * w * c, work.GetBits(y), (size_t)w * c);
        int lo[3], hi[3];
        for (int k = 0; k < c; ++k)
            Range(samples.data() + k, (size_t)w * h, c, lo[k], hi[k]);
        if (!grey) {
            // A full dye channel raises every low end, its own byte's least; the dye's red,
            // green and blue pair with bytes 0, 1 and 2 in that order, whatever their colour.
            const int full[3] = {dye.R, dye.G, dye.B};
            for (int k = 0; k < 3; ++k)
                if (full[k] == 255)
                    for (int j = 0; j < 3; ++j)
                        lo[j] += j == k ? 2 : 3;
            for (int j = 0; j < 3; ++j)
                if (lo[j] > hi[j] - 1)
                    lo[j] = hi[j] - 1;
        }
        BYTE tables[3][256];
        for (int k = 0; k < c; ++k)
            BuildLevelsTable(lo[k], hi[k], tables[k]);
        for (int y = 0; y < h; ++y) {
            BYTE* p = work.GetBits(y);
            for (int i = 0; i < w * c; ++i)
                p[i] = tables[i % c][p[i]];
        }
    }
    int pick = -1;
    if (!grey && dominantGrey) {
        unsigned long long sums[3] = {0, 0, 0};
        for (int y = 0; y < h; ++y) {
            const BYTE* p = work.GetBits(y);
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < 3; ++k)
                    sums[k] += p[3 * x + k];
        }
        pick = 0;
        for (int k = 1; k < 3; ++k)
            if (sums[k] >= sums[pick])
                pick = k;
    }
    CxImage* coloured = new (std::nothrow) CxImage;
    if (coloured == NULL || !coloured->Create(w, h, 24, CXIMAGE_FORMAT_BMP)) {
        delete coloured;
        return 0;
    }
    const int gains[3] = {dye.B, dye.G, dye.R};
    for (int y = 0; y < h; ++y) {
        const BYTE* p = work.GetBits(y);
        BYTE* d = coloured->GetBits(y);
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) {
                const int v = grey ? p[x] : (pick >= 0 ? p[3 * x + pick] : p[3 * x + k]);
                d[3 * x + k] = (BYTE)(v * gains[k] / 255);
            }
    }
    coloured->SetType(work.GetType());
    CxImage* old;
    {
        CSingleLock lock(&target->m_lock, TRUE);
        old = target->m_pCurrent;
        target->m_pCurrent = coloured;
    }
    delete old;
    return 1;
}

int CImageStore::ShiftImage(CImageStore* target, int dx, int dy)
{
    if (target == NULL)
        return 0;
    CSingleLock lock(&target->m_lock, TRUE);
    CxImage* image = target->m_pCurrent;
    if (image == NULL)
        return 0;
    CxImage work(*image);
    // Indexed pictures narrower than a byte a pixel move as 8-bit indices.
    if (work.GetBpp() < 8 && !work.IncreaseBpp(8))
        return 0;
    if (!work.IsValid())
        return 0;
    const int b = work.GetBpp() / 8;
    const int h = (int)work.GetHeight();
    const long stride = (long)work.GetEffWidth();
    const long shift = (long)(dx < 0 ? -dx : dx) * b;
    if (shift > stride || (dy < 0 ? -dy : dy) > h)
        return 0;
    for (int y = 0; y < h; ++y) {
        BYTE* row = work.GetBits(y);
        if (dx > 0) {
            memmove(row + shift, row, stride - shift);
            memset(row, 0, shift);
        } else if (dx < 0) {
            memmove(row, row + shift, stride - shift);
            memset(row + stride - shift, 0, shift);
        }
    }
    // Rows are stored bottom-up: a positive dy moves the picture up.
    if (dy > 0) {
        for (int i = h - 1; i >= dy; --i)
            memcpy(work.GetBits(i), work.GetBits(i - dy), stride);
        for (int i = 0; i < dy && i < h; ++i)
            memset(work.GetBits(i), 0, stride);
    } else if (dy < 0) {
        const int n = -dy;
        for (int i = 0; i + n < h; ++i)
            memcpy(work.GetBits(i), work.GetBits(i + n), stride);
        for (int i = h - n; i < h; ++i)
            if (i >= 0)
                memset(work.GetBits(i), 0, stride);
    }
    image->Transfer(work);
    return 1;
}

int CImageStore::MergeImageFiles(const HdrMergeRequest& request)
{
    if (request.inputs.size() < 3 || request.output.IsEmpty())
        return 0;
    CxImage images[3];
    hdr_merge::Picture inputs[3];
    for (int i = 0; i < 3; ++i) {
        if (!images[i].LoadAsColour(request.inputs[i]))
            return 0;
        // Rows run bottom-up in all three alike: the merge is per pixel.
        inputs[i] = {images[i].GetBits(0), int(images[i].GetWidth()), int(images[i].GetHeight()),
                     int(images[i].GetEffWidth())};
    }
    // The first input's picture becomes the result.
    if (hdr_merge::MergeThree(inputs, inputs[0]) != hdr_merge::MERGE_OK)
        return 0;
    return images[0].SaveByName(request.output) ? 1 : 0;
}

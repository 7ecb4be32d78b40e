#include "app/store/PixelKernels.h"

#include <string.h>

#include <algorithm>

namespace orv_kernels {

void MapRows(const uint8_t* src, uint8_t* dst, size_t stride, size_t rowBytes, int rows,
             const uint8_t table[256])
{
    for (int y = 0; y < rows; ++y) {
        const uint8_t* s = src + stride * (size_t)y;
        uint8_t* d = dst + stride * (size_t)y;
        size_t i = 0;
        // Eight samples per load and store: the lookups overlap instead of queueing
        // behind byte-sized memory traffic.
        for (; i + 8 <= rowBytes; i += 8) {
            uint64_t v;
            memcpy(&v, s + i, 8);
            const uint64_t o = (uint64_t)table[v & 255] | (uint64_t)table[(v >> 8) & 255] << 8 |
                               (uint64_t)table[(v >> 16) & 255] << 16 |
                               (uint64_t)table[(v >> 24) & 255] << 24 |
                               (uint64_t)table[(v >> 32) & 255] << 32 |
                               (uint64_t)table[(v >> 40) & 255] << 40 |
                               (uint64_t)table[(v >> 48) & 255] << 48 | (uint64_t)table[v >> 56] << 56;
            memcpy(d + i, &o, 8);
        }
        for (; i < rowBytes; ++i)
            d[i] = table[s[i]];
    }
}

bool IsIdentity(const uint8_t table[256])
{
    for (int i = 0; i < 256; ++i)
        if (table[i] != i)
            return false;
    return true;
}

namespace {

const int kTaps = 5;   // each side of the centre

inline int Reflect(int i, int n)
{
    if (i < 0)
        i = -i - 1;
    if (i >= n)
        i = 2 * n - i - 1;
    // Pictures narrower than the kernel: the edge pixel repeats.
    return i < 0 ? 0 : (i >= n ? n - 1 : i);
}

// Sums stay below 2^24 (taps' sum ≤ 65535, samples ≤ 255), so they are exact in float and
// the truncating division by the sum is the float quotient corrected by one step.
inline int DivideSum(float acc, float sum, float inverse)
{
    const int q = (int)(acc * inverse);
    const float r = acc - (float)q * sum;
    return q + (r >= sum) - (r < 0.0f);
}

inline int Clamp255(int v) { return std::min(255, std::max(0, v)); }

// The slow, plainly exact form, for taps whose sum leaves float's exact range.
inline int DivideExact(int acc, int sum) { return acc / sum; }

// The fast loops pair mirrored taps and count on float-exact sums.
bool FloatExact(const SharpenPlan& p)
{
    for (int k = 1; k <= kTaps; ++k)
        if (p.taps[kTaps - k] != p.taps[kTaps + k] || p.taps[kTaps + k] < 0)
            return false;
    return p.sum > 0 && p.sum <= 65535 && p.taps[kTaps] >= 0;
}

// Built for AVX2 as well and chosen at load time: twice the lanes, and the same IEEE
// single-precision steps (no fused multiply-add), so the same results.
#define ORV_WIDE_KERNEL __attribute__((target_clones("avx2", "default")))

template <int C>
ORV_WIDE_KERNEL void BlurRowT(const SharpenPlan& plan, const uint8_t* p, uint8_t* out)
{
    const int w = plan.width;
    const int* taps = plan.taps;
    if (!FloatExact(plan) || w < 2 * kTaps + 1) {
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < C; ++k) {
                int acc = 0;
                for (int t = -kTaps; t <= kTaps; ++t)
                    acc += taps[t + kTaps] * p[Reflect(x + t, w) * C + k];
                out[x * C + k] = (uint8_t)DivideExact(acc, plan.sum);
            }
        return;
    }
    const float sum = (float)plan.sum, inverse = 1.0f / sum;
    auto edge = [&](int x) {
        for (int k = 0; k < C; ++k) {
            int acc = 0;
            for (int t = -kTaps; t <= kTaps; ++t)
                acc += taps[t + kTaps] * p[Reflect(x + t, w) * C + k];
            out[x * C + k] = (uint8_t)(acc / plan.sum);
        }
    };
    for (int x = 0; x < kTaps; ++x)
        edge(x);
    const float t0 = (float)taps[5], t1 = (float)taps[6], t2 = (float)taps[7], t3 = (float)taps[8],
                t4 = (float)taps[9], t5 = (float)taps[10];
    const int end = (w - kTaps) * C;
    for (int i = kTaps * C; i < end; ++i) {
        const float acc = t0 * (float)p[i] + t1 * (float)(p[i - C] + p[i + C]) +
                          t2 * (float)(p[i - 2 * C] + p[i + 2 * C]) +
                          t3 * (float)(p[i - 3 * C] + p[i + 3 * C]) +
                          t4 * (float)(p[i - 4 * C] + p[i + 4 * C]) +
                          t5 * (float)(p[i - 5 * C] + p[i + 5 * C]);
        out[i] = (uint8_t)DivideSum(acc, sum, inverse);
    }
    for (int x = w - kTaps; x < w; ++x)
        edge(x);
}

// One output row: blur from the eleven horizontally blurred rows r, then the mask.
ORV_WIDE_KERNEL void CombineRow(const SharpenPlan& plan, const uint8_t* const r[11], uint8_t* row, uint8_t* blur,
                float* sums)
{
    const int n = plan.width * plan.channels;
    const float s = plan.s;
    if (!FloatExact(plan)) {
        for (int i = 0; i < n; ++i) {
            int acc = 0;
            for (int t = 0; t <= 2 * kTaps; ++t)
                acc += plan.taps[t] * r[t][i];
            int b = DivideExact(acc, plan.sum);
            b = b < 0 ? 0 : (b > 255 ? 255 : b);
            const int d = row[i] - b;
            const int v = (int)(d * s + row[i]);
            row[i] = (uint8_t)(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
        return;
    }
    const float sum = (float)plan.sum, inverse = 1.0f / sum;
    const float pair[6] = {(float)plan.taps[5], (float)plan.taps[6], (float)plan.taps[7],
                           (float)plan.taps[8], (float)plan.taps[9], (float)plan.taps[10]};
    // Tap pair by tap pair over a float row: each loop reads two rows, which the
    // vectoriser handles where one loop over all eleven defeats it.
    float* __restrict acc = sums;
    {
        const uint8_t* __restrict c = r[5];
        for (int i = 0; i < n; ++i)
            acc[i] = pair[0] * (float)c[i];
    }
    for (int k = 1; k <= 5; ++k) {
        const uint8_t* __restrict a = r[5 - k];
        const uint8_t* __restrict b = r[5 + k];
        const float t = pair[k];
        if (t == 0.0f)
            continue;
        for (int i = 0; i < n; ++i)
            acc[i] += t * (float)(a[i] + b[i]);
    }
    uint8_t* __restrict out = blur;   // its own scratch row
    for (int i = 0; i < n; ++i)
        out[i] = (uint8_t)DivideSum(acc[i], sum, inverse);   // within 0..255: acc <= 255 x sum
    for (int i = 0; i < n; ++i) {
        const int pv = row[i];
        const float d = (float)(pv - blur[i]);
        // The same float expression as (int)(d * s + in): identical results.
        row[i] = (uint8_t)Clamp255((int)(d * s + (float)pv));
    }
}

// Scratch: 16 ring rows, the blur row, then the float sums on a 16-byte boundary.
size_t SumsOffset(size_t n) { return (17 * n + 15) & ~(size_t)15; }

}  // namespace

void SharpenBlurRow(const SharpenPlan& plan, int y, uint8_t* out)
{
    const uint8_t* p = plan.bits + plan.stride * (size_t)y;
    if (plan.channels == 3)
        BlurRowT<3>(plan, p, out);
    else
        BlurRowT<1>(plan, p, out);
}

size_t SharpenScratchBytes(const SharpenPlan& plan)
{
    const size_t n = (size_t)plan.width * plan.channels;
    return SumsOffset(n) + sizeof(float) * n;
}

void SharpenBand(const SharpenPlan& plan, int first, int last, const uint8_t* const halo[10],
                 uint8_t* scratch)
{
    // Rows the output row y needs lie within y ± 5 (reflection included), so a ring of 16
    // blurred rows suffices; row y+5 is blurred before row y is overwritten. Then come the
    // full blur of the row being written and its float sums.
    const size_t n = (size_t)plan.width * plan.channels;
    auto blurred = [&](int row) -> const uint8_t* {
        if (row < first)
            return halo[row - (first - kTaps)];
        if (row > last)
            return halo[kTaps + row - (last + 1)];
        return scratch + (size_t)(row & 15) * n;
    };
    int next = first;
    for (int y = first; y <= last; ++y) {
        const int need = y + kTaps < last ? y + kTaps : last;
        for (; next <= need; ++next)
            SharpenBlurRow(plan, next, scratch + (size_t)(next & 15) * n);
        const uint8_t* rows[2 * kTaps + 1];
        for (int t = -kTaps; t <= kTaps; ++t)
            rows[t + kTaps] = blurred(Reflect(y + t, plan.height));
        CombineRow(plan, rows, plan.bits + plan.stride * (size_t)y, scratch + 16 * n,
                   reinterpret_cast<float*>(scratch + SumsOffset(n)));
    }
}

}  // namespace orv_kernels

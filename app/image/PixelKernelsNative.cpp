#include "app/image/PixelKernels.h"

#include <string.h>

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
inline float DivideSum(float acc, float sum, float inverse)
{
    float q = (float)(int)(acc * inverse);
    const float r = acc - q * sum;
    q += r >= sum ? 1.0f : 0.0f;
    q -= r < 0.0f ? 1.0f : 0.0f;
    return q;
}

// The slow, plainly exact form, for taps whose sum leaves float's exact range.
inline int DivideExact(int acc, int sum) { return acc / sum; }

bool FloatExact(const SharpenPlan& p) { return p.sum > 0 && p.sum <= 65535; }

template <int C>
void BlurRowT(const SharpenPlan& plan, const uint8_t* p, uint8_t* out)
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
        out[i] = (uint8_t)(int)DivideSum(acc, sum, inverse);
    }
    for (int x = w - kTaps; x < w; ++x)
        edge(x);
}

// One output row: blur from the eleven horizontally blurred rows r, then the mask.
void CombineRow(const SharpenPlan& plan, const uint8_t* const r[11], uint8_t* row)
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
    const float t0 = (float)plan.taps[5], t1 = (float)plan.taps[6], t2 = (float)plan.taps[7],
                t3 = (float)plan.taps[8], t4 = (float)plan.taps[9], t5 = (float)plan.taps[10];
    const uint8_t *r0 = r[5], *a1 = r[4], *b1 = r[6], *a2 = r[3], *b2 = r[7], *a3 = r[2], *b3 = r[8],
                  *a4 = r[1], *b4 = r[9], *a5 = r[0], *b5 = r[10];
    for (int i = 0; i < n; ++i) {
        const float acc = t0 * (float)r0[i] + t1 * (float)(a1[i] + b1[i]) + t2 * (float)(a2[i] + b2[i]) +
                          t3 * (float)(a3[i] + b3[i]) + t4 * (float)(a4[i] + b4[i]) +
                          t5 * (float)(a5[i] + b5[i]);
        int b = (int)DivideSum(acc, sum, inverse);
        b = b < 0 ? 0 : (b > 255 ? 255 : b);
        const int pv = row[i];
        const int d = pv - b;
        // The same float expression as (int)(d * s + in): identical results.
        const int v = (int)((float)d * s + (float)pv);
        row[i] = (uint8_t)(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

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
    return (size_t)16 * plan.width * plan.channels;
}

void SharpenBand(const SharpenPlan& plan, int first, int last, const uint8_t* const halo[10],
                 uint8_t* scratch)
{
    // Rows the output row y needs lie within y ± 5 (reflection included), so a ring of 16
    // blurred rows suffices; row y+5 is blurred before row y is overwritten.
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
        CombineRow(plan, rows, plan.bits + plan.stride * (size_t)y);
    }
}

}  // namespace orv_kernels

// Row bands of pixel work run at once on threads the system knows, kept between
// calls. The header is plain (no Win32), so native OpenCV files can split their work;
// the threads are made on the Win32 side, since a thread that was not made there must
// not meet Win32 or OpenCV's own pool (which Wine kills at exit).
#pragma once

namespace orvbands {

using BandBody = void (*)(void* context, int band);

// Calls body(context, band) for every band in 0..count-1, all at once, band 0 on the
// caller's thread; returns when all have ended.
void RunBands(int count, BandBody body, void* context);

// How many bands suit `rows` rows when a band should hold at least minRows of them:
// at most the processors of the machine, at most 8.
int BandCount(int rows, int minRows);

// Rows [first, last) of band `band` out of `count` over `rows` rows.
inline void BandRows(int rows, int count, int band, int* first, int* last)
{
    *first = int((long long)rows * band / count);
    *last = int((long long)rows * (band + 1) / count);
}

template <class F>
void ForEachBand(int count, F& f)
{
    RunBands(count, [](void* context, int band) { (*static_cast<F*>(context))(band); }, &f);
}

}  // namespace orvbands

// The library's front: argument checks and row bands on Win32 threads.
#include <windows.h>

#include "DofCore.h"
#include "Bands.h"

namespace {

bool ValidImage(const DofImage* image)
{
    return image && image->data && image->width > 0 && image->height > 0
        && image->step >= 3 * image->width;
}

// Rows per band below which a thread costs more than it saves.
const int kMinBandRows = 64;

}  // namespace

extern "C" __attribute__((ms_abi)) int ExtendDeepOfField(const DofImage* image, DofMatrix* focus)
{
    if (!ValidImage(image) || !focus || !focus->data || focus->rows != image->height
        || focus->cols != image->width || focus->step < int(sizeof(float)) * focus->cols)
        return 0;
    dofcore::KeepOpenCvSingleThreaded();
    const int count = orvbands::BandCount(image->height, kMinBandRows);
    auto band = [&](int k) {
        int first, last;
        orvbands::BandRows(image->height, count, k, &first, &last);
        dofcore::FocusRows(*image, *focus, first, last);
    };
    orvbands::ForEachBand(count, band);
    return 1;
}

extern "C" __attribute__((ms_abi)) int usm(const DofImage* smoothed, DofImage* image)
{
    if (!ValidImage(smoothed) || !ValidImage(image) || smoothed->width != image->width
        || smoothed->height != image->height)
        return 0;
    dofcore::KeepOpenCvSingleThreaded();
    const int threshold = dofcore::SharpenThreshold(*smoothed, *image);
    const int count = orvbands::BandCount(image->height, kMinBandRows);
    auto band = [&](int k) {
        int first, last;
        orvbands::BandRows(image->height, count, k, &first, &last);
        dofcore::SharpenRows(*smoothed, *image, threshold, first, last);
    };
    orvbands::ForEachBand(count, band);
    return 1;
}

#include "app/capture/PlaceholderImageNative.h"
#include "imaging/Codecs.h"

bool EncodeBlankGreyJpeg(int width, int height, std::vector<unsigned char>* jpeg)
{
    if (width <= 0 || height <= 0 || jpeg == nullptr) return false;
    orv_img::PixelImage blank;
    std::string err;
    if (!blank.Create(width, height, 8, err)) return false;
    blank.SetGreyPalette();
    return orv_img::EncodeImage(orv_img::FORMAT_JPG, blank, *jpeg, 95, err);
}

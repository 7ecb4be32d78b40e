// The Winelib compiler defines _WIN32 and makes __cdecl the Windows calling
// convention; png.h would then declare the library's native functions with it
// and every call would pass its arguments in the wrong registers.
#undef _WIN32
#undef _WIN64
#undef WIN32
#undef WIN64
#undef __WIN32__
#undef __WIN32
#undef __WIN64
#undef __WIN64__
#include "support/pngio.h"
#include <png.h>
#include <string.h>

bool WritePngRgb(const unsigned char* rgb, int width, int height, int stride,
                 const char* unixPath)
{
    if (!rgb || width <= 0 || height <= 0 || stride < width * 3 || !unixPath)
        return false;
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = width;
    img.height = height;
    img.format = PNG_FORMAT_RGB;
    bool ok = png_image_write_to_file(&img, unixPath, 0, rgb, stride, nullptr) != 0;
    png_image_free(&img);
    return ok;
}

bool ReadPngRgb(const char* unixPath, std::vector<unsigned char>& rgb, int& width,
                int& height)
{
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!unixPath || !png_image_begin_read_from_file(&img, unixPath))
        return false;
    img.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&img);
        rgb.clear();
        return false;
    }
    width = img.width;
    height = img.height;
    return true;
}

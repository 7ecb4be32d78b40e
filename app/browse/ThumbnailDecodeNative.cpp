#include "app/browse/ThumbnailDecode.h"

#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

namespace thumb_decode {

namespace {

struct ErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

void SilentMessage(j_common_ptr) {}

// The rows go into a buffer sized before the jump point can be reached again, so no
// object with a destructor is created between setjmp and a longjmp.
bool DecodeInner(const unsigned char* data, size_t size, int minWidth, int minHeight,
                 size_t maxPixels, jpeg_decompress_struct& cinfo, ErrorTrap& trap,
                 std::vector<unsigned char>& bgr, int& width, int& height)
{
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK ||
        cinfo.image_width == 0 || cinfo.image_height == 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Grey pictures are widened to B, G, R by the library itself.
    cinfo.out_color_space = JCS_EXT_BGR;
    cinfo.scale_denom = 8;
    cinfo.scale_num = 8;
    for (unsigned n = 1; n < 8; ++n) {
        const unsigned long w = (cinfo.image_width * n + 7) / 8;
        const unsigned long h = (cinfo.image_height * n + 7) / 8;
        if (w >= static_cast<unsigned long>(minWidth) && h >= static_cast<unsigned long>(minHeight)) {
            cinfo.scale_num = n;
            break;
        }
    }
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_calc_output_dimensions(&cinfo);
    const size_t w = cinfo.output_width, h = cinfo.output_height;
    if (w == 0 || h == 0 || w > maxPixels / h) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    bgr.resize(w * h * 3);
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &bgr[static_cast<size_t>(cinfo.output_scanline) * w * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace

bool DecodeJpegReduced(const unsigned char* data, size_t size, int minWidth, int minHeight,
                       size_t maxPixels, std::vector<unsigned char>& bgr, int& width, int& height)
{
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    jpeg_decompress_struct cinfo;
    ErrorTrap trap;
    memset(&cinfo, 0, sizeof(cinfo));
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = ErrorExit;
    trap.mgr.output_message = SilentMessage;
    return DecodeInner(data, size, minWidth, minHeight, maxPixels, cinfo, trap, bgr, width, height);
}

}  // namespace thumb_decode

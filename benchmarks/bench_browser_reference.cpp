#include "bench_browser_reference.h"
#include <stdio.h>
#include <jpeglib.h>
#include <setjmp.h>
#include <vector>

namespace {
struct Failure
{
    jpeg_error_mgr mgr;
    jmp_buf jump;
};
void OnError(j_common_ptr info) { longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1); }
}  // namespace

bool BareJpegDecode(const unsigned char* data, size_t size, int& width, int& height)
{
    jpeg_decompress_struct info;
    Failure failure;
    info.err = jpeg_std_error(&failure.mgr);
    failure.mgr.error_exit = OnError;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, (unsigned long)size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = (int)info.output_width;
    height = (int)info.output_height;
    std::vector<unsigned char> rows((size_t)width * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rows[(size_t)info.output_scanline * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

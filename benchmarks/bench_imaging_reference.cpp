#include "bench_imaging_reference.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>
#include <png.h>

bool BareJpegEncode(const uint8_t* rgb, int width, int height, int quality, std::vector<uint8_t>& out)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    for (int i = 0; i < c.num_components; ++i)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rgb) + (size_t)c.next_scanline * width * 3;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    out.assign(mem, mem + size);
    free(mem);
    return true;
}

bool BarePngEncode(const uint8_t* rgb, int width, int height, std::vector<uint8_t>& out)
{
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = width;
    img.height = height;
    img.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&img, nullptr, &size, 0, rgb, 0, nullptr))
        return false;
    out.resize(size);
    return png_image_write_to_memory(&img, out.data(), &size, 0, rgb, 0, nullptr) != 0;
}

bool BareJpegDecode(const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
    jpeg_decompress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, data, (unsigned long)size);
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&c);
    const size_t row = (size_t)c.output_width * 3;
    out.resize(row * c.output_height);
    while (c.output_scanline < c.output_height) {
        JSAMPROW r = out.data() + row * c.output_scanline;
        jpeg_read_scanlines(&c, &r, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return true;
}

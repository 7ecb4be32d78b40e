// JPEG over libjpeg-turbo: grey, colour, CMYK and YCCK, baseline and progressive.
// Rows go straight into the DIB rows in B,G,R order; no working copy.
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

#include "Codecs.h"

namespace orv_img {

namespace {

struct ErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo)
{
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, trap->message);
    longjmp(trap->jump, 1);
}

void SilentMessage(j_common_ptr) {}

const int kRowsPerCall = 16;

// Everything the decoder touches after setjmp lives outside the jump's reach.
bool DecodeJpegInner(const uint8_t* data, size_t size, PixelImage& img, ErrorTrap& trap,
                     jpeg_decompress_struct& cinfo, std::string& err)
{
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        err = trap.message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // Progressive files make the library hold every coefficient of the picture; with
    // no backing store, more than this is refused rather than taken.
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxImageBytes);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 14, 64);
    jpeg_read_header(&cinfo, TRUE);
    bool cmyk = false, inverted = false;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        cmyk = true;
        // Adobe writes CMYK inverted; its marker says so.
        inverted = cinfo.saw_Adobe_marker;
        break;
    default:
        cinfo.out_color_space = JCS_EXT_BGR;
        break;
    }
    // No C++ object with a destructor may live between setjmp and a jump: sizes are
    // checked into the caller's string.
    if (!CheckImageSize(cinfo.image_width, cinfo.image_height,
                        cinfo.out_color_space == JCS_GRAYSCALE ? 8 : 24, err)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    if (!img.Create(w, h, cinfo.out_color_space == JCS_GRAYSCALE ? 8 : 24, err)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.density_unit == 1 && cinfo.X_density > 0 && cinfo.Y_density > 0) {
        img.xDpi = cinfo.X_density;
        img.yDpi = cinfo.Y_density;
    } else if (cinfo.density_unit == 2 && cinfo.X_density > 0 && cinfo.Y_density > 0) {
        img.xDpi = static_cast<int>(cinfo.X_density * 2.54 + 0.5);
        img.yDpi = static_cast<int>(cinfo.Y_density * 2.54 + 0.5);
    }
    if (!cmyk) {
        JSAMPROW rows[kRowsPerCall];
        while (cinfo.output_scanline < cinfo.output_height) {
            const int first = static_cast<int>(cinfo.output_scanline);
            int n = 0;
            for (; n < kRowsPerCall && first + n < h; ++n)
                rows[n] = img.TopRow(first + n);
            jpeg_read_scanlines(&cinfo, rows, n);
        }
    } else {
        JSAMPARRAY buf = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                    JPOOL_IMAGE, w * 4, 1);
        while (cinfo.output_scanline < cinfo.output_height) {
            const int y = static_cast<int>(cinfo.output_scanline);
            jpeg_read_scanlines(&cinfo, buf, 1);
            uint8_t* row = img.TopRow(y);
            const uint8_t* s = buf[0];
            for (int x = 0; x < w; ++x, s += 4) {
                unsigned c = s[0], m = s[1], yy = s[2], k = s[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                row[3 * x + 2] = static_cast<uint8_t>((c * k + 127) / 255);
                row[3 * x + 1] = static_cast<uint8_t>((m * k + 127) / 255);
                row[3 * x] = static_cast<uint8_t>((yy * k + 127) / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool EncodeJpegInner(const PixelImage& img, ByteBuffer& out, int quality, ErrorTrap& trap,
                     jpeg_compress_struct& cinfo, unsigned char*& mem, unsigned long& memSize,
                     std::string& err)
{
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        err = trap.message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = img.Width();
    cinfo.image_height = img.Height();
    const bool grey = img.IsGrey();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality < 1 ? 1 : (quality > 100 ? 100 : quality), TRUE);
    // At high quality, colour keeps full resolution: halved chroma is what costs
    // small pictures and fine colour detail most.
    if (!grey && quality >= 90)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(img.xDpi);
    cinfo.Y_density = static_cast<UINT16>(img.yDpi);
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW rows[kRowsPerCall];
    while (cinfo.next_scanline < cinfo.image_height) {
        const int first = static_cast<int>(cinfo.next_scanline);
        int n = 0;
        for (; n < kRowsPerCall && first + n < img.Height(); ++n)
            rows[n] = const_cast<uint8_t*>(img.TopRow(first + n));
        jpeg_write_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    out.assign(mem, mem + memSize);
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    jpeg_decompress_struct cinfo;
    ErrorTrap trap;
    memset(&trap, 0, sizeof trap);
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = ErrorExit;
    trap.mgr.output_message = SilentMessage;
    if (!DecodeJpegInner(data, size, img, trap, cinfo, err)) {
        img.Destroy();
        if (err.empty())
            err = "Cannot decode the JPEG file";
        return false;
    }
    return true;
}

bool EncodeJpeg(const PixelImage& image, ByteBuffer& out, int quality, std::string& err)
{
    const PixelImage* src = &image;
    PixelImage expanded;
    if (image.Bpp() != 24 && !image.IsGrey()) {
        expanded = image;
        if (!expanded.ConvertTo24(err))
            return false;
        src = &expanded;
    }
    jpeg_compress_struct cinfo;
    ErrorTrap trap;
    memset(&trap, 0, sizeof trap);
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = ErrorExit;
    trap.mgr.output_message = SilentMessage;
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    const bool ok = EncodeJpegInner(*src, out, quality, trap, cinfo, mem, memSize, err);
    free(mem);
    return ok;
}

}  // namespace orv_img

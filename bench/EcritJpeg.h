#pragma once
// The benches' one way to write a JPEG with libjpeg itself: an RGB picture
// of width x height at quality, libjpeg's defaults otherwise.

#include <cstdio>
#include <functional>
#include <string>

#include <jpeglib.h>

// ligne(y, tampon) gives row y: tampon (width x 3 samples) filled, or a row
// of its own. marqueurs, when given, writes markers before the first row.
inline bool EcritJpeg(const std::string& path, int width, int height, int quality,
                      const std::function<JSAMPLE*(int y, JSAMPLE* tampon)>& ligne,
                      const std::function<void(jpeg_compress_struct&)>& marqueurs = {})
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (marqueurs)
        marqueurs(info);
    std::basic_string<JSAMPLE> tampon(std::size_t(width) * 3, 0);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = ligne(int(info.next_scanline), tampon.data());
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

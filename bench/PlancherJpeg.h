#pragma once
// The floor a signing run is measured against: libjpeg's own decode of a
// file and encode of its pixels, in one process, into one buffer kept from
// picture to picture and grown only when a picture is larger. A fresh block
// per picture would charge the floor page faults a run need not pay.

#include <cstdio>
#include <string>
#include <vector>

#include "EcritJpeg.h"

#include <jpeglib.h>

class PlancherJpeg {
public:
    // The source's pixels into the kept buffer; false when it cannot be opened.
    bool Decode(const std::string& source)
    {
        std::FILE* file = std::fopen(source.c_str(), "rb");
        if (!file)
            return false;
        jpeg_decompress_struct info;
        jpeg_error_mgr erreur;
        info.err = jpeg_std_error(&erreur);
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        m_Largeur = info.output_width;
        m_Hauteur = info.output_height;
        const std::size_t taille = std::size_t(m_Largeur) * m_Hauteur * 3;
        if (m_Pixels.size() < taille)
            m_Pixels.resize(taille);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = &m_Pixels[std::size_t(info.output_scanline) * m_Largeur * 3];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        return true;
    }

    // The last decoded picture at quality, libjpeg's defaults otherwise.
    bool Encode(const std::string& cible, int quality) const
    {
        // libjpeg only reads the rows it is given.
        return EcritJpeg(cible, int(m_Largeur), int(m_Hauteur), quality, [this](int y, JSAMPLE*) {
            return const_cast<JSAMPLE*>(&m_Pixels[std::size_t(y) * m_Largeur * 3]);
        });
    }

    bool Passe(const std::string& source, const std::string& cible, int quality)
    {
        return Decode(source) && Encode(cible, quality);
    }

private:
    std::vector<JSAMPLE> m_Pixels;
    JDIMENSION m_Largeur = 0;
    JDIMENSION m_Hauteur = 0;
};

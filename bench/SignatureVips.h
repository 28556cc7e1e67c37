#pragma once
// A signing done with libvips for comparison: the JPEG read in sequential
// bands, a text drawn and a logo laid over the bottom-right corner only, the
// corner put back into the stream, saved at the given quality. vips runs on
// the threads the caller allowed (vips_concurrency_set).

#include <vips/vips8>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

class SignatureVips {
public:
    // logo: an RGB picture kept in memory for the whole run. police: a
    // Pango font description ("DejaVu Sans Bold 36").
    SignatureVips(const std::string& logo, std::string texte, std::string police)
        : m_Texte(std::move(texte)), m_Police(std::move(police))
    {
        try {
            m_Logo = vips::VImage::new_from_file(logo.c_str()).bandjoin_const({255}).copy_memory();
        } catch (const vips::VError& erreur) {
            std::fprintf(stderr, "vips: %s\n", erreur.what());
        }
    }

    bool Pret() const { return m_Logo.get_image() != nullptr; }

    // Text 5 pixels in from the bottom right, the logo 70 pixels up, as the
    // bench's template places them.
    bool Signe(const std::string& source, const std::string& cible, int quality) const
    {
        using vips::VImage;
        try {
            VImage photo = VImage::new_from_file(source.c_str(),
                                                 VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
            // The mask drawn white: a constant colour with the mask as its alpha.
            const VImage masque = VImage::text(m_Texte.c_str(), VImage::option()->set("font", m_Police.c_str()));
            const VImage texte = masque.new_from_image({255, 255, 255})
                                     .bandjoin(masque)
                                     .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
            const int w = photo.width(), h = photo.height();
            const int texteX = w - texte.width() - 5, texteY = h - texte.height() - 5;
            const int logoX = w - m_Logo.width() - 5, logoY = h - m_Logo.height() - 70;
            const int x = std::max(0, std::min(texteX, logoX)), y = std::max(0, std::min(texteY, logoY));
            VImage coin = photo.extract_area(x, y, w - x, h - y);
            coin = coin.composite2(texte, VIPS_BLEND_MODE_OVER,
                                   VImage::option()->set("x", texteX - x)->set("y", texteY - y));
            coin = coin.composite2(m_Logo, VIPS_BLEND_MODE_OVER,
                                   VImage::option()->set("x", logoX - x)->set("y", logoY - y));
            coin = coin.extract_band(0, VImage::option()->set("n", 3)).cast(VIPS_FORMAT_UCHAR);
            // Chroma halved as libjpeg's defaults do, whatever the quality.
            photo.insert(coin, x, y)
                .jpegsave(cible.c_str(), VImage::option()
                                             ->set("Q", quality)
                                             ->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON));
            return true;
        } catch (const vips::VError& erreur) {
            std::fprintf(stderr, "vips: %s\n", erreur.what());
            return false;
        }
    }

private:
    std::string m_Texte;
    std::string m_Police;
    vips::VImage m_Logo;
};

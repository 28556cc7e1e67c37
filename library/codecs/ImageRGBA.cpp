#include "ImageRGBA.h"

#include "PixelRows.h"

#include <algorithm>
#include <memory>
#include <new>

ImageRGBA::~ImageRGBA() { DeleteObject(m_image); }

bool ImageRGBA::Cree(std::uint32_t largeur, std::uint32_t hauteur, bool gardeAlpha, std::uint64_t supplement)
{
    if (largeur == 0 || hauteur == 0 || !m_budget.AdmetPixels(largeur, hauteur))
        return false;
    const std::uint64_t pixels = std::uint64_t(largeur) * hauteur;
    if (!m_budget.Reserve(pixels * (gardeAlpha ? 5 : 4) + supplement))
        return false;
    m_image = Bitmap::Create(static_cast<int>(largeur), static_cast<int>(hauteur), 32);
    if (!m_image)
        return false;
    m_gardeAlpha = gardeAlpha;
    if (gardeAlpha) {
        try {
            m_alpha.assign(pixels, 0xFF);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    return true;
}

void ImageRGBA::PoseLigne(int y, const std::uint8_t* rgba)
{
    std::uint8_t* bgrx = m_image->row(y);
    const int largeur = m_image->width();
    for (int x = 0; x < largeur; ++x, rgba += 4, bgrx += 4) {
        bgrx[0] = rgba[2];
        bgrx[1] = rgba[1];
        bgrx[2] = rgba[0];
        bgrx[3] = 0;
    }
    if (m_gardeAlpha) {
        rgba -= 4 * static_cast<std::size_t>(largeur);
        std::uint8_t* a = m_alpha.data() + static_cast<std::size_t>(y) * largeur;
        for (int x = 0; x < largeur; ++x)
            a[x] = rgba[4 * x + 3];
    }
}

void ImageRGBA::RangeAlpha()
{
    // Whole pixels as 0xAARRGGBB, which the compiler turns into vector code.
    const int largeur = m_image->width();
    for (int y = 0; y < m_image->height(); ++y) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(m_image->row(y));
        if (m_gardeAlpha) {
            std::uint8_t* a = m_alpha.data() + static_cast<std::size_t>(y) * largeur;
            for (int x = 0; x < largeur; ++x)
                a[x] = static_cast<std::uint8_t>(pixels[x] >> 24);
        }
        for (int x = 0; x < largeur; ++x)
            pixels[x] &= 0x00FFFFFFu;
    }
}

HBITMAP ImageRGBA::Detache(std::vector<std::uint8_t>* alpha)
{
    if (alpha) {
        alpha->clear();
        // An alpha plane that says nothing is not worth a blend.
        if (m_gardeAlpha && std::any_of(m_alpha.begin(), m_alpha.end(), [](std::uint8_t a) { return a != 0xFF; }))
            alpha->swap(m_alpha);
    }
    m_alpha.clear();
    HBITMAP image = m_image;
    m_image = nullptr;
    return image;
}

void ImageRGBA::LitLigne(const Bitmap& image, int y, const std::uint8_t* alpha, std::uint8_t* sortie)
{
    const int largeur = image.width();
    constexpr int kTranche = 256;
    std::uint32_t pixels[kTranche];
    const std::uint8_t* a = alpha ? alpha + static_cast<std::size_t>(y) * largeur : nullptr;
    for (int x0 = 0; x0 < largeur; x0 += kTranche) {
        const int n = std::min(kTranche, largeur - x0);
        PixelRows::Read(image, x0, y, n, pixels);
        for (int i = 0; i < n; ++i) {
            *sortie++ = static_cast<std::uint8_t>(pixels[i] >> 16);
            *sortie++ = static_cast<std::uint8_t>(pixels[i] >> 8);
            *sortie++ = static_cast<std::uint8_t>(pixels[i]);
            if (a)
                *sortie++ = a[x0 + i];
        }
    }
}

#include "CoefficientsBlocs.h"

#include <algorithm>
#include <cmath>
#include <new>

CoefficientsBlocs::Plan CoefficientsBlocs::DecodePlan(int c, const RECT& zone) const
{
    Plan plan{zone, std::vector<JSAMPLE>(std::size_t(zone.Width()) * std::size_t(zone.Height()))};
    const JQUANT_TBL& table = *Table(c);
    JSAMPLE bloc[DCTSIZE2];
    for (int by = zone.top / DCTSIZE; by <= (zone.bottom - 1) / DCTSIZE; ++by) {
        const JBLOCKROW rangee = Rangee(c, by, false);
        for (int bx = zone.left / DCTSIZE; bx <= (zone.right - 1) / DCTSIZE; ++bx) {
            m_transformee.Inverse(rangee[bx], table, bloc);
            const int y0 = std::max<int>(by * DCTSIZE, zone.top), y1 = std::min<int>(by * DCTSIZE + DCTSIZE, zone.bottom);
            const int x0 = std::max<int>(bx * DCTSIZE, zone.left), x1 = std::min<int>(bx * DCTSIZE + DCTSIZE, zone.right);
            for (int y = y0; y < y1; ++y)
                std::copy(bloc + (y - by * DCTSIZE) * DCTSIZE + (x0 - bx * DCTSIZE),
                          bloc + (y - by * DCTSIZE) * DCTSIZE + (x1 - bx * DCTSIZE),
                          plan.echantillons.begin()
                              + std::ptrdiff_t(std::size_t(y - zone.top) * std::size_t(zone.Width()) + (x0 - zone.left)));
        }
    }
    return plan;
}

int CoefficientsBlocs::Echantillon(const Plan& plan, int c, int x, int y) const
{
    const jpeg_component_info& composante = m_info.comp_info[c];
    const int largeur = int(composante.downsampled_width), hauteur = int(composante.downsampled_height);
    const auto s = [&](int i, int j) {
        return plan.At(std::clamp(i, 0, largeur - 1), std::clamp(j, 0, hauteur - 1));
    };
    const int fx = Fx(c), fy = Fy(c);
    const int i = x / fx, j = y / fy;
    const bool gauche = x % 2 == 0, haut = y % 2 == 0;
    const int voisine = haut ? j - 1 : j + 1;
    if (fx == 2 && fy == 1)
        return gauche ? (3 * s(i, j) + s(i - 1, j) + 1) >> 2 : (3 * s(i, j) + s(i + 1, j) + 2) >> 2;
    if (fx == 1 && fy == 2)
        return (3 * s(i, j) + s(i, voisine) + (haut ? 1 : 2)) >> 2;
    if (fx == 2 && fy == 2) {
        const auto colonne = [&](int k) { return 3 * s(k, j) + s(k, voisine); };
        return gauche ? (3 * colonne(i) + colonne(i - 1) + 8) >> 4 : (3 * colonne(i) + colonne(i + 1) + 7) >> 4;
    }
    return s(i, j);
}

std::unique_ptr<Bitmap> CoefficientsBlocs::Decode(const RECT& b) const
{
    const CSize taille = Taille();
    const RECT pixels(b.left, b.top, std::min(b.right, taille.cx), std::min(b.bottom, taille.cy));
    std::unique_ptr<Bitmap> piece(Bitmap::Create(pixels.Width(), pixels.Height(), 32, Bitmap::Fill::Overwritten));
    if (!piece)
        throw std::bad_alloc();
    std::vector<Plan> plans;
    for (int c = 0; c < m_info.num_components; ++c) {
        // One sample beyond the box each way, for the upsampling's neighbours.
        const jpeg_component_info& composante = m_info.comp_info[c];
        const int fx = Fx(c), fy = Fy(c);
        plans.push_back(DecodePlan(c, RECT(std::max(0, int(pixels.left) / fx - 1),
                                           std::max(0, int(pixels.top) / fy - 1),
                                           std::min<int>(int(composante.downsampled_width),
                                                         (int(pixels.right) + fx - 1) / fx + 1),
                                           std::min<int>(int(composante.downsampled_height),
                                                         (int(pixels.bottom) + fy - 1) / fy + 1))));
    }
    const bool ycc = m_info.jpeg_color_space == JCS_YCbCr;
    const auto octet = [](double v) { return std::uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    for (int y = pixels.top; y < pixels.bottom; ++y) {
        auto* rangee = reinterpret_cast<std::uint32_t*>(piece->row(y - pixels.top));
        for (int x = pixels.left; x < pixels.right; ++x) {
            std::uint32_t r, g, bleu;
            if (plans.size() == 1) {
                r = g = bleu = std::uint32_t(Echantillon(plans[0], 0, x, y));
            } else if (ycc) {
                const double l = Echantillon(plans[0], 0, x, y);
                const double cb = Echantillon(plans[1], 1, x, y) - 128, cr = Echantillon(plans[2], 2, x, y) - 128;
                r = octet(l + 1.402 * cr);
                g = octet(l - 0.344136286 * cb - 0.714136286 * cr);
                bleu = octet(l + 1.772 * cb);
            } else {
                r = std::uint32_t(Echantillon(plans[0], 0, x, y));
                g = std::uint32_t(Echantillon(plans[1], 1, x, y));
                bleu = std::uint32_t(Echantillon(plans[2], 2, x, y));
            }
            rangee[x - pixels.left] = bleu | g << 8 | r << 16;
        }
    }
    return piece;
}

float CoefficientsBlocs::Composante(std::uint32_t bgrx, int c) const
{
    const float r = float(bgrx >> 16 & 0xFF), g = float(bgrx >> 8 & 0xFF), b = float(bgrx & 0xFF);
    if (m_info.jpeg_color_space == JCS_RGB)
        return c == 0 ? r : c == 1 ? g : b;
    switch (c) {
    case 0:
        return 0.299f * r + 0.587f * g + 0.114f * b;
    case 1:
        return -0.168735892f * r - 0.331264108f * g + 0.5f * b + 128;
    default:
        return 0.5f * r - 0.418687589f * g - 0.081312411f * b + 128;
    }
}

void CoefficientsBlocs::Encode(const RECT& b, const Bitmap& avant, const Bitmap& dessinee) const
{
    const CSize taille = Taille();
    const auto pixel = [&](const Bitmap& image, int x, int y) {
        // Beyond the picture's edge the encoder repeats its last pixels.
        x = std::min<int>(x, taille.cx - 1) - b.left;
        y = std::min<int>(y, taille.cy - 1) - b.top;
        return reinterpret_cast<const std::uint32_t*>(image.row(y))[x] & 0xFFFFFF;
    };
    float echantillons[DCTSIZE2];
    for (int my = b.top; my < b.bottom; my += m_mcu.cy)
        for (int mx = b.left; mx < b.right; mx += m_mcu.cx) {
            // MCUs the signature left alone keep their coefficients exactly.
            bool change = false;
            for (int y = my; y < std::min<int>(my + m_mcu.cy, taille.cy) && !change; ++y)
                for (int x = mx; x < std::min<int>(mx + m_mcu.cx, taille.cx) && !change; ++x)
                    change = pixel(avant, x, y) != pixel(dessinee, x, y);
            if (!change)
                continue;
            for (int c = 0; c < m_info.num_components; ++c) {
                const jpeg_component_info& composante = m_info.comp_info[c];
                const int fx = Fx(c), fy = Fy(c);
                for (int v = 0; v < composante.v_samp_factor; ++v) {
                    const int by = my / fy / DCTSIZE + v;
                    if (by >= int(composante.height_in_blocks))
                        break;
                    const JBLOCKROW rangee = Rangee(c, by, true);
                    for (int h = 0; h < composante.h_samp_factor; ++h) {
                        const int bx = mx / fx / DCTSIZE + h;
                        if (bx >= int(composante.width_in_blocks))
                            break;
                        for (int k = 0; k < DCTSIZE2; ++k) {
                            const int x0 = (bx * DCTSIZE + k % DCTSIZE) * fx, y0 = (by * DCTSIZE + k / DCTSIZE) * fy;
                            float somme = 0;
                            for (int dy = 0; dy < fy; ++dy)
                                for (int dx = 0; dx < fx; ++dx)
                                    somme += Composante(pixel(dessinee, x0 + dx, y0 + dy), c);
                            echantillons[k] = somme / float(fx * fy);
                        }
                        m_transformee.Directe(echantillons, *Table(c), rangee[bx]);
                    }
                }
            }
        }
}


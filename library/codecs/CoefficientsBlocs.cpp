#include "CoefficientsBlocs.h"

#include <algorithm>
#include <array>
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

void CoefficientsBlocs::LigneComposante(const Plan& plan, int c, int y, int x0, int x1, std::vector<int>& sommes,
                                        JSAMPLE* ligne) const
{
    const int hauteur = int(m_info.comp_info[c].downsampled_height);
    const int fx = Fx(c), fy = Fy(c);
    // The library's fancy upsampling covers these ratios; others repeat samples.
    const bool verticale = fy == 2 && fx <= 2, horizontale = fx == 2 && fy <= 2;
    const int largeur = plan.zone.Width(), gauche = plan.zone.left;
    const auto rangee = [&](int j) {
        return plan.echantillons.data()
            + std::size_t(std::clamp(j, 0, hauteur - 1) - plan.zone.top) * std::size_t(largeur);
    };
    const bool haut = y % 2 == 0;
    const JSAMPLE* ici = rangee(y / fy);
    if (fx == 1 && !verticale) {
        std::copy(ici + (x0 - gauche), ici + (x1 - gauche), ligne);
        return;
    }
    // The row's samples, or its column sums with the neighbouring row, with
    // the zone's first and last repeated once: the zone reaches one sample
    // beyond the pixels asked for except at the component's edges, where
    // the library repeats the edge sample.
    sommes.resize(std::size_t(largeur) + 2);
    int* s = sommes.data() + 1;
    if (verticale) {
        const JSAMPLE* voisine = rangee(haut ? y / fy - 1 : y / fy + 1);
        for (int i = 0; i < largeur; ++i)
            s[i] = 3 * ici[i] + voisine[i];
    } else {
        std::copy_n(ici, largeur, s);
    }
    s[-1] = s[0];
    s[largeur] = s[largeur - 1];
    if (horizontale) {
        // Pixel 2i leans on sample i - 1, pixel 2i + 1 on sample i + 1.
        const int arrondiPair = verticale ? 8 : 1, arrondiImpair = verticale ? 7 : 2, decalage = verticale ? 4 : 2;
        const auto pair = [&](int x) {
            const int i = x / 2 - gauche;
            return JSAMPLE((3 * s[i] + s[i - 1] + arrondiPair) >> decalage);
        };
        const auto impair = [&](int x) {
            const int i = x / 2 - gauche;
            return JSAMPLE((3 * s[i] + s[i + 1] + arrondiImpair) >> decalage);
        };
        int x = x0;
        if (x & 1) {
            ligne[0] = impair(x);
            ++x;
        }
        for (; x + 1 < x1; x += 2) {
            ligne[x - x0] = pair(x);
            ligne[x + 1 - x0] = impair(x);
        }
        if (x < x1)
            ligne[x - x0] = pair(x);
    } else if (verticale) {
        for (int x = x0; x < x1; ++x)
            ligne[x - x0] = JSAMPLE((s[x - gauche] + (haut ? 1 : 2)) >> 2);
    } else {
        for (int x = x0; x < x1; ++x)
            ligne[x - x0] = JSAMPLE(s[x / fx - gauche]);
    }
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
    // YCbCr to RGB through tables of each chroma's share, rounded to the
    // nearest (green in 16-bit fixed point, its half included in vertCr).
    std::array<int, 256> rouge, bleu, vertCb, vertCr;
    for (int k = 0; k < 256; ++k) {
        const double chroma = k - 128;
        rouge[std::size_t(k)] = int(std::lround(1.402 * chroma));
        bleu[std::size_t(k)] = int(std::lround(1.772 * chroma));
        vertCb[std::size_t(k)] = int(std::lround(-0.344136286 * 65536 * chroma));
        vertCr[std::size_t(k)] = int(std::lround(-0.714136286 * 65536 * chroma)) + 32768;
    }
    const auto octet = [](int v) { return std::uint32_t(std::clamp(v, 0, 255)); };
    const bool ycc = m_info.jpeg_color_space == JCS_YCbCr;
    const int largeur = pixels.Width();
    std::vector<int> sommes;
    std::vector<JSAMPLE> lignes(std::size_t(largeur) * plans.size());
    const JSAMPLE* premiere = lignes.data();
    const JSAMPLE* deuxieme = plans.size() == 3 ? premiere + largeur : premiere;
    const JSAMPLE* troisieme = plans.size() == 3 ? deuxieme + largeur : premiere;
    for (int y = pixels.top; y < pixels.bottom; ++y) {
        for (std::size_t c = 0; c < plans.size(); ++c)
            LigneComposante(plans[c], int(c), y, pixels.left, pixels.right, sommes,
                            lignes.data() + c * std::size_t(largeur));
        auto* rangee = reinterpret_cast<std::uint32_t*>(piece->row(y - pixels.top));
        if (ycc && plans.size() == 3) {
            for (int x = 0; x < largeur; ++x) {
                const int l = premiere[x], cb = deuxieme[x], cr = troisieme[x];
                rangee[x] = octet(l + bleu[std::size_t(cb)])
                    | octet(l + ((vertCb[std::size_t(cb)] + vertCr[std::size_t(cr)]) >> 16)) << 8
                    | octet(l + rouge[std::size_t(cr)]) << 16;
            }
        } else {
            // RGB, or grey through the same three pointers.
            for (int x = 0; x < largeur; ++x)
                rangee[x] = std::uint32_t(troisieme[x]) | std::uint32_t(deuxieme[x]) << 8
                    | std::uint32_t(premiere[x]) << 16;
        }
    }
    return piece;
}

void CoefficientsBlocs::PlansMcu(const Bitmap& dessinee, const RECT& b, int mx, int my, float* plans) const
{
    // Each component as weights of red, green and blue plus an offset.
    static constexpr float ycc[3][4] = {{0.299f, 0.587f, 0.114f, 0},
                                        {-0.168735892f, -0.331264108f, 0.5f, 128},
                                        {0.5f, -0.418687589f, -0.081312411f, 128}};
    static constexpr float rgb[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    const auto& poids = m_info.jpeg_color_space == JCS_RGB ? rgb : ycc;
    const CSize taille = Taille();
    const int lx = int(m_mcu.cx), ly = int(m_mcu.cy), dedans = std::min<int>(lx, taille.cx - mx);
    std::uint32_t bord[MAX_SAMP_FACTOR * DCTSIZE];
    for (int y = 0; y < ly; ++y) {
        // Beyond the picture's edge the encoder repeats its last pixels.
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(
                                 dessinee.row(std::min<int>(my + y, taille.cy - 1) - b.top))
            + (mx - b.left);
        if (dedans < lx) {
            for (int x = 0; x < lx; ++x)
                bord[x] = pixels[std::min(x, dedans - 1)];
            pixels = bord;
        }
        for (int c = 0; c < m_info.num_components; ++c) {
            const float* w = poids[std::min(c, 2)];
            const float rouge = w[0], vert = w[1], bleu = w[2], decalage = w[3];
            float* plan = plans + (c * ly + y) * lx;
            // In runs of 8, which the compiler vectorises.
            for (int x0 = 0; x0 < lx; x0 += DCTSIZE)
                for (int x = x0; x < x0 + DCTSIZE; ++x) {
                    const std::uint32_t bgrx = pixels[x];
                    plan[x] = rouge * float(int(bgrx >> 16 & 0xFF)) + vert * float(int(bgrx >> 8 & 0xFF))
                        + bleu * float(int(bgrx & 0xFF)) + decalage;
                }
        }
    }
}

void CoefficientsBlocs::Encode(const RECT& b, const Bitmap& avant, const Bitmap& dessinee) const
{
    const CSize taille = Taille();
    const int lx = int(m_mcu.cx), ly = int(m_mcu.cy);
    // MCUs the signature left alone keep their coefficients exactly.
    const auto change = [&](int mx, int my) {
        const int largeur = std::min<int>(lx, taille.cx - mx);
        for (int y = my - b.top; y < std::min<int>(my + ly, taille.cy) - b.top; ++y) {
            const auto* a = reinterpret_cast<const std::uint32_t*>(avant.row(y)) + (mx - b.left);
            const auto* d = reinterpret_cast<const std::uint32_t*>(dessinee.row(y)) + (mx - b.left);
            for (int x = 0; x < largeur; ++x)
                if ((a[x] ^ d[x]) & 0xFFFFFF)
                    return true;
        }
        return false;
    };
    std::vector<float> plans(std::size_t(lx) * std::size_t(ly) * std::size_t(m_info.num_components));
    float echantillons[DCTSIZE2];
    for (int my = b.top; my < b.bottom; my += ly)
        for (int mx = b.left; mx < b.right; mx += lx) {
            if (!change(mx, my))
                continue;
            PlansMcu(dessinee, b, mx, my, plans.data());
            for (int c = 0; c < m_info.num_components; ++c) {
                const jpeg_component_info& composante = m_info.comp_info[c];
                const int fx = Fx(c), fy = Fy(c);
                const float* plan = plans.data() + std::size_t(c) * std::size_t(lx) * std::size_t(ly);
                for (int v = 0; v < composante.v_samp_factor; ++v) {
                    const int by = my / fy / DCTSIZE + v;
                    if (by >= int(composante.height_in_blocks))
                        break;
                    const JBLOCKROW rangee = Rangee(c, by, true);
                    for (int h = 0; h < composante.h_samp_factor; ++h) {
                        const int bx = mx / fx / DCTSIZE + h;
                        if (bx >= int(composante.width_in_blocks))
                            break;
                        // Each sample the mean of the fx x fy pixels it stands for.
                        for (int ky = 0; ky < DCTSIZE; ++ky) {
                            const float* haut = plan + ((v * DCTSIZE + ky) * fy * lx + h * DCTSIZE * fx);
                            for (int kx = 0; kx < DCTSIZE; ++kx) {
                                float somme = 0;
                                for (int dy = 0; dy < fy; ++dy)
                                    for (int dx = 0; dx < fx; ++dx)
                                        somme += haut[dy * lx + kx * fx + dx];
                                echantillons[ky * DCTSIZE + kx] = somme;
                            }
                        }
                        for (float& echantillon : echantillons)
                            echantillon /= float(fx * fy);
                        m_transformee.Directe(echantillons, *Table(c), rangee[bx]);
                    }
                }
            }
        }
}

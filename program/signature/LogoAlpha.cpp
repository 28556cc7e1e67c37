#include "LogoAlpha.h"

#include "ContexteEcran.h"
#include "PixelRows.h"

#include <algorithm>

namespace {

struct Libere {
    void operator()(Bitmap* b) const { DeleteObject(b); }
};
using Image = std::unique_ptr<Bitmap, Libere>;

} // namespace

HBITMAP LogoAlpha::Redimensionne(HBITMAP logo, const std::vector<std::uint8_t>& alpha, CSize taille,
                                 std::vector<std::uint8_t>& alphaSortie)
{
    alphaSortie.clear();
    if (!logo || taille.cx <= 0 || taille.cy <= 0
        || alpha.size() != std::size_t(logo->width()) * std::size_t(logo->height()))
        return nullptr;
    const int w = logo->width(), h = logo->height();
    Image premultiplie(Bitmap::Create(w, h, 32)), plan(Bitmap::Create(w, h, 32));
    if (!premultiplie || !plan)
        return nullptr;
    std::vector<std::uint32_t> ligne(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        PixelRows::Read(*logo, 0, y, w, ligne.data());
        auto* p = reinterpret_cast<std::uint32_t*>(premultiplie->row(y));
        auto* q = reinterpret_cast<std::uint32_t*>(plan->row(y));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = alpha[std::size_t(y) * w + x];
            std::uint32_t v = 0;
            for (int c = 0; c < 24; c += 8)
                v |= ((((ligne[x] >> c) & 0xFF) * a + 127) / 255) << c;
            p[x] = v;
            q[x] = a * 0x010101u;
        }
    }
    Image couleurs, couverture;
    {
        ContexteEcran ecran;
        couleurs.reset(CGraphique::RedimensionneImage(ecran, premultiplie.get(), taille, 0));
        couverture.reset(CGraphique::RedimensionneImage(ecran, plan.get(), taille, 0));
    }
    if (!couleurs || !couverture || couleurs->bitsPerPixel() != 32 || couverture->bitsPerPixel() != 32)
        return nullptr;
    alphaSortie.resize(std::size_t(taille.cx) * taille.cy);
    for (int y = 0; y < taille.cy; ++y) {
        auto* p = reinterpret_cast<std::uint32_t*>(couleurs->row(y));
        const auto* q = reinterpret_cast<const std::uint32_t*>(couverture->row(y));
        for (int x = 0; x < taille.cx; ++x) {
            const std::uint32_t a = q[x] & 0xFF;
            alphaSortie[std::size_t(y) * taille.cx + x] = static_cast<std::uint8_t>(a);
            std::uint32_t v = 0;
            if (a != 0)
                for (int c = 0; c < 24; c += 8)
                    v |= std::min<std::uint32_t>(255, (((p[x] >> c) & 0xFF) * 255 + a / 2) / a) << c;
            p[x] = v;
        }
    }
    return couleurs.release();
}

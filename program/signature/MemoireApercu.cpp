#include "MemoireApercu.h"

#include "ContexteEcran.h"
#include "MemoireSignature.h"
#include "MemoryContext.h"

#include <utility>

namespace {

using Lignes = std::vector<std::pair<int, int>>;

} // namespace

void MemoireApercu::Oublie()
{
    m_valide = false;
    m_lignes.clear();
}

const Lignes* MemoireApercu::Couvertes(HBITMAP picture, HBITMAP background, CSize area, Images images) const
{
    const bool memes = m_valide && picture == m_image && background == m_fond && area == m_zone &&
                       images.signee == m_images.signee && images.apercu == m_images.apercu;
    return memes ? &m_lignes : nullptr;
}

MemoireApercu::Images MemoireApercu::Construit(HBITMAP picture, HBITMAP background, CSize area,
                                               const CoucheTexte& texte, const CoucheLogo& logo,
                                               Images precedentes, CSize* taille)
{
    CSize size;
    CGraphique::RecupereInfosImage(picture, size, nullptr);
    // The font, the text layer and the resized logo of this build, shared by
    // its steps; the next one asks again, as a logo may have changed meanwhile.
    MemoireSignature memoire;
    const Lignes lignes = picture ? Composition::LignesTouchees(size, texte, logo, &memoire) : Lignes();
    const bool memes = Couvertes(picture, background, area, precedentes) != nullptr;
    m_valide = false;
    if (memes && Redessine(picture, size, texte, logo, lignes, memoire)) {
        if (taille)
            *taille = Composition::TailleApercu(size, area);
        m_lignes = lignes;
        m_valide = true;
        return m_images;
    }

    Images images;
    images.signee = picture ? Composition::Compose(picture, texte, logo) : nullptr;
    if (images.signee && background)
        images.apercu = Composition::Apercu(images.signee, background, area, taille);
    if (images.apercu) {
        m_image = picture;
        m_fond = background;
        m_zone = area;
        m_images = images;
        m_lignes = lignes;
        m_valide = true;
    }
    return images;
}

bool MemoireApercu::Redessine(HBITMAP picture, CSize size, const CoucheTexte& texte, const CoucheLogo& logo,
                              const Lignes& lignes, MemoireSignature& memoire)
{
    Lignes changees = m_lignes;
    changees.insert(changees.end(), lignes.begin(), lignes.end());
    changees = Composition::Reunit(std::move(changees));
    // Back to the bare picture wherever either signature lies: the whole
    // signed picture is then the picture itself, and signing it again gives
    // Compose's pixels.
    {
        ContexteEcran dc;
        MemoryContext source(dc, picture);
        MemoryContext signee(dc, m_images.signee);
        for (const auto& [premiere, fin] : changees)
            BitBlt(signee, 0, premiere, size.cx, fin - premiere, source, 0, premiere, SRCCOPY);
    }
    Composition::SigneSurPlace(m_images.signee, texte, logo, &memoire);

    Lignes reduites;
    for (const auto& [premiere, fin] : changees)
        reduites.push_back(Composition::LignesReduites(size, m_zone, premiere, fin));
    for (const auto& [premiere, fin] : Composition::Reunit(std::move(reduites)))
        if (!Composition::RedessineApercu(m_images.signee, m_images.apercu, m_zone, premiere, fin))
            return false;
    return true;
}

#pragma once
// What the workbench's preview keeps from one signature to the next: the
// picture, background and area it was built for and the rows the last
// signature covered, so that a new signature costs only the rows either
// covers instead of a composition and a reduction of the whole picture.

#include "Composition.h"

#include <utility>
#include <vector>

class MemoireSignature;

class MemoireApercu {
public:
    // The signed picture at full size and the preview as displayed.
    struct Images {
        HBITMAP signee = nullptr;
        HBITMAP apercu = nullptr;
    };

    // The next build starts from the picture (a picture loaded later may
    // take the place of one released).
    void Oublie();

    // Compose(picture, texte, logo) and Apercu of it on background over
    // area, its reduced size to taille. When precedentes are this memory's
    // last build for the same picture, background and area, they are
    // redrawn in place and returned; otherwise new images are made and
    // precedentes stay the caller's to release. Null where a build fails.
    Images Construit(HBITMAP picture, HBITMAP background, CSize area, const CoucheTexte& texte,
                     const CoucheLogo& logo, Images precedentes, CSize* taille);

    // The rows the signature in images covers, when they are this memory's
    // last build for that picture, background and area; null otherwise.
    const std::vector<std::pair<int, int>>* Couvertes(HBITMAP picture, HBITMAP background, CSize area,
                                                      Images images) const;
    // The last build's images were given, elsewhere, a signature over lignes.
    void Couvre(std::vector<std::pair<int, int>> lignes) { m_lignes = std::move(lignes); }

private:
    bool Redessine(HBITMAP picture, CSize size, const CoucheTexte& texte, const CoucheLogo& logo,
                   const std::vector<std::pair<int, int>>& lignes, MemoireSignature& memoire);

    bool m_valide = false;
    HBITMAP m_image = nullptr;
    HBITMAP m_fond = nullptr;
    CSize m_zone;
    Images m_images;
    // The rows of the picture the shown signature covers.
    std::vector<std::pair<int, int>> m_lignes;
};

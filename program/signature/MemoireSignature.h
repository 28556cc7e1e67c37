#pragma once
// What a signing step keeps from one picture to the next: the font at the
// height last asked for, the logo resampled to the size last asked for and
// the text layer last drawn, the repeated marks last made. The pictures of one camera share a size, so a
// run draws these once. One per thread, like the step that holds it.

#include "DessinStyle.h"
#include "MotifRepete.h"

#include "Bitmap.h"
#include "Font.h"
#include "codecs/Budget.h"

#include <cstdint>
#include <vector>

class LogoSvg;

class MemoireSignature {
public:
    MemoireSignature() = default;
    ~MemoireSignature();
    MemoireSignature(const MemoireSignature&) = delete;
    MemoireSignature& operator=(const MemoireSignature&) = delete;

    // base at hauteur pixels; base itself when hauteur is 0 or base null.
    // Kept here until a call asks for another font.
    HFONT Police(HFONT base, int hauteur);

    // logo, with its coverage alpha (empty when opaque), brought to taille:
    // dessin, the drawing logo was rendered from when there is one, drawn
    // at that size, else logo resampled; null when that fails. Kept here
    // until a call asks for another size, so valid while logo lives and is
    // not changed.
    struct Logo {
        HBITMAP image = nullptr;
        std::vector<std::uint8_t> alpha; // empty for an opaque logo
    };
    const Logo* Redimensionne(HBITMAP logo, const std::vector<std::uint8_t>& alpha, CSize taille,
                              const LogoSvg* dessin = nullptr);

    DessinStyle::Calque Texte;
    MotifRepete MotifTexte;
    MotifRepete MotifLogo;

private:
    LOGFONT m_Modele{};
    HFONT m_Police = nullptr;

    HBITMAP m_Source = nullptr;
    const std::uint8_t* m_AlphaSource = nullptr;
    bool m_Dessin = false;
    CSize m_Taille;
    Budget m_Budget; // for the drawings rendered
    Logo m_Logo;
};

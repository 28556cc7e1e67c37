#include "MemoireSignature.h"

#include "CGraphique.h"
#include "ContexteEcran.h"
#include "LogoAlpha.h"
#include "image/LogoSvg.h"

#include <cstring>

MemoireSignature::~MemoireSignature()
{
    if (m_Police)
        DeleteObject(m_Police);
    if (m_Logo.image)
        DeleteObject(m_Logo.image);
}

HFONT MemoireSignature::Police(HFONT base, int hauteur)
{
    if (hauteur <= 0 || !base)
        return base;
    LOGFONT description = base->description();
    description.lfHeight = -hauteur;
    // Compared byte for byte: a record is copied whole, its padding included.
    if (m_Police && std::memcmp(&description, &m_Modele, sizeof(LOGFONT)) == 0)
        return m_Police;
    if (m_Police)
        DeleteObject(m_Police);
    m_Police = CreateFontIndirect(&description);
    m_Modele = description;
    return m_Police;
}

const MemoireSignature::Logo* MemoireSignature::Redimensionne(HBITMAP logo, const std::vector<std::uint8_t>& alpha,
                                                              CSize taille, const LogoSvg* dessin)
{
    const std::uint8_t* alphaSource = alpha.empty() ? nullptr : alpha.data();
    // The drawing is the file logo was rendered from: logo stands for both,
    // even when each preview reads the drawing anew.
    if (m_Logo.image && logo == m_Source && alphaSource == m_AlphaSource && (dessin != nullptr) == m_Dessin
        && taille == m_Taille)
        return &m_Logo;
    if (m_Logo.image)
        DeleteObject(m_Logo.image);
    m_Logo = Logo();
    m_Source = logo;
    m_AlphaSource = alphaSource;
    m_Dessin = dessin != nullptr;
    m_Taille = taille;
    if (dessin) {
        m_Budget.Debute();
        m_Logo.image = dessin->Rend(taille, m_Budget, &m_Logo.alpha);
    } else if (alphaSource) {
        m_Logo.image = LogoAlpha::Redimensionne(logo, alpha, taille, m_Logo.alpha);
    } else {
        ContexteEcran ecran;
        m_Logo.image = CGraphique::RedimensionneImage(ecran, logo, taille, 0);
    }
    return m_Logo.image ? &m_Logo : nullptr;
}

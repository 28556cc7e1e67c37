#include "EtapeSignature.h"

#include "CouchesSignature.h"
#include "Jeton.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

CString Resolu(const CString& chemin, const std::string& dossier)
{
    if (chemin.empty() || dossier.empty())
        return chemin;
    const QString c = QString::fromStdString(chemin);
    if (QDir::isAbsolutePath(c))
        return chemin;
    return QDir(QString::fromStdString(dossier)).filePath(c).toStdString();
}

} // namespace

EtapeSignature::EtapeSignature(const ModeleSignature& reglages, const std::string& dossierLogo)
    : m_Qualite(reglages.QualiteJPEG), m_QualiteOrigine(reglages.QualiteOrigine),
      m_Redimension(reglages.RedimensionSortie), m_Politique(reglages.MetadonneesSortie)
{
    m_Texte = CouchesSignature::Texte(reglages, CreateFontIndirect(&reglages.Fonte));
    const CString logo = Resolu(reglages.Logo, dossierLogo);
    // As the logo panel loads it: the toolbox's own loader, a missing file
    // silently (the panel forgets it), a damaged one with the loader's message.
    std::vector<std::uint8_t> alpha;
    HBITMAP image = nullptr;
    if (!logo.empty() && QFileInfo(QString::fromStdString(logo)).isFile())
        image = m_Graphique.ChargeImageAlpha(logo, alpha, m_Rapport);
    m_CoucheLogo = CouchesSignature::Logo(reglages, logo, image, std::move(alpha));
    m_LogoManquant = !logo.empty() && !image;
}

EtapeSignature::~EtapeSignature()
{
    DeleteObject(m_Texte.Police);
    if (m_CoucheLogo.Image)
        DeleteObject(m_CoucheLogo.Image);
}

HBITMAP EtapeSignature::Charge(const CString& source)
{
    m_Source = source;
    return LitImage(source);
}

CoucheTexte EtapeSignature::TextePour(CSize taille, int numero) const
{
    CoucheTexte texte = m_Texte;
    texte.Texte = Jeton::Remplace(m_Texte.Texte, {m_Source, numero, taille, &m_Metadonnees});
    return texte;
}

EtapeSignature::SignatureEnPieces EtapeSignature::PourPieces(CSize taille, int numero) const
{
    return {taille, TextePour(taille, numero)};
}

void EtapeSignature::Signe(HBITMAP image, int numero) const
{
    CSize taille;
    CGraphique::RecupereInfosImage(image, taille, nullptr);
    Composition::SigneSurPlace(image, TextePour(taille, numero), m_CoucheLogo, &m_Memoire);
}

int EtapeSignature::Sauve(const CString& sortie, HBITMAP image)
{
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) { return EcritImage(sortie, image, rapport); });
}

int EtapeSignature::SauveSignee(const CString& source, const CString& sortie, HBITMAP image, int numero)
{
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) {
        switch (ParBlocs(source, sortie, numero, rapport)) {
        case CGraphique::Flux::Ecrit:
            return 1;
        case CGraphique::Flux::EchecLecture:
        case CGraphique::Flux::EchecEcriture:
            return 0;
        case CGraphique::Flux::Inapplicable:
            break;
        }
        return EcritImage(sortie, image, rapport);
    });
}

CGraphique::Flux EtapeSignature::ParBlocs(const CString& source, const CString& sortie, int numero,
                                          RapportCodec& rapport)
{
    if (!m_QualiteOrigine || m_Redimension.Active())
        return CGraphique::Flux::Inapplicable;
    m_Source = source;
    SignatureEnPieces signature;
    // The zones are asked for once the markers are read: the text's tokens
    // may name what the picture carries.
    const auto zones = [&](CSize picture) {
        signature = PourPieces(picture, numero);
        return Composition::ZonesTouchees(signature.Taille, signature.Texte, m_CoucheLogo, &m_Memoire);
    };
    const auto dessine = [&](HBITMAP piece, const CRect& ou) {
        Composition::SignePiece(piece, signature.Taille, CPoint(ou.left, ou.top), signature.Texte, m_CoucheLogo,
                                &m_Memoire);
    };
    return m_Graphique.RetouchePhotoParBlocs(source, sortie, m_Metadonnees, m_Politique, zones, dessine,
                                             m_EncodeAPart, rapport);
}

CGraphique::Flux EtapeSignature::EnBandes(const CString& source, const CString& sortie, int numero)
{
    // A JPEG that needs no turning goes through in bands of rows: only those
    // under the signature are held whole.
    if (m_Redimension.Active())
        return CGraphique::Flux::Inapplicable;
    m_Source = source;
    SignatureEnPieces signature;
    const auto bandes = [&](CSize picture) {
        signature = PourPieces(picture, numero);
        return Composition::LignesTouchees(signature.Taille, signature.Texte, m_CoucheLogo, &m_Memoire);
    };
    const auto retouche = [&](HBITMAP bande, int premiere) {
        Composition::SigneBande(bande, signature.Taille, premiere, signature.Texte, m_CoucheLogo, &m_Memoire);
    };
    return m_Graphique.RetouchePhotoEnFlux(source, sortie, m_Qualite, m_Metadonnees, m_Politique, bandes, retouche,
                                           m_EncodeAPart, m_Rapport);
}

EtapeSignature::Resultat EtapeSignature::Traite(const CString& source, const CString& sortie, int numero)
{
    CGraphique::Flux flux = ParBlocs(source, sortie, numero, m_Rapport);
    if (flux == CGraphique::Flux::Inapplicable)
        flux = EnBandes(source, sortie, numero);
    switch (flux) {
    case CGraphique::Flux::Ecrit:
        return Resultat::Signe;
    case CGraphique::Flux::EchecLecture:
        return Resultat::EchecChargement;
    case CGraphique::Flux::EchecEcriture:
        return Resultat::EchecEcriture;
    case CGraphique::Flux::Inapplicable:
        break;
    }
    HBITMAP image = Charge(source);
    if (!image)
        return Resultat::EchecChargement;
    Signe(image, numero);
    const int sauve = EcritImage(sortie, image, m_Rapport);
    Rend(image);
    return sauve ? Resultat::Signe : Resultat::EchecEcriture;
}

std::uint64_t EtapeSignature::MemoireDeTravail(std::uint64_t largeur, std::uint64_t hauteur,
                                               std::uint64_t tailleFichier)
{
    // Saturating: a header may claim any size.
    constexpr std::uint64_t kPlafond = std::uint64_t(1) << 62;
    if (largeur && hauteur > kPlafond / 8 / largeur)
        return kPlafond;
    const std::uint64_t pixels = largeur * hauteur;
    // The block way holds the coefficients instead of the pixels.
    const std::uint64_t plusGrand = std::max(pixels * 4 + pixels * 4, JpegParBlocs::MemoireDeTravail(largeur, hauteur));
    return std::min(kPlafond, plusGrand + tailleFichier);
}

HBITMAP EtapeSignature::LitImage(const CString& chemin)
{
    // Upright as viewers show it; what it carries waits for the save.
    m_Metadonnees = Metadonnees();
    ReservePixels::Use reserve(m_Reserve);
    return m_Graphique.ChargePhoto(chemin, m_Metadonnees, m_Rapport, m_Redimension);
}

int EtapeSignature::EcritImage(const CString& chemin, HBITMAP image, RapportCodec& rapport)
{
    // The writers go through a temporary file renamed over the target.
    return m_Graphique.SauvePhoto(chemin, image, m_Qualite, m_Metadonnees, m_Politique, rapport);
}

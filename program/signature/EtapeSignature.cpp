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
    : m_Qualite(reglages.QualiteJPEG), m_Politique(reglages.MetadonneesSortie)
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

EtapeSignature::Resultat EtapeSignature::Traite(const CString& source, const CString& sortie, int numero)
{
    // A JPEG that needs no turning goes through in bands of rows: only those
    // under the signature are held whole.
    m_Source = source;
    CoucheTexte texte;
    CSize taille;
    const auto bandes = [&](CSize picture) {
        taille = picture;
        texte = TextePour(taille, numero);
        return Composition::LignesTouchees(taille, texte, m_CoucheLogo, &m_Memoire);
    };
    const auto retouche = [&](HBITMAP bande, int premiere) {
        Composition::SigneBande(bande, taille, premiere, texte, m_CoucheLogo, &m_Memoire);
    };
    switch (m_Graphique.RetouchePhotoEnFlux(source, sortie, m_Qualite, m_Metadonnees, m_Politique, bandes,
                                            retouche, m_EncodeAPart, m_Rapport)) {
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
    return std::min(kPlafond, pixels * 4 + pixels * 4 + tailleFichier);
}

HBITMAP EtapeSignature::LitImage(const CString& chemin)
{
    // Upright as viewers show it; what it carries waits for the save.
    m_Metadonnees = Metadonnees();
    ReservePixels::Use reserve(m_Reserve);
    return m_Graphique.ChargePhoto(chemin, m_Metadonnees, m_Rapport);
}

int EtapeSignature::EcritImage(const CString& chemin, HBITMAP image, RapportCodec& rapport)
{
    // The writers go through a temporary file renamed over the target.
    return m_Graphique.SauvePhoto(chemin, image, m_Qualite, m_Metadonnees, m_Politique, rapport);
}

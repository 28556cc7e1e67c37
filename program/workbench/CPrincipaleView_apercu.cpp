// The preview: the selected picture signed with both layers at full size,
// then reduced and centred on the display's background. A new signature
// redraws only the rows it or the last one covers (MemoireApercu); when only
// the signature changed, a worker composes them (ApercuParallele) so that
// typing never waits for the drawing.

#include "CPrincipaleView.h"
#include "ControlesVue.h"

#include "BitmapStatic.h"
#include "CGraphique.h"
#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "ContexteEcran.h"
#include "CouchesSignature.h"
#include "EmplacementPanneau.h"
#include "Jeton.h"
#include "MemoryContext.h"
#include "VuePleineTaille.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QTimer>

#include <utility>

void CPrincipaleView::RemplaceImage(HBITMAP& slot, HBITMAP image)
{
    // The slot has its new image before the old one is released.
    HBITMAP ancienne = std::exchange(slot, image);
    if (ancienne && ancienne != image && ancienne != ImageFond)
        DeleteObject(ancienne);
}

void CPrincipaleView::ChargeSelection(const CString& chemin)
{
    // A file removed since it was listed shows the background, silently.
    const bool present = !chemin.empty() && QFileInfo(QString::fromStdString(chemin)).isFile();
    CGraphique* graphique = Graphique();
    // Shown upright and at the size it will be signed at.
    MetadonneesSelection = Metadonnees();
    CheminSelection = present ? chemin : CString();
    m_memoireApercu.Oublie();
    m_parallele.Abandonne();
    HBITMAP charge = present && graphique
                         ? graphique->ChargePhoto(chemin, MetadonneesSelection, Reglages().RedimensionSortie)
                         : nullptr;
    RemplaceImage(ImageSelection, charge ? charge : ImageFond);
    TailleImage = CSize();
    ProfondeurImage = 0;
    if (ImageSelection)
        CGraphique::RecupereInfosImage(ImageSelection, TailleImage, &ProfondeurImage);
}

Position CPrincipaleView::PositionTexte(CSize image) const
{
    return PlaceTexte(PanneauTexte ? LitEmplacementPanneau(*PanneauTexte) : Emplacement(), image);
}

CoucheTexte CPrincipaleView::CoucheTexteCourante() const
{
    if (!PanneauTexte)
        return CoucheTexte();
    CoucheTexte couche = CouchesSignature::Texte(Reglages(), PanneauTexte->PoliceTexte);
    // The tokens as the run will replace them for the selected picture.
    couche.Texte = Jeton::Remplace(couche.Texte, {CheminSelection, LigneSelectionnee() + 1,
                                                   CheminSelection.empty() ? CSize() : TailleImage,
                                                   &MetadonneesSelection});
    return couche;
}

CoucheLogo CPrincipaleView::CoucheLogoCourante() const
{
    if (!PanneauLogo)
        return CoucheLogo();
    return CouchesSignature::Logo(Reglages(), PanneauLogo->Logo, PanneauLogo->ImageLogo, PanneauLogo->AlphaLogo);
}

void CPrincipaleView::ConstruitApercu()
{
    m_apercuDemande = false;
    ++ApercusConstruits;
    // What the worker has in hand is older than what is drawn now.
    m_parallele.Abandonne();
    const MemoireApercu::Images images =
        m_memoireApercu.Construit(ImageSelection, ImageFond, TailleAffichage, CoucheTexteCourante(),
                                  CoucheLogoCourante(), {ImageSignee, ImageApercu}, &TailleApercu);
    if (images.signee && images.apercu && images.signee != ImageSignee) {
        // Made anew: the worker gets its own picture and background to sign.
        ContexteEcran dc;
        m_parallele.Adopte(CGraphique::RecoupeImage(dc, ImageSelection, CPoint(0, 0), TailleImage, 0),
                           CGraphique::RecoupeImage(dc, ImageFond, CPoint(0, 0), TailleAffichage, 0),
                           TailleAffichage);
    }
    RemplaceImage(ImageSignee, images.signee);
    RemplaceImage(ImageApercu, images.apercu);
    // Should an operation fail, the display shows its bare background.
    if (auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage))
        affichage->SetBitmap(ImageApercu ? ImageApercu : ImageFond);
    MontrePleineTaille();
    MarqueUnitesPlace();
}

void CPrincipaleView::MontrePleineTaille()
{
    auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage);
    if (!affichage)
        return;
    if (!m_pleineTaille) {
        m_pleineTaille = new VuePleineTaille(affichage);
        m_pleineTaille->Rafraichit = [this] { MontrePleineTaille(); };
    }
    // The text's anchor: the place the user looks at while typing.
    const Position texte = PositionTexte(TailleImage);
    const CPoint centre(texte.horizontal == 2 ? TailleImage.cx / 2 : texte.point.x, texte.point.y);
    m_pleineTaille->Montre(ImageSignee, centre);
}

void CPrincipaleView::DemandeApercu()
{
    if (std::exchange(m_apercuDemande, true))
        return;
    QTimer::singleShot(0, this, [this] {
        // A build made meanwhile showed the changes already.
        if (m_apercuDemande && !SoumetApercu())
            ConstruitApercu();
    });
}

namespace {

// Below this many pixels a signature costs a few milliseconds: drawn here,
// sooner than a round trip to the worker.
constexpr long long kPixelsParallele = 1000000;

} // namespace

bool CPrincipaleView::SoumetApercu()
{
    if (static_cast<long long>(TailleImage.cx) * TailleImage.cy < kPixelsParallele || !m_parallele.Pret() ||
        !m_memoireApercu.Couvertes(ImageSelection, ImageFond, TailleAffichage, {ImageSignee, ImageApercu}))
        return false;
    ApercuParallele::Demande demande;
    demande.Texte = CoucheTexteCourante();
    if (demande.Texte.Police)
        demande.AvecPolice = GetObject(demande.Texte.Police, sizeof(LOGFONT), &demande.Fonte) != 0;
    demande.Texte.Police = nullptr;
    demande.Logo = CoucheLogoCourante();
    if (demande.Logo.Image) {
        // The panel may load another logo while the worker draws this one.
        CSize taille;
        CGraphique::RecupereInfosImage(demande.Logo.Image, taille, nullptr);
        ContexteEcran dc;
        demande.Logo.Image = CGraphique::RecoupeImage(dc, demande.Logo.Image, CPoint(0, 0), taille, 0);
        if (!demande.Logo.Image)
            return false;
    }
    if (!m_parallele.Livre)
        m_parallele.Livre = [this](const ApercuParallele::Resultat& resultat) { MontreApercu(resultat); };
    m_apercuDemande = false;
    m_parallele.Soumet(std::move(demande));
    return true;
}

void CPrincipaleView::MontreApercu(const ApercuParallele::Resultat& resultat)
{
    const auto* couvertes =
        m_memoireApercu.Couvertes(ImageSelection, ImageFond, TailleAffichage, {ImageSignee, ImageApercu});
    // The images shown were released or replaced meanwhile: nothing to lay into.
    if (!couvertes)
        return;
    if (!resultat.Apercu) {
        ConstruitApercu();
        return;
    }
    ++ApercusConstruits;
    {
        // Back to the bare picture under the shown signature, then the new
        // one's rows: the signed picture is again what Compose gives.
        ContexteEcran dc;
        MemoryContext source(dc, ImageSelection);
        MemoryContext signee(dc, ImageSignee);
        for (const auto& [premiere, fin] : *couvertes)
            BitBlt(signee, 0, premiere, TailleImage.cx, fin - premiere, source, 0, premiere, SRCCOPY);
        for (const auto& [premiere, image] : resultat.Bandes) {
            CSize taille;
            CGraphique::RecupereInfosImage(image, taille, nullptr);
            MemoryContext bande(dc, image);
            BitBlt(signee, 0, premiere, taille.cx, taille.cy, bande, 0, 0, SRCCOPY);
        }
        MemoryContext apercu(dc, ImageApercu);
        MemoryContext nouveau(dc, resultat.Apercu);
        BitBlt(apercu, 0, 0, TailleAffichage.cx, TailleAffichage.cy, nouveau, 0, 0, SRCCOPY);
    }
    m_memoireApercu.Couvre(resultat.Lignes);
    TailleApercu = resultat.Taille;
    if (auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage))
        affichage->SetBitmap(ImageApercu);
    MontrePleineTaille();
    MarqueUnitesPlace();
}

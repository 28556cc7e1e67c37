// The preview: the selected picture signed with both layers at full size,
// then reduced and centred on the display's background. A new signature
// redraws only the rows it or the last one covers (MemoireApercu).

#include "CPrincipaleView.h"
#include "ControlesVue.h"

#include "BitmapStatic.h"
#include "CGraphique.h"
#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CouchesSignature.h"
#include "EmplacementPanneau.h"
#include "Jeton.h"

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
    // Shown upright, as it will be signed.
    MetadonneesSelection = Metadonnees();
    CheminSelection = present ? chemin : CString();
    m_memoireApercu.Oublie();
    HBITMAP charge = present && graphique ? graphique->ChargePhoto(chemin, MetadonneesSelection) : nullptr;
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
    const MemoireApercu::Images images =
        m_memoireApercu.Construit(ImageSelection, ImageFond, TailleAffichage, CoucheTexteCourante(),
                                  CoucheLogoCourante(), {ImageSignee, ImageApercu}, &TailleApercu);
    RemplaceImage(ImageSignee, images.signee);
    RemplaceImage(ImageApercu, images.apercu);
    // Should an operation fail, the display shows its bare background.
    if (auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage))
        affichage->SetBitmap(ImageApercu ? ImageApercu : ImageFond);
}

void CPrincipaleView::DemandeApercu()
{
    if (std::exchange(m_apercuDemande, true))
        return;
    QTimer::singleShot(0, this, [this] {
        // A build made meanwhile showed the changes already.
        if (m_apercuDemande)
            ConstruitApercu();
    });
}

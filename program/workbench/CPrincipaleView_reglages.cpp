// The view's settings: what the panels and the "Setup" area hold, kept in
// the settings store from one run to the next and in signing templates.

#include "CPrincipaleView.h"
#include "ControlesVue.h"

#include "BitmapStatic.h"
#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CCouleurDlg.h"
#include "CFolderDialog.h"
#include "EmplacementPanneau.h"
#include "ReglagesRegistre.h"

#include <QAbstractButton>
#include <QComboBox>

#include <utility>

namespace {

constexpr UINT kBorne = 2000;

} // namespace

ModeleSignature CPrincipaleView::Reglages() const
{
    ModeleSignature r;
    if (PanneauTexte) {
        r.Texte = PanneauTexte->Texte;
        r.Fonte = PanneauTexte->Fonte;
        r.EmplacementTexte = LitEmplacementPanneau(*PanneauTexte);
        r.CouleurEncre = PanneauTexte->CouleurEncre->Couleur;
        r.EncreHexa = EtatBouton(PanneauTexte->CouleurEncre->BoutonHexa);
        r.EncreDecimal = EtatBouton(PanneauTexte->CouleurEncre->BoutonDecimal);
        r.CouleurFond = PanneauTexte->CouleurFond->Couleur;
        r.FondHexa = EtatBouton(PanneauTexte->CouleurFond->BoutonHexa);
        r.FondDecimal = EtatBouton(PanneauTexte->CouleurFond->BoutonDecimal);
        r.FondTransparent = EtatBouton(PanneauTexte->CouleurFond->BoutonTransparent);
    }
    if (PanneauLogo) {
        r.Logo = PanneauLogo->Logo;
        r.EmplacementLogo = LitEmplacementPanneau(*PanneauLogo);
    }
    r.NomFichier = NomFichier;
    r.NomFichierAucun = EtatBouton(NomFichierAucun);
    r.NomFichierPrefixe = EtatBouton(NomFichierPrefixe);
    r.NomFichierSuffixe = EtatBouton(NomFichierSuffixe);
    r.QualiteJPEG = QualiteJPEG;
    r.NomRepertoire = NomRepertoire;
    r.NomRepertoireAucun = EtatBouton(NomRepertoireAucun);
    r.NomRepertoireSpecifique = EtatBouton(NomRepertoireSpecifique);
    r.StyleTexte = StyleTexte;
    r.StyleLogo = StyleLogo;
    if (auto* metadonnees = GetDlgItemAs<QComboBox>(kMetadonnees))
        r.MetadonneesSortie = static_cast<PolitiqueMetadonnees>(std::max(0, metadonnees->currentIndex()));
    if (auto* format = GetDlgItemAs<QComboBox>(kFormatSortie))
        r.FormatEnregistrement = static_cast<FormatSortie>(std::max(0, format->currentIndex()));
    r.QualiteOrigine = IsDlgButtonChecked(kQualiteOrigine) == BST_CHECKED;
    // A mode whose number is missing or out of range resizes nothing.
    if (auto* redimension = GetDlgItemAs<QComboBox>(kRedimension); redimension && redimension->currentIndex() > 0) {
        BOOL nombre = FALSE;
        const int valeur = GetDlgItemInt(kRedimensionValeur, &nombre);
        const RegleTaille lue{static_cast<RegleTaille::Mode>(redimension->currentIndex()),
                              static_cast<std::uint32_t>(std::max(valeur, 0))};
        if (nombre && lue.Valide())
            r.RedimensionSortie = lue;
    }
    return r;
}

void CPrincipaleView::FixeReglages(const ModeleSignature& r)
{
    if (PanneauTexte) {
        PanneauTexte->Texte = r.Texte;
        PanneauTexte->Fonte = r.Fonte;
        FixeEmplacementPanneau(*PanneauTexte, r.EmplacementTexte);
        PanneauTexte->CouleurEncre->Couleur = r.CouleurEncre;
        CRoutine::FixeEtatBouton(PanneauTexte->CouleurEncre->BoutonHexa, r.EncreHexa);
        CRoutine::FixeEtatBouton(PanneauTexte->CouleurEncre->BoutonDecimal, r.EncreDecimal);
        PanneauTexte->CouleurFond->Couleur = r.CouleurFond;
        CRoutine::FixeEtatBouton(PanneauTexte->CouleurFond->BoutonHexa, r.FondHexa);
        CRoutine::FixeEtatBouton(PanneauTexte->CouleurFond->BoutonDecimal, r.FondDecimal);
        CRoutine::FixeEtatBouton(PanneauTexte->CouleurFond->BoutonTransparent, r.FondTransparent);
    }
    if (PanneauLogo) {
        PanneauLogo->Logo = r.Logo;
        FixeEmplacementPanneau(*PanneauLogo, r.EmplacementLogo);
    }
    NomFichier = r.NomFichier;
    CRoutine::FixeEtatBouton(NomFichierAucun, r.NomFichierAucun);
    CRoutine::FixeEtatBouton(NomFichierPrefixe, r.NomFichierPrefixe);
    CRoutine::FixeEtatBouton(NomFichierSuffixe, r.NomFichierSuffixe);
    QualiteJPEG = r.QualiteJPEG;
    NomRepertoire = r.NomRepertoire;
    CRoutine::FixeEtatBouton(NomRepertoireAucun, r.NomRepertoireAucun);
    CRoutine::FixeEtatBouton(NomRepertoireSpecifique, r.NomRepertoireSpecifique);
    StyleTexte = r.StyleTexte;
    StyleLogo = r.StyleLogo;
    if (auto* metadonnees = GetDlgItemAs<QComboBox>(kMetadonnees))
        metadonnees->setCurrentIndex(static_cast<int>(r.MetadonneesSortie));
    if (auto* format = GetDlgItemAs<QComboBox>(kFormatSortie))
        format->setCurrentIndex(static_cast<int>(r.FormatEnregistrement));
    CheckDlgButton(kQualiteOrigine, r.QualiteOrigine ? BST_CHECKED : BST_UNCHECKED);
    if (auto* redimension = GetDlgItemAs<QComboBox>(kRedimension))
        redimension->setCurrentIndex(static_cast<int>(r.RedimensionSortie.Genre));
    SetDlgItemText(kRedimensionValeur,
                   r.RedimensionSortie.Active() ? std::to_string(r.RedimensionSortie.Valeur) : CString());
}

// ---- "Setup" changed by the user ----

// The template holds "Setup" as it holds the panels: changing it is
// changing the document, which then asks to be saved.
void CPrincipaleView::OnReglageClique(int id)
{
    switch (id) {
    case kNomFichierAucun:
    case kNomFichierPrefixe:
    case kNomFichierSuffixe:
        RegleNomFichier();
        MarqueModifie();
        break;
    case kRepertoireAucun:
    case kRepertoireSpecifique:
        RegleRepertoire();
        MarqueModifie();
        break;
    case kChoixRepertoire:
        ChoisitRepertoire();
        break;
    case kQualiteOrigine:
        RegleQualite();
        MarqueModifie();
        break;
    default:
        break;
    }
}

void CPrincipaleView::OnEditChanged(int id)
{
    if (id == kNomFichier || id == kQualite || id == kRepertoire)
        MarqueModifie();
    if (id == kRedimensionValeur) {
        MarqueModifie();
        // The picture shown is the one the run signs, at its new size.
        ChargeSelection(CString(CheminSelection));
        ConstruitApercu();
    }
}

void CPrincipaleView::OnSelectionChanged(int id)
{
    if (id == kMetadonnees || id == kFormatSortie)
        MarqueModifie();
    if (id == kRedimension) {
        RegleRedimension();
        MarqueModifie();
        ChargeSelection(CString(CheminSelection));
        ConstruitApercu();
    }
}

void CPrincipaleView::RegleRedimension()
{
    auto* redimension = GetDlgItemAs<QComboBox>(kRedimension);
    const int mode = redimension ? redimension->currentIndex() : 0;
    if (QWidget* valeur = GetDlgItem(kRedimensionValeur))
        valeur->setEnabled(mode > 0);
    SetDlgItemText(kRedimensionUnite, mode == static_cast<int>(RegleTaille::Mode::Pourcentage) ? "%" : "px");
}

// The number still serves the pictures that are not JPEG photographs
// written as JPEG: it is kept, only not edited meanwhile.
void CPrincipaleView::RegleQualite()
{
    const bool chiffre = IsDlgButtonChecked(kQualiteOrigine) != BST_CHECKED;
    for (int id : {kQualite, kQualiteSpin})
        if (QWidget* controle = GetDlgItem(id))
            controle->setEnabled(chiffre);
}

void CPrincipaleView::ChoisitRepertoire()
{
    UpdateData(TRUE);
    CFolderDialog dialogue(&NomRepertoire, this);
    if (dialogue.DoModal() != IDOK)
        return;
    UpdateData(FALSE);
    MarqueModifie();
}

void CPrincipaleView::LectureReglages()
{
    QWidget* cadre = GetDlgItem(kCadrePanneaux);
    PanneauTexte = new CMiniTexteDlg(this);
    PanneauTexte->Create(cadre);
    PanneauLogo = new CSignatureLogoDlg(this);
    PanneauLogo->Create(cadre);
    BrancheStyles();
    // The panels' layouts run a little past the frame's: it grows to show
    // their right-hand borders whole.
    cadre->resize(cadre->size().expandedTo(PanneauTexte->size()).expandedTo(PanneauLogo->size()));

    ModeleSignature reglages = Reglages();
    if (ReglagesRegistre::Lecture(reglages))
        FixeReglages(reglages);

    PanneauTexte->MaximumX = PanneauTexte->MaximumY = kBorne;
    PanneauLogo->MaximumX = PanneauLogo->MaximumY = kBorne;
    PanneauTexte->InitInstance(this, Graphique(), 1);
    PanneauLogo->InitInstance(this, Graphique(), 0);

    ChargeSelection(CString());
    ConstruitApercu();
    AfficheCompteur();
    RegleNomFichier();
    RegleRepertoire();
    RegleQualite();
    RegleRedimension();
    UpdateData(FALSE);
}

void CPrincipaleView::EcritureReglages()
{
    UpdateData(TRUE);
    // No message when the store cannot be written: the program is closing.
    if (PanneauTexte && PanneauLogo)
        ReglagesRegistre::Ecriture(Reglages());
    LiberePanneaux();
    LibereImages();
}

void CPrincipaleView::LiberePanneaux()
{
    if (PanneauTexte) {
        PanneauTexte->DesInitInstance();
        PanneauTexte->DestroyWindow();
        delete std::exchange(PanneauTexte, nullptr);
    }
    if (PanneauLogo) {
        PanneauLogo->LibereImages();
        PanneauLogo->DestroyWindow();
        delete std::exchange(PanneauLogo, nullptr);
    }
}

void CPrincipaleView::LibereImages()
{
    if (auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage))
        affichage->SetBitmap(nullptr);
    if (ImageSelection && ImageSelection != ImageFond)
        DeleteObject(ImageSelection);
    ImageSelection = nullptr;
    for (HBITMAP* slot : {&ImageSignee, &ImageApercu, &ImageFond})
        if (*slot)
            DeleteObject(std::exchange(*slot, nullptr));
    Icones.fill(QIcon());
}

// ---- signing template ----

void CPrincipaleView::Serialize(CArchive& ar, bool storing)
{
    if (storing) {
        // What is written is what the user sees, even a quality out of range.
        UpdateData(TRUE);
        Reglages().Ecrit(ar);
        return;
    }
    ModeleSignature reglages = Reglages();
    if (reglages.Lit(ar, this) == ModeleSignature::Lecture::Refusee)
        return;
    FixeReglages(reglages);
    Rafraichit();
}

// After the settings changed from outside the panels: everything derived
// from them is shown again.
void CPrincipaleView::Rafraichit()
{
    if (PanneauTexte) {
        PanneauTexte->AffichageGlobal();
        PanneauTexte->UpdateData(FALSE);
    }
    if (PanneauLogo) {
        PanneauLogo->ChargeLogo(PanneauLogo->Logo);
        PanneauLogo->ConstruitApercuLogo();
        PanneauLogo->UpdateData(FALSE);
    }
    // The template may resize the selected picture otherwise.
    ChargeSelection(CString(CheminSelection));
    ConstruitApercu();
    RegleNomFichier();
    RegleRepertoire();
    RegleQualite();
    RegleRedimension();
    UpdateData(FALSE);
}

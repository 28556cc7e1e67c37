#include "CPrincipaleView.h"
#include "ControlesVue.h"

#include "BitmapStatic.h"
#include "CDataExchange.h"
#include "CDoc.h"
#include "CGraphique.h"
#include "ContexteEcran.h"
#include "CMiniTexteDlg.h"
#include "CPleinEcranDlg.h"
#include "CRoutine.h"
#include "CSignatureLogoDlg.h"
#include "CTamparoApp.h"
#include "Commandes.h"
#include "DernierDossier.h"
#include "ImagesDossier.h"
#include "LigneFichier.h"
#include "Resources.h"
#include "SpinButton.h"
#include "codecs/RegistreFormats.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

namespace {

constexpr UINT kTitreSelection = 61225;
constexpr UINT kColonneNom = 61230;
constexpr UINT kColonneEtat = 61231;

constexpr std::uint32_t kEditNombre = Opt::Number | Opt::Right;

// Group boxes carry no title: their icon and caption sit on their top edge.
const bool registered = DialogTemplate::Register({
    CPrincipaleView::IDD, "", 421, 372, "Comic Sans MS", 8,
    Opt::Child | Opt::Visible, ResourceModule::Program,
    {
        {ControlKind::GroupBox, kCadreAffichage, "", 4, 2, 128, 196},
        {ControlKind::Static, -1, "Display", 20, 11, 100, 9},
        {ControlKind::Picture, kAffichage, "", 8, 28, 120, 158, Opt::Center | Opt::Border, 121},
        {ControlKind::GroupBox, kCadreListe, "", 135, 2, 166, 196},
        {ControlKind::Static, -1, "Files List", 151, 11, 140, 9},
        {ControlKind::ListView, kListe, "", 140, 24, 156, 156, Opt::Report | Opt::SingleSel | Opt::SortAscending | Opt::Border},
        {ControlKind::Static, kCompteur, "(000/000)", 140, 183, 156, 10, Opt::Center},
        {ControlKind::GroupBox, kCadreReglages, "", 304, 2, 113, 196},
        {ControlKind::Static, -1, "Setup", 320, 11, 90, 9},
        {ControlKind::Static, -1, "Directory", 309, 24, 100, 9},
        {ControlKind::RadioButton, kRepertoireAucun, "Keep original", 313, 33, 95, 10, Opt::Group},
        {ControlKind::RadioButton, kRepertoireSpecifique, "Special", 313, 44, 45, 10},
        {ControlKind::PushButton, kChoixRepertoire, "Select", 360, 43, 52, 13},
        {ControlKind::Edit, kRepertoire, "", 309, 58, 103, 12},
        {ControlKind::Static, -1, "Filenames", 309, 73, 100, 9},
        {ControlKind::RadioButton, kNomFichierAucun, "Keep original", 313, 82, 95, 10, Opt::Group},
        {ControlKind::RadioButton, kNomFichierPrefixe, "Add Prefix", 313, 92, 55, 10},
        {ControlKind::RadioButton, kNomFichierSuffixe, "Add Suffix", 313, 102, 55, 10},
        {ControlKind::Edit, kNomFichier, "", 370, 92, 42, 12},
        {ControlKind::Static, -1, "JPEG Quality", 309, 117, 55, 9},
        {ControlKind::Edit, kQualite, "", 366, 115, 46, 12, kEditNombre},
        {ControlKind::Spin, kQualiteSpin, "", 402, 115, 10, 12, Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys},
        {ControlKind::CheckBox, kQualiteOrigine, "Same as the original", 313, 129, 99, 10},
        {ControlKind::Static, -1, "Metadata", 309, 143, 36, 9},
        {ControlKind::ComboBox, kMetadonnees, "Keep all|Keep all but location|Remove all", 345, 141, 67, 12},
        {ControlKind::Static, -1, "Save as", 309, 157, 36, 9},
        {ControlKind::ComboBox, kFormatSortie, "Source format|JPEG|PNG|WebP|HEIC|AVIF", 345, 155, 67, 12},
        {ControlKind::Static, -1, "Resize", 309, 171, 36, 9},
        {ControlKind::ComboBox, kRedimension, "No|Longest side|Shorter side|Percent", 345, 169, 67, 12},
        {ControlKind::Edit, kRedimensionValeur, "", 345, 183, 50, 12, kEditNombre},
        {ControlKind::Static, kRedimensionUnite, "px", 398, 185, 14, 9},
        {ControlKind::GroupBox, kCadreSignature, "", 4, 201, 413, 168},
        {ControlKind::Static, -1, "The Signing", 20, 210, 200, 9},
        {ControlKind::GroupBox, kCadrePanneaux, "", 11, 221, 398, 147},
    },
});

// The commands routed to the view.
constexpr std::array kCommandes{
    Commande::ListeSelection, Commande::ListeSupprimeSelection, Commande::ListeSupprimeTout,
    Commande::SignatureTexte, Commande::SignatureLogo,          Commande::AfficheSelection,
    Commande::SigneTout,      Commande::SupprimeTexte,          Commande::SupprimeLogo};

// Which icon sits on which area, in the order the icons are kept.
constexpr std::array<std::pair<int, UINT>, 4> kIcones = {
    {{kCadreAffichage, 117}, {kCadreListe, 112}, {kCadreSignature, 116}, {kCadreReglages, 115}}};

} // namespace

CPrincipaleView::CPrincipaleView(QWidget* parent) : CDialog(IDD, parent)
{
    Create(parent);
    if (CTamparoApp* application = CTamparoApp::Instance())
        application->Vue = this;
}

CPrincipaleView::~CPrincipaleView()
{
    LiberePanneaux();
    LibereImages();
    if (CTamparoApp* application = CTamparoApp::Instance(); application && application->Vue == this)
        application->Vue = nullptr;
}

CGraphique* CPrincipaleView::Graphique() const
{
    CTamparoApp* application = CTamparoApp::Instance();
    return application ? application->Graphique : nullptr;
}

QTreeWidget* CPrincipaleView::Liste() const { return GetDlgItemAs<QTreeWidget>(kListe); }

void CPrincipaleView::MarqueModifie()
{
    if (CTamparoApp* application = CTamparoApp::Instance())
        if (CDoc* document = application->Document())
            document->SetModifiedFlag(true);
}

// ---- first initial update ----

void CPrincipaleView::OnInitialUpdate()
{
    if (!Initialisation)
        return;
    PoseIcones();
    PrepareListe();
    PrepareAffichage();
    if (auto* spin = GetDlgItemAs<SpinButton>(kQualiteSpin))
        spin->SetRange(0, 100);
    setAcceptDrops(true);
    ValeurDefautSortie();
    LectureReglages();
    Initialisation = 0;
    // Every child exists now; a form already larger than its layout grows.
    RetientDisposition();
    Dispose();

    // A template named at start-up was read before the panels existed.
    if (CTamparoApp* application = CTamparoApp::Instance())
        if (CDoc* document = application->Document(); document && !document->GetPathName().empty()) {
            const CString chemin = document->GetPathName();
            document->OnOpenDocument(chemin);
        }
}

void CPrincipaleView::PoseIcones()
{
    for (std::size_t i = 0; i < kIcones.size(); ++i) {
        Icones[i] = Resources::loadIcon(ResourceModule::Program, kIcones[i].second);
        QWidget* cadre = GetDlgItem(kIcones[i].first);
        if (!cadre)
            continue;
        auto* icone = new QLabel(this);
        icone->setPixmap(Icones[i].pixmap(16, 16));
        icone->setGeometry(cadre->x() + 6, cadre->y() + DialogUnits::Y(11) - 12, 16, 16);
        icone->show();
    }
}

void CPrincipaleView::PrepareListe()
{
    QTreeWidget* liste = Liste();
    liste->clear();
    liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    liste->setColumnCount(2);
    CString nom;
    CString etat;
    liste->setHeaderLabels({QString::fromStdString(CRoutine::Message(nom, kColonneNom)),
                            QString::fromStdString(CRoutine::Message(etat, kColonneEtat))});
    liste->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    liste->header()->setStretchLastSection(false);
    const int largeurEtat = liste->fontMetrics().horizontalAdvance(QStringLiteral("0000000"));
    liste->setColumnWidth(1, largeurEtat);
    // The form may not be laid out yet: the client width comes from the
    // list's own size, not from its viewport.
    const int client = liste->width() - 2 * liste->frameWidth();
    liste->setColumnWidth(0, std::max(0, client - largeurEtat));
    // Later, the names take whatever the list's width and its scroll bar leave.
    liste->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    liste->header()->setSectionResizeMode(1, QHeaderView::Fixed);
}

void CPrincipaleView::PrepareAffichage()
{
    auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage);
    const QRect client = affichage->contentsRect();
    TailleAffichage = CSize(client.width(), client.height());
    // The layout's picture is the control's until it is taken back here.
    ImageFond = FondAffichage(affichage->SetBitmap(nullptr), TailleAffichage);
}

HBITMAP CPrincipaleView::FondAffichage(HBITMAP modele, CSize taille)
{
    HBITMAP fond;
    {
        ContexteEcran dc(this);
        fond = modele ? CGraphique::RedimensionneImage(dc, modele, taille, 1)
                      : CreateCompatibleBitmap(dc, taille.cx, taille.cy);
    }
    if (modele)
        DeleteObject(modele);
    return fond;
}

void CPrincipaleView::ValeurDefautSortie()
{
    CheckRadioButton(kNomFichierAucun, kNomFichierSuffixe, kNomFichierPrefixe);
    NomFichier = "TP";
    QualiteJPEG = 75;
    CheckDlgButton(kRepertoireAucun, BST_CHECKED);
    CheckDlgButton(kRepertoireSpecifique, BST_UNCHECKED);
    NomRepertoire.clear();
    if (auto* metadonnees = GetDlgItemAs<QComboBox>(kMetadonnees))
        metadonnees->setCurrentIndex(static_cast<int>(PolitiqueMetadonnees::Toutes));
    if (auto* format = GetDlgItemAs<QComboBox>(kFormatSortie))
        format->setCurrentIndex(static_cast<int>(FormatSortie::Source));
    CheckDlgButton(kQualiteOrigine, BST_UNCHECKED);
    if (auto* redimension = GetDlgItemAs<QComboBox>(kRedimension))
        redimension->setCurrentIndex(0);
    SetDlgItemText(kRedimensionValeur, CString());
}

void CPrincipaleView::RegleNomFichier()
{
    if (QWidget* edit = GetDlgItem(kNomFichier))
        edit->setEnabled(IsDlgButtonChecked(kNomFichierAucun) != BST_CHECKED);
}

void CPrincipaleView::RegleRepertoire()
{
    const bool specifique = IsDlgButtonChecked(kRepertoireAucun) != BST_CHECKED;
    for (int id : {kChoixRepertoire, kRepertoire})
        if (QWidget* controle = GetDlgItem(id))
            controle->setEnabled(specifique);
}

void CPrincipaleView::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, kNomFichier, NomFichier);
    DDX_Control(pDX, kNomFichierAucun, NomFichierAucun);
    DDX_Control(pDX, kNomFichierSuffixe, NomFichierSuffixe);
    DDX_Control(pDX, kNomFichierPrefixe, NomFichierPrefixe);
    DDX_Text(pDX, kQualite, QualiteJPEG);
    DDX_Text(pDX, kRepertoire, NomRepertoire);
    DDX_Control(pDX, kRepertoireAucun, NomRepertoireAucun);
    DDX_Control(pDX, kRepertoireSpecifique, NomRepertoireSpecifique);
    pDX->PrepareEditCtrl(kQualite);
    DDV_MinMaxInt(pDX, QualiteJPEG, 0, 100);
}

// ---- commands ----

BOOL CPrincipaleView::OnCommand(UINT id)
{
    // The menu and the tool bar stay live while a run pumps messages; the
    // list and the panels must not change under it, nor a second run start.
    if (TraitementEnCours && std::ranges::find(kCommandes, id) != kCommandes.end()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return TRUE;
    }
    switch (id) {
    case Commande::ListeSelection:
        ChoisitFichiers();
        return TRUE;
    case Commande::ListeSupprimeSelection:
        SupprimeSelection();
        return TRUE;
    case Commande::ListeSupprimeTout:
        SupprimeTout();
        return TRUE;
    case Commande::SignatureTexte:
        MontrePanneau(true);
        return TRUE;
    case Commande::SignatureLogo:
        MontrePanneau(false);
        return TRUE;
    case Commande::AfficheSelection:
        AfficheFichierSelectionne();
        return TRUE;
    case Commande::SupprimeTexte:
        EffaceTexte();
        return TRUE;
    case Commande::SupprimeLogo:
        EffaceLogo();
        return TRUE;
    case Commande::SigneTout:
        SigneTousLesFichiers();
        return TRUE;
    default:
        return FALSE;
    }
}

void CPrincipaleView::OnClicked(int id)
{
    switch (id) {
    case kNomFichierAucun:
    case kNomFichierPrefixe:
    case kNomFichierSuffixe:
    case kRepertoireAucun:
    case kRepertoireSpecifique:
    case kChoixRepertoire:
    case kQualiteOrigine:
        OnReglageClique(id);
        break;
    case kListe:
        AfficheSelection();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

LRESULT CPrincipaleView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_CHANGEMENT_SIGNATURE)
        return CDialog::OnMessage(message, wParam, lParam);
    if ((PanneauTexte && PanneauTexte->Modifie) || (PanneauLogo && PanneauLogo->Modifie)) {
        MarqueModifie();
        if (PanneauTexte)
            PanneauTexte->Modifie = 0;
        if (PanneauLogo)
            PanneauLogo->Modifie = 0;
    }
    UpdateData(TRUE);
    DemandeApercu();
    return 0;
}

// ---- file list ----

void CPrincipaleView::AjouteFichier(const CString& chemin)
{
    QTreeWidget* liste = Liste();
    const QString nom = QString::fromStdString(chemin);
    if (!liste->findItems(nom, Qt::MatchExactly | Qt::MatchCaseSensitive, 0).isEmpty())
        return;
    liste->addTopLevelItem(new LigneFichier(nom));
}

void CPrincipaleView::AjouteChemin(const CString& chemin)
{
    const QString dossier = QString::fromStdString(chemin);
    if (!QFileInfo(dossier).isDir()) {
        AjouteFichier(chemin);
        return;
    }
    const bool sousDossiers =
        ImagesDossier::ASousDossiers(dossier) &&
        MessageBox(window(), "The folder " + chemin + " holds sub-folders.\nInclude sub-folders?", "Question",
                   MB_YESNO | MB_ICONQUESTION) == IDYES;
    for (const CString& image : ImagesDossier::Images(dossier, sousDossiers))
        AjouteFichier(image);
}

int CPrincipaleView::LigneSelectionnee() const
{
    const QList<QTreeWidgetItem*> choisies = Liste()->selectedItems();
    return choisies.isEmpty() ? -1 : Liste()->indexOfTopLevelItem(choisies.front());
}

void CPrincipaleView::AfficheCompteur()
{
    SetDlgItemText(kCompteur, QString::asprintf("(%d/%d)", LigneSelectionnee() + 1, Liste()->topLevelItemCount())
                                  .toStdString());
}

void CPrincipaleView::SelectionneLigne(int index)
{
    QTreeWidget* liste = Liste();
    QTreeWidgetItem* ligne = liste->topLevelItem(index);
    if (!ligne)
        return;
    liste->setCurrentItem(ligne);
    ligne->setSelected(true);
    liste->scrollToItem(ligne);
}

void CPrincipaleView::AfficheSelection()
{
    const int index = LigneSelectionnee();
    const CString chemin = index < 0 ? CString() : Liste()->topLevelItem(index)->text(0).toStdString();
    AfficheCompteur();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ChargeSelection(chemin);
    ConstruitApercu();
    QApplication::restoreOverrideCursor();
}

void CPrincipaleView::ChoisitFichiers()
{
    CString titre;
    FileDialogRequest demande;
    demande.title = CRoutine::Message(titre, kTitreSelection);
    demande.filter = RegistreFormats::Filtre("Jpeg (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp|");
    demande.selectedFilter = -1; // "All pictures": one folder mixes formats
    demande.defaultExtension = "jpg";
    demande.multiple = true;
    demande.initialPath = DernierDossier::Lit("Pictures");
    std::vector<std::string> choix;
    const bool accepte = Interaction::current().openFiles(this, demande, choix);
    if (accepte && !choix.empty())
        DernierDossier::Retient("Pictures", choix.front());
    if (accepte) {
        for (const std::string& chemin : choix)
            AjouteFichier(chemin);
        AfficheCompteur();
    }
    update();
    if (accepte && !choix.empty() && Liste()->topLevelItemCount() > 0) {
        SelectionneLigne(Liste()->topLevelItemCount() - 1);
        AfficheSelection();
    }
}

void CPrincipaleView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CPrincipaleView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CPrincipaleView::dropEvent(QDropEvent* event)
{
    // Paths come whole, however long: the file manager's list is not cut.
    int deposes = 0;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        AjouteChemin(url.toLocalFile().toStdString());
        ++deposes;
    }
    event->acceptProposedAction();
    AfficheCompteur();
    if (deposes > 0 && Liste()->topLevelItemCount() > 0) {
        SelectionneLigne(Liste()->topLevelItemCount() - 1);
        AfficheSelection();
    }
}

void CPrincipaleView::SupprimeSelection()
{
    const int index = LigneSelectionnee();
    if (index < 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    QTreeWidget* liste = Liste();
    delete liste->takeTopLevelItem(index);
    liste->clearSelection();
    const int reste = liste->topLevelItemCount();
    if (reste > 0)
        SelectionneLigne(std::min(index, reste - 1));
    AfficheSelection();
}

void CPrincipaleView::SupprimeTout()
{
    if (Liste()->topLevelItemCount() == 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    Liste()->clear();
    AfficheSelection();
}

void CPrincipaleView::Deplace(int sens)
{
    const int index = LigneSelectionnee();
    const int nombre = Liste()->topLevelItemCount();
    int cible = -1;
    if (sens < 0 && index > 0)
        cible = index - 1;
    else if (sens > 0 && index + 1 < nombre)
        cible = index + 1;
    if (cible < 0) {
        // Up with nothing selected has nowhere to go, and nothing to warn about.
        if (sens > 0 || index >= 0)
            MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    SelectionneLigne(cible);
    AfficheSelection();
}

BOOL CPrincipaleView::PreTranslateKey(int id, QKeyEvent* event)
{
    if (id != kListe || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return FALSE;
    switch (event->key()) {
    case Qt::Key_Up:
        Deplace(-1);
        return TRUE;
    case Qt::Key_Down:
        Deplace(+1);
        return TRUE;
    case Qt::Key_Delete:
        SupprimeSelection();
        return TRUE;
    default:
        SuiviClavier();
        return FALSE;
    }
}

// Other keys (Home, End, page keys, typing a name) move the selection in the
// list itself: the counter and the preview follow once the list has moved.
void CPrincipaleView::SuiviClavier()
{
    const int avant = LigneSelectionnee();
    QMetaObject::invokeMethod(this, [this, avant] {
        if (LigneSelectionnee() != avant)
            AfficheSelection();
    }, Qt::QueuedConnection);
}

// ---- signature panels ----

void CPrincipaleView::MontrePanneau(bool texte)
{
    if (PanneauTexte)
        PanneauTexte->setVisible(texte);
    if (PanneauLogo)
        PanneauLogo->setVisible(!texte);
}

void CPrincipaleView::ReinitialiseTexte()
{
    if (!PanneauTexte)
        return;
    PanneauTexte->Modifie = 0;
    PanneauTexte->ValeurDefaut();
    PanneauTexte->AffichageGlobal();
    PanneauTexte->UpdateData(FALSE);
}

void CPrincipaleView::ReinitialiseLogo()
{
    if (!PanneauLogo)
        return;
    PanneauLogo->Modifie = 0;
    PanneauLogo->ValeurDefaut();
    PanneauLogo->ChargeLogo(CString());
    PanneauLogo->ConstruitApercuLogo();
    PanneauLogo->UpdateData(FALSE);
}

void CPrincipaleView::EffaceTexte()
{
    MarqueModifie();
    ReinitialiseTexte();
    ConstruitApercu();
    MessageBeep(MB_SIMPLEBEEP);
}

void CPrincipaleView::EffaceLogo()
{
    MarqueModifie();
    ReinitialiseLogo();
    ConstruitApercu();
    MessageBeep(MB_SIMPLEBEEP);
}

void CPrincipaleView::ReinitialiseTout()
{
    Liste()->clear();
    if (PanneauTexte)
        PanneauTexte->Modifie = 0;
    if (PanneauLogo)
        PanneauLogo->Modifie = 0;
    ReinitialiseTexte();
    ReinitialiseLogo();
    ValeurDefautSortie();
    RegleNomFichier();
    RegleRepertoire();
    RegleQualite();
    RegleRedimension();
    ChargeSelection(CString());
    ConstruitApercu();
    AfficheCompteur();
    UpdateData(FALSE);
    MessageBeep(MB_SIMPLEBEEP);
}

// ---- display, folder ----

void CPrincipaleView::AfficheFichierSelectionne()
{
    if (LigneSelectionnee() < 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (QWidget* affichage = GetDlgItem(kAffichage))
        affichage->setFocus(Qt::OtherFocusReason);
    CPleinEcranDlg plein(this);
    plein.Image = ImageSignee;
    plein.Legende = QString::asprintf("(%dx%d)", TailleImage.cx, TailleImage.cy).toStdString();
    plein.InitInstance(Graphique());
    plein.DoModal();
}

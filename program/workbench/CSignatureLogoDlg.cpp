#include "CSignatureLogoDlg.h"

#include "BitmapStatic.h"
#include "CDataExchange.h"
#include "CGraphique.h"
#include "CRoutine.h"
#include "ContexteEcran.h"
#include "DernierDossier.h"
#include "DessinStyle.h"
#include "EmplacementPanneau.h"
#include "SpinButton.h"
#include "codecs/RegistreFormats.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLineEdit>

#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr int kApercu = 1600;
constexpr int kAutomatique = 1601;
constexpr int kAbsolue = 1602;
constexpr int kHaut = 1603;
constexpr int kBas = 1604;
constexpr int kGauche = 1605;
constexpr int kDroite = 1606;
constexpr int kCentre = 1607;
constexpr int kDeltaY = 1608;
constexpr int kDeltaX = 1610;
constexpr int kAbsolueX = 1612;
constexpr int kAbsolueY = 1614;
constexpr int kSelection = 1616;
constexpr int kChemin = 1617;
constexpr int kTaille = 1618;

constexpr UINT kTitreChargement = 61222;
constexpr UINT kFormatChemin = 61223;
constexpr UINT kAucunLogo = 61224;

constexpr std::uint32_t kNombre = Opt::Number | Opt::Right;
constexpr std::uint32_t kFleches = Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys;

// Radios of one group follow each other: the framework starts a group at
// every Group option and after any control that is not a radio.
const bool registered = DialogTemplate::Register({
    CSignatureLogoDlg::IDD, "", 401, 150, "Comic Sans MS", 8,
    Opt::Child, ResourceModule::Program,
    {
        {ControlKind::GroupBox, -1, "Logo", 4, 0, 393, 73},
        {ControlKind::Picture, kApercu, "", 10, 10, 381, 58, Opt::Center | Opt::Sunken | Opt::Border, 153},
        {ControlKind::GroupBox, -1, "Position", 4, 75, 262, 73},
        {ControlKind::RadioButton, kAutomatique, "Automatic", 12, 86, 70, 10, Opt::Group},
        {ControlKind::RadioButton, kAbsolue, "Absolute", 176, 86, 70, 10},
        {ControlKind::RadioButton, kHaut, "Up", 20, 99, 40, 10, Opt::Group},
        {ControlKind::RadioButton, kBas, "Down", 20, 112, 40, 10},
        {ControlKind::RadioButton, kGauche, "Left", 76, 99, 44, 10, Opt::Group},
        {ControlKind::RadioButton, kDroite, "Right", 76, 112, 44, 10},
        {ControlKind::RadioButton, kCentre, "Center", 76, 125, 44, 10},
        {ControlKind::Static, -1, "Dy =", 126, 100, 20, 9},
        {ControlKind::Edit, kDeltaY, "", 146, 98, 40, 12, kNombre},
        {ControlKind::Spin, 1609, "", 176, 98, 10, 12, kFleches},
        {ControlKind::Static, -1, "Dx =", 126, 116, 20, 9},
        {ControlKind::Edit, kDeltaX, "", 146, 114, 40, 12, kNombre},
        {ControlKind::Spin, 1611, "", 176, 114, 10, 12, kFleches},
        {ControlKind::Static, -1, "X =", 198, 100, 16, 9},
        {ControlKind::Edit, kAbsolueX, "", 214, 98, 44, 12, kNombre},
        {ControlKind::Spin, 1613, "", 248, 98, 10, 12, kFleches},
        {ControlKind::Static, -1, "Y =", 198, 116, 16, 9},
        {ControlKind::Edit, kAbsolueY, "", 214, 114, 44, 12, kNombre},
        {ControlKind::Spin, 1615, "", 248, 114, 10, 12, kFleches},
        {ControlKind::PushButton, CSignatureLogoDlg::kStyle, "Style...", 198, 131, 60, 13},
        {ControlKind::GroupBox, -1, "File", 270, 75, 127, 73},
        {ControlKind::PushButton, kSelection, "Select", 303, 87, 60, 14},
        {ControlKind::Static, kChemin, "", 276, 106, 115, 26, Opt::Center},
        {ControlKind::Static, kTaille, "", 276, 134, 115, 10, Opt::Center},
    },
});

struct Borne {
    int edit;
    int spin;
    bool horizontale; // bounded by MaximumX, else by MaximumY
};
constexpr Borne kBornes[] = {
    {kDeltaY, 1609, false}, {kDeltaX, 1611, true}, {kAbsolueX, 1613, true}, {kAbsolueY, 1615, false}};

// The pictures' filter with drawings beside them: an entry of their own and
// in "All pictures" (Filtre's last entry), the one the dialog opens on.
std::string FiltreLogo()
{
    const std::string filtre =
        RegistreFormats::Filtre("Jpeg (*.jpg)|*.jpg|Gif (*.gif)|*.gif|Bitmap (*.bmp)|*.bmp|");
    const RegistreFormats::Format& svg = RegistreFormats::De(RegistreFormats::Genre::Svg);
    const std::string motif = "*" + svg.Terminaisons.front();
    const std::string_view tete = "All pictures (";
    const std::size_t debut = filtre.rfind(tete);
    const std::size_t liste = debut + tete.size();
    const std::string toutes = filtre.substr(liste, filtre.find(')', liste) - liste) + ";" + motif;
    return filtre.substr(0, debut) + svg.Libelle + " (" + motif + ")|" + motif + "|" + std::string(tete) + toutes
           + ")|" + toutes + "||";
}

} // namespace

CSignatureLogoDlg::CSignatureLogoDlg(QWidget* parent) : CDialog(IDD, parent) {}

CSignatureLogoDlg::~CSignatureLogoDlg() { LibereImages(); }

void CSignatureLogoDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, kAbsolue, PositionAbsolue);
    DDX_Text(pDX, kAbsolueX, PositionAbsolueX);
    DDX_Text(pDX, kAbsolueY, PositionAbsolueY);
    DDX_Control(pDX, kAutomatique, PositionAutomatique);
    DDX_Control(pDX, kHaut, PositionAutomatiqueHaut);
    DDX_Control(pDX, kBas, PositionAutomatiqueBas);
    DDX_Control(pDX, kDroite, PositionAutomatiqueDroite);
    DDX_Control(pDX, kGauche, PositionAutomatiqueGauche);
    DDX_Control(pDX, kCentre, PositionAutomatiqueContinue);
    DDX_Text(pDX, kDeltaY, PositionAutomatiqueDeltaY);
    DDX_Text(pDX, kDeltaX, PositionAutomatiqueDeltaX);
    pDX->PrepareEditCtrl(kDeltaX);
    DDV_MinMaxUInt(pDX, PositionAutomatiqueDeltaX, 0, MaximumX);
    pDX->PrepareEditCtrl(kDeltaY);
    DDV_MinMaxUInt(pDX, PositionAutomatiqueDeltaY, 0, MaximumY);
    pDX->PrepareEditCtrl(kAbsolueX);
    DDV_MinMaxUInt(pDX, PositionAbsolueX, 0, MaximumX);
    pDX->PrepareEditCtrl(kAbsolueY);
    DDV_MinMaxUInt(pDX, PositionAbsolueY, 0, MaximumY);
}

BOOL CSignatureLogoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    auto* apercu = GetDlgItemAs<BitmapStatic>(kApercu);
    const QRect client = apercu->contentsRect();
    TailleCadre = CSize(client.width(), client.height());
    // The layout's picture is the control's until it is taken back here.
    HBITMAP initiale = apercu->SetBitmap(nullptr);
    {
        ContexteEcran dc(this);
        ImageCadre = initiale ? CGraphique::RedimensionneImage(dc, initiale, TailleCadre, 1)
                              : CreateCompatibleBitmap(dc, TailleCadre.cx, TailleCadre.cy);
    }
    if (initiale)
        DeleteObject(initiale);
    ImageLogo = nullptr;
    ValeurDefaut();
    Pret = 1;
    return TRUE;
}

void CSignatureLogoDlg::ValeurDefaut()
{
    Logo.clear();
    LibereLogo();
    Emplacement defaut;
    FixeEmplacementPanneau(*this, defaut);
}

void CSignatureLogoDlg::LibereLogo()
{
    if (ImageLogo && ImageLogo != ImageCadre)
        DeleteObject(ImageLogo);
    ImageLogo = nullptr;
    AlphaLogo.clear();
}

void CSignatureLogoDlg::ChargeLogo(CString chemin)
{
    // A logo file that is gone is no logo, without the loader's complaint.
    const bool present = !chemin.empty() && QFileInfo(QString::fromStdString(chemin)).isFile();
    std::vector<std::uint8_t> alpha;
    HBITMAP charge = present && Graphique ? Graphique->ChargeImageAlpha(chemin, alpha) : nullptr;
    AlphaLogo = std::move(alpha);
    // The slot gets its new image before the old one goes; an empty path
    // must not leave a logo loaded earlier behind either.
    HBITMAP ancienne = ImageLogo;
    ImageLogo = charge ? charge : ImageCadre;
    if (ancienne && ancienne != ImageCadre && ancienne != ImageLogo)
        DeleteObject(ancienne);
    if (!charge)
        Logo.clear();
    TailleLogo = CSize();
    if (ImageLogo)
        CGraphique::RecupereInfosImage(ImageLogo, TailleLogo, nullptr);

    CString texte;
    if (charge) {
        SetDlgItemText(kTaille, QString::asprintf("(%dx%d)", TailleLogo.cx, TailleLogo.cy).toStdString());
        QString ligne = QString::fromStdString(CRoutine::Message(texte, kFormatChemin));
        ligne.replace(QLatin1String("%s"), QString::fromStdString(chemin));
        SetDlgItemText(kChemin, ligne.toStdString());
    } else {
        SetDlgItemText(kTaille, "");
        SetDlgItemText(kChemin, CRoutine::Message(texte, kAucunLogo));
    }
}

void CSignatureLogoDlg::ConstruitApercuLogo()
{
    HBITMAP apercu = nullptr;
    if (ImageCadre) {
        ContexteEcran dc(this);
        const CPoint centre((TailleCadre.cx - TailleLogo.cx) / 2, (TailleCadre.cy - TailleLogo.cy) / 2);
        // A transparent logo shows the hatching through.
        const bool transparent = !AlphaLogo.empty() && ImageLogo && ImageLogo != ImageCadre;
        apercu = CGraphique::FusionneImage(dc, ImageCadre, ImageLogo && !transparent ? ImageLogo : ImageCadre,
                                           transparent ? CPoint() : centre);
        if (apercu && transparent)
            DessinStyle::Logo(apercu, ImageLogo, AlphaLogo.data(), centre, 100);
    }
    HBITMAP ancien = std::exchange(ApercuLogo, apercu);
    if (auto* controle = GetDlgItemAs<BitmapStatic>(kApercu))
        controle->SetBitmap(ApercuLogo);
    if (ancien)
        DeleteObject(ancien);
    Notifie();
}

Position CSignatureLogoDlg::PositionLogo(CSize image) const
{
    return PlaceLogo(LitEmplacementPanneau(*this), image, TailleLogo);
}

void CSignatureLogoDlg::LibereImages()
{
    LibereLogo();
    if (ImageCadre)
        DeleteObject(std::exchange(ImageCadre, nullptr));
    if (ApercuLogo)
        DeleteObject(std::exchange(ApercuLogo, nullptr));
}

void CSignatureLogoDlg::PositionChange(UINT id)
{
    for (int ancre : {kHaut, kBas, kGauche, kDroite, kCentre})
        if (QWidget* controle = GetDlgItem(ancre))
            controle->setEnabled(id != kAbsolue);
    for (int edit : {kAbsolueX, kAbsolueY})
        if (QWidget* controle = GetDlgItem(edit))
            controle->setEnabled(id != kAutomatique);
    for (int edit : {kDeltaX, kDeltaY})
        if (QWidget* controle = GetDlgItem(edit))
            controle->setEnabled(id == kAutomatique);
}

void CSignatureLogoDlg::InitInstance(CDialog* parent, CGraphique* graphique, int afficher)
{
    DialogueParent = parent;
    Graphique = graphique;
    move(0, 0);
    raise();
    if (afficher) {
        show();
        if (QWidget* apercu = GetDlgItem(kApercu))
            apercu->setFocus(Qt::OtherFocusReason);
    } else {
        // Said outright: a child not yet hidden on purpose would appear with
        // its parent window.
        hide();
    }
    PositionChange(EtatBouton(PositionAutomatique) ? kAutomatique : kAbsolue);
    for (const Borne& borne : kBornes) {
        auto* spin = GetDlgItemAs<SpinButton>(borne.spin);
        if (!spin)
            continue;
        spin->SetBuddy(GetDlgItemAs<QLineEdit>(borne.edit), true);
        spin->SetRange(0, static_cast<int>(borne.horizontale ? MaximumX : MaximumY));
    }
    ChargeLogo(Logo);
    ConstruitApercuLogo();
    UpdateData(FALSE);
    Modifie = 0;
}

void CSignatureLogoDlg::Notifie()
{
    if (DialogueParent)
        PostMessage(DialogueParent, WM_CHANGEMENT_SIGNATURE, 0, 0);
}

void CSignatureLogoDlg::ChoisitLogo()
{
    CString titre;
    FileDialogRequest demande;
    demande.title = CRoutine::Message(titre, kTitreChargement).substr(0, 255);
    demande.filter = FiltreLogo();
    demande.selectedFilter = -1; // "All pictures": a logo is often a PNG
    demande.defaultExtension = "jpg";
    demande.initialPath = DernierDossier::Lit("Logo");
    std::vector<std::string> choix;
    if (!Interaction::current().openFiles(this, demande, choix) || choix.empty())
        return;
    DernierDossier::Retient("Logo", choix.front());
    Logo = choix.front();
    ChargeLogo(Logo);
    ConstruitApercuLogo();
    Modifie = 1;
}

void CSignatureLogoDlg::OnClicked(int id)
{
    switch (id) {
    case kSelection:
        ChoisitLogo();
        break;
    case kAutomatique:
    case kAbsolue:
        Modifie = 1;
        PositionChange(id);
        Notifie();
        break;
    case kHaut:
    case kBas:
    case kGauche:
    case kDroite:
    case kCentre:
        Modifie = 1;
        UpdateData(TRUE);
        Notifie();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CSignatureLogoDlg::OnEditChanged(int id)
{
    if (!Pret || (id != kAbsolueX && id != kAbsolueY && id != kDeltaX && id != kDeltaY))
        return;
    Modifie = 1;
    // The owner is told even when a field is refused: it draws with the
    // members as they stand.
    UpdateData(TRUE);
    Notifie();
}

void CSignatureLogoDlg::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (QWidget* apercu = GetDlgItem(kApercu))
        apercu->setFocus(Qt::OtherFocusReason);
}

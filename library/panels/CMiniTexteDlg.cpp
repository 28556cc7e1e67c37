#include "CMiniTexteDlg.h"

#include "CDataExchange.h"
#include "CRoutine.h"
#include "SpinButton.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr int kTexte = 2241;
constexpr int kEncre = 2243;
constexpr int kFond = 2245;
constexpr int kPolice = 2246;
constexpr int kX = 2249;
constexpr int kFlecheX = 2250;
constexpr int kY = 2251;
constexpr int kFlecheY = 2252;
constexpr int kHaut = 2253;
constexpr int kBas = 2254;
constexpr int kDy = 2255;
constexpr int kFlecheDy = 2256;
constexpr int kGauche = 2257;
constexpr int kDroite = 2258;
constexpr int kCentre = 2259;
constexpr int kDx = 2260;
// Room the edit keeps above and below its line.
constexpr int kMargeEdit = 2;
constexpr int kFlecheDx = 2261;

constexpr int kAncres[] = {kHaut, kBas, kGauche, kDroite, kCentre};

constexpr std::uint32_t kNombre = Opt::Number | Opt::Right;
constexpr std::uint32_t kFleche = Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys;

// Radios of one group follow each other: the layout's order makes the groups.
const bool registered = DialogTemplate::Register({
    CMiniTexteDlg::IDD, "", 401, 150, "Comic Sans MS", 8,
    Opt::Child, ResourceModule::Library,
    {
        {ControlKind::GroupBox, -1, "Text", 4, 2, 298, 71},
        {ControlKind::Edit, kTexte, "", 10, 13, 286, 54},
        {ControlKind::GroupBox, 2242, "Ink color", 306, 2, 93, 71},
        {ControlKind::Frame, kEncre, "", 309, 12, 87, 58},
        {ControlKind::GroupBox, -1, "Position", 4, 76, 196, 72},
        {ControlKind::RadioButton, CMiniTexteDlg::kAutomatique, "Automatic", 10, 86, 60, 10, Opt::Group},
        {ControlKind::RadioButton, CMiniTexteDlg::kAbsolue, "Absolute", 134, 86, 60, 10},
        {ControlKind::RadioButton, kHaut, "Up", 18, 98, 36, 10, Opt::Group},
        {ControlKind::RadioButton, kBas, "Down", 18, 109, 36, 10},
        {ControlKind::RadioButton, kGauche, "Left", 62, 98, 40, 10, Opt::Group},
        {ControlKind::RadioButton, kDroite, "Right", 62, 109, 40, 10},
        {ControlKind::RadioButton, kCentre, "Center", 62, 120, 40, 10},
        {ControlKind::Static, -1, "Dy = ", 8, 134, 20, 9, Opt::Right},
        {ControlKind::Edit, kDy, "", 28, 132, 36, 12, kNombre},
        {ControlKind::Spin, kFlecheDy, "", 64, 132, 9, 12, kFleche},
        {ControlKind::Static, -1, "Dx = ", 66, 134, 20, 9, Opt::Right},
        {ControlKind::Edit, kDx, "", 86, 132, 36, 12, kNombre},
        {ControlKind::Spin, kFlecheDx, "", 122, 132, 9, 12, kFleche},
        {ControlKind::Static, -1, "X = ", 130, 100, 20, 9, Opt::Right},
        {ControlKind::Edit, kX, "", 150, 98, 44, 12, kNombre},
        {ControlKind::Spin, kFlecheX, "", 194, 98, 9, 12, kFleche},
        {ControlKind::Static, -1, "Y = ", 130, 115, 20, 9, Opt::Right},
        {ControlKind::Edit, kY, "", 150, 113, 44, 12, kNombre},
        {ControlKind::Spin, kFlecheY, "", 194, 113, 9, 12, kFleche},
        {ControlKind::PushButton, CMiniTexteDlg::kStyle, "Style...", 136, 131, 60, 13},
        {ControlKind::GroupBox, -1, "Font", 204, 76, 98, 72},
        {ControlKind::PushButton, kPolice, "", 210, 87, 86, 55},
        {ControlKind::GroupBox, 2244, "Background color", 306, 76, 93, 72},
        {ControlKind::Frame, kFond, "", 309, 86, 87, 58},
    },
});

// Below this ratio, text is hard to read (the web's rule for large text).
constexpr double kContrasteLisible = 3.0;

double Luminance(const QColor& couleur)
{
    const auto lineaire = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lineaire(couleur.redF()) + 0.7152 * lineaire(couleur.greenF()) + 0.0722 * lineaire(couleur.blueF());
}

double Contraste(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Spin ranges are ints; a larger bound only means "no bound" to them.
int Borne(UINT maximum) { return static_cast<int>(std::min<UINT>(maximum, INT_MAX)); }

} // namespace

CMiniTexteDlg::CMiniTexteDlg(QWidget* parent) : CDialog(IDD, parent) {}

CMiniTexteDlg::CMiniTexteDlg(QWidget* parent, UINT templateId) : CDialog(templateId, parent) {}

// Owners call DesInitInstance first; this only catches what they left.
CMiniTexteDlg::~CMiniTexteDlg() { DeleteObject(PoliceTexte); }

QLineEdit* CMiniTexteDlg::EditTexte() const { return GetDlgItemAs<QLineEdit>(kTexte); }

BOOL CMiniTexteDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    Fonte = Font::Describe(EditTexte()->font());
    FonteDefaut = Fonte;
    CouleurEncre = std::make_unique<CCouleurDlg>(this);
    CouleurEncre->Create(GetDlgItem(kEncre));
    CouleurFond = std::make_unique<CCouleurDlg>(this);
    CouleurFond->Create(GetDlgItem(kFond));
    ValeurDefaut();
    Pret = 1;
    return TRUE;
}

void CMiniTexteDlg::OnOK() {}

void CMiniTexteDlg::OnCancel() {}

void CMiniTexteDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, kPolice, BoutonPolice);
    DDX_Control(pDX, kAbsolue, PositionAbsolue);
    DDX_Control(pDX, kAutomatique, PositionAutomatique);
    DDX_Control(pDX, kHaut, PositionAutomatiqueHaut);
    DDX_Control(pDX, kBas, PositionAutomatiqueBas);
    DDX_Control(pDX, kDroite, PositionAutomatiqueDroite);
    DDX_Control(pDX, kGauche, PositionAutomatiqueGauche);
    DDX_Control(pDX, kCentre, PositionAutomatiqueContinue);
    DDX_Text(pDX, kTexte, Texte);
    DDX_Text(pDX, kX, PositionAbsolueX);
    DDX_Text(pDX, kY, PositionAbsolueY);
    DDX_Text(pDX, kDy, PositionAutomatiqueDeltaY);
    DDX_Text(pDX, kDx, PositionAutomatiqueDeltaX);
    // Checked only once all five are read, so an out-of-range value is kept.
    pDX->PrepareEditCtrl(kDx);
    DDV_MinMaxUInt(pDX, PositionAutomatiqueDeltaX, 0, MaximumX);
    pDX->PrepareEditCtrl(kDy);
    DDV_MinMaxUInt(pDX, PositionAutomatiqueDeltaY, 0, MaximumY);
    pDX->PrepareEditCtrl(kX);
    DDV_MinMaxUInt(pDX, PositionAbsolueX, 0, MaximumX);
    pDX->PrepareEditCtrl(kY);
    DDV_MinMaxUInt(pDX, PositionAbsolueY, 0, MaximumY);
}

void CMiniTexteDlg::InitInstance(CDialog* parent, CGraphique* graphique, int afficher)
{
    DialogueParent = parent;
    Graphique = graphique;

    // A tab control gives its page area; any other parent leaves the rectangle as it is.
    CRect zone(0, 0, width(), height());
    SendMessage(parentWidget(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&zone));
    setGeometry(zone.left, zone.top, zone.right, zone.bottom);
    raise();
    if (afficher) {
        show();
        EditTexte()->setFocus();
    }

    CouleurEncre->InitInstance(this, graphique, 1);
    CouleurFond->InitInstance(this, graphique, 0);
    AffichageGlobal();

    const struct {
        int fleche;
        int edit;
        UINT maximum;
    } fleches[] = {
        {kFlecheDx, kDx, MaximumX}, {kFlecheDy, kDy, MaximumY}, {kFlecheX, kX, MaximumX}, {kFlecheY, kY, MaximumY}};
    // Layouts other than ours may leave the spins unattached until now.
    for (const auto& f : fleches) {
        auto* fleche = GetDlgItemAs<SpinButton>(f.fleche);
        fleche->SetBuddy(GetDlgItemAs<QLineEdit>(f.edit), true);
        fleche->SetRange(0, Borne(f.maximum));
    }
    UpdateData(FALSE);
    Modifie = 0;
}

void CMiniTexteDlg::DesInitInstance()
{
    DeleteObject(PoliceTexte);
    PoliceTexte = nullptr;
    for (std::unique_ptr<CCouleurDlg>* panneau : {&CouleurEncre, &CouleurFond}) {
        if (*panneau)
            (*panneau)->DestroyWindow();
        panneau->reset();
    }
}

void CMiniTexteDlg::ValeurDefaut()
{
    Texte.clear();
    Fonte = FonteDefaut;
    CheckDlgButton(kAbsolue, BST_UNCHECKED);
    PositionAbsolueX = 0;
    PositionAbsolueY = 0;
    CheckDlgButton(kAutomatique, BST_CHECKED);
    CheckDlgButton(kHaut, BST_UNCHECKED);
    CheckDlgButton(kBas, BST_CHECKED);
    CheckDlgButton(kDroite, BST_CHECKED);
    CheckDlgButton(kGauche, BST_UNCHECKED);
    CheckDlgButton(kCentre, BST_UNCHECKED);
    PositionAutomatiqueDeltaX = 5;
    PositionAutomatiqueDeltaY = 5;
    for (CCouleurDlg* panneau : {CouleurEncre.get(), CouleurFond.get()})
        if (panneau)
            panneau->ValeurDefaut();
}

void CMiniTexteDlg::AffichageGlobal()
{
    AffichePolice();
    FormateLeTexte();
    for (CCouleurDlg* panneau : {CouleurEncre.get(), CouleurFond.get()})
        if (panneau)
            panneau->OnCouleurBase(panneau->IsDlgButtonChecked(CCouleurDlg::kHexa) ? CCouleurDlg::kHexa
                                                                                  : CCouleurDlg::kDecimal);
    PositionChange(IsDlgButtonChecked(kAutomatique) ? kAutomatique : kAbsolue);
}

void CMiniTexteDlg::AffichePolice()
{
    HDC dc = GetDC(this);
    const int points = -MulDiv(Fonte.lfHeight, 72, GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(this, dc);
    // A record read from a file may lack its terminator.
    CString description(Fonte.lfFaceName, strnlen(Fonte.lfFaceName, LF_FACESIZE));
    description += "\n" + std::to_string(points);
    CString ligne;
    if (Fonte.lfItalic)
        description += CRoutine::Message(ligne, 5);
    if (Fonte.lfUnderline)
        description += CRoutine::Message(ligne, 6);
    if (Fonte.lfStrikeOut)
        description += CRoutine::Message(ligne, 7);
    if (Fonte.lfWeight == FW_BOLD)
        description += CRoutine::Message(ligne, 8);
    SetDlgItemText(kPolice, description);
}

void CMiniTexteDlg::FormateLeTexte()
{
    HFONT police = CreateFontIndirect(&Fonte);
    QLineEdit* edit = EditTexte();
    edit->setFont(TailleEcran(police->qfont(), edit->contentsRect().height()));

    HDC dc = GetDC(this);
    OnCtlColor(dc, edit);
    QPalette couleurs = edit->palette();
    couleurs.setColor(QPalette::Text, ToQColor(dc->textColour));
    // The edit's background is painted before the edit itself, with the cells behind the text.
    couleurs.setColor(QPalette::Base, Qt::transparent);
    ReleaseDC(this, dc);
    edit->setPalette(couleurs);
    edit->update();

    DeleteObject(std::exchange(PoliceTexte, police));
}

QFont CMiniTexteDlg::TailleEcran(QFont police, int hauteur)
{
    // Face, weight and style stay; a font taller than the edit is shown
    // smaller there, and only there: the pictures get its true size.
    const int place = hauteur - 2 * kMargeEdit;
    const int ligne = QFontMetrics(police).height();
    if (place <= 0 || ligne <= place)
        return police;
    const int pixels = QFontInfo(police).pixelSize();
    police.setPixelSize(std::max(1, pixels * place / ligne));
    return police;
}

void CMiniTexteDlg::PositionChange(UINT id)
{
    for (const int ancre : kAncres)
        GetDlgItem(ancre)->setEnabled(id != kAbsolue);
    GetDlgItem(kX)->setEnabled(id != kAutomatique);
    GetDlgItem(kY)->setEnabled(id != kAutomatique);
    GetDlgItem(kDx)->setEnabled(id == kAutomatique);
    GetDlgItem(kDy)->setEnabled(id == kAutomatique);
}

LRESULT CMiniTexteDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHANGEMENT_COULEUR)
        return PriseEnCompteChangementCouleur(wParam, lParam);
    return CDialog::OnMessage(message, wParam, lParam);
}

LRESULT CMiniTexteDlg::PriseEnCompteChangementCouleur(WPARAM, LPARAM)
{
    if (!CouleurEncre || !CouleurFond)
        return 0;
    if (CouleurEncre->Modifie || CouleurFond->Modifie) {
        Modifie = 1;
        CouleurEncre->Modifie = 0;
        CouleurFond->Modifie = 0;
    }
    FormateLeTexte();
    Signale();
    return 0;
}

// ---- what the user does ----

void CMiniTexteDlg::OnClicked(int id)
{
    switch (id) {
    case kPolice:
        OnPoliceSelecteur();
        break;
    case kAbsolue:
    case kAutomatique:
        OnPositionChange(static_cast<UINT>(id));
        break;
    case kHaut:
    case kBas:
    case kGauche:
    case kDroite:
    case kCentre:
        OnPositionValeurChange();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CMiniTexteDlg::OnEditChanged(int id)
{
    switch (id) {
    case kTexte:
        OnTexteChange();
        break;
    case kX:
    case kY:
    case kDx:
    case kDy:
        OnPositionValeurChange();
        break;
    default:
        break;
    }
}

void CMiniTexteDlg::Signale() { PostMessage(DialogueParent, WM_CHANGEMENT_SIGNATURE, 0, 0); }

void CMiniTexteDlg::OnTexteChange()
{
    if (!Pret)
        return;
    UpdateData(TRUE);
    Modifie = 1;
    EditTexte()->update();
    Signale();
}

void CMiniTexteDlg::OnPoliceSelecteur()
{
    UpdateData(TRUE);
    LOGFONT choisie = Fonte;
    if (!Interaction::current().chooseFont(this, choisie))
        return;
    Fonte = choisie;
    Modifie = 1;
    AffichePolice();
    FormateLeTexte();
    Signale();
    UpdateData(FALSE);
}

// The owner reads the radios themselves: nothing to transfer.
void CMiniTexteDlg::OnPositionChange(UINT id)
{
    Modifie = 1;
    PositionChange(id);
    Signale();
}

// An anchor clicked or a number edited. The owner is told even when a field
// failed its check: it draws with the members as they are.
void CMiniTexteDlg::OnPositionValeurChange()
{
    Modifie = 1;
    UpdateData(TRUE);
    Signale();
}

void CMiniTexteDlg::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    OnShowWindow(TRUE);
}

void CMiniTexteDlg::OnShowWindow(BOOL shown)
{
    if (shown)
        EditTexte()->setFocus();
}

// ---- the text edit in the signature's colours ----

void CMiniTexteDlg::OnCtlColor(HDC dc, QWidget* control)
{
    if (control != EditTexte() || !CouleurEncre || !CouleurFond)
        return;
    SetTextColor(dc, CouleurEncre->Couleur);
    SetBkColor(dc, CouleurFond->Couleur);
    const bool transparent = CouleurFond->BoutonTransparent && CouleurFond->BoutonTransparent->isChecked();
    SetBkMode(dc, transparent ? TRANSPARENT : OPAQUE);
}

bool CMiniTexteDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched == EditTexte())
        PeintCellules(static_cast<QLineEdit*>(watched));
    return CDialog::eventFilter(watched, event);
}

QColor CMiniTexteDlg::FondLisible(QColor encre, QColor fond)
{
    if (Contraste(encre, fond) >= kContrasteLisible)
        return fond;
    const QColor sombre(0x30, 0x30, 0x30);
    const QColor clair(Qt::white);
    return Contraste(encre, sombre) >= Contraste(encre, clair) ? sombre : clair;
}

// Runs just before the edit paints itself over a see-through base: the usual
// edit background, then, with an opaque background, the background colour
// behind the characters only, as the signature is drawn on a picture. Over
// a transparent background, an ink that would vanish into the edit (white on
// white) gets a contrasting edit instead: the user must read what he types.
void CMiniTexteDlg::PeintCellules(QLineEdit* edit)
{
    HDC dc = GetDC(this);
    OnCtlColor(dc, edit);
    const bool opaque = dc->backgroundMode == OPAQUE;
    const QColor encre = ToQColor(dc->textColour);
    const QColor fond = ToQColor(dc->backgroundColour);
    ReleaseDC(this, dc);
    // Cells in the background colour are the picture's look and stay.
    const QColor base = opaque ? palette().color(QPalette::Base) : FondLisible(encre, palette().color(QPalette::Base));

    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    option.palette.setColor(QPalette::Base, base);
    QPainter painter(edit);
    edit->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, edit);

    const QString texte = edit->displayText();
    if (!opaque || texte.isEmpty())
        return;

    // Where the edit puts its line: 2 pixels in from the contents' left
    // edge, centred vertically. A text wider than the edit fills it across.
    const QRect contenu = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                              .marginsRemoved(edit->textMargins());
    const QFontMetrics mesure(edit->font());
    const int ligne = std::max(mesure.boundingRect(texte).height(), mesure.height());
    const QRect cellules(contenu.x() + 2, contenu.y() + (contenu.height() - ligne + 1) / 2,
                         std::min(mesure.horizontalAdvance(texte), contenu.width() - 4),
                         mesure.ascent() + mesure.descent());
    painter.fillRect(cellules.intersected(contenu), fond);
}

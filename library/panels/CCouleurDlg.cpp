#include "CCouleurDlg.h"

#include "BitmapStatic.h"
#include "CDataExchange.h"
#include "CGraphique.h"
#include "CRoutine.h"
#include "Decimal.h"
#include "SpinButton.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <cstdio>

namespace {

constexpr int kEchantillon = 1409;
constexpr int kRouge = 1402;
constexpr int kVert = 1404;
constexpr int kBleu = 1406;
constexpr int kFlecheRouge = 1403;
constexpr int kFlecheVert = 1405;
constexpr int kFlecheBleu = 1407;
constexpr int kTransparent = 1408;

constexpr int kChamps[] = {kRouge, kVert, kBleu};
constexpr int kFleches[] = {kFlecheRouge, kFlecheVert, kFlecheBleu};

constexpr std::uint32_t kFleche = Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys;

const bool registered = DialogTemplate::Register({
    CCouleurDlg::IDD, "", 87, 58, "MS Sans Serif", 8,
    Opt::Visible | Opt::Child, ResourceModule::Library,
    {
        {ControlKind::Picture, kEchantillon, "", 4, 4, 20, 20, Opt::Notify | Opt::Center | Opt::Sunken, 1901},
        {ControlKind::RadioButton, CCouleurDlg::kHexa, "Hex", 4, 27, 30, 9, Opt::Group},
        {ControlKind::RadioButton, CCouleurDlg::kDecimal, "Dec", 4, 37, 30, 9},
        {ControlKind::Static, -1, "R = ", 36, 5, 17, 8, Opt::Right},
        {ControlKind::Edit, kRouge, "", 53, 3, 31, 12, Opt::Uppercase},
        {ControlKind::Spin, kFlecheRouge, "", 84, 3, 9, 12, kFleche},
        {ControlKind::Static, -1, "G = ", 36, 19, 17, 8, Opt::Right},
        {ControlKind::Edit, kVert, "", 53, 17, 31, 12, Opt::Uppercase},
        {ControlKind::Spin, kFlecheVert, "", 84, 17, 9, 12, kFleche},
        {ControlKind::Static, -1, "B = ", 36, 33, 17, 8, Opt::Right},
        {ControlKind::Edit, kBleu, "", 53, 31, 31, 12, Opt::Uppercase},
        {ControlKind::Spin, kFlecheBleu, "", 84, 31, 9, 12, kFleche},
        {ControlKind::CheckBox, kTransparent, "Transparent", 4, 47, 80, 10},
    },
});

// What the user may type into a channel field: capitals always, and in
// hexadecimal nothing but hexadecimal digits, so that no character can give
// a channel a value beyond one byte.
class FiltreCanal : public QValidator {
public:
    FiltreCanal(bool hexa, QObject* parent) : QValidator(parent), m_hexa(hexa) {}
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        if (m_hexa)
            for (const QChar c : input)
                if ((c < u'0' || c > u'9') && (c < u'A' || c > u'F'))
                    return Invalid;
        return Acceptable;
    }

private:
    bool m_hexa;
};

CString Formate(bool hexa, BYTE canal)
{
    char texte[4];
    std::snprintf(texte, sizeof texte, hexa ? "%X" : "%d", canal);
    return texte;
}

} // namespace

CCouleurDlg::CCouleurDlg(QWidget* parent) : CDialog(IDD, parent) {}

CCouleurDlg::~CCouleurDlg() { DeleteObject(Echantillon); }

BOOL CCouleurDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ValeurDefaut();
    // The swatch keeps showing its first picture, which is ours from now on.
    auto* echantillon = GetDlgItemAs<BitmapStatic>(kEchantillon);
    Echantillon = echantillon->SetBitmap(echantillon->GetBitmap());
    for (const int id : kFleches)
        GetDlgItemAs<SpinButton>(id)->SetRange(0, 255);
    m_filtreHexa = new FiltreCanal(true, this);
    m_filtreDecimal = new FiltreCanal(false, this);
    Pret = 1;
    return TRUE;
}

void CCouleurDlg::OnOK() {}

void CCouleurDlg::OnCancel() {}

void CCouleurDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, kHexa, BoutonHexa);
    DDX_Control(pDX, kDecimal, BoutonDecimal);
    DDX_Control(pDX, kTransparent, BoutonTransparent);
    DDX_Text(pDX, kRouge, TexteRouge);
    DDX_Text(pDX, kVert, TexteVert);
    DDX_Text(pDX, kBleu, TexteBleu);
}

void CCouleurDlg::ValeurDefaut()
{
    CheckDlgButton(kHexa, BST_CHECKED);
    CheckDlgButton(kDecimal, BST_UNCHECKED);
    Couleur = RGB(0, 0, 0);
    CheckDlgButton(kTransparent, BST_CHECKED);
}

void CCouleurDlg::InitInstance(CDialog* proprietaire, CGraphique* graphique, int cacherTransparent)
{
    Proprietaire = proprietaire;
    Graphique = graphique;
    if (QWidget* cadre = parentWidget())
        move((cadre->width() - width()) / 2, (cadre->height() - height()) / 2);
    GetDlgItem(kTransparent)->setHidden(cacherTransparent != 0);
    OnCouleurBase(IsDlgButtonChecked(kHexa) ? kHexa : kDecimal);
    Modifie = 0;
}

void CCouleurDlg::OnCouleurBase(UINT id)
{
    const bool hexa = id == kHexa;
    CheckRadioButton(kHexa, kDecimal, hexa ? kHexa : kDecimal);
    for (const int fleche : kFleches)
        GetDlgItemAs<SpinButton>(fleche)->SetBase(hexa ? 16 : 10);
    ChoisitFiltre(hexa);
    FormateCouleur();
    UpdateData(FALSE);
}

void CCouleurDlg::ChoisitFiltre(bool hexa)
{
    for (const int id : kChamps)
        GetDlgItemAs<QLineEdit>(id)->setValidator(hexa ? m_filtreHexa : m_filtreDecimal);
}

void CCouleurDlg::FormateCouleur()
{
    Pret = 0;
    if (Echantillon) {
        HDC dc = GetDC(this);
        CGraphique::RemplieImage(dc, Echantillon, Couleur);
        ReleaseDC(this, dc);
        GetDlgItemAs<BitmapStatic>(kEchantillon)->SetBitmap(Echantillon);
    }
    const bool hexa = IsDlgButtonChecked(kHexa) == BST_CHECKED;
    TexteBleu = Formate(hexa, GetBValue(Couleur));
    TexteVert = Formate(hexa, GetGValue(Couleur));
    TexteRouge = Formate(hexa, GetRValue(Couleur));
    GetDlgItemAs<SpinButton>(kFlecheBleu)->SetPos(GetBValue(Couleur));
    GetDlgItemAs<SpinButton>(kFlecheVert)->SetPos(GetGValue(Couleur));
    GetDlgItemAs<SpinButton>(kFlecheRouge)->SetPos(GetRValue(Couleur));
    Pret = 1;
}

void CCouleurDlg::PriseEnCompteChangementCouleur()
{
    PostMessage(Proprietaire, WM_CHANGEMENT_COULEUR, 0, 0);
}

void CCouleurDlg::OnClicked(int id)
{
    switch (id) {
    case kEchantillon:
        OnCouleurSelecteur();
        break;
    case kHexa:
    case kDecimal:
        OnCouleurBase(static_cast<UINT>(id));
        break;
    case kTransparent:
        OnCouleurTransparent();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CCouleurDlg::OnEditChanged(int id)
{
    if (id == kRouge || id == kVert || id == kBleu)
        OnCouleurChange();
}

BOOL CCouleurDlg::OnSpinDelta(int, int, int)
{
    OnCouleurFlecheChange();
    return FALSE;
}

BOOL CCouleurDlg::PreTranslateKey(int, QKeyEvent* event)
{
    // An embedded panel must never let Escape reach a dialog that would close.
    return event->key() == Qt::Key_Escape;
}

void CCouleurDlg::OnCouleurSelecteur()
{
    UpdateData(TRUE);
    COLORREF choisie = Couleur;
    if (!Interaction::current().chooseColour(this, choisie))
        return;
    Modifie = 1;
    Couleur = choisie;
    FormateCouleur();
    PriseEnCompteChangementCouleur();
    UpdateData(FALSE);
}

void CCouleurDlg::OnCouleurChange()
{
    if (!Pret)
        return;
    Modifie = 1;
    Pret = 0;
    UpdateData(TRUE);
    const bool hexa = IsDlgButtonChecked(kHexa) == BST_CHECKED;
    const auto canal = [hexa](const CString& texte) -> COLORREF {
        const std::int64_t valeur = hexa ? CRoutine::HexToBin(texte) : DecimalValue(texte);
        // Two's complement keeps the low byte of a negative value too: -1 gives 255.
        return static_cast<COLORREF>(static_cast<std::uint64_t>(valeur) & 0xFF);
    };
    Couleur = canal(TexteRouge) + canal(TexteVert) * 256 + canal(TexteBleu) * 65536;
    FormateCouleur();
    PriseEnCompteChangementCouleur();
    UpdateData(FALSE);
    Pret = 1;
}

void CCouleurDlg::OnCouleurFlecheChange() { OnCouleurChange(); }

void CCouleurDlg::OnCouleurTransparent() { PriseEnCompteChangementCouleur(); }

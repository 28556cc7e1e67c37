#include "CTexteDlg.h"

#include "CCouleurDlg.h"
#include "CDataExchange.h"
#include "CGraphique.h"
#include "CMiniTexteDlg.h"
#include "CRoutine.h"

#include <QAbstractButton>
#include <QTabWidget>

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr int kIcone = 2237;
constexpr int kApercu = 2238;
constexpr int kReset = 2239;
constexpr int kOnglets = 2240;

constexpr UINT kLibelleOnglet = 10;

const bool registered = DialogTemplate::Register({
    CTexteDlg::IDD, "Add text to picture", 431, 287, "Comic Sans MS", 8, Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1, "To add text to a picture allows to give some infomations about it.", 44, 8, 252,
         10},
        {ControlKind::Static, -1,
         "Select text by clicking on tab and input characteristics.\nClick on picture to display it on full "
         "screen.",
         44, 21, 252, 20},
        {ControlKind::Picture, kApercu, "", 304, 5, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::TabControl, kOnglets, "", 7, 92, 417, 171},
        {ControlKind::PushButton, kReset, "Reset", 7, 267, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 319, 267, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 374, 267, 50, 14},
    },
});

// The label's number goes where the string table's "%d" is; the table is
// not trusted as a format.
std::string Libelle(int numero)
{
    CString modele;
    CRoutine::Message(modele, kLibelleOnglet);
    const std::size_t marque = modele.find("%d");
    if (marque == std::string::npos)
        return modele;
    return modele.substr(0, marque) + std::to_string(numero) + modele.substr(marque + 2);
}

int VersSigne(UINT valeur) { return static_cast<int>(std::min<UINT>(valeur, INT_MAX)); }

UINT VersNonSigne(int valeur) { return static_cast<UINT>(std::max(valeur, 0)); }

} // namespace

CTexteDlg::CTexteDlg(QWidget* parent) : CRetoucheDlg(IDD, kIcone, 1025, {kApercu}, false, parent) {}

CTexteDlg::~CTexteDlg() = default;

void CTexteDlg::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, kOnglets, Onglets); }

BOOL CTexteDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    InitialiseApercus();
    // A dialog run again makes its pages anew.
    DesInitInstance();
    while (Onglets->count() > 0)
        delete Onglets->widget(0);
    for (int i = 0; i < kNombreTextes; ++i) {
        Pages[i] = std::make_unique<CMiniTexteDlg>(this);
        Pages[i]->Create(Onglets);
        // The tab's own page stays empty: the panel lies over the page area.
        Onglets->addTab(new QWidget, QString::fromStdString(Libelle(i + 1)));
    }
    AfficheValeurs();
    for (int i = 0; i < kNombreTextes; ++i)
        Pages[i]->InitInstance(this, Graphique, i == 0 ? 1 : 0);
    // The pages left hidden must stay so when the dialog shows.
    OnTexteSelection();
    AfficheImage();
    UpdateData(FALSE);
    return TRUE;
}

void CTexteDlg::ValeurDefaut()
{
    T_TEXTE defaut;
    defaut.Fonte = Font::Describe(font());
    Textes.fill(defaut);
}

void CTexteDlg::AfficheValeurs()
{
    for (int i = 0; i < kNombreTextes; ++i) {
        if (!Pages[i])
            continue;
        CMiniTexteDlg& page = *Pages[i];
        const T_TEXTE& texte = Textes[i];
        page.Texte = texte.Texte;
        page.Fonte = texte.Fonte;
        CRoutine::FixeEtatBouton(page.PositionAbsolue, texte.PositionAutomatique == 0);
        CRoutine::FixeEtatBouton(page.PositionAutomatique, texte.PositionAutomatique != 0);
        page.PositionAbsolueX = VersNonSigne(texte.PositionAbsolueX);
        page.PositionAbsolueY = VersNonSigne(texte.PositionAbsolueY);
        CRoutine::FixeEtatBouton(page.PositionAutomatiqueHaut, texte.PositionVerticale == 0);
        CRoutine::FixeEtatBouton(page.PositionAutomatiqueBas, texte.PositionVerticale == 1);
        CRoutine::FixeEtatBouton(page.PositionAutomatiqueDroite, texte.PositionHorizontale == 1);
        CRoutine::FixeEtatBouton(page.PositionAutomatiqueGauche, texte.PositionHorizontale == 0);
        CRoutine::FixeEtatBouton(page.PositionAutomatiqueContinue, texte.PositionHorizontale == 2);
        page.PositionAutomatiqueDeltaX = VersNonSigne(texte.PositionAutomatiqueDeltaX);
        page.PositionAutomatiqueDeltaY = VersNonSigne(texte.PositionAutomatiqueDeltaY);
        page.CouleurEncre->Couleur = texte.CouleurEncre;
        page.CouleurFond->Couleur = texte.CouleurFond;
        CRoutine::FixeEtatBouton(page.CouleurFond->BoutonTransparent, texte.CouleurFondTransparent);
        page.MaximumX = VersNonSigne(LargeurImage);
        page.MaximumY = VersNonSigne(HauteurImage);
    }
}

void CTexteDlg::LectureValeurs()
{
    for (int i = 0; i < kNombreTextes; ++i) {
        if (!Pages[i])
            continue;
        const CMiniTexteDlg& page = *Pages[i];
        T_TEXTE& texte = Textes[i];
        texte.Actif = page.Texte.empty() ? 0 : 1;
        texte.Texte = page.Texte;
        texte.Fonte = page.Fonte;
        CRoutine::LireEtatBouton(page.PositionAutomatique, &texte.PositionAutomatique);
        texte.PositionAbsolueX = VersSigne(page.PositionAbsolueX);
        texte.PositionAbsolueY = VersSigne(page.PositionAbsolueY);
        int haut = 0, droite = 0, gauche = 0;
        CRoutine::LireEtatBouton(page.PositionAutomatiqueHaut, &haut);
        CRoutine::LireEtatBouton(page.PositionAutomatiqueDroite, &droite);
        CRoutine::LireEtatBouton(page.PositionAutomatiqueGauche, &gauche);
        texte.PositionVerticale = haut ? 0 : 1;
        texte.PositionHorizontale = droite ? 1 : gauche ? 0 : 2;
        texte.PositionAutomatiqueDeltaX = VersSigne(page.PositionAutomatiqueDeltaX);
        texte.PositionAutomatiqueDeltaY = VersSigne(page.PositionAutomatiqueDeltaY);
        texte.CouleurEncre = page.CouleurEncre->Couleur;
        texte.CouleurFond = page.CouleurFond->Couleur;
        CRoutine::LireEtatBouton(page.CouleurFond->BoutonTransparent, &texte.CouleurFondTransparent);
    }
}

CPoint CTexteDlg::CalculePositionTexte(T_TEXTE texte, CSize taille)
{
    if (!texte.PositionAutomatique)
        return CPoint(texte.PositionAbsolueX, texte.PositionAbsolueY);
    const LONG y = texte.PositionVerticale != 0 ? taille.cy - texte.PositionAutomatiqueDeltaY
                                                : texte.PositionAutomatiqueDeltaY;
    // Centred text ignores x.
    LONG x = 0;
    if (texte.PositionHorizontale == 1)
        x = taille.cx - texte.PositionAutomatiqueDeltaX;
    else if (texte.PositionHorizontale == 0)
        x = texte.PositionAutomatiqueDeltaX;
    return CPoint(x, y);
}

HBITMAP CTexteDlg::EcritureTextes(CGraphique& graphique, HDC dc, HBITMAP image, const Textes_t& textes)
{
    CSize taille;
    CGraphique::RecupereInfosImage(image, taille, nullptr);
    HBITMAP courante = image;
    for (const T_TEXTE& texte : textes) {
        if (!texte.Actif)
            continue;
        HFONT police = CreateFontIndirect(&texte.Fonte);
        if (!police)
            continue;
        // An absolute point is the text's top-left corner.
        const bool automatique = texte.PositionAutomatique != 0;
        HBITMAP suivante = graphique.EcritureTexteDansImage(
            dc, courante, texte.Texte, CalculePositionTexte(texte, taille), automatique ? texte.PositionVerticale : 0,
            automatique ? texte.PositionHorizontale : 0, texte.CouleurEncre, texte.CouleurFond,
            texte.CouleurFondTransparent, police);
        DeleteObject(police);
        if (!suivante)
            continue;
        if (courante != image)
            DeleteObject(courante);
        courante = suivante;
    }
    return courante;
}

void CTexteDlg::AfficheImage()
{
    if (!Graphique) {
        MontreApercu(0, Image);
        return;
    }
    MontreApercu(0, Applique([this](HDC dc) { return EcritureTextes(*Graphique, dc, Image, Textes); }));
}

LRESULT CTexteDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHANGEMENT_SIGNATURE)
        return PriseEnCompteChangementTexte(wParam, lParam);
    return CRetoucheDlg::OnMessage(message, wParam, lParam);
}

LRESULT CTexteDlg::PriseEnCompteChangementTexte(WPARAM, LPARAM)
{
    LectureValeurs();
    AfficheImage();
    return 0;
}

void CTexteDlg::OnSelectionChanged(int id)
{
    if (id == kOnglets)
        OnTexteSelection();
    else
        CRetoucheDlg::OnSelectionChanged(id);
}

void CTexteDlg::OnTexteSelection()
{
    const int choisi = Onglets->currentIndex();
    for (int i = 0; i < kNombreTextes; ++i)
        if (Pages[i] && i != choisi)
            Pages[i]->hide();
    if (choisi >= 0 && choisi < kNombreTextes && Pages[choisi])
        Pages[choisi]->show();
}

void CTexteDlg::OnClicked(int id)
{
    switch (id) {
    case kApercu:
        OnPleinEcran();
        break;
    case kReset:
        OnReset();
        break;
    default:
        CRetoucheDlg::OnClicked(id);
        break;
    }
}

void CTexteDlg::OnReset()
{
    ValeurDefaut();
    AfficheValeurs();
    for (const auto& page : Pages) {
        if (!page)
            continue;
        page->AffichageGlobal();
        page->UpdateData(FALSE);
    }
    AfficheImage();
}

void CTexteDlg::OnPleinEcran()
{
    std::function<HBITMAP(HDC)> composition;
    if (Graphique)
        composition = [this](HDC dc) { return EcritureTextes(*Graphique, dc, Image, Textes); };
    AffichePleinEcran(composition, CString(), kApercu);
}

void CTexteDlg::DesInitInstance()
{
    for (auto& page : Pages) {
        if (!page)
            continue;
        page->DesInitInstance();
        page->DestroyWindow();
        page.reset();
    }
}

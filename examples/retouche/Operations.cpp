#include "Operations.h"

#include "CCadreDlg.h"
#include "CFondDlg.h"
#include "CGraphique.h"
#include "CRecoupeDlg.h"
#include "CRedimensionDlg.h"
#include "CReglageDlg.h"
#include "CRotationDlg.h"
#include "CTexteDlg.h"

#include <cstring>

namespace {

// The owner's part before the run: the picture, its size and the toolbox.
void Confie(CRetoucheDlg& dialogue, CGraphique& graphique, HBITMAP image)
{
    CSize taille;
    CGraphique::RecupereInfosImage(image, taille, nullptr);
    dialogue.Image = image;
    dialogue.LargeurImage = taille.cx;
    dialogue.HauteurImage = taille.cy;
    dialogue.InitInstance(&graphique);
}

// Each operation gets a drawing context of its own, released right after.
HBITMAP AvecContexte(QWidget* proprietaire, const std::function<HBITMAP(HDC)>& operation)
{
    HDC dc = GetDC(proprietaire);
    HBITMAP resultat = operation(dc);
    ReleaseDC(proprietaire, dc);
    return resultat;
}

bool Rotation(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CRotationDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    if (dialogue.DoModal() != IDOK || dialogue.Angle == 0)
        return false;
    resultat = AvecContexte(proprietaire,
                            [&](HDC dc) { return CGraphique::RotationImage(dc, image, dialogue.Angle); });
    return true;
}

bool Reglage(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CReglageDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    if (dialogue.DoModal() != IDOK)
        return false;
    resultat = AvecContexte(proprietaire, [&](HDC dc) {
        return CGraphique::ReglageImage(dc, image, dialogue.Lumiere, dialogue.Contraste, dialogue.Intensite);
    });
    return true;
}

bool Recoupe(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CRecoupeDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    // Starts from the whole picture.
    dialogue.ZoneRecoupe = CRect(0, 0, dialogue.LargeurImage, dialogue.HauteurImage);
    if (dialogue.DoModal() != IDOK)
        return false;
    const CRect zone = dialogue.ZoneRecoupe;
    resultat = AvecContexte(proprietaire, [&](HDC dc) {
        return CGraphique::RecoupeImage(dc, image, CPoint(zone.left, zone.top), zone.Size(), RGB(0, 0, 0));
    });
    return true;
}

bool Redimension(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CRedimensionDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    if (dialogue.DoModal() != IDOK)
        return false;
    const CSize taille = CGraphique::CalculTailleRedimensionne(image, dialogue.ModePourcentage, dialogue.Pourcentage,
                                                               dialogue.NouvelleLargeur, dialogue.NouvelleHauteur,
                                                               nullptr);
    resultat = AvecContexte(proprietaire,
                            [&](HDC dc) { return CGraphique::RedimensionneImage(dc, image, taille, 0); });
    return true;
}

bool Cadre(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CCadreDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    // Starts from a plain white border edged in black.
    dialogue.TypeAucun = 0;
    dialogue.TypeCouleur = 1;
    dialogue.AvecLiseret = 1;
    dialogue.IndexMotif = 0;
    dialogue.Epaisseur = 20;
    dialogue.CouleurCadre = RGB(255, 255, 255);
    dialogue.CouleurLiseret = RGB(0, 0, 0);
    const bool ok = dialogue.DoModal() == IDOK;
    dialogue.DesInitInstance();
    if (!ok || dialogue.TypeAucun)
        return false;
    resultat = AvecContexte(proprietaire, [&](HDC dc) {
        return graphique.CadreImage(dc, image, dialogue.TypeMotif, dialogue.IndexMotif, dialogue.CouleurCadre,
                                    static_cast<int>(dialogue.Epaisseur), dialogue.AvecLiseret,
                                    dialogue.CouleurLiseret);
    });
    return true;
}

bool Fond(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CFondDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    dialogue.TypeMotif = 1;
    dialogue.TypeCouleur = 0;
    dialogue.IndexMotif = 0;
    const bool ok = dialogue.DoModal() == IDOK;
    dialogue.DesInitInstance();
    if (!ok || dialogue.TypeAucun)
        return false;
    resultat = AvecContexte(proprietaire, [&](HDC dc) {
        return graphique.FondImage(dc, dialogue.TailleFond, dialogue.ProfondeurFond, image, dialogue.TypeMotif,
                                   dialogue.IndexMotif, dialogue.CouleurUnie);
    });
    return true;
}

bool Texte(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)
{
    CTexteDlg dialogue(proprietaire);
    Confie(dialogue, graphique, image);
    // Five empty texts, ready to go in white at the bottom right.
    for (T_TEXTE& texte : dialogue.Textes) {
        texte.Fonte.lfHeight = -32;
        texte.Fonte.lfWeight = FW_BOLD;
        std::strcpy(texte.Fonte.lfFaceName, "Comic Sans MS");
        texte.PositionAutomatique = 1;
        texte.PositionVerticale = 1;
        texte.PositionHorizontale = 1;
        texte.CouleurEncre = RGB(255, 255, 255);
    }
    const bool ok = dialogue.DoModal() == IDOK;
    dialogue.DesInitInstance();
    if (!ok)
        return false;
    // The picture itself comes back when no text is active: nothing to change.
    HBITMAP ecrite = AvecContexte(
        proprietaire, [&](HDC dc) { return CTexteDlg::EcritureTextes(graphique, dc, image, dialogue.Textes); });
    if (ecrite == image)
        return false;
    resultat = ecrite;
    return true;
}

} // namespace

const std::vector<Operation>& Operations()
{
    static const std::vector<Operation> operations = {
        {"Rotate...", Rotation},
        {"Adjust colors...", Reglage},
        {"Cut...", Recoupe},
        {"Stretch...", Redimension},
        {"Border...", Cadre},
        {"Background...", Fond},
        {"Text...", Texte},
    };
    return operations;
}

#include "Operations.h"

#include "CGraphique.h"
#include "CRecoupeDlg.h"
#include "CRedimensionDlg.h"
#include "CReglageDlg.h"
#include "CRotationDlg.h"

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

} // namespace

const std::vector<Operation>& Operations()
{
    static const std::vector<Operation> operations = {
        {"Rotate...", Rotation},
        {"Adjust colors...", Reglage},
        {"Cut...", Recoupe},
        {"Stretch...", Redimension},
    };
    return operations;
}

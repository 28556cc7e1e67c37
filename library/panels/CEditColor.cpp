#include "CEditColor.h"

#include <QApplication>
#include <QPalette>

namespace {

// Windows kinds of colour request; the edit answers all of them alike.
constexpr UINT kDemandeEdit = 1;

COLORREF FaceDeBouton()
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    return RGB(face.red(), face.green(), face.blue());
}

} // namespace

CEditColor::CEditColor(QWidget* parent)
    : QLineEdit(parent), CouleurTexte(RGB(0, 0, 0)), CouleurArrierePlan(FaceDeBouton()),
      PinceauFond(CreateSolidBrush(CouleurArrierePlan))
{
    Repeint();
}

CEditColor::~CEditColor() { DeleteObject(PinceauFond); }

void CEditColor::SetTextColor(unsigned long couleur)
{
    CouleurTexte = static_cast<COLORREF>(couleur);
    Repeint();
}

void CEditColor::SetBkColor(unsigned long couleur)
{
    CouleurArrierePlan = static_cast<COLORREF>(couleur);
    HBRUSH ancien = PinceauFond;
    PinceauFond = CreateSolidBrush(CouleurArrierePlan);
    DeleteObject(ancien);
    Repeint();
}

HBRUSH CEditColor::CtlColor(HDC dc, UINT)
{
    ::SetTextColor(dc, CouleurTexte);
    ::SetBkColor(dc, CouleurArrierePlan);
    return PinceauFond;
}

// Qt paints from the palette, so the answer to the colour request becomes it.
void CEditColor::Repeint()
{
    HDC dc = GetDC(this);
    HBRUSH fond = CtlColor(dc, kDemandeEdit);
    QPalette couleurs = palette();
    couleurs.setColor(QPalette::Text, ToQColor(dc->textColour));
    couleurs.setColor(QPalette::Base, ToQColor(fond->colour()));
    ReleaseDC(this, dc);
    setPalette(couleurs);
    update();
}

#pragma once
// An edit control painted in a text colour and a background colour of its
// own, over its whole area. Offered to owners' dialogs.

#include "Gdi.h"

#include <QLineEdit>

class CEditColor : public QLineEdit {
    Q_OBJECT

public:
    // Black on the system's button face.
    explicit CEditColor(QWidget* parent = nullptr);
    ~CEditColor() override;

    void SetTextColor(unsigned long couleur);
    void SetBkColor(unsigned long couleur);
    // The colour request of any kind of control part: the context gets both
    // colours and the returned brush fills the whole control.
    HBRUSH CtlColor(HDC dc, UINT kind);

    COLORREF CouleurTexte;
    COLORREF CouleurArrierePlan;
    HBRUSH PinceauFond; // owned

private:
    void Repeint();
};

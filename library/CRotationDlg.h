#pragma once
// Turns a picture a quarter turn left or right, or a half turn. Each of the
// three buttons toggles its own angle: a second click takes it back to 0,
// and a click on another button replaces the angle rather than adding to it.
// After OK the owner turns its picture with CGraphique::RotationImage when
// Angle is not 0.

#include "CRetoucheDlg.h"

#include <array>

class CRotationDlg : public CRetoucheDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1001;

    explicit CRotationDlg(QWidget* parent = nullptr);

    // Half degrees: -180 a quarter turn left, 180 right, 360 a half turn, 0 none.
    int Angle = 0;
    // The icons of the left, half-turn and right buttons.
    std::array<QIcon, 3> IconesRotation;

    void AfficheBoutons();
    void AfficheImage();

protected:
    BOOL OnInitDialog() override;
    void OnClicked(int id) override;

private:
    void OnRotationGauche();
    void OnRotationInverse();
    void OnRotationDroite();
    void OnReset();
    void OnPleinEcran();
    void Bascule(int angle);
};

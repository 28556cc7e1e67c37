#pragma once
// Chooses the part of a picture to keep: the upper-left point (X1, Y1) and
// the lower-right point (X2, Y2, both exclusive) in four fields. "Before"
// outlines the rectangle on the picture, "After" shows what remains. After
// OK the owner crops with CGraphique::RecoupeImage at (X1, Y1), size
// (X2 - X1, Y2 - Y1); a rectangle that was not valid at OK comes back as the
// whole picture.

#include "CRetoucheDlg.h"

class CRecoupeDlg : public CRetoucheDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1011;

    explicit CRecoupeDlg(QWidget* parent = nullptr);

    // left = X1, top = Y1, right = X2, bottom = Y2, in picture pixels.
    CRect ZoneRecoupe;
    int Pret = 0;

    // 1 when X1 < X2 and Y1 < Y2; the picture's size is not checked.
    int ControleValeurs() const;
    void AfficheValeurs();
    // Preview 0 outlines the rectangle, 1 shows the cropped picture.
    void AfficheImage(unsigned index);
    void PleinEcran(unsigned index);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;

private:
    void OnChangeValeurs();
    void OnPleinEcranAvant();
    void OnPleinEcranApres();
    void OnReset();
};

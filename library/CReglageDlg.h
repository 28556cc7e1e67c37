#pragma once
// Sets the light, contrast and intensity of CGraphique::ReglageImage on
// three sliders from 0 to 100, 50 leaving the picture as it is, with the
// picture "Before" and "After" side by side. The "After" preview follows a
// slider's thumb while it is dragged. After OK the owner adjusts its picture
// with (Lumiere, Contraste, Intensite).

#include "CRetoucheDlg.h"

class CReglageDlg : public CRetoucheDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1002;

    explicit CReglageDlg(QWidget* parent = nullptr);

    int Contraste = 50;
    int Lumiere = 50;
    int Intensite = 50;

    // Preview 0 is the picture as it is, 1 the picture adjusted.
    void AfficheImage(unsigned index);
    // The sliders and their value texts from the three members.
    void ReglageChange();
    void PleinEcran(unsigned index);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnHScroll(UINT code, int position, QSlider* slider) override;
    void OnClicked(int id) override;

private:
    void OnReset();
    void OnPleinEcranAvant();
    void OnPleinEcranApres();
    bool Neutre() const;
};

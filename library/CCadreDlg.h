#pragma once
// Chooses a border for a picture: none, a border filled with one of the 50
// library patterns, or a border of one colour, optionally edged with a thin
// borderline of a second colour, 1 to 50 pixels thick. After OK the owner
// reads TypeAucun, TypeMotif, TypeCouleur, AvecLiseret, IndexMotif,
// Epaisseur, CouleurCadre and CouleurLiseret and, unless TypeAucun, borders
// its picture with CGraphique::CadreImage as the preview does.

#include "CRetoucheMotifDlg.h"

#include <functional>

class CCouleurDlg;
class QAbstractButton;

class CCadreDlg : public CRetoucheMotifDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1009;

    explicit CCadreDlg(QWidget* parent = nullptr);
    ~CCadreDlg() override;

    void AfficheImage() override;
    // Enables what the checked border type and "Borderline" leave open.
    void RestrictionAcces();
    void DesInitInstance() override;
    LRESULT PriseEnCompteChangementCouleur(WPARAM wParam, LPARAM lParam) override;

    QAbstractButton* BoutonAucun = nullptr;
    QAbstractButton* BoutonMotif = nullptr;
    QAbstractButton* BoutonCouleur = nullptr;
    QAbstractButton* BoutonLiseret = nullptr;
    // Only ever a thickness from 1 to 50: one out of range is refused.
    UINT Epaisseur = 20;
    // The four check states, set by the owner and written back by OK.
    int TypeAucun = 1;
    int TypeMotif = 0;
    int TypeCouleur = 0;
    int AvecLiseret = 0;
    // The starting colours of the two panels, kept equal to theirs.
    COLORREF CouleurCadre = RGB(0, 0, 0);
    COLORREF CouleurLiseret = RGB(0, 0, 0);
    std::unique_ptr<CCouleurDlg> PanneauCadre;
    std::unique_ptr<CCouleurDlg> PanneauLiseret;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;

private:
    void OnChangeAcces(UINT id);
    void OnChangeAcces2();
    void OnReset();
    void OnPleinEcran();
    // Controls into members; a thickness that fails its check is not kept.
    BOOL LitChamps();
    // The border of picture as chosen; none when "None" is checked.
    std::function<HBITMAP(HDC)> Cadre();
};

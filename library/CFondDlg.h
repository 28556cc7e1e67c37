#pragma once
// Puts a picture on a larger canvas filled with one of the 50 library
// patterns or with one colour. The canvas has the screen's size and depth
// unless the owner sets TailleFond and ProfondeurFond. After OK the owner
// reads TypeAucun, TypeMotif, TypeCouleur, IndexMotif and CouleurUnie and,
// unless TypeAucun, makes the canvas with CGraphique::FondImage as the
// preview does. Only the owner can ask for no background (TypeAucun): the
// user has no control for it.

#include "CRetoucheMotifDlg.h"

#include <functional>

class CCouleurDlg;
class QAbstractButton;

class CFondDlg : public CRetoucheMotifDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1013;

    explicit CFondDlg(QWidget* parent = nullptr);
    ~CFondDlg() override;

    void AfficheImage() override;
    // Enables the list or the colour panel, whichever the checked type uses.
    void RestrictionAcces();
    void DesInitInstance() override;
    LRESULT PriseEnCompteChangementCouleur(WPARAM wParam, LPARAM lParam) override;

    // The screen's at construction.
    CSize TailleFond;
    int ProfondeurFond = 0;
    QAbstractButton* BoutonAucun = nullptr;
    QAbstractButton* BoutonMotif = nullptr;
    QAbstractButton* BoutonCouleur = nullptr;
    // The three check states, set by the owner and written back by OK.
    int TypeAucun = 0;
    int TypeMotif = 0;
    int TypeCouleur = 1;
    // The panel's starting colour, kept equal to its colour.
    COLORREF CouleurUnie = RGB(0, 0, 0);
    std::unique_ptr<CCouleurDlg> PanneauCouleur;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClicked(int id) override;

private:
    void OnChangeAcces(UINT id);
    void OnReset();
    void OnPleinEcran();
    // The picture on its canvas as chosen; none when no background is asked for.
    std::function<HBITMAP(HDC)> Fond();
};

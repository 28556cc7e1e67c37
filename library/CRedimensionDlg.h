#pragma once
// Chooses a new size for a picture: a percentage of its size, or a width X
// and a height Y, optionally keeping the picture's proportion ("KP"). The
// preview shows the resized picture at its real scale, centred and cut by the
// preview area. After OK the owner takes the size from
// CGraphique::CalculTailleRedimensionne and resizes in halftone quality; a
// size that was not valid at OK comes back as 100 %.

#include "CRetoucheDlg.h"

class CRedimensionDlg : public CRetoucheDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1012;
    // Neither side of the result may exceed it.
    static constexpr LONG kTailleMax = 2000;

    explicit CRedimensionDlg(QWidget* parent = nullptr);

    int ModePourcentage = 1;
    int Pourcentage = 100;
    int NouvelleLargeur = 0;
    int NouvelleHauteur = 0;
    int ConserveProportion = 1;
    int Pret = 0;
    // Width over height, measured by InitInstance.
    double Proportion = 1.0;

    // Also measures Proportion.
    void InitInstance(CGraphique* graphique) override;
    // 1 when the target size is positive and within kTailleMax both ways.
    int ControleValeurs() const;
    // The height from the width (depuisLargeur) or the width from the height.
    void CalculProportion(int depuisLargeur);
    void AfficheValeurs();
    void RestrictionAcces();
    void AfficheImage();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;

private:
    CSize TailleCible() const;
    void OnChangeMode(int id);
    void OnConservationProportion();
    void OnChangeValeurP();
    void OnChangeValeurX();
    void OnChangeValeurY();
    void OnPleinEcran();
    void OnReset();
};

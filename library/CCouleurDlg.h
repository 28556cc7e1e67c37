#pragma once
// A small panel embedded in a frame of its owner for choosing one colour: a
// swatch that opens the colour chooser, the number base of the three fields
// R, G and B ("Hex" or "Dec"), each with its spin, and an optional
// "Transparent" box. The owner reads Couleur and the check states and is
// told of each change by a posted WM_CHANGEMENT_COULEUR.
//
// Set-up: construct, Create(frame), optionally write Couleur and the check
// states, InitInstance. After changing Couleur or the base from outside,
// call OnCouleurBase to redisplay.

#include "CDialog.h"
#include "Gdi.h"

class CGraphique;
class QAbstractButton;
class QValidator;

class CCouleurDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1008;
    static constexpr int kHexa = 1400;
    static constexpr int kDecimal = 1401;

    explicit CCouleurDlg(QWidget* parent = nullptr);
    ~CCouleurDlg() override;

    // "Hex", black, "Transparent" checked; nothing redisplayed.
    void ValeurDefaut();
    void InitInstance(CDialog* proprietaire, CGraphique* graphique, int cacherTransparent);
    // Checks "Hex" for kHexa, else "Dec", and shows Couleur in that base.
    // A display choice: nothing is posted and Modifie stays as it is.
    void OnCouleurBase(UINT id);
    // Paints the swatch and writes the fields and spins from Couleur.
    void FormateCouleur();
    // Posts WM_CHANGEMENT_COULEUR to the owner.
    virtual void PriseEnCompteChangementCouleur();

    CDialog* Proprietaire = nullptr;
    int Modifie = 0;
    COLORREF Couleur = 0;
    CString TexteRouge;
    CString TexteVert;
    CString TexteBleu;
    QAbstractButton* BoutonHexa = nullptr;
    QAbstractButton* BoutonDecimal = nullptr;
    QAbstractButton* BoutonTransparent = nullptr;
    CGraphique* Graphique = nullptr;
    HBITMAP Echantillon = nullptr; // owned
    int Pret = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;
    BOOL OnSpinDelta(int id, int position, int delta) override;
    BOOL PreTranslateKey(int id, QKeyEvent* event) override;

private:
    void OnCouleurSelecteur();
    void OnCouleurChange();
    void OnCouleurFlecheChange();
    void OnCouleurTransparent();
    void ChoisitFiltre(bool hexa);

    QValidator* m_filtreHexa = nullptr;
    QValidator* m_filtreDecimal = nullptr;
};

#pragma once
// The logo panel of the workbench: the logo file, a preview of the logo at
// its own size, and where the logo lands on every picture. Every change the
// user makes raises Modifie and posts WM_CHANGEMENT_SIGNATURE to the owner.

#include "CDialog.h"
#include "Emplacement.h"
#include "Gdi.h"

#include <cstdint>
#include <vector>

class CGraphique;
class QAbstractButton;

class CSignatureLogoDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 104;
    // "Style...": the owner opens its style dialog from it.
    static constexpr int kStyle = 1619;

    explicit CSignatureLogoDlg(QWidget* parent = nullptr);
    ~CSignatureLogoDlg() override;

    // Attaches the panel to its owner, after the owner wrote the stored
    // settings and the bounds: places it, loads Logo, shows its preview.
    void InitInstance(CDialog* parent, CGraphique* graphique, int afficher);
    // Default placement and no logo; members and check states only.
    void ValeurDefaut();
    // Loads the logo file (empty path: no logo) and writes the two text lines.
    // A file that does not load leaves the panel without a logo.
    void ChargeLogo(CString chemin);
    // The logo centred on the preview's background, shown; the owner is told.
    void ConstruitApercuLogo();
    // Where the logo goes on a picture of that size: its top-left corner.
    Position PositionLogo(CSize image) const;
    // Releases the three images, each once.
    void LibereImages();
    // Enabling for "Automatic" (1601) or "Absolute" (1602).
    void PositionChange(UINT id);

    int Modifie = 0;
    CString Logo;
    HBITMAP ImageLogo = nullptr; // owned unless it is ImageCadre
    std::vector<std::uint8_t> AlphaLogo; // its coverage; empty when opaque
    CSize TailleLogo;
    HBITMAP ApercuLogo = nullptr;
    QAbstractButton* PositionAbsolue = nullptr;
    UINT PositionAbsolueX = 0;
    UINT PositionAbsolueY = 0;
    QAbstractButton* PositionAutomatique = nullptr;
    QAbstractButton* PositionAutomatiqueHaut = nullptr;
    QAbstractButton* PositionAutomatiqueBas = nullptr;
    QAbstractButton* PositionAutomatiqueDroite = nullptr;
    QAbstractButton* PositionAutomatiqueGauche = nullptr;
    QAbstractButton* PositionAutomatiqueContinue = nullptr;
    UINT PositionAutomatiqueDeltaY = 5;
    UINT PositionAutomatiqueDeltaX = 5;
    CGraphique* Graphique = nullptr;
    CDialog* DialogueParent = nullptr;
    UINT MaximumX = 2000;
    UINT MaximumY = 2000;
    int Pret = 0;
    HBITMAP ImageCadre = nullptr;
    CSize TailleCadre;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Escape close nothing in an embedded panel.
    void OnOK() override {}
    void OnCancel() override {}
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;
    void showEvent(QShowEvent* event) override;

private:
    void ChoisitLogo();
    void Notifie();
    void LibereLogo();
};

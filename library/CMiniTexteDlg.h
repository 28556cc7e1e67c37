#pragma once
// A panel embedded in a control of its owner where the user composes one
// text signature: the text, its font, its ink and background colours (two
// colour panels) and where it goes on a picture. The settings live in the
// public members, named as they are stored; the owner reads them when it
// draws and writes them when it restores settings. After every user change
// Modifie is raised and WM_CHANGEMENT_SIGNATURE is posted to the owner.
//
// Set-up: construct, Create(control of the owner), write stored values and
// MaximumX/MaximumY, InitInstance. Before destruction: DesInitInstance.

#include "CCouleurDlg.h"
#include "CDialog.h"
#include "Gdi.h"

#include <QColor>
#include <QFont>

#include <memory>

class CGraphique;
class QAbstractButton;
class QLineEdit;
class QPushButton;

class CMiniTexteDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1024;
    static constexpr int kAbsolue = 2247;
    static constexpr int kAutomatique = 2248;
    // "Style...": the owner opens its style dialog from it.
    static constexpr int kStyle = 2262;

    explicit CMiniTexteDlg(QWidget* parent = nullptr);
    // Another layout with the same control ids.
    CMiniTexteDlg(QWidget* parent, UINT templateId);
    ~CMiniTexteDlg() override;

    // Places the panel in its parent control (a tab control's page area),
    // shows it when afficher is not 0, and pushes the members into the
    // controls. Modifie is 0 afterwards.
    void InitInstance(CDialog* parent, CGraphique* graphique, int afficher);
    // Releases the font and the colour panels.
    void DesInitInstance();
    // Default settings into members and radios; callers follow with
    // AffichageGlobal() and UpdateData(FALSE). Modifie is left alone.
    void ValeurDefaut();
    // Refreshes what derives from the members: font description, edit font,
    // the colour panels' display, the enabling of the position controls.
    void AffichageGlobal();
    void AffichePolice();
    // Rebuilds PoliceTexte from Fonte and paints the text edit with it.
    void FormateLeTexte();
    // The font the text edit shows: font itself when a line of it fits in
    // height pixels, else the same face and style scaled down to fit.
    static QFont TailleEcran(QFont font, int height);
    // What the text edit shows behind ink: fond itself when the ink reads
    // well on it, else a dark grey or white, whichever reads better.
    static QColor FondLisible(QColor encre, QColor fond);
    // Enabling for kAbsolue or kAutomatique.
    void PositionChange(UINT id);
    // A colour panel changed its colour or its "Transparent" box.
    LRESULT PriseEnCompteChangementCouleur(WPARAM wParam, LPARAM lParam);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int Modifie = 0;
    CString Texte;
    QPushButton* BoutonPolice = nullptr;
    HFONT PoliceTexte = nullptr; // owned; owners draw the signature with it
    LOGFONT Fonte{};
    LOGFONT FonteDefaut{};
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
    std::unique_ptr<CCouleurDlg> CouleurEncre;
    std::unique_ptr<CCouleurDlg> CouleurFond;
    CGraphique* Graphique = nullptr;
    CDialog* DialogueParent = nullptr;
    // The owner's bounds for X and Dx, Y and Dy; the workbench's by default.
    UINT MaximumX = 2000;
    UINT MaximumY = 2000;
    int Pret = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTexteChange();
    void OnPoliceSelecteur();
    void OnPositionChange(UINT id);
    void OnPositionValeurChange();
    void OnShowWindow(BOOL shown);
    // The colours the text edit is painted in.
    void OnCtlColor(HDC dc, QWidget* control);
    void PeintCellules(QLineEdit* edit);
    void Signale();
    QLineEdit* EditTexte() const;
};

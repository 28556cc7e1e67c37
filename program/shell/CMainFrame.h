#pragma once
// The main window: fixed size, caption "Tamparo2 - <title>", the menu and
// the accelerators built from the command tables, the tool bar along the
// top, the workbench view in the middle and the information bar along the
// bottom. Every command enters here and goes on to the view, the document
// and the application until one handles it.

#include "Types.h"

#include <QMainWindow>

#include <memory>

class CGraphique;
class CInformationDialog;
class COutilDialog;
class CPrincipaleView;
class QVBoxLayout;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the view, the shared CGraphique and the two bars; FALSE when
    // a layout is missing.
    BOOL OnCreateClient();
    // The view's first initial update, once the document is there.
    void InitialUpdateFrame();
    // The destroy step: icons, the view's settings, the bars, CGraphique.
    // Runs once, at the latest when the frame is deleted.
    void OnDestroy();

    // Offers id to the frame, the view, the document and the application
    // in turn; TRUE when one of them handled it.
    BOOL OnCmdMsg(UINT id);
    // The frame's own commands: Help, Web, About.
    BOOL OnCommand(UINT id);

    void OnUpdateFrameTitle();
    // Size and position for a display of that size, then the geometry and
    // maximised state the window had when the last run closed it.
    void Place(CSize ecran);
    // Wider than 800 pixels: 748 x 731 where the system put the window;
    // otherwise the whole display from (0, 0).
    static CRect Emplacement(CSize ecran, CPoint positionSysteme);

    // The about box with the about picture; closes by itself after duree
    // seconds unless duree is 0.
    void AfficheAPropos(int duree);
    // The help manual, aide.html, on the desktop.
    static void OuvreManuel();
    // Where the manual is: beside the executable, else in the share folder
    // of an installation; the first when neither has it.
    static CString CheminManuel(const CString& dossierProgramme);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ConstruitMenu();
    void ConstruitRaccourcis();

    QVBoxLayout* m_colonne = nullptr;
    std::unique_ptr<CGraphique> m_graphique;
    std::unique_ptr<COutilDialog> m_barreOutils;
    std::unique_ptr<CInformationDialog> m_barreInformation;
    CPrincipaleView* m_vue = nullptr;
    bool m_detruite = false;
};

#pragma once
// The application object: start-up, the single document and its main frame,
// the commands that belong to the application (New, Open, Exit, Help), and
// the shared objects every part of the program reaches through Instance().

#include "CListeFichiersRecents.h"
#include "Types.h"

#include <QStringList>

#include <memory>

class CDoc;
class CGraphique;
class CInformationDialog;
class CMainFrame;
class COutilDialog;
class CPrincipaleView;

class CTamparoApp {
public:
    CTamparoApp();
    ~CTamparoApp();
    CTamparoApp(const CTamparoApp&) = delete;
    CTamparoApp& operator=(const CTamparoApp&) = delete;

    // The one application object, or null outside its lifetime.
    static CTamparoApp* Instance();
    // Start-up with the command line (without the program name):
    // [template.tp2] [picture...]. Without a template (no argument, or a
    // picture first) a new document is made; the pictures go to the list,
    // whose first row is previewed. FALSE ends the program before any window
    // was shown.
    BOOL InitInstance(const QStringList& arguments);
    // Writes back the recent-file list; returns the exit status.
    int ExitInstance();

    // The application's commands; TRUE when id is one of them.
    BOOL OnCommand(UINT id);
    void OnFileNew();
    void OnFileOpen();
    // Opens path as the document, creating the main frame at start-up.
    BOOL OpenDocumentFile(const CString& path);

    CDoc* Document() const { return m_document.get(); }
    CMainFrame* Frame() const { return m_frame.get(); }
    CListeFichiersRecents& FichiersRecents() { return m_fichiersRecents; }

    // Set by the view, the bars and the frame when they are created.
    CPrincipaleView* Vue = nullptr;
    CInformationDialog* BarreInformation = nullptr;
    COutilDialog* BarreOutils = nullptr;
    CGraphique* Graphique = nullptr;

    // The product's web page (the information bar's link) and the publisher's
    // home page (its logo and "Web"): build settings, empty leaves them inert.
    CString AdresseProduit;
    CString AdresseEditeur;

private:
    BOOL NouveauDocument();
    void AjouteImages(const QStringList& chemins);
    BOOL CreeFenetre();
    void DetruitFenetre();

    std::unique_ptr<CDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CListeFichiersRecents m_fichiersRecents;
};

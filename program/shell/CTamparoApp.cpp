#include "CTamparoApp.h"

#include "CAssociationFichier.h"
#include "CDoc.h"
#include "CMainFrame.h"
#include "Commandes.h"
#include "CPrincipaleView.h"
#include "DernierDossier.h"
#include "RessourcesProgramme.h"

#include "CRoutine.h"
#include "Interaction.h"
#include "Screen.h"
#include "codecs/RegistreFormats.h"

#include <QCoreApplication>
#include <QFileInfo>

// Build settings (see program/CMakeLists.txt).
#ifndef TAMPARO_ADRESSE_PRODUIT
#define TAMPARO_ADRESSE_PRODUIT ""
#endif
#ifndef TAMPARO_ADRESSE_EDITEUR
#define TAMPARO_ADRESSE_EDITEUR ""
#endif

namespace {

CTamparoApp* g_instance = nullptr;

constexpr UINT kTitreApplication = 57344;
constexpr int kDureeAPropos = 3;

} // namespace

CTamparoApp::CTamparoApp() : AdresseProduit(TAMPARO_ADRESSE_PRODUIT), AdresseEditeur(TAMPARO_ADRESSE_EDITEUR)
{
    RessourcesProgramme::Enregistre();
    CString titre;
    QCoreApplication::setApplicationName(QString::fromStdString(CRoutine::Message(titre, kTitreApplication)));
    CDoc::PremierDocument = 1;
    m_document = std::make_unique<CDoc>();
    g_instance = this;
}

CTamparoApp::~CTamparoApp()
{
    // The frame's destroy step still reaches the view and the bars through us.
    DetruitFenetre();
    g_instance = nullptr;
}

CTamparoApp* CTamparoApp::Instance() { return g_instance; }

BOOL CTamparoApp::InitInstance(const QStringList& arguments)
{
    m_fichiersRecents.Lecture();
    // "Open with" on pictures passes pictures alone: a first argument that
    // is no picture and no folder of pictures is the template.
    QStringList images = arguments;
    const bool modele = !images.isEmpty() && !QFileInfo(images.constFirst()).isDir() &&
                        !RegistreFormats::ParNom(images.constFirst().toStdString());
    const BOOL ouvert = modele ? OpenDocumentFile(images.takeFirst().toStdString()) : NouveauDocument();
    if (!ouvert)
        return FALSE;
    AjouteImages(images);
    // A start that opened a template made no new document of its own: the
    // user's first New must reset the view like every other.
    CDoc::PremierDocument = 0;

    CAssociationFichier::Enregistre(QCoreApplication::applicationFilePath().toStdString());

    m_frame->Place(Screen::size());
    m_frame->show();
    m_frame->raise();
    m_frame->repaint();
    m_frame->AfficheAPropos(kDureeAPropos);
    return TRUE;
}

int CTamparoApp::ExitInstance()
{
    m_fichiersRecents.Ecriture();
    return 0;
}

BOOL CTamparoApp::OnCommand(UINT id)
{
    switch (id) {
    case Commande::Nouveau:
        OnFileNew();
        return TRUE;
    case Commande::Ouvrir:
        OnFileOpen();
        return TRUE;
    case Commande::Quitter:
        if (m_frame)
            m_frame->close();
        return TRUE;
    case Commande::Aide:
        CMainFrame::OuvreManuel();
        return TRUE;
    default:
        return FALSE;
    }
}

void CTamparoApp::OnFileNew() { NouveauDocument(); }

void CTamparoApp::OnFileOpen()
{
    // Asked before the dialog, so that Cancel leaves everything as it was.
    if (!m_document->SaveModified())
        return;
    const CString extension = CDoc::Extension();
    FileDialogRequest demande;
    demande.title = "Open";
    demande.filter = CDoc::FiltreFichiers();
    demande.defaultExtension = extension.empty() ? extension : extension.substr(1);
    demande.initialPath = DernierDossier::Lit("Templates");
    std::vector<std::string> chemins;
    if (!Interaction::current().openFiles(m_frame.get(), demande, chemins) || chemins.empty())
        return;
    DernierDossier::Retient("Templates", chemins.front());
    OpenDocumentFile(chemins.front());
}

BOOL CTamparoApp::OpenDocumentFile(const CString& path)
{
    // Absolute, so that the view's second reading finds it whatever the
    // current folder has become.
    const CString chemin =
        path.empty() ? path : QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    const bool cree = !m_frame;
    if (cree && !CreeFenetre())
        return FALSE;
    if (!m_document->OnOpenDocument(chemin)) {
        if (cree)
            DetruitFenetre();
        return FALSE;
    }
    m_document->SetPathName(chemin);
    if (cree)
        m_frame->InitialUpdateFrame();
    return TRUE;
}

void CTamparoApp::AjouteImages(const QStringList& chemins)
{
    if (chemins.isEmpty() || !Vue)
        return;
    // Absolute, as the list's own dialog gives them: the signing runs long
    // after the current folder has had its say.
    for (const QString& chemin : chemins)
        Vue->AjouteChemin(QFileInfo(chemin).absoluteFilePath().toStdString());
    // The list keeps its own order; its first row is previewed at once.
    Vue->SelectionneLigne(0);
    Vue->AfficheSelection();
}

BOOL CTamparoApp::NouveauDocument()
{
    const bool cree = !m_frame;
    if (cree) {
        if (!CreeFenetre())
            return FALSE;
    } else if (!m_document->SaveModified()) {
        return FALSE;
    }
    m_document->SetDefaultTitle();
    m_document->OnNewDocument();
    m_document->SetModifiedFlag(false);
    if (cree)
        m_frame->InitialUpdateFrame();
    return TRUE;
}

BOOL CTamparoApp::CreeFenetre()
{
    m_frame = std::make_unique<CMainFrame>();
    if (m_frame->OnCreateClient())
        return TRUE;
    DetruitFenetre();
    return FALSE;
}

void CTamparoApp::DetruitFenetre() { m_frame.reset(); }

#include "CDoc.h"

#include "CMainFrame.h"
#include "CPrincipaleView.h"
#include "CTamparoApp.h"
#include "Commandes.h"
#include "DernierDossier.h"

#include "AtomicFile.h"
#include "CArchive.h"
#include "CRoutine.h"
#include "Interaction.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <span>

namespace {

// The document template's strings: window title, base name, new-file name,
// filter text, filter extension, file-type id, file-type name.
constexpr UINT kChainesModele = 105;
constexpr int kNomDeBase = 1;
constexpr int kTexteFiltre = 3;
constexpr int kExtension = 4;

// The framework's own messages; %1 is a file name or a title.
constexpr UINT kEchecOuverture = 61697;
constexpr UINT kEchecEnregistrement = 61698;
constexpr UINT kQuestionEnregistrement = 61699;
constexpr UINT kFichierIntrouvable = 61713;

// A template is a few hundred bytes; a file this large is none.
constexpr qint64 kTailleModeleMax = qint64(16) << 20;

CString Texte(UINT id, const CString& nom = {})
{
    CString texte;
    CRoutine::Message(texte, id);
    if (const auto marque = texte.find("%1"); marque != CString::npos)
        texte.replace(marque, 2, nom);
    return texte;
}

CString ChampModele(int rang)
{
    CString chaine;
    CRoutine::Message(chaine, kChainesModele);
    std::size_t debut = 0;
    for (int i = 0; i < rang; ++i) {
        debut = chaine.find('\n', debut);
        if (debut == CString::npos)
            return {};
        ++debut;
    }
    return chaine.substr(debut, chaine.find('\n', debut) - debut);
}

CPrincipaleView* Vue()
{
    CTamparoApp* application = CTamparoApp::Instance();
    return application ? application->Vue : nullptr;
}

HWND Proprietaire()
{
    CTamparoApp* application = CTamparoApp::Instance();
    return application && application->Frame() ? application->Frame() : GetActiveWindow();
}

void Avertit(const CString& texte) { AfxMessageBox(texte, MB_OK | MB_ICONEXCLAMATION); }

} // namespace

CString CDoc::TitreParDefaut() { return ChampModele(kNomDeBase); }

CString CDoc::FiltreFichiers() { return ChampModele(kTexteFiltre) + "|*" + Extension() + "||"; }

CString CDoc::Extension() { return ChampModele(kExtension); }

BOOL CDoc::OnCommand(UINT id)
{
    switch (id) {
    case Commande::Enregistrer:
        DoFileSave();
        return TRUE;
    case Commande::EnregistrerSous:
        DoSave({});
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDoc::OnNewDocument()
{
    if (PremierDocument) {
        // Start-up: the view is not built yet and has nothing to reset.
        PremierDocument = 0;
        return TRUE;
    }
    if (CPrincipaleView* vue = Vue())
        vue->ReinitialiseTout();
    return TRUE;
}

BOOL CDoc::OnOpenDocument(const CString& path)
{
    const QString nom = QString::fromStdString(path);
    const QFileInfo info(nom);
    if (!info.exists()) {
        Avertit(Texte(kFichierIntrouvable, path));
        return FALSE;
    }
    QFile fichier(nom);
    QByteArray octets;
    if (info.isFile() && info.size() <= kTailleModeleMax && fichier.open(QIODevice::ReadOnly))
        octets = fichier.readAll();
    if (!fichier.isOpen() || fichier.error() != QFileDevice::NoError) {
        Avertit(Texte(kEchecOuverture));
        return FALSE;
    }

    const CPrincipaleView* vue = Vue();
    const bool lue = vue && !vue->Initialisation;
    const bool etaitModifie = m_modifie;
    SetModifiedFlag(true);
    CArchive archive(std::span<const BYTE>(reinterpret_cast<const BYTE*>(octets.constData()),
                                           static_cast<std::size_t>(octets.size())));
    Serialize(archive);
    if (archive.Failed()) {
        // The fields before the end were applied: what the view holds is no
        // file's content any more, so it must not be saved over one unasked.
        Avertit(Texte(kEchecOuverture));
        SetDefaultTitle();
        return FALSE;
    }
    const std::size_t consommes = static_cast<std::size_t>(octets.size()) - archive.Remaining();
    if (lue && consommes <= sizeof(std::int32_t)) {
        // Not a template: the view said so and changed nothing. The document
        // must not take the name of a file it does not hold.
        m_modifie = etaitModifie;
        if (m_chemin == path)
            SetDefaultTitle();
        return FALSE;
    }
    SetModifiedFlag(false);
    return TRUE;
}

BOOL CDoc::OnSaveDocument(const CString& path)
{
    const CPrincipaleView* vue = Vue();
    // A view still being built has no settings: an empty file would be written.
    if (!vue || vue->Initialisation) {
        Avertit(Texte(kEchecEnregistrement));
        return FALSE;
    }
    CArchive archive;
    Serialize(archive);
    AtomicFile fichier(path);
    const std::vector<BYTE>& octets = archive.Bytes();
    if (!fichier.open() || !fichier.write(octets.data(), octets.size()) || !fichier.commit()) {
        Avertit(Texte(kEchecEnregistrement));
        return FALSE;
    }
    SetModifiedFlag(false);
    return TRUE;
}

void CDoc::Serialize(CArchive& ar)
{
    CPrincipaleView* vue = Vue();
    // The command line's template is read before the view exists in full;
    // the view reads it again at the end of its first initial update.
    if (!vue || vue->Initialisation)
        return;
    vue->Serialize(ar, ar.IsStoring());
    vue->update();
}

BOOL CDoc::SaveModified()
{
    if (!m_modifie)
        return TRUE;
    switch (AfxMessageBox(Texte(kQuestionEnregistrement, m_titre), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

BOOL CDoc::DoFileSave()
{
    const QFileInfo fichier(QString::fromStdString(m_chemin));
    if (m_chemin.empty() || (fichier.exists() && !fichier.isWritable()))
        return DoSave({});
    return DoSave(m_chemin);
}

BOOL CDoc::DoSave(const CString& path, bool replace)
{
    CString cible = path;
    if (cible.empty()) {
        const CString extension = Extension();
        FileDialogRequest demande;
        demande.title = "Save As";
        demande.filter = FiltreFichiers();
        demande.defaultExtension = extension.empty() ? extension : extension.substr(1);
        demande.initialPath = m_titre + extension;
        CString dossier = DernierDossier::Lit("Templates");
        if (!m_chemin.empty())
            dossier = QFileInfo(QString::fromStdString(m_chemin)).absolutePath().toStdString();
        if (!dossier.empty())
            demande.initialPath = dossier + "/" + demande.initialPath;
        if (!Interaction::current().saveFile(Proprietaire(), demande, cible))
            return FALSE;
        DernierDossier::Retient("Templates", cible);
    }
    if (!OnSaveDocument(cible))
        return FALSE;
    if (replace)
        SetPathName(cible);
    return TRUE;
}

void CDoc::SetPathName(const CString& path, bool addToRecent)
{
    const QFileInfo fichier(QString::fromStdString(path));
    m_chemin = fichier.absoluteFilePath().toStdString();
    SetTitle(fichier.completeBaseName().toStdString());
    if (CTamparoApp* application = CTamparoApp::Instance(); application && addToRecent)
        application->FichiersRecents().Ajoute(m_chemin);
}

void CDoc::SetTitle(const CString& title)
{
    m_titre = title;
    if (CTamparoApp* application = CTamparoApp::Instance(); application && application->Frame())
        application->Frame()->OnUpdateFrameTitle();
}

void CDoc::SetDefaultTitle()
{
    m_chemin.clear();
    SetTitle(TitreParDefaut());
}

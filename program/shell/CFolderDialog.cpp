#include "CFolderDialog.h"

#include "CRoutine.h"
#include "Interaction.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr UINT kBoutonSelection = 61227;
constexpr UINT kTitre = 61228;
} // namespace

CFolderDialog::CFolderDialog(CString* repertoire, HWND parent) : Repertoire(repertoire), m_parent(parent) {}

INT_PTR CFolderDialog::DoModal()
{
    CString titre;
    CString bouton;
    CRoutine::Message(titre, kTitre);
    CRoutine::Message(bouton, kBoutonSelection);
    // Linux dialogs leave the current folder alone, so the caller's folder
    // is the better place to start when there is one.
    CString dossier = QDir::currentPath().toStdString();
    if (Repertoire && QFileInfo(QString::fromStdString(*Repertoire)).isDir())
        dossier = *Repertoire;
    if (!Interaction::current().chooseFolderLabelled(m_parent, titre, bouton, dossier))
        return IDCANCEL;
    if (Repertoire)
        *Repertoire = dossier;
    return IDOK;
}

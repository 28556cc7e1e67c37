#pragma once
// Makes the desktop open .tp2 files with this program: a shared-mime-info
// package (type application/x-tamparo2, glob *.tp2, "Tamparo2 Document"),
// a .desktop entry whose command is this program with the files as its
// arguments, and the application icon, all under $XDG_DATA_HOME
// (~/.local/share by default). Files already up to date are not touched, so
// the start costs one comparison per file. An installed package registers
// the same files system-wide; then nothing is written for the user.

#include "Types.h"

#include <QString>

class CAssociationFichier {
public:
    static constexpr const char* kTypeMime = "application/x-tamparo2";

    // Brings the files up to date for the program at programme (an
    // absolute path) and refreshes the desktop's caches for what changed.
    // Returns how many files were written (0 when the system-wide
    // registration is installed); -1 when one could not be, or when the
    // path cannot be written into a desktop entry.
    static int Enregistre(const CString& programme);

    // A folder of $XDG_DATA_DIRS holds both the entry and the MIME package.
    static bool InstallationSysteme();

    static QString DossierDonnees();
    // The command line of the desktop entry: the path quoted and escaped as
    // the desktop entry format requires, then the files argument.
    static QString LigneCommande(const CString& programme);
};

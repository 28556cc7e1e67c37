#pragma once
// The four most recently used templates, most recent first, kept from one
// run to the next under the framework's profile key: the INI file
// "$XDG_CONFIG_HOME/Local AppWizard-Generated Applications/Tamparo2.conf",
// group "Recent File List", values File1 to File4.

#include "Types.h"

#include <QString>

#include <vector>

class CListeFichiersRecents {
public:
    static constexpr int kTaille = 4;

    // Replaces the list with the stored one; a missing or unreadable file
    // gives an empty list.
    void Lecture();
    // Stores the list; false when the file could not be written.
    bool Ecriture() const;
    // Puts path first, removing an earlier entry of the same path and the
    // entries beyond the fourth.
    void Ajoute(const CString& chemin);
    const std::vector<CString>& Fichiers() const { return m_fichiers; }

    static QString CheminFichier();

private:
    std::vector<CString> m_fichiers;
};

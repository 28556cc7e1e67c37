#pragma once
// Named values of one application kept from one run to the next. The key
// "Software\Quillon\<name>" lives in the INI file
// $XDG_CONFIG_HOME/Quillon/<name>.conf (~/.config when the variable is unset).
// Texts, numbers and check states are stored as text, records as raw bytes.
//
// Every operation returns 1 on success and 0 on failure, and leaves an errno
// value in Erreur (0 on success). Receiving arguments are written only on
// success, so a missing value keeps the caller's default.
//
// An open key works on a private copy of the file; closing it writes the file
// the way pictures are written (a complete temporary renamed over it), so a
// full disk or a killed program leaves the previous settings whole.

#include "Types.h"

#include <memory>

class QAbstractButton;

class CBaseRegistre {
public:
    // Size limit of a stored text, terminating zero included.
    static constexpr long kTailleTexteMax = 65535;
    // A settings file beyond this is a runaway one: it is not loaded, and the
    // user is told once per run why the settings are no longer kept.
    static constexpr long long kTailleFichierMax = 16LL << 20;

    CBaseRegistre() = default;
    CBaseRegistre(const CBaseRegistre&) = default;
    CBaseRegistre& operator=(const CBaseRegistre&) = default;
    virtual ~CBaseRegistre() = default;

    // Creates the key when it does not exist, whatever the mode.
    int Ouvre(const CString& nom, WORD mode);
    int OuvreLecture(const CString& nom);
    int OuvreEcriture(const CString& nom);
    // Writes what changed to disk; fails when the file could not be written
    // in full, and the previous file then stays as it was.
    int Ferme();

    int Lecture(const CString& valeur, CString& texte);
    int Lecture(const CString& valeur, unsigned int& nombre);
    int Lecture(const CString& valeur, int& nombre);
    int Lecture(const CString& valeur, long& nombre);
    int Lecture(const CString& valeur, QAbstractButton& bouton);
    // Fails when the stored record is larger than the buffer.
    int Lecture(const CString& valeur, void* tampon, long taille);

    int Ecriture(const CString& valeur, const CString& texte);
    int Ecriture(const CString& valeur, unsigned int nombre);
    int Ecriture(const CString& valeur, int nombre);
    int Ecriture(const CString& valeur, long nombre);
    int Ecriture(const CString& valeur, QAbstractButton& bouton);
    int Ecriture(const CString& valeur, const void* donnees, long taille);

    // The open key: the file's path and the values read from it.
    struct CleOuverte;
    // Copies share the open key; closing it through one of them is enough.
    std::shared_ptr<CleOuverte> Cle;
    int Erreur = 0;

private:
    int LectureNombre(const CString& valeur, long long& nombre);
    int Resultat(int erreur);
};

#pragma once
// Where the batch run writes the signed copy of a source file: the source's
// folder or the chosen one, its base name as it is or with the name text
// before or after it, and the source's extension, which picks the format
// the copy is written in, unless "Save as" names a format: then its
// extension. A source whose content is another format than its extension
// names (a JPEG named .png) gives that format's extension; one of a format
// that cannot be written (SVG; HEIC or AVIF without an encoder) gives ".jpg".

#include "ModeleSignature.h"

class NomSortie {
public:
    // Takes the output options of the "Setup" area.
    explicit NomSortie(const ModeleSignature& reglages);

    // One object serves a whole run: a source whose name has no dot (or a
    // source without "/") keeps the extension (or folder and name) of the
    // previous one.
    CString Chemin(const CString& source);

    // Why these settings cannot name outputs: the prefix or suffix in use
    // holds a "/" or a NUL, or is "..", any of which would put the copy
    // elsewhere than its folder. Empty when they can.
    static std::string Refus(const ModeleSignature& reglages);
    // Whether sortie, as the last Chemin gave it, names a file right inside
    // the folder chosen for it once both are resolved (links, ".."): the
    // last safeguard before anything is written there.
    bool Dedans(const CString& sortie) const;

private:
    CString m_NomFichier;
    int m_NomFichierAucun;
    int m_NomFichierPrefixe;
    int m_NomFichierSuffixe;
    CString m_NomRepertoire;
    int m_NomRepertoireAucun;
    int m_NomRepertoireSpecifique;
    FormatSortie m_Format;

    CString m_Repertoire;
    CString m_Nom;
    CString m_Extension;
    CString m_Dossier; // where the last output was put
};

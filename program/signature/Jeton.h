#pragma once
// The tokens a signature text may hold, replaced for each picture: {name}
// (file name without extension), {ext}, {folder}, {date} (YYYY-MM-DD, taken
// from the Exif date of the shot, else the file's modification date),
// {year}, {counter} (the picture's number in the run), {width}, {height}
// and {exif:Tag}. "{{" writes one brace; anything else between braces is
// left as typed.

#include "Types.h"

#include <cstddef>
#include <string>

class Metadonnees;

class Jeton {
public:
    // What is known of the picture being signed.
    struct Contexte {
        std::string Chemin;
        int Numero = 1;
        CSize Taille;
        const Metadonnees* Meta = nullptr; // may be null
    };

    // A text without a brace comes back unchanged.
    static CString Remplace(const CString& texte, const Contexte& contexte);

    // Bytes kept of one value: file names and metadata come from outside.
    static constexpr std::size_t kLongueurValeur = 128;

private:
    // false when nom is no token.
    static bool Valeur(const std::string& nom, const Contexte& contexte, std::string& valeur);
    static std::string Date(const Contexte& contexte);
    // Control and formatting characters removed, cut to kLongueurValeur
    // bytes on a character boundary.
    static std::string Nettoie(const std::string& brut);
};

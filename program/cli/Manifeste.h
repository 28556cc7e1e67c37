#pragma once
// The run's record for scripts: one JSON object a line per picture, in the
// order they finish, each line written whole and flushed at once so that an
// interrupted run leaves a record of what it did.

#include "Lot.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class Manifeste {
public:
    // Why chemin may not take the run's record: it is a picture or an output
    // of the run, or a file already there whose first line is no record (an
    // empty file is welcome). Empty when it may.
    static std::string Refus(const std::string& chemin, const std::vector<Travail>& travaux);

    // False (with errno's reason in Erreur) when the file cannot be created.
    // ajoute keeps the records already there and writes after them.
    bool Ouvre(const std::string& chemin, bool ajoute = false);
    std::string Erreur;

    // {"source":..,"destination":..,"status":"ok|skipped|failed","error":..,"ms":..}
    // with "warning" before "ms" for a picture signed in spite of damage.
    // File names are bytes: what is not UTF-8 becomes U+FFFD in the named
    // field, and the exact bytes follow it in "<field>_b64". False (with
    // errno's reason in Erreur) when the line could not be written whole.
    bool Ecrit(const CompteRendu& compte);
    static std::string Ligne(const CompteRendu& compte);

    // The suffix of the field that carries a path's exact bytes.
    static constexpr const char* kSuffixeOctets = "_b64";

private:
    struct Ferme {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Ferme> m_Fichier;
};

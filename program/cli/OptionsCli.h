#pragma once
// The command line of tamparo2-cli, read into plain settings. The options
// are one table of names, descriptions and actions, from which they are
// read and --help is printed, so a new option is one more row.

#include "ModeleSignature.h"
#include "Repartition.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class OptionsCli {
public:
    enum class Ecrasement { Jamais, Toujours };

    std::string Modele;          // -t; empty: the settings the desktop program stored
    std::string DossierSortie;   // -o; empty: the template's folder choice
    bool Recursif = false;       // -r
    int Travailleurs = 0;        // -j; 0: chosen from the cores and the memory
    bool Simulation = false;     // -n
    Ecrasement Ecrase = Ecrasement::Jamais;
    bool EnPlace = false;        // --in-place: outputs may replace pictures of the list
    bool AccepteEndommagees = false; // --allow-damaged: damaged pictures are signed, with a warning
    std::string FichiersDe;      // --files-from; "-" is the standard input
    std::string Manifeste;       // --manifest; "%I" stands for the shard's index
    Repartition Part;            // --shard; by default the whole run, shard 0 of 1
    bool Bilan = false;          // --summary: Chemins are manifests to add up
    bool Surveille = false;      // --watch: the one PATH is a folder signed as pictures appear
    bool Silencieux = false;     // -q
    bool Aide = false;           // -h, --help
    std::vector<std::string> Chemins;
    // Over the template's own choices, for this run only.
    std::optional<int> Qualite;  // --quality; -1: same as the original
    std::optional<FormatSortie> Format;
    std::optional<PolitiqueMetadonnees> Metadonnees;
    std::optional<std::uint32_t> TailleMax; // --max-size, the longest side in pixels

    // The template's choices with this run's --quality, --format,
    // --metadata and --max-size over them.
    void Surcharge(ModeleSignature& reglages) const;

    static constexpr int kTravailleursMax = 256;

    // Reads the arguments after the program's name. On a mistake returns
    // false with the reason in Erreur; the caller prints it and exits with 2.
    bool Lit(const std::vector<std::string>& arguments);
    std::string Erreur;

    // The text of --help.
    static std::string TexteAide();

    struct Definition {
        char Court;              // 0: no short form
        const char* Long;        // without the dashes
        const char* Argument;    // its name in --help; null: the option takes no value
        const char* Description; // one sentence of --help, wrapped there
        std::function<bool(OptionsCli&, const std::string&)> Action; // false: a refused value
    };
    static const std::vector<Definition>& Definitions();

private:
    bool Applique(const Definition& definition, const std::optional<std::string>& valeur);
};

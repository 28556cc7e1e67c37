#include "OptionsCli.h"

#include "codecs/RegistreFormats.h"

#include <charconv>
#include <cstdlib>

namespace {

// --help's width, and the column its descriptions start at.
constexpr std::size_t kLargeur = 80;
constexpr std::size_t kColonne = 24;

// texte's words in lines shorter than kLargeur, each indented by retrait.
std::string Replie(const std::string& texte, std::size_t retrait)
{
    std::string lignes;
    std::string ligne(retrait, ' ');
    std::size_t debut = 0;
    while (debut < texte.size()) {
        std::size_t fin = texte.find(' ', debut);
        if (fin == std::string::npos)
            fin = texte.size();
        const std::string mot = texte.substr(debut, fin - debut);
        if (ligne.size() > retrait && ligne.size() + 1 + mot.size() >= kLargeur) {
            lignes += ligne + "\n";
            ligne.assign(retrait, ' ');
        }
        ligne += (ligne.size() > retrait ? " " : "") + mot;
        debut = fin + 1;
    }
    return lignes + ligne + "\n";
}

bool Entier(const std::string& texte, int minimum, int maximum, int& resultat)
{
    int lu = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), lu);
    if (erreur != std::errc() || fin != texte.data() + texte.size() || lu < minimum || lu > maximum)
        return false;
    resultat = lu;
    return true;
}

} // namespace

const std::vector<OptionsCli::Definition>& OptionsCli::Definitions()
{
    static const std::vector<Definition> table = {
        {'t', "template", "FILE",
         "the template (.tp2) giving text, font, colours, logo, placement, output name, folder and JPEG quality; a "
         "relative logo path is taken from the template's folder. Without -t, the settings the desktop program "
         "last stored are used",
         [](OptionsCli& o, const std::string& v) { o.Modele = v; return !v.empty(); }},
        {'o', "output", "DIR", "write into DIR (created when missing) instead of the template's folder choice",
         [](OptionsCli& o, const std::string& v) { o.DossierSortie = v; return !v.empty(); }},
        {'r', "recursive", nullptr, "descend into sub-folders; with -o the sub-folder tree is recreated under DIR",
         [](OptionsCli& o, const std::string&) { return o.Recursif = true; }},
        {'j', "jobs", "N",
         "N workers (1-256). Default: the number of cores, lowered so that N times the largest picture's working "
         "memory (8 bytes per pixel from the file's header, plus the file's size) fits in the available memory; "
         "a container's cgroup v2 cpu.max and memory.max lower both",
         [](OptionsCli& o, const std::string& v) { return Entier(v, 1, kTravailleursMax, o.Travailleurs); }},
        {'n', "dry-run", nullptr,
         "print each \"source -> destination\" on the standard output and every collision (two sources, one "
         "destination) on the standard error; write nothing",
         [](OptionsCli& o, const std::string&) { return o.Simulation = true; }},
        {0, "overwrite", "WHEN",
         "never (default): skip outputs that exist, so a run started again finishes the rest; always: replace them",
         [](OptionsCli& o, const std::string& v) {
             if (v != "never" && v != "always")
                 return false;
             o.Ecrase = v == "always" ? Ecrasement::Toujours : Ecrasement::Jamais;
             return true;
         }},
        {0, "in-place", nullptr,
         "let outputs replace pictures of the list (a template keeping the folder and the name signs each "
         "picture over itself). Without it, --overwrite always refuses such a run before any picture is read, "
         "and --overwrite never skips them, saying why",
         [](OptionsCli& o, const std::string&) { return o.EnPlace = true; }},
        {0, "allow-damaged", nullptr,
         "sign a damaged picture (a JPEG cut short or with corrupt data) as far as it can be read, with a warning "
         "on the standard error and in its manifest record. Without it such a picture fails (\"damaged: ...\") "
         "and nothing is written from it",
         [](OptionsCli& o, const std::string&) { return o.AccepteEndommagees = true; }},
        {0, "quality", "Q",
         "the JPEG, WebP quality for this run, over the template's: 0-100, or \"same\" to keep a JPEG "
         "photograph's own quality (only the blocks under the signature are encoded again when it is written as "
         "JPEG; other pictures use the template's number)",
         [](OptionsCli& o, const std::string& v) {
             int qualite = -1;
             if (v != "same" && !Entier(v, 0, 100, qualite))
                 return false;
             o.Qualite = qualite;
             return true;
         }},
        {0, "format", "F",
         "the format of the signed copies for this run, over the template's \"Save as\": source, jpeg, png, webp, "
         "heic or avif",
         [](OptionsCli& o, const std::string& v) {
             static const std::pair<const char*, FormatSortie> noms[] = {{"source", FormatSortie::Source},
                 {"jpeg", FormatSortie::JPEG}, {"png", FormatSortie::PNG}, {"webp", FormatSortie::WebP},
                 {"heic", FormatSortie::HEIC}, {"avif", FormatSortie::AVIF}};
             for (const auto& [nom, format] : noms)
                 if (v == nom)
                     o.Format = format;
             return o.Format.has_value();
         }},
        {0, "metadata", "WHAT",
         "what the signed copies carry for this run, over the template's \"Metadata\": keep, no-location (all but "
         "the GPS position) or none",
         [](OptionsCli& o, const std::string& v) {
             static const std::pair<const char*, PolitiqueMetadonnees> noms[] = {
                 {"keep", PolitiqueMetadonnees::Toutes}, {"no-location", PolitiqueMetadonnees::SaufLieu},
                 {"none", PolitiqueMetadonnees::Aucune}};
             for (const auto& [nom, politique] : noms)
                 if (v == nom)
                     o.Metadonnees = politique;
             return o.Metadonnees.has_value();
         }},
        {0, "max-size", "N",
         "for this run, over the template's \"Resize\": make each picture whose longest side is over N pixels "
         "(1-1048576) that size before it is signed, its other side in proportion; smaller pictures stay as they are",
         [](OptionsCli& o, const std::string& v) {
             int pixels = 0;
             if (!Entier(v, 1, static_cast<int>(RegleTaille::kPixelsMaximum), pixels))
                 return false;
             o.TailleMax = static_cast<std::uint32_t>(pixels);
             return true;
         }},
        {0, "files-from", "FILE", "read more PATHs from FILE, one a line (\"-\": the standard input)",
         [](OptionsCli& o, const std::string& v) { o.FichiersDe = v; return !v.empty(); }},
        {0, "manifest", "FILE",
         "write one JSON line per picture: source, destination, status (ok, skipped, failed), error, warning "
         "(a damaged picture signed with --allow-damaged), milliseconds (a name that is not UTF-8 also as base64 "
         "of its bytes: source_b64, destination_b64); \"%I\" in FILE becomes the shard's index (0 without "
         "--shard). FILE may not be a picture or an output of the run, nor a file there that is no manifest",
         [](OptionsCli& o, const std::string& v) { o.Manifeste = v; return !v.empty(); }},
        {0, "shard", "I/N",
         "sign only shard I (0 to N-1) of N; --shard auto/N takes I from SLURM_ARRAY_TASK_ID, else "
         "JOB_COMPLETION_INDEX (a usage error when neither is set or I >= N). A shard holds the pictures whose path "
         "below the folder given (or, for a picture named itself, its path as written) hashes to I modulo N; the "
         "hash is the same on every machine, so N tasks with the same arguments sign every picture exactly once",
         [](OptionsCli& o, const std::string& v) {
             const auto part = Repartition::Lit(v, [](const char* nom) { return std::getenv(nom); }, o.Erreur);
             if (part)
                 o.Part = *part;
             return part.has_value();
         }},
        {0, "summary", nullptr,
         "the PATHs are manifests: print how many pictures were ok, skipped and failed across them, and each "
         "failed picture with its error; a picture recorded twice counts once, by its best status. Exit status 1 "
         "when some picture failed or a line is no record, 2 when a manifest holds no record",
         [](OptionsCli& o, const std::string&) { return o.Bilan = true; }},
        {0, "watch", "DIR",
         "sign each picture that appears in DIR (its sub-folders with -r) once it is written whole, named as a run "
         "over DIR names it, until SIGINT or SIGTERM; the pictures already there first, and with --overwrite never "
         "only those without an output. One line per picture on the standard output; --manifest adds to the file. "
         "Exit status 1 when some picture failed. Not with --shard, --summary, -n, --files-from or another PATH",
         [](OptionsCli& o, const std::string& v) {
             o.Surveille = true;
             o.Chemins.push_back(v);
             return !v.empty();
         }},
        {'q', "quiet", nullptr, "no progress line and no summary; errors still show",
         [](OptionsCli& o, const std::string&) { return o.Silencieux = true; }},
        {'h', "help", nullptr, "this text", [](OptionsCli& o, const std::string&) { return o.Aide = true; }},
    };
    return table;
}

void OptionsCli::Surcharge(ModeleSignature& reglages) const
{
    if (Qualite) {
        reglages.QualiteOrigine = *Qualite < 0;
        if (*Qualite >= 0)
            reglages.QualiteJPEG = *Qualite;
    }
    if (Format)
        reglages.FormatEnregistrement = *Format;
    if (Metadonnees)
        reglages.MetadonneesSortie = *Metadonnees;
    if (TailleMax)
        reglages.RedimensionSortie = {RegleTaille::Mode::CotePlusLong, *TailleMax};
}

bool OptionsCli::Applique(const Definition& definition, const std::optional<std::string>& valeur)
{
    const std::string nom = definition.Court ? std::string("-") + definition.Court : std::string("--") + definition.Long;
    if (definition.Argument && !valeur) {
        Erreur = "option " + nom + " needs a value";
        return false;
    }
    if (!definition.Action(*this, valeur.value_or(std::string()))) {
        // An action may have said more precisely what is wrong.
        if (Erreur.empty())
            Erreur = "invalid value for " + nom + ": '" + valeur.value_or(std::string()) + "'";
        return false;
    }
    return true;
}

bool OptionsCli::Lit(const std::vector<std::string>& arguments)
{
    Erreur.clear();
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const auto suivante = [&]() -> std::optional<std::string> {
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (!options || a == "-" || a.empty() || a[0] != '-') {
            Chemins.push_back(a);
            continue;
        }
        if (a == "--") {
            options = false;
            continue;
        }
        const Definition* trouvee = nullptr;
        std::optional<std::string> valeur;
        if (a.rfind("--", 0) == 0) {
            const std::size_t egal = a.find('=');
            const std::string nom = a.substr(2, egal == std::string::npos ? std::string::npos : egal - 2);
            for (const Definition& d : Definitions())
                if (nom == d.Long)
                    trouvee = &d;
            if (!trouvee) {
                Erreur = "unknown option --" + nom;
                return false;
            }
            if (egal != std::string::npos) {
                if (!trouvee->Argument) {
                    Erreur = "option --" + nom + " takes no value";
                    return false;
                }
                valeur = a.substr(egal + 1);
            } else if (trouvee->Argument) {
                valeur = suivante();
            }
            if (!Applique(*trouvee, valeur))
                return false;
            continue;
        }
        // Short options may be grouped (-rn); one that takes a value ends
        // the group with the rest of the word or the next argument (-j4, -j 4).
        for (std::size_t k = 1; k < a.size(); ++k) {
            trouvee = nullptr;
            for (const Definition& d : Definitions())
                if (d.Court && d.Court == a[k])
                    trouvee = &d;
            if (!trouvee) {
                Erreur = std::string("unknown option -") + a[k];
                return false;
            }
            valeur.reset();
            if (trouvee->Argument)
                valeur = k + 1 < a.size() ? std::optional<std::string>(a.substr(k + 1)) : suivante();
            if (!Applique(*trouvee, valeur))
                return false;
            if (trouvee->Argument)
                break;
        }
    }
    if (!Aide && Bilan && Chemins.empty()) {
        Erreur = "--summary: no manifest given";
        return false;
    }
    if (!Aide && Chemins.empty() && FichiersDe.empty()) {
        Erreur = "no picture or folder given";
        return false;
    }
    return true;
}

std::string OptionsCli::TexteAide()
{
    std::string texte = "Usage: tamparo2-cli [OPTION]... PATH...\n"
                        "       tamparo2-cli --watch DIR -o OUT [OPTION]...\n"
                        "       tamparo2-cli --summary MANIFEST.jsonl...\n\n";
    texte += Replie("Signs pictures as the Tamparo2 desktop program's \"Sign All Files\" does, without a window, on "
                    "every core. Each PATH is a picture, or a folder whose pictures (named " +
                        RegistreFormats::ListeTerminaisons(" ", " ") +
                        ", in any case) are signed. A picture is read as its content says, whatever its name.",
                    0)
             + "\n";
    for (const Definition& d : Definitions()) {
        std::string nom = std::string("  ") + (d.Court ? std::string("-") + d.Court + ", " : "    ") + "--" + d.Long;
        if (d.Argument)
            nom += std::string(" ") + d.Argument;
        nom += nom.size() < kColonne ? std::string(kColonne - nom.size(), ' ') : "\n" + std::string(kColonne, ' ');
        texte += nom + Replie(d.Description, kColonne).substr(kColonne);
    }
    return texte + R"(
A picture that is the output of another listed picture is left out, so that a
second run does not sign signed copies; so is the -o folder inside a folder
searched with -r. Progress goes to the standard error: one line redrawn in
place on a terminal, plain lines otherwise. Every message goes to the standard
error; no window is ever opened.

Every task of a shared run lists all the pictures, settles collisions alike,
then keeps its share; with --overwrite never a task run again skips the
outputs it already wrote (each written whole) and signs the rest.

On SIGINT or SIGTERM no new picture starts; those in hand are finished (an
output is written whole or not at all), the summary is printed and the exit
status is 130 or 143.

Exit status: 0 every picture signed or skipped; 1 some picture failed (the
others are still done; a damaged picture fails without --allow-damaged), no
picture was found, the manifest could not be written, -n found a picture that
would fail (a collision, a missing file), or --summary found a failed picture;
2 a usage error (such as --shard auto/N without an index, an output name that
is a path, a manifest that is a picture), no template and no stored settings,
or a template, list of files or manifest that cannot be read.
)";
}

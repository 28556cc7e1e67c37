#include "ListeTravaux.h"

#include "NomSortie.h"
#include "codecs/RegistreFormats.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Paths stay bytes: a name that is not UTF-8 must reach the loader as it is,
// which a round trip through QString would not allow.
std::string Propre(const fs::path& chemin)
{
    std::string propre = chemin.lexically_normal().string();
    while (propre.size() > 1 && propre.back() == '/')
        propre.pop_back();
    return propre;
}

std::string Absolu(const std::string& chemin)
{
    std::error_code erreur;
    const fs::path absolu = fs::absolute(chemin, erreur);
    return Propre(erreur ? fs::path(chemin) : absolu);
}

// The path with its existing part's links resolved; the path itself when
// even that cannot be told.
fs::path Canonique(const std::string& chemin)
{
    std::error_code erreur;
    const fs::path canonique = fs::weakly_canonical(chemin, erreur);
    return erreur ? fs::path(chemin) : canonique;
}

// NomSortie adds the "/" itself: the root folder is written empty.
std::string DossierPourNom(const std::string& dossier) { return dossier == "/" ? std::string() : dossier; }

bool EstImage(const std::string& chemin) { return RegistreFormats::ParNom(chemin) != nullptr; }

std::string Pluriel(std::size_t n, const char* un, const char* plusieurs)
{
    return std::to_string(n) + " " + (n == 1 ? un : plusieurs);
}

std::string PourquoiRien(const std::string& dossier, std::size_t sousDossiers, std::size_t autres)
{
    std::string raisons;
    if (sousDossiers)
        raisons = Pluriel(sousDossiers, "sub-folder", "sub-folders") + ", searched only with -r";
    if (autres)
        raisons += (raisons.empty() ? "" : "; ") + Pluriel(autres, "file", "files") + " whose name does not end in " +
                   RegistreFormats::ListeTerminaisons(", ", " or ");
    return dossier + ": " + (raisons.empty() ? std::string("empty") : raisons);
}

} // namespace

ListeTravaux::ListeTravaux(const ModeleSignature& reglages, const std::string& dossierSortie, bool recursif)
    : m_Reglages(reglages), m_DossierSortie(dossierSortie.empty() ? dossierSortie : Absolu(dossierSortie)),
      m_Recursif(recursif),
      m_SortieCanonique(m_DossierSortie.empty() ? std::string() : Canonique(m_DossierSortie).string())
{
}

void ListeTravaux::Ajoute(const std::string& chemin)
{
    std::error_code erreur;
    const fs::file_status etat = fs::status(chemin, erreur);
    const std::string absolu = Absolu(chemin);
    const std::string cle = Propre(chemin);
    if (fs::is_directory(etat)) {
        AjouteDossier(absolu);
    } else if (!fs::exists(etat)) {
        m_Sources.push_back({absolu, {}, "No such file or folder", cle});
    } else if (!fs::is_regular_file(etat) || !EstImage(absolu)) {
        m_Sources.push_back(
            {absolu, {}, "Not a " + RegistreFormats::ListeTerminaisons(", ", " or ") + " picture", cle});
    } else {
        m_Sources.push_back({absolu, {}, {}, cle});
    }
}

void ListeTravaux::AjouteDossier(const std::string& dossier)
{
    std::vector<Source> trouvees;
    std::size_t sousDossiers = 0;
    std::size_t autres = 0;
    std::error_code erreur;
    const auto retient = [&](const fs::directory_entry& entree) {
        std::error_code e;
        if (entree.is_directory(e))
            ++sousDossiers;
        if (!entree.is_regular_file(e))
            return;
        if (!EstImage(entree.path().string())) {
            ++autres;
            return;
        }
        const fs::path relatif = entree.path().parent_path().lexically_relative(dossier);
        trouvees.push_back({entree.path().string(), relatif == "." ? std::string() : relatif.string(), {},
                            entree.path().lexically_relative(dossier).generic_string()});
    };
    // Folder links are not followed: a link to a parent would never end.
    if (m_Recursif) {
        for (fs::recursive_directory_iterator it(dossier, fs::directory_options::skip_permission_denied, erreur), fin;
             !erreur && it != fin; it.increment(erreur)) {
            // What an earlier run wrote there is no picture to sign again.
            std::error_code e;
            if (!m_SortieCanonique.empty() && it->is_directory(e) &&
                Canonique(it->path().string()).string() == m_SortieCanonique) {
                it.disable_recursion_pending();
                continue;
            }
            retient(*it);
        }
    } else {
        for (fs::directory_iterator it(dossier, fs::directory_options::skip_permission_denied, erreur), fin;
             !erreur && it != fin; it.increment(erreur))
            retient(*it);
    }
    if (erreur)
        m_Sources.push_back({dossier, {}, "Unable to read the folder: " + erreur.message(), dossier});
    else if (trouvees.empty())
        m_SansImage.push_back(PourquoiRien(dossier, m_Recursif ? 0 : sousDossiers, autres));
    // The file system's order is no order: runs and listings repeat.
    std::sort(trouvees.begin(), trouvees.end(), [](const Source& a, const Source& b) { return a.Chemin < b.Chemin; });
    m_Sources.insert(m_Sources.end(), trouvees.begin(), trouvees.end());
}

bool ListeTravaux::Destination(const Source& source, CString& destination) const
{
    ModeleSignature reglages = m_Reglages;
    if (!m_DossierSortie.empty()) {
        reglages.NomRepertoireAucun = 0;
        reglages.NomRepertoireSpecifique = 1;
        reglages.NomRepertoire = DossierPourNom(
            source.SousDossier.empty() ? m_DossierSortie : (fs::path(m_DossierSortie) / source.SousDossier).string());
    }
    // A new namer for each picture: every source here has a folder and an
    // extension, so no picture takes a part of the previous one.
    NomSortie nommage(reglages);
    destination = nommage.Chemin(source.Chemin);
    return nommage.Dedans(destination);
}

void ListeTravaux::Termine()
{
    m_Travaux.clear();
    m_Cles.clear();
    m_Collisions.clear();
    std::map<std::string, std::size_t> vues;
    std::vector<Travail> candidats;
    std::vector<std::string> cles;
    for (const Source& s : m_Sources) {
        const auto [vue, nouvelle] = vues.emplace(s.Chemin, candidats.size());
        if (!nouvelle) {
            // A picture named twice (its folder and itself) takes the same
            // shard whatever the order of the arguments.
            cles[vue->second] = std::min(cles[vue->second], s.Cle);
            continue;
        }
        Travail t{s.Chemin, {}, s.Refus};
        if (t.Refus.empty() && !Destination(s, t.Destination)) {
            t.Refus = "The output " + t.Destination + " would land outside its folder";
            t.Destination.clear();
        }
        candidats.push_back(t);
        cles.push_back(s.Cle);
    }
    // What another picture writes is no picture to sign.
    std::map<std::string, std::vector<std::size_t>> parDestination;
    for (std::size_t i = 0; i < candidats.size(); ++i)
        if (candidats[i].Refus.empty())
            parDestination[candidats[i].Destination].push_back(i);
    for (std::size_t k = 0; k < candidats.size(); ++k) {
        const Travail& t = candidats[k];
        const auto ecrivains = parDestination.find(t.Source);
        const bool sortieDUneAutre =
            ecrivains != parDestination.end() &&
            std::any_of(ecrivains->second.begin(), ecrivains->second.end(),
                        [&](std::size_t i) { return candidats[i].Source != t.Source; });
        if (!sortieDUneAutre) {
            m_Travaux.push_back(t);
            m_Cles.push_back(cles[k]);
        }
    }
    std::map<std::string, std::size_t> premiere;
    std::map<std::string, std::size_t> collision;
    for (Travail& t : m_Travaux) {
        if (!t.Refus.empty())
            continue;
        const auto [place, nouvelle] = premiere.emplace(t.Destination, &t - m_Travaux.data());
        if (nouvelle)
            continue;
        const Travail& gardee = m_Travaux[place->second];
        const auto [c, premiereFois] = collision.emplace(t.Destination, m_Collisions.size());
        if (premiereFois)
            m_Collisions.push_back({t.Destination, {gardee.Source}});
        m_Collisions[c->second].Sources.push_back(t.Source);
        t.Refus = "Same destination as " + gardee.Source;
    }
    // Through links too: two names of one file are one original.
    std::set<fs::path> originaux;
    for (const Source& s : m_Sources)
        originaux.insert(Canonique(s.Chemin));
    for (Travail& t : m_Travaux)
        t.SurSource = t.Refus.empty() && originaux.count(Canonique(t.Destination)) > 0;
}

void ListeTravaux::Partage(const Repartition& repartition)
{
    std::vector<Travail> travaux;
    std::vector<std::string> cles;
    std::set<std::string> gardees;
    for (std::size_t i = 0; i < m_Travaux.size(); ++i) {
        if (!repartition.Contient(m_Cles[i]))
            continue;
        travaux.push_back(m_Travaux[i]);
        cles.push_back(m_Cles[i]);
        gardees.insert(m_Travaux[i].Source);
    }
    // A collision is told by the shard that signs its first source.
    std::erase_if(m_Collisions, [&](const Collision& c) { return !gardees.count(c.Sources.front()); });
    m_Travaux = std::move(travaux);
    m_Cles = std::move(cles);
}

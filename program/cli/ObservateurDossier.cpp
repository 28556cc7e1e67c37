#include "ObservateurDossier.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/inotify.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Folder links are not followed, as the listing does not follow them; notes
// about files already deleted are of no use.
constexpr std::uint32_t kMasque =
    IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

bool Exclu(const std::string& exclu, const fs::path& dossier)
{
    if (exclu.empty())
        return false;
    std::error_code erreur;
    const fs::path canonique = fs::weakly_canonical(dossier, erreur);
    return !erreur && canonique == exclu;
}

} // namespace

ObservateurDossier::ObservateurDossier(bool recursif, std::string exclu)
    : m_Recursif(recursif), m_Exclu(std::move(exclu))
{
}

ObservateurDossier::~ObservateurDossier()
{
    if (m_Descripteur >= 0)
        ::close(m_Descripteur);
}

bool ObservateurDossier::Ajoute(const std::string& dossier)
{
    const int surveillance = ::inotify_add_watch(m_Descripteur, dossier.c_str(), kMasque);
    if (surveillance >= 0) {
        // A folder renamed inside the tree keeps its descriptor: the new name wins.
        m_Dossiers[surveillance] = dossier;
        return true;
    }
    // Gone or not a folder by now: nothing there to miss.
    if (errno == ENOENT || errno == ENOTDIR)
        return true;
    m_Complet = false;
    return false;
}

bool ObservateurDossier::Observe(const std::string& dossier)
{
    if (m_Descripteur < 0) {
        m_Descripteur = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_Descripteur < 0) {
            m_Complet = false;
            return false;
        }
    }
    bool complet = Ajoute(dossier);
    if (!m_Recursif)
        return complet;
    std::error_code erreur;
    for (fs::recursive_directory_iterator it(dossier, fs::directory_options::skip_permission_denied, erreur), fin;
         !erreur && it != fin; it.increment(erreur)) {
        std::error_code e;
        if (!it->is_directory(e) || it->is_symlink(e))
            continue;
        if (Exclu(m_Exclu, it->path())) {
            it.disable_recursion_pending();
            continue;
        }
        complet = Ajoute(it->path().string()) && complet;
    }
    return complet;
}

void ObservateurDossier::Interprete(const char* octets, std::size_t taille, std::vector<Evenement>& evenements)
{
    std::size_t position = 0;
    while (taille - position >= sizeof(inotify_event)) {
        inotify_event note;
        std::memcpy(&note, octets + position, sizeof note);
        if (note.len > taille - position - sizeof note)
            return;
        const char* nom = octets + position + sizeof note;
        const std::string feuille(nom, ::strnlen(nom, note.len));
        position += sizeof note + note.len;

        if (note.mask & IN_Q_OVERFLOW) {
            evenements.push_back({Genre::Debordement, {}});
            continue;
        }
        if (note.mask & IN_IGNORED) {
            m_Dossiers.erase(note.wd);
            continue;
        }
        const auto dossier = m_Dossiers.find(note.wd);
        if (dossier == m_Dossiers.end() || feuille.empty())
            continue;
        const std::string chemin = (fs::path(dossier->second) / feuille).string();
        if (note.mask & IN_ISDIR) {
            if (m_Recursif && (note.mask & (IN_CREATE | IN_MOVED_TO)) && !Exclu(m_Exclu, chemin)) {
                Observe(chemin);
                evenements.push_back({Genre::Dossier, chemin});
            }
            continue;
        }
        evenements.push_back({note.mask & (IN_CLOSE_WRITE | IN_MOVED_TO) ? Genre::Fermeture : Genre::Ecriture, chemin});
    }
}

std::vector<ObservateurDossier::Evenement> ObservateurDossier::Lit()
{
    std::vector<Evenement> evenements;
    if (m_Descripteur < 0)
        return evenements;
    alignas(inotify_event) char tampon[64 * 1024];
    for (;;) {
        const ssize_t lus = ::read(m_Descripteur, tampon, sizeof tampon);
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus <= 0)
            break;
        Interprete(tampon, static_cast<std::size_t>(lus), evenements);
    }
    return evenements;
}

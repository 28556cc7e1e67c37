#include "DossierSurveille.h"

#include "ListeTravaux.h"
#include "ProgrammeCli.h"
#include "StderrInteraction.h"
#include "codecs/RegistreFormats.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The signal that ends the watch, 0 while none did; the byte the handler
// writes into the pipe wakes the wait for the kernel's notes.
std::atomic<int> g_arret{0};
static_assert(std::atomic<int>::is_always_lock_free);
int g_reveil[2] = {-1, -1};

void SurSignal(int numero)
{
    g_arret.store(numero);
    const char octet = 0;
    [[maybe_unused]] const ssize_t ecrit = ::write(g_reveil[1], &octet, 1);
}

bool InstalleSignaux(void (*traitant)(int))
{
    struct sigaction action {};
    action.sa_handler = traitant;
    sigemptyset(&action.sa_mask);
    // Reads and writes in hand carry on: the workers finish their picture.
    action.sa_flags = SA_RESTART;
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

// Between two looks at a picture waiting. A picture nobody was seen writing
// (there at start, or its notes lost) must look the same twice; one seen
// written but never closed (a writer that pauses) waits longer, in case its
// close was missed.
constexpr auto kPas = std::chrono::milliseconds(300);
constexpr int kStablesSansNote = 2;
constexpr int kStablesSansFermeture = 17;

std::string Normal(const std::string& chemin) { return fs::path(chemin).lexically_normal().string(); }

} // namespace

bool DossierSurveille::Empreinte::operator==(const Empreinte& autre) const
{
    return Taille == autre.Taille && Modifie.tv_sec == autre.Modifie.tv_sec && Modifie.tv_nsec == autre.Modifie.tv_nsec;
}

DossierSurveille::DossierSurveille(const OptionsCli& options, const ModeleSignature& reglages,
                                   const std::string& dossierLogo)
    : m_Options(options), m_Reglages(reglages), m_DossierLogo(dossierLogo),
      m_Progression(stderr, Progression::Mode::Silencieux, 0)
{
    std::error_code erreur;
    const fs::path racine = fs::absolute(m_Options.Chemins.front(), erreur);
    m_Racine = Normal(erreur ? m_Options.Chemins.front() : racine.string());
}

DossierSurveille::~DossierSurveille()
{
    if (g_reveil[0] < 0)
        return;
    InstalleSignaux(SIG_DFL);
    ::close(g_reveil[0]);
    ::close(g_reveil[1]);
    g_reveil[0] = g_reveil[1] = -1;
}

std::string DossierSurveille::Refus(const OptionsCli& options)
{
    const std::pair<bool, const char*> incompatibles[] = {{options.Part.Nombre() > 1, "--shard"},
        {options.Bilan, "--summary"}, {options.Simulation, "-n"}, {!options.FichiersDe.empty(), "--files-from"}};
    for (const auto& [present, option] : incompatibles)
        if (present)
            return std::string("--watch cannot be used with ") + option;
    if (options.Chemins.size() != 1)
        return "--watch takes one folder and no other PATH";
    std::error_code erreur;
    if (!fs::is_directory(options.Chemins.front(), erreur))
        return "--watch: " + options.Chemins.front() + " is not a folder";
    return {};
}

bool DossierSurveille::Lit(const std::string& chemin, Empreinte& empreinte)
{
    struct stat etat {};
    if (::stat(chemin.c_str(), &etat) != 0 || !S_ISREG(etat.st_mode))
        return false;
    empreinte.Taille = etat.st_size;
    empreinte.Modifie = etat.st_mtim;
    return true;
}

ListeTravaux DossierSurveille::Liste() const
{
    // The folder as the user gave it, so that names and keys are a run's.
    ListeTravaux liste(m_Reglages, m_Options.DossierSortie, m_Options.Recursif);
    liste.Ajoute(m_Options.Chemins.front());
    liste.Termine();
    return liste;
}

void DossierSurveille::Admet(const std::string& chemin, bool auDepart, std::optional<ObservateurDossier::Genre> note)
{
    const std::string cle = Normal(chemin);
    if (!RegistreFormats::ParNom(cle) || m_Faites.count(cle) || m_Ecrites.count(cle))
        return;
    auto attente = m_Attentes.find(cle);
    if (attente == m_Attentes.end()) {
        Empreinte vue;
        if (!Lit(cle, vue))
            return;
        // A picture that failed is tried again only once it was rewritten.
        if (const auto echec = m_Echouees.find(cle); echec != m_Echouees.end() && echec->second == vue)
            return;
        attente = m_Attentes.emplace(cle, Attente{vue, Horloge::now(), 0, false, false, auDepart}).first;
    }
    Attente& a = attente->second;
    if (note == ObservateurDossier::Genre::Ecriture) {
        a.Ecriture = true;
        a.Fermee = false;
        a.Stables = 0;
    } else if (note == ObservateurDossier::Genre::Fermeture) {
        a.Ecriture = false;
        a.Fermee = true;
    }
}

void DossierSurveille::Releve()
{
    m_Releve = false;
    const ListeTravaux liste = Liste();
    for (const Travail& t : liste.Travaux())
        Admet(t.Source, false);
}

void DossierSurveille::Pas()
{
    if (m_Releve || !m_Observateur->Complet())
        Releve();
    const auto maintenant = Horloge::now();
    std::set<std::string> prets;
    // The pictures there at start go first; newcomers wait for them.
    const bool departEnAttente = std::any_of(m_Attentes.begin(), m_Attentes.end(),
                                             [](const auto& attente) { return attente.second.AuDepart; });
    for (auto it = m_Attentes.begin(); it != m_Attentes.end();) {
        Attente& a = it->second;
        // Seen just now: too soon to tell a pause from the end.
        if (maintenant - a.Quand < kPas / 2) {
            ++it;
            continue;
        }
        Empreinte vue;
        if (!Lit(it->first, vue)) {
            it = m_Attentes.erase(it);
            continue;
        }
        a.Stables = vue == a.Vue ? a.Stables + 1 : 0;
        a.Vue = vue;
        a.Quand = maintenant;
        const int requis = a.Ecriture ? kStablesSansFermeture : a.Fermee ? 1 : kStablesSansNote;
        if (a.Stables >= requis && (a.AuDepart || !departEnAttente))
            prets.insert(it->first);
        ++it;
    }
    if (!prets.empty())
        Signe(prets);
}

void DossierSurveille::Signe(const std::set<std::string>& prets)
{
    // Listed whole, so that each picture is named, and collisions settled,
    // as a run over the folder would.
    const ListeTravaux liste = Liste();
    std::vector<Travail> travaux;
    std::set<std::string> listes;
    for (const bool auDepart : {true, false}) {
        for (const Travail& t : liste.Travaux()) {
            const auto attente = m_Attentes.find(t.Source);
            if (prets.count(t.Source) && attente->second.AuDepart == auDepart) {
                travaux.push_back(t);
                listes.insert(t.Source);
            }
        }
    }
    for (const std::string& chemin : prets) {
        m_Attentes.erase(chemin);
        // Not in the run's list: an output of another picture.
        if (!listes.count(chemin))
            m_Faites.insert(chemin);
    }
    const bool ecrase = m_Options.Ecrase == OptionsCli::Ecrasement::Toujours;
    for (Travail& t : travaux) {
        if (!t.Refus.empty())
            continue;
        const auto [ecrite, nouvelle] = m_Ecrites.emplace(Normal(t.Destination), t.Source);
        // A picture that came later would otherwise replace an earlier one's copy.
        if (!nouvelle && ecrite->second != t.Source)
            t.Refus = "Same destination as " + ecrite->second;
        else if (t.SurSource && ecrase && !m_Options.EnPlace)
            t.Refus = Lot::kSurSource;
    }
    if (!travaux.empty()) {
        m_Lot->Execute(travaux, g_arret, [this](const CompteRendu& compte) { Rapporte(compte); }, m_Numero);
        m_Numero += static_cast<int>(travaux.size());
    }
}

void DossierSurveille::Rapporte(const CompteRendu& compte)
{
    // Failures and warnings, as a run tells them.
    m_Progression.Termine(compte);
    const Travail& t = *compte.Objet;
    if (compte.Etat == CompteRendu::Statut::Echec) {
        Empreinte vue;
        Lit(t.Source, vue);
        m_Echouees[t.Source] = vue;
        const auto ecrite = m_Ecrites.find(Normal(t.Destination));
        if (ecrite != m_Ecrites.end() && ecrite->second == t.Source)
            m_Ecrites.erase(ecrite);
    } else {
        m_Faites.insert(t.Source);
        m_Echouees.erase(t.Source);
        ++(compte.Etat == CompteRendu::Statut::Signe ? m_Signes : m_Passes);
        if (!m_Options.Silencieux) {
            const bool signe = compte.Etat == CompteRendu::Statut::Signe;
            const std::string note = compte.Erreur.empty() ? std::string() : " (" + compte.Erreur + ")";
            std::printf("%s %s -> %s%s\n", signe ? "ok" : "skipped", t.Source.c_str(), t.Destination.c_str(),
                        note.c_str());
            std::fflush(stdout);
        }
    }
    // Said once: the watch goes on, but its record is no longer whole.
    if (!m_Manifeste.Ecrit(compte) && !m_Defaut) {
        m_Defaut = true;
        ProgrammeCli::Erreur("cannot write the manifest " + m_CheminManifeste + ": " + m_Manifeste.Erreur);
    }
}

int DossierSurveille::Execute(const ListeTravaux& depart, int travailleurs)
{
    m_Debut = Horloge::now();
    m_CheminManifeste = m_Options.Part.Nomme(m_Options.Manifeste);
    if (!m_CheminManifeste.empty()) {
        if (const std::string refus = Manifeste::Refus(m_CheminManifeste, depart.Travaux()); !refus.empty()) {
            ProgrammeCli::Erreur(refus);
            return ProgrammeCli::kUsage;
        }
        // A watch started again adds to the record of the earlier ones.
        if (!m_Manifeste.Ouvre(m_CheminManifeste, true)) {
            ProgrammeCli::Erreur("cannot write the manifest " + m_CheminManifeste + ": " + m_Manifeste.Erreur);
            return ProgrammeCli::kUsage;
        }
    }
    if (::pipe2(g_reveil, O_NONBLOCK | O_CLOEXEC) != 0 || !InstalleSignaux(SurSignal)) {
        ProgrammeCli::Erreur(std::string("cannot wait for signals: ") + std::strerror(errno));
        return ProgrammeCli::kEchecs;
    }
    static StderrInteraction interaction;
    Interaction::install(&interaction);
    m_Lot = std::make_unique<Lot>(m_Reglages, m_DossierLogo, travailleurs,
                                  m_Options.Ecrase == OptionsCli::Ecrasement::Toujours ? Lot::Ecrasement::Toujours
                                                                                       : Lot::Ecrasement::Jamais);
    m_Lot->AccepteEndommagees(m_Options.AccepteEndommagees);
    if (m_Lot->Etape(0).LogoManquant())
        ProgrammeCli::Erreur("warning: the logo " + m_Reglages.Logo + " is not there; signing without it");

    std::string exclue;
    if (!m_Options.DossierSortie.empty()) {
        std::error_code erreur;
        exclue = fs::weakly_canonical(fs::absolute(m_Options.DossierSortie), erreur).string();
    }
    m_Observateur = std::make_unique<ObservateurDossier>(m_Options.Recursif, exclue);
    if (!m_Observateur->Observe(m_Racine))
        ProgrammeCli::Erreur("warning: the kernel does not report changes in all of " + m_Racine +
                             "; the folder is listed again every " + std::to_string(kPas.count()) + " ms");
    if (!m_Options.Silencieux)
        std::fprintf(stderr, "Watching %s; SIGINT or SIGTERM stops\n", m_Racine.c_str());
    for (const Travail& t : depart.Travaux())
        Admet(t.Source, true);
    // What arrived between the listing and the first watch.
    m_Releve = true;

    auto prochain = Horloge::now() + kPas;
    while (!g_arret.load()) {
        const bool attend = !m_Attentes.empty() || m_Releve || !m_Observateur->Complet();
        int delai = -1;
        if (attend)
            delai = static_cast<int>(std::max<std::int64_t>(
                0, std::chrono::duration_cast<std::chrono::milliseconds>(prochain - Horloge::now()).count()));
        pollfd attentes[2] = {{g_reveil[0], POLLIN, 0}, {m_Observateur->Descripteur(), POLLIN, 0}};
        if (::poll(attentes, 2, delai) < 0 && errno != EINTR) {
            ProgrammeCli::Erreur(std::string("cannot wait for changes: ") + std::strerror(errno));
            m_Defaut = true;
            break;
        }
        if (g_arret.load())
            break;
        if (attentes[1].revents & POLLIN) {
            for (const ObservateurDossier::Evenement& e : m_Observateur->Lit()) {
                if (e.Type == ObservateurDossier::Genre::Debordement || e.Type == ObservateurDossier::Genre::Dossier)
                    m_Releve = true;
                else
                    Admet(e.Chemin, false, e.Type);
            }
        }
        // Idle until now: the first look is one step after the news.
        if (!attend) {
            prochain = Horloge::now() + kPas;
            continue;
        }
        if (Horloge::now() >= prochain) {
            Pas();
            prochain = Horloge::now() + kPas;
        }
    }
    if (!m_Options.Silencieux)
        std::fprintf(stderr, "Stopped watching %s: %zu signed, %zu skipped, %zu failed in %s\n", m_Racine.c_str(),
                     m_Signes, m_Passes, m_Progression.Echecs(),
                     Progression::Duree(std::chrono::duration<double>(Horloge::now() - m_Debut).count()).c_str());
    return m_Echouees.empty() && !m_Defaut ? ProgrammeCli::kSucces : ProgrammeCli::kEchecs;
}

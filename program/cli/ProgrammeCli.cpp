#include "ProgrammeCli.h"

#include "Bilan.h"
#include "CBaseRegistre.h"
#include "DossierSurveille.h"
#include "EstimationMemoire.h"
#include "LimitesConteneur.h"
#include "ListeTravaux.h"
#include "Lot.h"
#include "Manifeste.h"
#include "NomSortie.h"
#include "Progression.h"
#include "ReglagesRegistre.h"
#include "RessourcesProgramme.h"
#include "StderrInteraction.h"
#include "codecs/RegistreFormats.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace {

// The signal that asked the run to end, 0 while none did. Lock-free, so
// the handler may store into it.
std::atomic<int> g_arret{0};
static_assert(std::atomic<int>::is_always_lock_free);

void SurSignal(int numero) { g_arret.store(numero); }

void InstalleSignaux()
{
    struct sigaction action {};
    action.sa_handler = SurSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes in hand carry on: the workers finish their picture.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The desktop program stores every setting at once, its text first.
bool ReglagesStockes()
{
    CBaseRegistre base;
    if (!base.OuvreLecture(ReglagesRegistre::kApplication))
        return false;
    CString texte;
    const bool stockes = base.Lecture("ST:Texte", texte) != 0;
    base.Ferme();
    return stockes;
}

} // namespace

void ProgrammeCli::Erreur(const std::string& texte) { std::fprintf(stderr, "tamparo2-cli: %s\n", texte.c_str()); }

int ProgrammeCli::Refuse(const std::string& raison)
{
    Erreur(raison);
    return kUsage;
}

int ProgrammeCli::Execute(const std::vector<std::string>& arguments)
{
    OptionsCli options;
    if (!options.Lit(arguments)) {
        Erreur(options.Erreur);
        std::fprintf(stderr, "Try 'tamparo2-cli --help'.\n");
        return kUsage;
    }
    if (options.Aide) {
        std::fputs(OptionsCli::TexteAide().c_str(), stdout);
        return kSucces;
    }
    if (options.Surveille) {
        if (const std::string refus = DossierSurveille::Refus(options); !refus.empty())
            return Refuse(refus);
    }
    if (options.Bilan)
        return Resume(options.Chemins);
    return ProgrammeCli(std::move(options)).Lance();
}

int ProgrammeCli::Resume(const std::vector<std::string>& manifestes)
{
    Bilan bilan;
    for (const std::string& chemin : manifestes)
        if (!bilan.Ajoute(chemin))
            return Refuse(bilan.Erreur);
    if (bilan.Vide())
        return Refuse(manifestes.size() == 1 ? "the manifest " + manifestes.front() + " holds no record"
                                             : "the manifests hold no record");
    for (const std::string& ligne : bilan.Illisibles())
        Erreur(ligne + ": not a manifest record");
    std::fputs(bilan.Texte().c_str(), stdout);
    std::fflush(stdout);
    // A line that cannot be read may be a failure that cannot be seen.
    return bilan.Echecs() || !bilan.Illisibles().empty() ? kEchecs : kSucces;
}

bool ProgrammeCli::LitListe()
{
    const std::string& nom = m_Options.FichiersDe;
    std::ifstream fichier;
    if (nom != "-") {
        fichier.open(nom);
        if (!fichier) {
            Erreur("cannot read the list " + nom + ": " + std::strerror(errno));
            return false;
        }
    }
    std::istream& flux = nom == "-" ? std::cin : fichier;
    for (std::string ligne; std::getline(flux, ligne);) {
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        if (!ligne.empty())
            m_Options.Chemins.push_back(ligne);
    }
    if (flux.bad()) {
        Erreur("cannot read the list " + nom);
        return false;
    }
    return true;
}

int ProgrammeCli::Lance()
{
    RessourcesProgramme::Enregistre();
    if (!m_Options.FichiersDe.empty() && !LitListe())
        return kUsage;

    // Until the workers start, the library's own fallback reports on the
    // standard error (there is no application object for windows).
    ModeleSignature reglages;
    std::string dossierLogo;
    if (!m_Options.Modele.empty()) {
        const std::string& modele = m_Options.Modele;
        std::FILE* essai = std::fopen(modele.c_str(), "rb");
        if (!essai)
            return Refuse("cannot read the template " + modele + ": " + std::strerror(errno));
        std::fclose(essai);
        switch (reglages.ChargeFichier(modele)) {
        case ModeleSignature::Lecture::Complete:
            break;
        case ModeleSignature::Lecture::Refusee:
            return Refuse(modele + " is not a template");
        case ModeleSignature::Lecture::Incomplete:
            return Refuse("the template " + modele + " ends before its last setting");
        }
        dossierLogo = QFileInfo(QString::fromStdString(modele)).absolutePath().toStdString();
    } else if (!ReglagesRegistre::Lecture(reglages)) {
        return Refuse("no template given and the stored settings cannot be read");
    } else if (!ReglagesStockes()) {
        // Default settings would sign every picture with a stranger's text.
        return Refuse("no template given and no settings stored");
    }
    m_Options.Surcharge(reglages);
    if (const std::string refus = NomSortie::Refus(reglages); !refus.empty())
        return Refuse(refus);

    if (!m_Options.DossierSortie.empty() && !m_Options.Simulation &&
        !QDir().mkpath(QString::fromStdString(m_Options.DossierSortie)))
        return Refuse("cannot create the output folder " + m_Options.DossierSortie);

    ListeTravaux liste(reglages, m_Options.DossierSortie, m_Options.Recursif);
    for (const std::string& chemin : m_Options.Chemins)
        liste.Ajoute(chemin);
    liste.Termine();
    if (m_Options.Surveille)
        return DossierSurveille(m_Options, reglages, dossierLogo).Execute(liste, Travailleurs(liste));
    if (liste.Travaux().empty()) {
        for (const std::string& raison : liste.SansImage())
            Erreur("no picture in " + raison);
        Erreur("no picture found");
        return kEchecs;
    }
    const std::string cheminManifeste = m_Options.Part.Nomme(m_Options.Manifeste);
    if (!cheminManifeste.empty()) {
        if (const std::string refus = Manifeste::Refus(cheminManifeste, liste.Travaux()); !refus.empty())
            return Refuse(refus);
    }
    // Decided on the whole list, so that every shard of a run says the same.
    if (m_Options.Ecrase == OptionsCli::Ecrasement::Toujours && !m_Options.EnPlace) {
        const auto& travaux = liste.Travaux();
        const auto premier = std::find_if(travaux.begin(), travaux.end(), [](const Travail& t) { return t.SurSource; });
        if (premier != travaux.end()) {
            const auto nombre = std::count_if(travaux.begin(), travaux.end(), [](const Travail& t) { return t.SurSource; });
            return Refuse(std::to_string(nombre) + (nombre == 1 ? " output is" : " outputs are") +
                          " a picture of the list (" + premier->Source + " -> " + premier->Destination +
                          "): --overwrite always would replace originals; give --in-place to sign over them");
        }
    }
    liste.Partage(m_Options.Part);
    if (m_Options.Simulation)
        return Simule(liste);
    return Signe(liste, reglages, dossierLogo, cheminManifeste);
}

int ProgrammeCli::Simule(const ListeTravaux& liste) const
{
    bool echec = false;
    for (const Travail& t : liste.Travaux()) {
        if (!t.Refus.empty()) {
            echec = true;
            std::fprintf(stderr, "%s: %s\n", t.Source.c_str(), t.Refus.c_str());
            continue;
        }
        const bool passe = m_Options.Ecrase == OptionsCli::Ecrasement::Jamais &&
                           QFileInfo::exists(QString::fromStdString(t.Destination));
        const char* note = !passe ? "" : t.SurSource ? " (a picture of the list, skipped)" : " (exists, skipped)";
        std::printf("%s -> %s%s\n", t.Source.c_str(), t.Destination.c_str(), note);
    }
    for (const ListeTravaux::Collision& c : liste.Collisions()) {
        std::string sources;
        for (const CString& s : c.Sources)
            sources += (sources.empty() ? "" : ", ") + s;
        std::fprintf(stderr, "collision: %s <- %s\n", c.Destination.c_str(), sources.c_str());
    }
    std::fflush(stdout);
    return echec ? kEchecs : kSucces;
}

int ProgrammeCli::Travailleurs(const ListeTravaux& liste) const
{
    if (m_Options.Travailleurs > 0)
        return m_Options.Travailleurs;
    std::uint64_t plusGrande = 0;
    for (const Travail& t : liste.Travaux()) {
        if (!t.Refus.empty())
            continue;
        const std::uint64_t octets = QFileInfo(QString::fromStdString(t.Source)).size();
        // The content decides, as the loader will find out; an unreadable
        // header leaves the file's size.
        const auto taille = RegistreFormats::Dimensions(t.Source);
        plusGrande = std::max(plusGrande, EtapeSignature::MemoireDeTravail(taille ? taille->Largeur : 0,
                                                                          taille ? taille->Hauteur : 0, octets));
    }
    const int coeurs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return LimitesConteneur::Lit().Travailleurs(coeurs, EstimationMemoire::Disponible(), plusGrande);
}

int ProgrammeCli::Signe(const ListeTravaux& liste, const ModeleSignature& reglages, const std::string& dossierLogo,
                        const std::string& cheminManifeste)
{
    Manifeste manifeste;
    if (!cheminManifeste.empty() && !manifeste.Ouvre(cheminManifeste))
        return Refuse("cannot write the manifest " + cheminManifeste + ": " + manifeste.Erreur);

    const std::vector<Travail>& travaux = liste.Travaux();
    const int travailleurs = static_cast<int>(std::min<std::size_t>(Travailleurs(liste), std::max<std::size_t>(travaux.size(), 1)));
    static StderrInteraction interaction;
    Interaction::install(&interaction);
    InstalleSignaux();
    Lot lot(reglages, dossierLogo, travailleurs,
            m_Options.Ecrase == OptionsCli::Ecrasement::Toujours ? Lot::Ecrasement::Toujours : Lot::Ecrasement::Jamais);
    lot.AccepteEndommagees(m_Options.AccepteEndommagees);
    if (lot.Etape(0).LogoManquant())
        Erreur("warning: the logo " + reglages.Logo + " is not there; signing without it");

    const Progression::Mode mode = m_Options.Silencieux ? Progression::Mode::Silencieux :
                                   isatty(STDERR_FILENO) ? Progression::Mode::Terminal : Progression::Mode::Lignes;
    Progression progression(stderr, mode, travaux.size());
    if (mode == Progression::Mode::Lignes && m_Options.Part.Nombre() > 1)
        std::fprintf(stderr, "Signing %zu pictures (shard %u of %u) with %d workers\n", travaux.size(),
                     m_Options.Part.Indice(), m_Options.Part.Nombre(), lot.Travailleurs());
    else if (mode == Progression::Mode::Lignes)
        std::fprintf(stderr, "Signing %zu pictures with %d workers\n", travaux.size(), lot.Travailleurs());
    bool manifestePerdu = false;
    lot.Execute(travaux, g_arret, [&](const CompteRendu& compte) {
        progression.Termine(compte);
        // Said once: the run goes on, but its record is no longer whole.
        if (!manifeste.Ecrit(compte) && !manifestePerdu) {
            manifestePerdu = true;
            Erreur("cannot write the manifest " + cheminManifeste + ": " + manifeste.Erreur);
        }
    });
    const int signal = g_arret.load();
    progression.Resume(signal != 0);
    if (signal)
        return 128 + signal;
    return progression.Echecs() || manifestePerdu ? kEchecs : kSucces;
}

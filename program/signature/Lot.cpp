#include "Lot.h"

#include "StderrInteraction.h"

#include <QCoreApplication>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// A step's messages as one text, each as the command line's standard error
// would show its box, separated by "; ".
std::string Texte(const RapportCodec& rapport)
{
    std::string texte;
    for (const RapportCodec::Message& m : rapport.Messages()) {
        const std::string titre = m.Forme == RapportCodec::Boite::Application
                                      ? QCoreApplication::applicationName().toStdString()
                                      : m.Titre;
        texte += (texte.empty() ? "" : "; ") + StderrInteraction::Ligne(m.Texte, titre);
    }
    return texte;
}

} // namespace

Lot::Lot(const ModeleSignature& reglages, const std::string& dossierLogo, int travailleurs, Ecrasement ecrasement)
    : m_Ecrasement(ecrasement)
{
    // Workers that leave a core each to spare encode on it while they decode.
    const int nombre = std::max(1, travailleurs);
    const bool encodeAPart = 2U * static_cast<unsigned>(nombre) <= std::thread::hardware_concurrency();
    for (int i = 0; i < nombre; ++i) {
        m_Etapes.push_back(std::make_unique<EtapeSignature>(reglages, dossierLogo));
        m_Etapes.back()->EncodeAPart(encodeAPart);
        // Every step loads the same logo: a damaged one is reported once.
        RapportCodec logo = m_Etapes.back()->PrendRapport();
        if (i == 0)
            logo.Affiche();
    }
}

Lot::~Lot() = default;

void Lot::Execute(const std::vector<Travail>& travaux, const std::atomic<int>& arret,
                  const std::function<void(const CompteRendu&)>& rapport, int premier)
{
    std::atomic<std::size_t> suivant{0};
    std::mutex verrou;
    const auto travailleur = [&](EtapeSignature& etape) {
        for (;;) {
            if (arret.load())
                return;
            const std::size_t index = suivant.fetch_add(1);
            if (index >= travaux.size())
                return;
            const CompteRendu compte = Traite(etape, travaux[index], premier + static_cast<int>(index));
            std::lock_guard<std::mutex> garde(verrou);
            rapport(compte);
        }
    };
    std::vector<std::thread> fils;
    // One worker (or one picture) needs no thread of its own.
    const std::size_t nombre = std::min(m_Etapes.size(), std::max<std::size_t>(travaux.size(), 1));
    for (std::size_t i = 1; i < nombre; ++i)
        fils.emplace_back(travailleur, std::ref(*m_Etapes[i]));
    travailleur(*m_Etapes[0]);
    for (std::thread& f : fils)
        f.join();
}

CompteRendu Lot::Traite(EtapeSignature& etape, const Travail& travail, int numero) const
{
    const auto debut = std::chrono::steady_clock::now();
    CompteRendu compte;
    compte.Objet = &travail;
    const auto fin = [&compte, debut](CompteRendu::Statut etat) {
        compte.Etat = etat;
        compte.Millisecondes = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - debut).count();
        return compte;
    };
    if (!travail.Refus.empty()) {
        compte.Erreur = travail.Refus;
        return fin(CompteRendu::Statut::Echec);
    }
    std::error_code erreur;
    const std::filesystem::path destination(travail.Destination);
    if (m_Ecrasement == Ecrasement::Jamais && std::filesystem::exists(destination, erreur)) {
        if (travail.SurSource)
            compte.Erreur = kSurSource;
        return fin(CompteRendu::Statut::Passe);
    }
    // Folders under a chosen output folder are made as they are needed.
    if (destination.has_parent_path())
        std::filesystem::create_directories(destination.parent_path(), erreur);

    // Refused, the damage stops the decoder before the output replaces anything.
    etape.RefuseDommage(!m_AccepteEndommagees);
    const EtapeSignature::Resultat resultat = etape.Traite(travail.Source, travail.Destination, numero);
    const RapportCodec rapport = etape.PrendRapport();
    const std::string messages = Texte(rapport);
    const std::string dommage = rapport.Endommage().empty() ? std::string() : kEndommagee + rapport.Endommage();
    switch (resultat) {
    case EtapeSignature::Resultat::Signe:
        compte.Avertissement = dommage;
        return fin(CompteRendu::Statut::Signe);
    case EtapeSignature::Resultat::EchecChargement:
        compte.Erreur = !dommage.empty() ? dommage : messages.empty() ? "Unable to load the picture" : messages;
        break;
    case EtapeSignature::Resultat::EchecEcriture:
        // A writer that names the file already says it all.
        compte.Erreur = messages.find("Unable to write " + travail.Destination) != std::string::npos
                            ? messages
                            : "Unable to write " + travail.Destination + (messages.empty() ? "" : ": " + messages);
        break;
    }
    return fin(CompteRendu::Statut::Echec);
}

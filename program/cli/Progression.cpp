#include "Progression.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kEfface = "\r\033[K";
// A terminal line redrawn more often than this only flickers.
constexpr auto kIntervalle = std::chrono::milliseconds(100);

} // namespace

Progression::Progression(std::FILE* flux, Mode mode, std::size_t total)
    : m_Flux(flux), m_Mode(mode), m_Total(total), m_Debut(std::chrono::steady_clock::now())
{
}

double Progression::Ecoule() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Debut).count();
}

void Progression::Ecrit(const std::string& texte)
{
    std::fwrite(texte.data(), 1, texte.size(), m_Flux);
    std::fflush(m_Flux);
}

std::string Progression::Duree(double secondes)
{
    const long long s = std::llround(std::max(0.0, secondes));
    char texte[48];
    if (s >= 3600)
        std::snprintf(texte, sizeof texte, "%lld h %02lld min", s / 3600, s / 60 % 60);
    else if (s >= 60)
        std::snprintf(texte, sizeof texte, "%lld min %02lld s", s / 60, s % 60);
    else
        std::snprintf(texte, sizeof texte, "%lld s", s);
    return texte;
}

std::string Progression::Ligne(std::size_t faits, std::size_t total, double secondes)
{
    std::string ligne = "[" + std::to_string(faits) + "/" + std::to_string(total) + "]";
    if (faits == 0 || secondes <= 0)
        return ligne;
    const double debit = faits / secondes;
    char texte[64];
    std::snprintf(texte, sizeof texte, " %.1f pictures/s", debit);
    ligne += texte;
    if (faits < total)
        ligne += ", " + Duree((total - faits) / debit) + " left";
    return ligne;
}

void Progression::Termine(const CompteRendu& compte)
{
    switch (compte.Etat) {
    case CompteRendu::Statut::Signe:
        ++m_Signes;
        break;
    case CompteRendu::Statut::Passe:
        ++m_Passes;
        break;
    case CompteRendu::Statut::Echec:
        ++m_Echecs;
        break;
    }
    const std::size_t faits = m_Signes + m_Passes + m_Echecs;
    const std::string& source = compte.Objet->Source;
    std::string echec =
        compte.Etat == CompteRendu::Statut::Echec ? "failed: " + source + ": " + compte.Erreur + "\n" : std::string();
    // Told whatever the mode, as failures are: the output may not be whole.
    const std::string avertissement =
        compte.Avertissement.empty() ? std::string() : "warning: " + source + ": " + compte.Avertissement + "\n";
    switch (m_Mode) {
    case Mode::Silencieux:
        Ecrit(echec + avertissement);
        break;
    case Mode::Lignes: {
        const char* etat = compte.Etat == CompteRendu::Statut::Signe ? "ok" :
                           compte.Etat == CompteRendu::Statut::Passe ? "skipped" : "failed";
        std::string ligne = "[" + std::to_string(faits) + "/" + std::to_string(m_Total) + "] " + etat + " " + source;
        ligne += compte.Etat == CompteRendu::Statut::Echec ? ": " + compte.Erreur : " -> " + compte.Objet->Destination;
        if (compte.Etat == CompteRendu::Statut::Passe && !compte.Erreur.empty())
            ligne += " (" + compte.Erreur + ")";
        Ecrit(avertissement + ligne + "\n");
        break;
    }
    case Mode::Terminal: {
        const auto maintenant = std::chrono::steady_clock::now();
        echec += avertissement;
        if (echec.empty() && compte.Erreur.empty() && faits < m_Total && m_LigneOuverte &&
            maintenant - m_DernierDessin < kIntervalle)
            break;
        m_DernierDessin = maintenant;
        // A picture passed for a reason of its own is told like a failure.
        const std::string note = compte.Etat == CompteRendu::Statut::Passe && !compte.Erreur.empty()
                                     ? "skipped: " + source + ": " + compte.Erreur + "\n"
                                     : std::string();
        Ecrit(std::string(kEfface) + echec + note + Ligne(faits, m_Total, Ecoule()));
        m_LigneOuverte = true;
        break;
    }
    }
}

void Progression::Resume(bool interrompu)
{
    if (m_LigneOuverte)
        Ecrit(kEfface);
    m_LigneOuverte = false;
    if (m_Mode == Mode::Silencieux && !interrompu)
        return;
    const std::size_t faits = m_Signes + m_Passes + m_Echecs;
    std::string texte = interrompu ? "Interrupted: " : "";
    texte += std::to_string(m_Signes) + " signed, " + std::to_string(m_Passes) + " skipped, " +
             std::to_string(m_Echecs) + " failed";
    if (faits < m_Total)
        texte += ", " + std::to_string(m_Total - faits) + " not started";
    texte += " in " + Duree(Ecoule()) + "\n";
    Ecrit(texte);
}

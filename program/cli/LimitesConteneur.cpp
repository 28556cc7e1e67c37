#include "LimitesConteneur.h"

#include "EntierNaturel.h"
#include "EstimationMemoire.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

// The words of a small file; none when it is missing or longer than any
// such file is.
std::vector<std::string> Mots(const std::string& chemin)
{
    std::ifstream fichier(chemin, std::ios::binary);
    char tampon[128];
    fichier.read(tampon, sizeof tampon);
    const std::streamsize lus = fichier.gcount();
    if (lus <= 0 || lus == static_cast<std::streamsize>(sizeof tampon))
        return {};
    std::istringstream flux(std::string(tampon, static_cast<std::size_t>(lus)));
    std::vector<std::string> mots;
    for (std::string mot; flux >> mot;)
        mots.push_back(mot);
    return mots;
}

// cpu.max is "max PERIOD" or "QUOTA PERIOD" in microseconds.
int CoeursDe(const std::vector<std::string>& mots)
{
    if (mots.size() != 2 || mots[0] == "max")
        return 0;
    const std::optional<std::uint64_t> quota = EntierNaturel<std::uint64_t>(mots[0]);
    const std::optional<std::uint64_t> periode = EntierNaturel<std::uint64_t>(mots[1]);
    if (!quota || !periode || *quota == 0 || *periode == 0)
        return 0;
    const std::uint64_t coeurs = *quota / *periode + (*quota % *periode != 0);
    return static_cast<int>(std::min<std::uint64_t>(coeurs, INT_MAX));
}

} // namespace

LimitesConteneur LimitesConteneur::Lit(const std::string& dossier)
{
    LimitesConteneur limites;
    limites.m_Coeurs = CoeursDe(Mots(dossier + "/cpu.max"));
    const std::vector<std::string> maximum = Mots(dossier + "/memory.max");
    if (maximum.size() == 1 && maximum[0] != "max")
        limites.m_Memoire = EntierNaturel<std::uint64_t>(maximum[0]).value_or(0);
    const std::vector<std::string> courante = Mots(dossier + "/memory.current");
    if (courante.size() == 1)
        if (const std::optional<std::uint64_t> octets = EntierNaturel<std::uint64_t>(courante[0])) {
            limites.m_Utilisee = *octets;
            limites.m_UtiliseeConnue = true;
        }
    return limites;
}

int LimitesConteneur::Coeurs(int coeursHote) const
{
    const int coeurs = std::max(1, coeursHote);
    return m_Coeurs ? std::min(coeurs, m_Coeurs) : coeurs;
}

std::uint64_t LimitesConteneur::Disponible(std::uint64_t disponibleHote) const
{
    if (!m_Memoire)
        return disponibleHote;
    // Over its limit the group is reclaiming: room for one worker at most.
    std::uint64_t reste = m_Memoire;
    if (m_UtiliseeConnue)
        reste = m_Memoire > m_Utilisee ? m_Memoire - m_Utilisee : 1;
    return disponibleHote ? std::min(disponibleHote, reste) : reste;
}

int LimitesConteneur::Travailleurs(int coeursHote, std::uint64_t disponibleHote, std::uint64_t parImage) const
{
    return EstimationMemoire::Travailleurs(Coeurs(coeursHote), Disponible(disponibleHote), parImage);
}

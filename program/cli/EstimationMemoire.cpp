#include "EstimationMemoire.h"

#include <algorithm>
#include <fstream>
#include <sstream>

std::uint64_t EstimationMemoire::Disponible()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string ligne;
    while (std::getline(meminfo, ligne)) {
        std::istringstream mots(ligne);
        std::string nom;
        std::uint64_t ko = 0;
        if (mots >> nom >> ko && nom == "MemAvailable:")
            return ko * 1024;
    }
    return 0;
}

int EstimationMemoire::Travailleurs(int coeurs, std::uint64_t disponible, std::uint64_t parImage)
{
    int n = std::max(1, coeurs);
    if (disponible && parImage)
        n = static_cast<int>(std::min<std::uint64_t>(n, std::max<std::uint64_t>(1, disponible / 4 * 3 / parImage)));
    return n;
}

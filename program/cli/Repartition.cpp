#include "Repartition.h"

#include "EntierNaturel.h"

std::optional<Repartition> Repartition::Lit(std::string_view texte, const Environnement& environnement,
                                            std::string& erreur)
{
    const std::size_t barre = texte.find('/');
    const std::optional<std::uint32_t> nombre =
        barre == std::string_view::npos ? std::nullopt : EntierNaturel<std::uint32_t>(texte.substr(barre + 1));
    if (!nombre || *nombre < 1 || *nombre > kPartsMax) {
        erreur = "--shard takes I/N or auto/N with N from 1 to " + std::to_string(kPartsMax) + ", not '" +
                 std::string(texte) + "'";
        return std::nullopt;
    }
    std::string_view indice = texte.substr(0, barre);
    if (indice == "auto") {
        // A task run again on its own keeps its index: never a silent 0/1.
        const char* variable = "SLURM_ARRAY_TASK_ID";
        const char* valeur = environnement(variable);
        if (!valeur || !*valeur) {
            variable = "JOB_COMPLETION_INDEX";
            valeur = environnement(variable);
        }
        if (!valeur || !*valeur) {
            erreur = "--shard auto/N: neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX is set";
            return std::nullopt;
        }
        const std::optional<std::uint32_t> lu = EntierNaturel<std::uint32_t>(valeur);
        if (!lu) {
            erreur = std::string("--shard auto/N: ") + variable + " is '" + valeur + "', not an index";
            return std::nullopt;
        }
        if (*lu >= *nombre) {
            erreur = std::string("--shard auto/") + std::to_string(*nombre) + ": " + variable + " is " + valeur +
                     ", outside 0.." + std::to_string(*nombre - 1);
            return std::nullopt;
        }
        return Repartition(*lu, *nombre);
    }
    const std::optional<std::uint32_t> lu = EntierNaturel<std::uint32_t>(indice);
    if (!lu || *lu >= *nombre) {
        erreur = "--shard " + std::string(texte) + ": I must be a number from 0 to N-1";
        return std::nullopt;
    }
    return Repartition(*lu, *nombre);
}

std::uint64_t Repartition::Hache(std::string_view octets)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    // FNV's low bits, the ones a small modulus keeps, mix poorly on their
    // own: finish with the 64-bit avalanche step of MurmurHash3.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
}

std::string Repartition::Nomme(const std::string& modele) const
{
    std::string nom;
    for (std::size_t i = 0; i < modele.size(); ++i) {
        if (modele[i] == '%' && i + 1 < modele.size() && modele[i + 1] == 'I') {
            nom += std::to_string(m_Indice);
            ++i;
        } else {
            nom += modele[i];
        }
    }
    return nom;
}

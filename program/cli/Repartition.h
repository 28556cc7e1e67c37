#pragma once
// One task's share of a run spread over many machines: shard I of N holds
// the pictures whose key (the path below the folder the user gave) hashes
// to I modulo N. The hash is this program's own, so every machine, build
// and run agrees on who signs what.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class Repartition {
public:
    static constexpr std::uint32_t kPartsMax = 1000000;

    Repartition() = default; // the whole run: shard 0 of 1
    Repartition(std::uint32_t indice, std::uint32_t nombre) : m_Indice(indice), m_Nombre(nombre) {}

    // "I/N", or "auto/N" with I from SLURM_ARRAY_TASK_ID, else from
    // JOB_COMPLETION_INDEX, as environnement finds them (nullptr: unset).
    // On a mistake, nothing, with the reason in erreur.
    using Environnement = std::function<const char*(const char*)>;
    static std::optional<Repartition> Lit(std::string_view texte, const Environnement& environnement,
                                          std::string& erreur);

    // 64-bit FNV-1a of the bytes, then mixed so that every bit of the
    // result depends on every byte: names differing in their last
    // character still spread over the shards.
    static std::uint64_t Hache(std::string_view octets);

    bool Contient(std::string_view cle) const { return m_Nombre <= 1 || Hache(cle) % m_Nombre == m_Indice; }

    // The pattern with every "%I" replaced by the index.
    std::string Nomme(const std::string& modele) const;

    std::uint32_t Indice() const { return m_Indice; }
    std::uint32_t Nombre() const { return m_Nombre; }

private:
    std::uint32_t m_Indice = 0;
    std::uint32_t m_Nombre = 1;
};

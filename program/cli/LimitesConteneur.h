#pragma once
// What the control group (cgroup v2) of the process's container allows it:
// cores and memory, so that the default workers fit inside the container.

#include <cstdint>
#include <string>

class LimitesConteneur {
public:
    // The limits of the group whose files are in dossier. A file that is
    // missing, unreadable or malformed sets no limit.
    static LimitesConteneur Lit(const std::string& dossier = "/sys/fs/cgroup");

    // The host's cores, at least one, no more than the group's quota.
    int Coeurs(int coeursHote) const;
    // The host's available memory (0: unknown), no more than what the
    // group leaves; at least one byte when the group sets a limit.
    std::uint64_t Disponible(std::uint64_t disponibleHote) const;
    // The default number of workers: the cores allowed, fewer when the
    // pictures would not fit in the memory allowed.
    int Travailleurs(int coeursHote, std::uint64_t disponibleHote, std::uint64_t parImage) const;

private:
    int m_Coeurs = 0;             // 0: no limit
    std::uint64_t m_Memoire = 0;  // memory.max; 0: no limit
    std::uint64_t m_Utilisee = 0; // memory.current
    bool m_UtiliseeConnue = false;
};

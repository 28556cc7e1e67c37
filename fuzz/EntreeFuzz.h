#pragma once
// What every reader's fuzz target shares: a decoding budget small enough
// that pictures of hundreds of megapixels from a few bytes cost no time (the
// readers' own limits have their tests), handed to every reader, and the
// input written as a file, which is what the readers take.

#include "codecs/Budget.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace EntreeFuzz {

inline constexpr Budget::Limites kLimites{std::uint64_t(1) << 22, std::uint64_t(1) << 28};

// The target's budget; each decoding opens its own account in it.
inline Budget& BudgetReduit()
{
    static Budget budget(kLimites);
    return budget;
}

// The file holding data, named after the target; empty when it cannot be written.
inline std::string Fichier(const char* cible, const char* extension, const std::uint8_t* data, std::size_t size)
{
    const std::string path = "/tmp/" + std::string(cible) + "_" + std::to_string(::getpid()) + extension;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {};
    const bool complet = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && complet ? path : std::string();
}

} // namespace EntreeFuzz

#pragma once
// How many workers the memory allows, from the largest picture's working
// memory (its size read by RegistreFormats' header probe, without decoding)
// and the memory the system says is available.

#include <cstdint>

class EstimationMemoire {
public:
    // MemAvailable of /proc/meminfo in bytes; 0 when unknown.
    static std::uint64_t Disponible();

    // The cores, lowered so that the workers' pictures fit in three
    // quarters of what is available; at least one. Unknown memory (0)
    // lowers nothing.
    static int Travailleurs(int coeurs, std::uint64_t disponible, std::uint64_t parImage);
};

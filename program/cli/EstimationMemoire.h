#pragma once
// How many workers the memory allows: each picture's size from its file's
// header, without decoding (RegistreFormats' probe of the format its content
// shows), and the memory the system says is available.

#include <cstdint>
#include <optional>
#include <string>

class EstimationMemoire {
public:
    struct Taille {
        std::uint32_t Largeur = 0;
        std::uint32_t Hauteur = 0;
    };
    // Null when the header cannot be read: the caller then falls back to
    // the file's size.
    static std::optional<Taille> Dimensions(const std::string& chemin);

    // MemAvailable of /proc/meminfo in bytes; 0 when unknown.
    static std::uint64_t Disponible();

    // The cores, lowered so that the workers' pictures fit in three
    // quarters of what is available; at least one. Unknown memory (0)
    // lowers nothing.
    static int Travailleurs(int coeurs, std::uint64_t disponible, std::uint64_t parImage);
};

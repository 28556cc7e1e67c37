#pragma once
// What tamparo2-cli tells on its standard error while it signs: on a
// terminal one line with the count, pictures per second and time left,
// redrawn in place; otherwise one plain line per picture; nothing with -q
// but the failures. Then the summary.

#include "Lot.h"

#include <chrono>
#include <cstdio>
#include <string>

class Progression {
public:
    enum class Mode { Terminal, Lignes, Silencieux };

    Progression(std::FILE* flux, Mode mode, std::size_t total);

    // After each picture; callers call it one at a time.
    void Termine(const CompteRendu& compte);
    // The last line: counts, time, and whether the run was interrupted.
    void Resume(bool interrompu);

    std::size_t Echecs() const { return m_Echecs; }

    // "[12/40] 3.1 pictures/s, 9 s left"; the rate and the time left once
    // a picture is done and time has passed.
    static std::string Ligne(std::size_t faits, std::size_t total, double secondes);
    // "1 h 02 min", "3 min 05 s", "9 s".
    static std::string Duree(double secondes);

private:
    void Ecrit(const std::string& texte);
    double Ecoule() const;

    std::FILE* m_Flux;
    Mode m_Mode;
    std::size_t m_Total;
    std::size_t m_Signes = 0;
    std::size_t m_Passes = 0;
    std::size_t m_Echecs = 0;
    std::chrono::steady_clock::time_point m_Debut;
    std::chrono::steady_clock::time_point m_DernierDessin;
    bool m_LigneOuverte = false;
};

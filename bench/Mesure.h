#pragma once
// What every benchmark reports: times in milliseconds, and the median of a
// series of runs (the shared machine makes single runs meaningless).

#include <algorithm>
#include <chrono>
#include <vector>

inline double Millisecondes(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// The middle value, the upper one of an even count.
inline double Mediane(std::vector<double> mesures)
{
    std::sort(mesures.begin(), mesures.end());
    return mesures[mesures.size() / 2];
}

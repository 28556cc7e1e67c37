// Times the construction of CGraphique: loading the 50 pattern tiles and
// making their thumbnails.

#include "CGraphique.h"

#include "Banc.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    HorsEcranParDefaut();
    QGuiApplication application(argc, argv);
    double best = 1e30, total = 0;
    constexpr int kRuns = 10;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        CGraphique graphique;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, ms);
        total += ms;
        if (run == 0) {
            int loaded = 0;
            for (int i = 0; i < CGraphique::kNombreMotifs; ++i)
                loaded += graphique.Motif(i) && graphique.Vignette(i);
            std::printf("tiles with thumbnails: %d of %d\n", loaded, CGraphique::kNombreMotifs);
        }
    }
    std::printf("CGraphique construction: best %.1f ms, mean %.1f ms over %d runs\n", best, total / kRuns, kRuns);
    return 0;
}

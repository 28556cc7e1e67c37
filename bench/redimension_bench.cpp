// Times "Resize" on a 24 MP camera photograph: loaded at longest side 2048
// (decoded at a reduced scale, then averaged down) and saved, against
// libjpeg's own full decode + encode of the same picture.
// Usage: redimension_bench [runs]

#include "CGraphique.h"
#include "codecs/Metadonnees.h"

#include "Banc.h"
#include "Mesure.h"
#include "Photographie.h"
#include "PlancherJpeg.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const Banc banc(argc, argv);
    const int runs = Tours(argc, argv, 1, 7);
    const std::string racine = banc.Racine();
    const std::string source = racine + "photo.jpg";
    Photographie photo(6000, 4000, 7);
    if (!photo.Ecrit(source, 92))
        return 1;

    CGraphique graphique;
    PlancherJpeg plancher;
    const RegleTaille regle{RegleTaille::Mode::CotePlusLong, 2048};
    std::vector<double> floors, resized;
    for (int run = 0; run <= runs; ++run) { // run 0 warms caches and is not counted
        auto start = std::chrono::steady_clock::now();
        if (!plancher.Passe(source, racine + "plancher.jpg", 75))
            return 1;
        const double f = Millisecondes(start);
        start = std::chrono::steady_clock::now();
        Metadonnees m;
        HBITMAP image = graphique.ChargePhoto(source, m, regle);
        const int ok = image ? graphique.SauvePhoto(racine + "r.jpg", image, 75, m, PolitiqueMetadonnees::Toutes) : 0;
        const double r = Millisecondes(start);
        DeleteObject(image);
        if (!ok) {
            std::fprintf(stderr, "load or save failed\n");
            return 1;
        }
        if (run) {
            floors.push_back(f);
            resized.push_back(r);
        }
    }
    const double f = Mediane(floors), r = Mediane(resized);
    std::printf("24 MP to 2048, median of %d: libjpeg decode+encode %8.2f ms  resize+save %8.2f ms  ratio %.4f\n", runs,
                f, r, r / f);
    return 0;
}

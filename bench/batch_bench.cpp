// Times the signing step's work on one picture (load, sign with a text and
// a logo, save at quality 75), whole as the desktop run does it and in
// bands of rows as the command line does, on one thread, against the
// floor: libjpeg's own decode and encode of the same file into a buffer
// kept from run to run, on photographs of camera sizes made here.
// Usage: batch_bench [runs] [style]; "style" signs with an outlined,
// shadowed text and a logo sized to the picture.

#include "EtapeSignature.h"

#include "Banc.h"
#include "Mesure.h"
#include "Photographie.h"
#include "PlancherJpeg.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kQualite = 75;

struct Photo {
    const char* nom;
    int largeur;
    int hauteur;
};

} // namespace

int main(int argc, char** argv)
{
    const Banc banc(argc, argv);
    const int runs = Tours(argc, argv, 1, 5);
    const std::string racine = banc.Racine();

    ModeleSignature reglages;
    reglages.Logo = racine + "logo.jpg";
    Photographie(240, 120, 7).Ecrit(reglages.Logo, 90);
    reglages.EmplacementLogo.PositionAutomatiqueHaut = 1;
    reglages.EmplacementLogo.PositionAutomatiqueBas = 0;
    reglages.Fonte.lfHeight = -48;
    reglages.Fonte.lfWeight = FW_BOLD;
    std::strcpy(reglages.Fonte.lfFaceName, "Comic Sans MS");
    reglages.Texte = "Signed with Tamparo2 - 2024";
    reglages.CouleurEncre = RGB(255, 255, 255);
    reglages.FondTransparent = 1;
    reglages.QualiteJPEG = kQualite;
    if (argc > 2 && std::strcmp(argv[2], "style") == 0) {
        reglages.StyleTexte.Contour = 3;
        reglages.StyleTexte.OmbreX = reglages.StyleTexte.OmbreY = 4;
        reglages.StyleTexte.OmbreFlou = 6;
        reglages.StyleTexte.OpaciteOmbre = 60;
        reglages.StyleLogo.TailleRelative = 1000;
        reglages.StyleLogo.Opacite = 80;
    }
    // One step, kept from picture to picture as a worker keeps it.
    EtapeSignature etape(reglages);
    if (etape.LogoManquant()) {
        std::fprintf(stderr, "cannot make the logo\n");
        return 1;
    }

    const Photo photos[] = {{"12 MP", 4000, 3000}, {"2 MP", 1632, 1224}};
    std::printf("per picture on one thread, median of %d runs, quality %d; floor: libjpeg decode + encode "
                "reusing its buffer\n",
                runs, kQualite);
    PlancherJpeg plancher;
    int echecs = 0;
    for (const Photo& p : photos) {
        const std::string source = racine + "photo.jpg";
        if (!Photographie(p.largeur, p.hauteur, 12345).Ecrit(source, 92))
            return 1;
        std::vector<double> entiere, flux, sol, chargement, composition, decodage;
        for (int run = 0; run <= runs; ++run) { // run 0 warms caches and is not counted
            // The whole picture, as the desktop run signs it: load, sign in place, save.
            auto start = std::chrono::steady_clock::now();
            HBITMAP image = etape.Charge(source);
            const double charge = Millisecondes(start);
            if (image)
                etape.Signe(image);
            const double compose = Millisecondes(start);
            echecs += !image || !etape.Sauve(racine + "TPphoto.jpg", image);
            etape.Rend(image);
            const double ms = Millisecondes(start);

            // In bands of rows, as the command line signs it.
            start = std::chrono::steady_clock::now();
            echecs += etape.Traite(source, racine + "TPflux.jpg") != EtapeSignature::Resultat::Signe;
            const double enFlux = Millisecondes(start);

            start = std::chrono::steady_clock::now();
            echecs += !plancher.Decode(source);
            const double decode = Millisecondes(start);
            echecs += !plancher.Encode(racine + "ref.jpg", kQualite);
            const double ref = Millisecondes(start);
            if (run > 0) {
                entiere.push_back(ms);
                flux.push_back(enFlux);
                sol.push_back(ref);
                decodage.push_back(decode);
                chargement.push_back(charge);
                composition.push_back(compose - charge);
            }
        }
        const double b = Mediane(entiere), f = Mediane(flux), r = Mediane(sol);
        const double c = Mediane(chargement), s = Mediane(composition), d = Mediane(decodage);
        std::printf("%-6s %dx%d: whole picture %.1f ms (load %.1f, sign %.1f, save %.1f) ratio %.2f; "
                    "in bands %.1f ms ratio %.2f; floor %.1f ms (decode %.1f, encode %.1f)\n",
                    p.nom, p.largeur, p.hauteur, b, c, s, b - c - s, b / r, f, f / r, r, d, r - d);
    }
    if (echecs)
        std::fprintf(stderr, "%d failed runs\n", echecs);
    return echecs ? 1 : 0;
}

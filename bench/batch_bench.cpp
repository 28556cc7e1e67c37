// Times the batch run's work on one picture (load, sign with a text and a
// logo, save at quality 75) against the floor, libjpeg's own decode and
// encode of the same file into a buffer kept from run to run, on
// photographs of camera sizes made here.
// Usage: batch_bench [runs] [style]; "style" signs with an outlined,
// shadowed text and a logo sized to the picture.

#include "CGraphique.h"
#include "Composition.h"
#include "Font.h"
#include "MemoireSignature.h"
#include "SilentInteraction.h"

#include "Mesure.h"
#include "Photographie.h"
#include "PlancherJpeg.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // A failed load or save must end the bench, not wait for a click.
    SilentInteraction silent;
    Interaction::install(&silent);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dossier;
    const std::string racine = dossier.path().toStdString() + "/";
    CGraphique graphique;

    const std::string logoPath = racine + "logo.jpg";
    Photographie(240, 120, 7).Ecrit(logoPath, 90);
    CoucheLogo logo;
    logo.Logo = logoPath;
    logo.Image = graphique.ChargeImage(logoPath);
    logo.Taille = CSize(240, 120);
    logo.Place.PositionAutomatiqueHaut = 1;
    logo.Place.PositionAutomatiqueBas = 0;
    LOGFONT lf{};
    lf.lfHeight = -48;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Comic Sans MS");
    CoucheTexte texte;
    texte.Texte = "Signed with Tamparo2 - 2024";
    texte.Police = CreateFontIndirect(&lf);
    texte.Encre = RGB(255, 255, 255);
    texte.Transparent = 1;
    if (argc > 2 && std::strcmp(argv[2], "style") == 0) {
        texte.Rendu.Contour = 3;
        texte.Rendu.OmbreX = texte.Rendu.OmbreY = 4;
        texte.Rendu.OmbreFlou = 6;
        texte.Rendu.OpaciteOmbre = 60;
        logo.Rendu.TailleRelative = 1000;
        logo.Rendu.Opacite = 80;
    }
    if (!logo.Image || !texte.Police) {
        std::fprintf(stderr, "cannot make the logo or the font\n");
        return 1;
    }

    const Photo photos[] = {{"12 MP", 4000, 3000}, {"2 MP", 1632, 1224}};
    std::printf("per picture, median of %d runs (load + sign + save at quality %d vs libjpeg decode + encode "
                "reusing its buffer)\n",
                runs, kQualite);
    PlancherJpeg plancher;
    // As a worker of the run keeps it from one picture to the next.
    MemoireSignature memoire;
    int echecs = 0;
    for (const Photo& p : photos) {
        const std::string source = racine + "photo.jpg";
        if (!Photographie(p.largeur, p.hauteur, 12345).Ecrit(source, 92))
            return 1;
        std::vector<double> batch, libjpeg, chargement, composition, decodage;
        for (int run = 0; run <= runs; ++run) { // run 0 warms caches and is not counted
            auto start = std::chrono::steady_clock::now();
            HBITMAP image = graphique.ChargeImage(source);
            const double charge = Millisecondes(start);
            // The run signs the loaded picture itself: it is not needed afterwards.
            if (image)
                Composition::SigneSurPlace(image, texte, logo, &memoire);
            const double compose = Millisecondes(start);
            const int ecrit = image ? graphique.SauveImage(racine + "TPphoto.jpg", image, kQualite) : 0;
            DeleteObject(image);
            const double ms = Millisecondes(start);
            echecs += !ecrit;

            start = std::chrono::steady_clock::now();
            echecs += !plancher.Decode(source);
            const double decode = Millisecondes(start);
            echecs += !plancher.Encode(racine + "ref.jpg", kQualite);
            const double ref = Millisecondes(start);
            if (run > 0) {
                batch.push_back(ms);
                libjpeg.push_back(ref);
                decodage.push_back(decode);
                chargement.push_back(charge);
                composition.push_back(compose - charge);
            }
        }
        const double b = Mediane(batch), r = Mediane(libjpeg);
        const double c = Mediane(chargement), s = Mediane(composition), d = Mediane(decodage);
        std::printf("%-6s %dx%d: batch %.1f ms (load %.1f, sign %.1f, save %.1f), "
                    "floor %.1f ms (decode %.1f, encode %.1f), ratio %.2f\n",
                    p.nom, p.largeur, p.hauteur, b, c, s, b - c - s, r, d, r - d, b / r);
    }
    DeleteObject(texte.Police);
    DeleteObject(logo.Image);
    if (echecs)
        std::fprintf(stderr, "%d failed runs\n", echecs);
    return echecs ? 1 : 0;
}

// Times our HEIC and AVIF writer on photographs against libheif's own
// heif-enc command encoding the same pictures at the same quality, and
// prints the ratio of the medians (heif-enc also decodes its JPEG input,
// a small share of an HEVC or AV1 encoding). Usage: heif_bench [ROUNDS [WIDTH HEIGHT]]

#include "CGraphique.h"
#include "codecs/HeifEcriture.h"
#include "codecs/RapportCodec.h"

#include "Banc.h"
#include "Mesure.h"
#include "Photographie.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Codec = HeifEcriture::Codec;
constexpr int kQualite = 80;
constexpr int kPhotos = 3;
constexpr const char* kHeifEnc = "/usr/bin/heif-enc";

} // namespace

int main(int argc, char** argv)
{
    const int tours = Tours(argc, argv, 1, 3);
    const int largeur = argc > 3 ? std::atoi(argv[2]) : 2000;
    const int hauteur = argc > 3 ? std::atoi(argv[3]) : 1500;
    QTemporaryDir dossier;
    const std::string base = dossier.path().toStdString() + "/";
    CGraphique graphique;
    std::vector<std::string> jpegs;
    std::vector<HBITMAP> images;
    for (int i = 0; i < kPhotos; ++i) {
        jpegs.push_back(base + "photo" + std::to_string(i) + ".jpg");
        Photographie photo(largeur, hauteur, unsigned(i + 1));
        if (!photo.Ecrit(jpegs.back(), 92) || !(images.emplace_back(graphique.ChargeImage(jpegs.back())))) {
            std::fprintf(stderr, "cannot make the test pictures\n");
            return 1;
        }
    }
    const bool reference = ::access(kHeifEnc, X_OK) == 0;
    if (!reference)
        std::printf("note: %s is not installed; only our writer is timed\n", kHeifEnc);
    std::printf("%d pictures of %dx%d, quality %d, median of %d rounds (ms a picture)\n", kPhotos, largeur, hauteur,
                kQualite, tours);
    for (const auto& [codec, fin] : {std::pair{Codec::Hevc, ".heic"}, std::pair{Codec::Av1, ".avif"}}) {
        if (!HeifEcriture::Disponible(codec)) {
            std::printf("%s: no encoder in this libheif, skipped\n", fin);
            continue;
        }
        std::vector<double> nous, eux;
        for (int t = 0; t < tours; ++t)
            for (int i = 0; i < kPhotos; ++i) {
                const std::string sortie = base + "sortie" + std::to_string(i) + fin;
                RapportCodec rapport;
                Clock::time_point debut = Clock::now();
                if (!HeifEcriture::Sauve(sortie, *images[std::size_t(i)], kQualite, codec, nullptr, rapport)) {
                    std::fprintf(stderr, "%s: our writer failed\n", fin);
                    return 1;
                }
                nous.push_back(Millisecondes(debut));
                if (!reference)
                    continue;
                const std::string commande = std::string(kHeifEnc) + " -q " + std::to_string(kQualite) + " '"
                                             + jpegs[std::size_t(i)] + "' -o '" + base + "ref" + fin
                                             + "' >/dev/null 2>&1";
                debut = Clock::now();
                if (std::system(commande.c_str()) != 0) {
                    std::fprintf(stderr, "%s: heif-enc failed\n", fin);
                    return 1;
                }
                eux.push_back(Millisecondes(debut));
            }
        if (reference)
            std::printf("%s: ours %.0f, heif-enc %.0f, ratio %.2f\n", fin, Mediane(nous), Mediane(eux),
                        Mediane(nous) / Mediane(eux));
        else
            std::printf("%s: ours %.0f\n", fin, Mediane(nous));
    }
    for (HBITMAP image : images)
        DeleteObject(image);
    return 0;
}

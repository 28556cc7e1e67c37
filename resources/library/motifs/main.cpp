// Makes the library's 50 pattern tiles, bitmaps 1034 to 1083, as palette PNGs.
// Not part of the build: run it again only to change the tiles, then commit
// the PNG files it writes.
//
//   cmake -S resources/library/motifs -B /tmp/motifs && cmake --build /tmp/motifs
//   /tmp/motifs/motifs resources/library/bitmaps
//
// The output is the same on every run: all randomness comes from fixed seeds.

#include "Motifs.h"
#include "Palette.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

struct Entree {
    int largeur, hauteur;
    QImage (*fabrique)(int, int);
    const char* nom;
};

// Index i is bitmap 1034 + i; the sizes are the ones callers expect.
const Entree kCatalogue[] = {
    {96, 96, Motifs::Lin, "linen"},
    {128, 128, Motifs::Briques, "brick wall"},
    {50, 50, Motifs::Arlequin, "harlequin"},
    {100, 100, Motifs::Pois, "polka dots"},
    {424, 63, Motifs::PlancheBois, "wooden board"},
    {256, 256, Motifs::MarbreBlanc, "white marble"},
    {336, 189, Motifs::Ciel, "cloudy sky"},
    {275, 248, Motifs::Granit, "granite"},
    {128, 128, Motifs::Vichy, "gingham"},
    {100, 100, Motifs::SucreOrge, "candy stripes"},
    {256, 256, Motifs::MarbreVert, "green marble"},
    {256, 256, Motifs::Paves, "cobblestones"},
    {100, 100, Motifs::Etoiles, "stars"},
    {150, 150, Motifs::Vagues, "waves"},
    {240, 240, Motifs::Parchemin, "parchment"},
    {250, 250, Motifs::Cuir, "leather"},
    {256, 256, Motifs::Jean, "denim"},
    {96, 96, Motifs::NidAbeille, "honeycomb"},
    {64, 64, Motifs::Vannerie, "basket weave"},
    {256, 256, Motifs::Sable, "sand ripples"},
    {180, 133, Motifs::Liege, "cork"},
    {200, 200, Motifs::Azulejo, "glazed tiles"},
    {300, 300, Motifs::Plancher, "oak floor"},
    {160, 160, Motifs::Tartan, "tartan"},
    {288, 288, Motifs::Herbe, "grass"},
    {256, 256, Motifs::Rouille, "rusty metal"},
    {256, 128, Motifs::AcierBrosse, "brushed steel"},
    {200, 200, Motifs::Camouflage, "camouflage"},
    {256, 256, Motifs::Eau, "pool water"},
    {64, 64, Motifs::PiedDePoule, "houndstooth"},
    {288, 288, Motifs::Ardoise, "slate flagstones"},
    {64, 64, Motifs::Damier, "chequerboard"},
    {250, 250, Motifs::Aquarelle, "watercolour"},
    {255, 255, Motifs::ArcEnCiel, "rainbow gradient"},
    {255, 255, Motifs::Ondes, "ripples"},
    {288, 288, Motifs::Damas, "damask"},
    {150, 150, Motifs::Chevrons, "chevrons"},
    {250, 250, Motifs::Gres, "sandstone"},
    {100, 100, Motifs::Quadrillage, "graph paper"},
    {256, 256, Motifs::Carbone, "carbon fibre"},
    {256, 256, Motifs::Parquet, "parquet"},
    {200, 200, Motifs::Coeurs, "hearts"},
    {200, 201, Motifs::Mosaique, "mosaic"},
    {135, 135, Motifs::Treillage, "trellis"},
    {128, 128, Motifs::Ecailles, "fish scales"},
    {150, 180, Motifs::MarbreRose, "pink marble"},
    {150, 91, Motifs::Bambou, "bamboo"},
    {256, 256, Motifs::Nebuleuse, "night sky"},
    {256, 256, Motifs::Stuc, "stucco"},
    {128, 128, Motifs::Rayure, "pinstripe"},
};
static_assert(std::size(kCatalogue) == 50);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: motifs <output folder>\n");
        return 2;
    }
    const QDir sortie(QString::fromLocal8Bit(argv[1]));
    qint64 total = 0;
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i) {
        const Entree& e = kCatalogue[i];
        const QImage tuile = Palette::Indexe(e.fabrique(e.largeur, e.hauteur));
        const QString chemin = sortie.filePath(QStringLiteral("%1.png").arg(1034 + i));
        if (tuile.size() != QSize(e.largeur, e.hauteur) || !tuile.save(chemin, "PNG", 0)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(chemin));
            return 1;
        }
        const qint64 taille = QFileInfo(chemin).size();
        total += taille;
        std::printf("%2zu  %4zu  %3dx%-3d  %6lld bytes  %s\n", i, 1034 + i, e.largeur, e.hauteur,
                    static_cast<long long>(taille), e.nom);
    }
    std::printf("total %lld bytes\n", static_cast<long long>(total));
    return 0;
}

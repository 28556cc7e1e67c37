// Times what carrying a camera photograph's metadata costs: load + save of a
// picture holding 20 KB of Exif, a 3 KB ICC profile and an XMP packet, by
// the photo path (metadata read, written back) against the plain one.
// Usage: photo_bench [runs]

#include "CGraphique.h"
#include "codecs/Metadonnees.h"

#include "Banc.h"
#include "EcritJpeg.h"
#include "Mesure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

// TIFF: IFD0 (Orientation 1, Exif pointer), an Exif IFD with a 20 KB maker
// note, as cameras write.
std::vector<JOCTET> Exif()
{
    std::vector<JOCTET> e = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    const auto u16 = [&e](unsigned v) { e.insert(e.end(), {JOCTET(v), JOCTET(v >> 8)}); };
    const auto u32 = [&e](unsigned v) { e.insert(e.end(), {JOCTET(v), JOCTET(v >> 8), JOCTET(v >> 16), JOCTET(v >> 24)}); };
    u16(2);
    u16(0x0112), u16(3), u32(1), u32(1);
    u16(0x8769), u16(4), u32(1), u32(38);
    u32(0);
    u16(1); // Exif IFD at 38
    u16(0x927C), u16(7), u32(20000), u32(56);
    u32(0);
    for (int i = 0; i < 20000; ++i)
        e.push_back(JOCTET(i * 7));
    return e;
}

std::vector<JOCTET> Xmp()
{
    std::string x = std::string("http://ns.adobe.com/xap/1.0/") + '\0' +
                    "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
                    "<rdf:Description xmlns:tiff='http://ns.adobe.com/tiff/1.0/' tiff:Orientation='1'/>"
                    "</rdf:RDF></x:xmpmeta>";
    x.append(2048, ' ');
    return {x.begin(), x.end()};
}

bool Ecrit(const std::string& path, int w, int h)
{
    unsigned etat = 12345;
    const auto ligne = [&](int y, JSAMPLE* row) {
        for (int x = 0; x < w; ++x) {
            etat = etat * 1664525u + 1013904223u;
            row[3 * x] = JSAMPLE(x * 255 / w + (etat >> 29));
            row[3 * x + 1] = JSAMPLE(y * 255 / h);
            row[3 * x + 2] = JSAMPLE((x / 9 + y / 7) % 3 ? 60 : 200);
        }
        return row;
    };
    return EcritJpeg(path, w, h, 92, ligne, [](jpeg_compress_struct& info) {
        const std::vector<JOCTET> exif = Exif(), xmp = Xmp();
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
        std::vector<JOCTET> icc(3072);
        for (std::size_t i = 0; i < icc.size(); ++i)
            icc[i] = JOCTET(i * 13);
        jpeg_write_icc_profile(&info, icc.data(), unsigned(icc.size()));
        jpeg_write_marker(&info, JPEG_APP0 + 1, xmp.data(), unsigned(xmp.size()));
    });
}

} // namespace

int main(int argc, char** argv)
{
    const Banc banc(argc, argv);
    const int runs = Tours(argc, argv, 1, 9);
    const std::string racine = banc.Racine();
    CGraphique graphique;
    using Horloge = std::chrono::steady_clock;

    std::printf("per picture, median and fastest of %d runs: plain ChargeImage + SauveImage vs photo load + save (metadata kept)\n",
                runs);
    const struct {
        const char* nom;
        int w, h;
    } tailles[] = {{"12 MP", 4000, 3000}, {"2 MP", 1632, 1224}};
    for (const auto& t : tailles) {
        const std::string source = racine + "photo.jpg";
        if (!Ecrit(source, t.w, t.h))
            return 1;
        std::vector<double> simple, photo;
        const auto plain = [&] {
            const auto start = Horloge::now();
            HBITMAP a = graphique.ChargeImage(source);
            const int ok = graphique.SauveImage(racine + "a.jpg", a, 75);
            const double temps = Millisecondes(start);
            DeleteObject(a);
            return ok ? temps : -1;
        };
        const auto avecMetadonnees = [&] {
            const auto start = Horloge::now();
            Metadonnees m;
            HBITMAP b = graphique.ChargePhoto(source, m);
            const int ok = graphique.SauvePhoto(racine + "b.jpg", b, 75, m, PolitiqueMetadonnees::Toutes);
            const double temps = Millisecondes(start);
            DeleteObject(b);
            return ok && !m.Vide() ? temps : -1;
        };
        for (int run = 0; run <= runs; ++run) { // run 0 warms caches and is not counted
            // Alternate which goes first: the second of a pair finds the
            // allocator and the file cache warmer.
            double a, b;
            if (run % 2) {
                b = avecMetadonnees();
                a = plain();
            } else {
                a = plain();
                b = avecMetadonnees();
            }
            if (a < 0 || b < 0) {
                std::fprintf(stderr, "load or save failed\n");
                return 1;
            }
            if (run) {
                simple.push_back(a);
                photo.push_back(b);
            }
        }
        // The fastest run is the least disturbed by other work on the machine.
        const double a = Mediane(simple), b = Mediane(photo);
        const double minA = *std::min_element(simple.begin(), simple.end());
        const double minB = *std::min_element(photo.begin(), photo.end());
        std::printf("%-6s median: plain %8.2f ms  photo %8.2f ms  ratio %.4f | fastest: %8.2f / %8.2f ms  ratio %.4f\n",
                    t.nom, a, b, b / a, minA, minB, minB / minA);
    }
    return 0;
}

// Times signing a 12-megapixel camera photograph (quality 92, baseline) by
// blocks, JpegParBlocs::Signe with a signature in the bottom-right corner, on
// one thread and with the reading on a second one,
// against libjpeg's own decode + encode of the same file, round after round;
// then the same for the picture with optimized Huffman tables and as a
// progressive file. The cost of computing Huffman tables is shown apart:
// a plain copy of the coefficients with the standard tables and with
// optimized ones.
// Usage: blocs_bench [ROUNDS]

#include "codecs/Budget.h"
#include "codecs/JpegParBlocs.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"
#include "Mesure.h"
#include "Photographie.h"
#include "PlancherJpeg.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The source's coefficients written again, optimized or progressive as asked.
bool Transcode(const std::string& source, const std::string& cible, bool optimise, bool progressif)
{
    std::FILE* entree = std::fopen(source.c_str(), "rb");
    std::FILE* sortie = std::fopen(cible.c_str(), "wb");
    if (!entree || !sortie)
        return false;
    jpeg_decompress_struct lecture;
    jpeg_compress_struct ecriture;
    jpeg_error_mgr erreurLecture, erreurEcriture;
    lecture.err = jpeg_std_error(&erreurLecture);
    ecriture.err = jpeg_std_error(&erreurEcriture);
    jpeg_create_decompress(&lecture);
    jpeg_create_compress(&ecriture);
    jpeg_stdio_src(&lecture, entree);
    jpeg_read_header(&lecture, TRUE);
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&lecture);
    jpeg_copy_critical_parameters(&lecture, &ecriture);
    ecriture.optimize_coding = optimise;
    if (progressif)
        jpeg_simple_progression(&ecriture);
    jpeg_stdio_dest(&ecriture, sortie);
    jpeg_write_coefficients(&ecriture, coefficients);
    jpeg_finish_compress(&ecriture);
    jpeg_finish_decompress(&lecture);
    jpeg_destroy_compress(&ecriture);
    jpeg_destroy_decompress(&lecture);
    std::fclose(entree);
    return std::fclose(sortie) == 0;
}

// A signature's worth of drawing: a light panel with dark bars.
void Dessine(HBITMAP piece, const CRect& ou)
{
    for (int y = 0; y < piece->height(); ++y) {
        auto* rangee = reinterpret_cast<std::uint32_t*>(piece->row(y));
        for (int x = 0; x < piece->width(); ++x)
            rangee[x] = ((ou.left + x) / 7 + (ou.top + y) / 11) % 3 ? 0xF0F0F0 : 0x202020;
    }
}

struct Resultat {
    double blocs, enParallele, plancher;
    std::uintmax_t tailleSource, tailleSortie;
};

Resultat Mesure(const std::string& source, const std::string& dossier, int tours)
{
    PlancherJpeg plancher;
    Budget budget;
    std::vector<double> blocs, enParallele, bas;
    const std::string sortie = dossier + "/signe.jpg";
    for (int i = 0; i < tours; ++i) {
        for (const bool fil : {false, true}) {
            Metadonnees metadonnees;
            RapportCodec rapport;
            const auto debut = Clock::now();
            const auto issue = JpegParBlocs::Signe(
                source, sortie, metadonnees, PolitiqueMetadonnees::Toutes,
                [](CSize vue) { return std::vector<CRect>{{vue.cx - 900, vue.cy - 260, vue.cx - 100, vue.cy - 60}}; },
                &Dessine, fil, budget, rapport);
            (fil ? enParallele : blocs).push_back(Millisecondes(debut));
            if (issue != JpegParBlocs::Issue::Ecrit) {
                std::fprintf(stderr, "signing %s failed\n", source.c_str());
                std::exit(1);
            }
        }
        const auto debut = Clock::now();
        plancher.Passe(source, dossier + "/plancher.jpg", 92);
        bas.push_back(Millisecondes(debut));
    }
    return {Mediane(blocs), Mediane(enParallele), Mediane(bas), fs::file_size(source), fs::file_size(sortie)};
}

void Affiche(const char* nom, const Resultat& r)
{
    std::printf("%-18s blocks %6.1f ms, on two threads %6.1f ms  libjpeg decode+encode %6.1f ms  ratios %.2f %.2f  "
                "size %+.2f %%\n",
                nom, r.blocs, r.enParallele, r.plancher, r.blocs / r.plancher, r.enParallele / r.plancher,
                100.0 * (double(r.tailleSortie) - double(r.tailleSource)) / double(r.tailleSource));
}

} // namespace

int main(int argc, char** argv)
{
    const int tours = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string dossier = fs::temp_directory_path() / ("blocs_bench." + std::to_string(getpid()));
    fs::create_directories(dossier);
    const std::string base = dossier + "/camera.jpg", optimisee = dossier + "/optimisee.jpg",
                      progressive = dossier + "/progressive.jpg";
    Photographie photo(4000, 3000, 7);
    if (!photo.Ecrit(base, 92) || !Transcode(base, optimisee, true, false)
        || !Transcode(base, progressive, false, true)) {
        std::fprintf(stderr, "cannot write the pictures in %s\n", dossier.c_str());
        return 1;
    }
    std::printf("12 MP, quality 92, medians of %d rounds\n", tours);
    Affiche("baseline", Mesure(base, dossier, tours));
    Affiche("optimized tables", Mesure(optimisee, dossier, tours));
    Affiche("progressive", Mesure(progressive, dossier, tours));

    std::vector<double> standard, optimise;
    for (int i = 0; i < tours; ++i) {
        auto debut = Clock::now();
        Transcode(base, dossier + "/copie.jpg", false, false);
        standard.push_back(Millisecondes(debut));
        debut = Clock::now();
        Transcode(base, dossier + "/copie.jpg", true, false);
        optimise.push_back(Millisecondes(debut));
    }
    std::printf("coefficient copy: standard tables %.1f ms, optimized %.1f ms\n", Mediane(standard),
                Mediane(optimise));
    fs::remove_all(dossier);
    return 0;
}

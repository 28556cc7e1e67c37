#include "codecs/JpegParBlocs.h"

#include "codecs/BalayageJpeg.h"

#include "codecs/Budget.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>

namespace {

using RECT = JpegParBlocs::RECT;

struct Source {
    int largeur, hauteur;
    int h = 2, v = 2; // of the first component; 0 for grey
    // Fine steps: what the comparison sees is then the block way's own error.
    int qualite = 98;
    bool optimise = false;
    int restart = 0;
    bool progressif = false;
    bool arithmetique = false;
    int orientation = 0; // no Exif when 0
    bool plat = false;   // one grey level: optimized tables then hold a handful of symbols
    bool lieu = false;   // a GPS directory beside the orientation
};

std::uint32_t Photo(int x, int y, bool plat)
{
    if (plat)
        return 0x808080;
    const auto canal = [&](double phase) {
        const double v = 128 + 60 * std::sin(x / 23.0 + phase) * std::cos(y / 17.0 - phase) + ((x * 7 + y * 13) % 5)
            - 2;
        return std::uint32_t(std::clamp(v, 0.0, 255.0));
    };
    return canal(0) << 16 | canal(1.3) << 8 | canal(2.1);
}

std::vector<std::uint8_t> ExifOrientation(int orientation, bool lieu)
{
    // "Exif\0\0", a little-endian TIFF header, IFD0 with the Orientation and,
    // with lieu, a pointer to a GPS directory holding GPSVersionID.
    std::vector<std::uint8_t> octets{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, std::uint8_t(lieu ? 2 : 1), 0,
                                     0x12, 0x01, 3, 0, 1, 0, 0, 0, std::uint8_t(orientation), 0, 0, 0};
    if (lieu)
        octets.insert(octets.end(), {0x25, 0x88, 4, 0, 1, 0, 0, 0, 38, 0, 0, 0, 0, 0, 0, 0, //
                                     1, 0, 0, 0, 1, 0, 4, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0});
    else
        octets.insert(octets.end(), {0, 0, 0, 0});
    return octets;
}

void Ecrit(const std::string& path, const Source& s)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    jpeg_compress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = JDIMENSION(s.largeur);
    info.image_height = JDIMENSION(s.hauteur);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, s.qualite, TRUE);
    if (s.h == 0)
        jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    else {
        info.comp_info[0].h_samp_factor = s.h;
        info.comp_info[0].v_samp_factor = s.v;
    }
    info.optimize_coding = s.optimise;
    info.restart_interval = JDIMENSION(s.restart);
    info.arith_code = s.arithmetique;
    if (s.progressif)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (s.orientation) {
        const auto exif = ExifOrientation(s.orientation, s.lieu);
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }
    std::vector<JSAMPLE> rangee(std::size_t(s.largeur) * 3);
    for (int y = 0; y < s.hauteur; ++y) {
        for (int x = 0; x < s.largeur; ++x) {
            const std::uint32_t p = Photo(x, y, s.plat);
            rangee[std::size_t(x) * 3] = JSAMPLE(p >> 16);
            rangee[std::size_t(x) * 3 + 1] = JSAMPLE(p >> 8);
            rangee[std::size_t(x) * 3 + 2] = JSAMPLE(p);
        }
        JSAMPROW r = rangee.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(f);
}

// What a file holds, as libjpeg reads it.
struct Lu {
    struct Composante {
        int h, v, largeurBlocs, hauteurBlocs;
        std::vector<UINT16> table;
        std::vector<JCOEF> blocs;
    };
    std::vector<Composante> composantes;
    bool progressif = false;
    unsigned restart = 0;
    long avertissements = 0;
    int largeur = 0, hauteur = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, stored frame
};

Lu Lit(const std::string& path)
{
    Lu lu;
    for (bool pixels : {false, true}) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f)
            return lu;
        jpeg_decompress_struct info;
        jpeg_error_mgr erreur;
        info.err = jpeg_std_error(&erreur);
        erreur.emit_message = [](j_common_ptr c, int niveau) {
            if (niveau < 0)
                ++c->err->num_warnings;
        };
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, f);
        jpeg_read_header(&info, TRUE);
        if (!pixels) {
            jvirt_barray_ptr* tableaux = jpeg_read_coefficients(&info);
            lu.progressif = info.progressive_mode;
            lu.restart = info.restart_interval;
            for (int c = 0; c < info.num_components; ++c) {
                const jpeg_component_info& ci = info.comp_info[c];
                Lu::Composante k{ci.h_samp_factor, ci.v_samp_factor, int(ci.width_in_blocks), int(ci.height_in_blocks),
                                 {ci.quant_table->quantval, ci.quant_table->quantval + DCTSIZE2}, {}};
                for (JDIMENSION by = 0; by < ci.height_in_blocks; ++by) {
                    JBLOCKARRAY r = (*info.mem->access_virt_barray)(j_common_ptr(&info), tableaux[c], by, 1, FALSE);
                    for (JDIMENSION bx = 0; bx < ci.width_in_blocks; ++bx)
                        k.blocs.insert(k.blocs.end(), r[0][bx], r[0][bx] + DCTSIZE2);
                }
                lu.composantes.push_back(std::move(k));
            }
        } else {
            info.out_color_space = JCS_RGB;
            jpeg_start_decompress(&info);
            lu.largeur = int(info.output_width);
            lu.hauteur = int(info.output_height);
            std::vector<JSAMPLE> rangee(std::size_t(lu.largeur) * 3);
            while (info.output_scanline < info.output_height) {
                JSAMPROW r = rangee.data();
                jpeg_read_scanlines(&info, &r, 1);
                for (int x = 0; x < lu.largeur; ++x)
                    lu.pixels.push_back(std::uint32_t(rangee[std::size_t(x) * 3]) << 16
                                        | std::uint32_t(rangee[std::size_t(x) * 3 + 1]) << 8
                                        | rangee[std::size_t(x) * 3 + 2]);
            }
        }
        jpeg_finish_decompress(&info);
        lu.avertissements += erreur.num_warnings;
        jpeg_destroy_decompress(&info);
        std::fclose(f);
    }
    return lu;
}

// The signature drawn: light and dark grey squares, placed in the viewed frame.
std::uint32_t Marque(int x, int y) { return (x / 8 + y / 8) % 2 ? 0xE0E0E0 : 0x505050; }

bool Dans(const std::vector<RECT>& zones, int x, int y)
{
    for (const RECT& z : zones)
        if (z.PtInRect(CPoint(x, y)))
            return true;
    return false;
}

JpegParBlocs::Dessine DessineMarque(const std::vector<RECT>& zones)
{
    return [zones](HBITMAP piece, const RECT& ou) {
        ASSERT_EQ(piece->width(), ou.Width());
        ASSERT_EQ(piece->height(), ou.Height());
        for (int y = 0; y < piece->height(); ++y)
            for (int x = 0; x < piece->width(); ++x)
                if (Dans(zones, ou.left + x, ou.top + y))
                    reinterpret_cast<std::uint32_t*>(piece->row(y))[x] = Marque(ou.left + x, ou.top + y);
    };
}

JpegParBlocs::Issue Signe(const std::string& source, const std::string& sortie, const std::vector<RECT>& zones,
                          Metadonnees& metadonnees, RapportCodec& rapport,
                          PolitiqueMetadonnees politique = PolitiqueMetadonnees::Toutes, bool fil = false,
                          bool recopie = true)
{
    Budget budget;
    return JpegParBlocs::Signe(
        source, sortie, metadonnees, politique, [zones](CSize) { return zones; }, DessineMarque(zones), fil,
        budget, rapport, recopie);
}

double Psnr(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    double somme = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int d = 0; d < 24; d += 8) {
            const double e = double(a[i] >> d & 0xFF) - double(b[i] >> d & 0xFF);
            somme += e * e;
        }
    return somme == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * double(a.size()) * 3 / somme);
}

struct Cas {
    const char* nom;
    Source source;
    std::vector<RECT> zones; // stored = viewed frame
    // 4:2:0 blurs the mark's colour edges: libjpeg encoding the whole
    // marked picture loses as much there.
    double psnr = 40;
};

class JpegParBlocsCas : public ::testing::TestWithParam<Cas> {};

TEST_P(JpegParBlocsCas, OnlyTheBoxesChangeAndTheyShowTheMark)
{
    const Cas& cas = GetParam();
    TestImages::Sandbox box;
    const std::string source = box.path("source.jpg"), sortie = box.path("sortie.jpg");
    Ecrit(source, cas.source);
    Metadonnees metadonnees;
    RapportCodec rapport;
    ASSERT_EQ(Signe(source, sortie, cas.zones, metadonnees, rapport), JpegParBlocs::Issue::Ecrit);
    EXPECT_TRUE(rapport.Messages().empty());
    // Every block decoded and coded again by the library, on one thread and
    // read on a second one while written: the same bytes as rows copied.
    for (const bool fil : {false, true}) {
        RapportCodec autre;
        ASSERT_EQ(Signe(source, box.path("autre.jpg"), cas.zones, metadonnees, autre, PolitiqueMetadonnees::Toutes,
                        fil, false),
                  JpegParBlocs::Issue::Ecrit);
        EXPECT_TRUE(autre.Messages().empty());
        EXPECT_EQ(TestImages::ReadFile(box.path("autre.jpg")), TestImages::ReadFile(sortie)) << "fil " << fil;
    }

    const Lu avant = Lit(source), apres = Lit(sortie);
    EXPECT_EQ(apres.avertissements, 0);
    EXPECT_EQ(apres.restart, avant.restart);
    EXPECT_EQ(apres.progressif, avant.progressif);
    ASSERT_EQ(apres.composantes.size(), avant.composantes.size());
    const int mcuX = avant.composantes[0].h * 8, mcuY = avant.composantes[0].v * 8;
    std::vector<RECT> boites;
    for (const RECT& z : cas.zones)
        boites.emplace_back(z.left / mcuX * mcuX, z.top / mcuY * mcuY, (z.right + mcuX - 1) / mcuX * mcuX,
                            (z.bottom + mcuY - 1) / mcuY * mcuY);
    for (std::size_t c = 0; c < avant.composantes.size(); ++c) {
        const Lu::Composante &a = avant.composantes[c], &b = apres.composantes[c];
        ASSERT_EQ(std::tie(a.h, a.v, a.largeurBlocs, a.hauteurBlocs, a.table),
                  std::tie(b.h, b.v, b.largeurBlocs, b.hauteurBlocs, b.table));
        const int fx = avant.composantes[0].h / a.h * 8, fy = avant.composantes[0].v / a.v * 8;
        int differents = 0;
        for (int by = 0; by < a.hauteurBlocs; ++by)
            for (int bx = 0; bx < a.largeurBlocs; ++bx) {
                const std::size_t k = (std::size_t(by) * std::size_t(a.largeurBlocs) + std::size_t(bx)) * DCTSIZE2;
                if (!Dans(boites, bx * fx, by * fy))
                    differents += !std::equal(a.blocs.begin() + std::ptrdiff_t(k),
                                              a.blocs.begin() + std::ptrdiff_t(k + DCTSIZE2),
                                              b.blocs.begin() + std::ptrdiff_t(k));
            }
        EXPECT_EQ(differents, 0) << "component " << c;
    }

    // Inside the boxes: the source decoded whole with the mark drawn on it.
    std::vector<std::uint32_t> attendus, obtenus;
    for (int y = 0; y < avant.hauteur; ++y)
        for (int x = 0; x < avant.largeur; ++x)
            if (Dans(boites, x, y)) {
                const std::size_t i = std::size_t(y) * std::size_t(avant.largeur) + std::size_t(x);
                std::uint32_t attendu = Dans(cas.zones, x, y) ? Marque(x, y) : avant.pixels[i];
                if (cas.source.h == 0) {
                    const int r = attendu >> 16 & 0xFF, g = attendu >> 8 & 0xFF, b = attendu & 0xFF;
                    const auto l = std::uint32_t(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
                    attendu = l << 16 | l << 8 | l;
                }
                attendus.push_back(attendu);
                obtenus.push_back(apres.pixels[i]);
            }
    if (!attendus.empty()) {
        EXPECT_GE(Psnr(attendus, obtenus), cas.psnr);
    }
}

const Cas kCas[] = {
    {"Baseline420", {96, 80}, {{20, 20, 44, 30}}, 37.5},
    {"Optimized422", {96, 64, 2, 1, 98, true}, {{50, 10, 70, 40}}},
    {"Full444", {64, 48, 1, 1}, {{9, 9, 30, 20}}},
    {"Grey", {64, 48, 0, 0}, {{30, 5, 50, 20}}},
    {"RestartMarkers", {96, 64, 2, 2, 98, false, 1}, {{17, 17, 40, 33}}, 37.5},
    {"OddSizeEveryEdge", {101, 77}, {{0, 0, 101, 6}, {0, 70, 101, 77}, {0, 20, 5, 50}, {95, 20, 101, 50}}},
    {"NoZone", {70, 50}, {}},
    {"Progressive", {80, 64, 2, 2, 98, false, 0, true}, {{8, 8, 30, 30}}},
    {"Arithmetic", {80, 64, 2, 2, 98, false, 0, false, true}, {{40, 30, 70, 60}}},
    // Optimized tables of a flat picture lack most symbols the mark needs.
    {"MissingHuffmanSymbols", {64, 64, 2, 2, 98, true, 0, false, false, 0, true}, {{10, 10, 50, 40}}},
};

INSTANTIATE_TEST_SUITE_P(Sources, JpegParBlocsCas, ::testing::ValuesIn(kCas),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(JpegParBlocs, TurnedPicturesGetTheMarkAtTheViewedCornerAndKeepTheirTag)
{
    // Stored 96 x 64; the mark at the viewed bottom-right corner.
    struct Tourne {
        int orientation;
        int coinX, coinY; // where that corner is stored
    };
    for (const Tourne t : {Tourne{6, 95, 0}, Tourne{8, 0, 63}}) {
        SCOPED_TRACE(t.orientation);
        TestImages::Sandbox box;
        const std::string source = box.path("source.jpg"), sortie = box.path("sortie.jpg");
        Source s{96, 64};
        s.orientation = t.orientation;
        Ecrit(source, s);
        Metadonnees metadonnees;
        RapportCodec rapport;
        const std::vector<RECT> zones{{64 - 12, 96 - 12, 64, 96}};
        ASSERT_EQ(Signe(source, sortie, zones, metadonnees, rapport), JpegParBlocs::Issue::Ecrit);
        const Lu lu = Lit(sortie);
        const auto pixel = [&](int x, int y) { return lu.pixels[std::size_t(y) * 96 + std::size_t(x)]; };
        // Near one of the stripes' colours; the photograph there is neither.
        const auto marque = [](std::uint32_t p) {
            const auto proche = [p](std::uint32_t couleur) {
                for (int d = 0; d < 24; d += 8)
                    if (std::abs(int(p >> d & 0xFF) - int(couleur >> d & 0xFF)) > 24)
                        return false;
                return true;
            };
            return proche(Marque(0, 0)) || proche(Marque(8, 0));
        };
        int marques = 0;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const int x = t.coinX + dx, y = t.coinY + dy;
                if (x >= 0 && x < 96 && y >= 0 && y < 64)
                    marques += marque(pixel(x, y));
            }
        EXPECT_EQ(marques, 25);
        EXPECT_FALSE(marque(pixel(95 - t.coinX, 63 - t.coinY)));
        Metadonnees relues;
        RapportCodec r2;
        Budget budget;
        ASSERT_EQ(JpegParBlocs::Signe(
                      sortie, box.path("encore.jpg"), relues, PolitiqueMetadonnees::Toutes,
                      [](CSize vue) {
                          EXPECT_EQ(vue, CSize(64, 96));
                          return std::vector<RECT>{};
                      },
                      {}, false, budget, r2),
                  JpegParBlocs::Issue::Ecrit);
        EXPECT_EQ(relues.Orientation(), t.orientation);
    }
}

TEST(JpegParBlocs, PolicyNoneWritesNoMetadata)
{
    TestImages::Sandbox box;
    const std::string source = box.path("source.jpg"), sortie = box.path("sortie.jpg");
    Source s{48, 32};
    s.orientation = 6;
    Ecrit(source, s);
    Metadonnees metadonnees, relues;
    RapportCodec rapport;
    ASSERT_EQ(Signe(source, sortie, {}, metadonnees, rapport, PolitiqueMetadonnees::Aucune), JpegParBlocs::Issue::Ecrit);
    EXPECT_EQ(metadonnees.Orientation(), 6);
    ASSERT_EQ(Signe(sortie, box.path("encore.jpg"), {}, relues, rapport), JpegParBlocs::Issue::Ecrit);
    EXPECT_TRUE(relues.Vide());
}

TEST(JpegParBlocs, WithoutLocationKeepsTheOrientation)
{
    TestImages::Sandbox box;
    const std::string source = box.path("source.jpg"), sortie = box.path("sortie.jpg");
    Source s{48, 32};
    s.orientation = 8;
    s.lieu = true;
    Ecrit(source, s);
    Metadonnees metadonnees, relues;
    RapportCodec rapport;
    ASSERT_EQ(Signe(source, sortie, {}, metadonnees, rapport, PolitiqueMetadonnees::SaufLieu),
              JpegParBlocs::Issue::Ecrit);
    ASSERT_EQ(Signe(sortie, box.path("encore.jpg"), {}, relues, rapport), JpegParBlocs::Issue::Ecrit);
    EXPECT_EQ(relues.Orientation(), 8);
    const auto tiff = relues.BlocExif();
    ASSERT_GE(tiff.size(), 10u);
    EXPECT_EQ(tiff[8], 1) << "the GPS pointer is still in IFD0";
}

TEST(JpegParBlocs, BadSourcesFailAndLeaveTheOutputAloneOnEitherWay)
{
    TestImages::Sandbox box;
    const std::string source = box.path("source.jpg"), sortie = box.path("sortie.jpg");
    Ecrit(source, Source{96, 96});
    const std::vector<std::uint8_t> entier = TestImages::ReadFile(source);
    const std::vector<std::uint8_t> ancien{'o', 'l', 'd'};
    const std::vector<std::uint8_t> coupe(entier.begin(), entier.begin() + std::ptrdiff_t(entier.size() * 2 / 3));
    struct Mauvais {
        const char* nom;
        std::vector<std::uint8_t> octets;
        bool refuseDommage;
        JpegParBlocs::Issue issue;
    };
    const Mauvais mauvais[] = {
        {"empty", {}, false, JpegParBlocs::Issue::EchecLecture},
        {"header only", {entier.begin(), entier.begin() + 200}, true, JpegParBlocs::Issue::EchecLecture},
        {"not a JPEG", std::vector<std::uint8_t>(500, 0x5A), false, JpegParBlocs::Issue::EchecLecture},
        // Cut in the rows: grey blocks and a warning, unless damage is refused.
        {"cut short", coupe, false, JpegParBlocs::Issue::Ecrit},
        {"cut short, damage refused", coupe, true, JpegParBlocs::Issue::EchecLecture},
    };
    for (const Mauvais& m : mauvais)
        for (const bool fil : {false, true}) {
            SCOPED_TRACE(std::string(m.nom) + (fil ? ", two threads" : ""));
            TestImages::WriteFile(source, m.octets);
            TestImages::WriteFile(sortie, ancien);
            Metadonnees metadonnees;
            RapportCodec rapport;
            rapport.RefuseDommage(m.refuseDommage);
            // The mark below the cut: drawn from rows the reader patched.
            EXPECT_EQ(Signe(source, sortie, {{0, 80, 16, 96}}, metadonnees, rapport, PolitiqueMetadonnees::Toutes, fil),
                      m.issue);
            if (m.issue != JpegParBlocs::Issue::Ecrit) {
                EXPECT_EQ(TestImages::ReadFile(sortie), ancien);
            }
            EXPECT_FALSE(rapport.Messages().empty());
            EXPECT_EQ(rapport.Endommage().empty(), m.octets != coupe && !m.refuseDommage);
        }
    // Nowhere to write: the reading on the other thread is given up.
    TestImages::WriteFile(source, entier);
    for (const bool fil : {false, true}) {
        Metadonnees metadonnees;
        RapportCodec rapport;
        EXPECT_EQ(Signe(source, box.path("missing/sortie.jpg"), {{0, 0, 16, 16}}, metadonnees, rapport,
                        PolitiqueMetadonnees::Toutes, fil),
                  JpegParBlocs::Issue::EchecEcriture);
        EXPECT_FALSE(rapport.Messages().empty());
    }
    // A picture too large for the budget is refused before its coefficients are read.
    TestImages::WriteFile(sortie, ancien);
    Metadonnees metadonnees;
    RapportCodec rapport;
    Budget petit(Budget::Limites{1 << 20, 4096});
    EXPECT_EQ(JpegParBlocs::Signe(source, sortie, metadonnees, PolitiqueMetadonnees::Toutes,
                                  [](CSize) { return std::vector<RECT>{}; }, {}, true, petit, rapport),
              JpegParBlocs::Issue::EchecLecture);
    EXPECT_EQ(TestImages::ReadFile(sortie), ancien);
}

// The scan read and written without the library: its blocks are the
// library's, and rows copied or coded again give the source's own bytes.
TEST(BalayageJpeg, RowsCopiedOrCodedAgainGiveTheSourcesBytesAndDamageIsRefused)
{
    struct Cas {
        const char* nom;
        Source source;
        bool deuxFils = false; // the second half passed over on a second thread
    };
    const Cas cas[] = {
        {"second thread, 4:2:0", {640, 480}, true},
        {"second thread, grey", {320, 200, 0, 0}, true},
        {"second thread, restart markers", {640, 480, 2, 1, 98, false, 7}, true},
        {"4:2:0", {96, 80}},
        {"4:2:2", {96, 64, 2, 1}},
        {"4:4:4", {64, 48, 1, 1}},
        {"grey", {72, 40, 0, 0}},
        {"odd size", {101, 77}},
        {"restart every MCU", {96, 64, 2, 2, 98, false, 1}},
        {"restart mid-row", {101, 77, 2, 2, 98, false, 5}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        TestImages::Sandbox box;
        const std::string chemin = box.path("s.jpg");
        Ecrit(chemin, c.source);
        const std::vector<std::uint8_t> fichier = TestImages::ReadFile(chemin);
        std::size_t debut = 2;
        while (fichier[debut + 1] != 0xDA) // up to the start of scan
            debut += 2 + std::size_t(fichier[debut + 2] << 8 | fichier[debut + 3]);
        debut += 2 + std::size_t(fichier[debut + 2] << 8 | fichier[debut + 3]);

        jpeg_decompress_struct info;
        jpeg_error_mgr erreur;
        info.err = jpeg_std_error(&erreur);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, fichier.data(), fichier.size());
        jpeg_read_header(&info, TRUE);
        std::array<HuffmanJpeg, 4> tables;
        std::vector<BalayageJpeg::Composante> composantes;
        for (int k = 0; k < info.num_components; ++k) {
            const jpeg_component_info& ci = info.comp_info[k];
            ASSERT_TRUE(tables[std::size_t(ci.dc_tbl_no)].Construit(*info.dc_huff_tbl_ptrs[ci.dc_tbl_no]));
            ASSERT_TRUE(tables[std::size_t(ci.ac_tbl_no) + 2].Construit(*info.ac_huff_tbl_ptrs[ci.ac_tbl_no]));
            composantes.push_back({ci.h_samp_factor, ci.v_samp_factor, int(ci.width_in_blocks),
                                   int(ci.height_in_blocks), &tables[std::size_t(ci.dc_tbl_no)],
                                   &tables[std::size_t(ci.ac_tbl_no) + 2]});
        }
        const int mcu = info.max_h_samp_factor * DCTSIZE;
        const int mcus = info.num_components == 1 ? int(info.comp_info[0].width_in_blocks)
                                                  : (c.source.largeur + mcu - 1) / mcu;
        const int lignes = int(info.total_iMCU_rows);
        jpeg_destroy_decompress(&info);

        BalayageJpeg balayage(composantes, mcus, lignes, c.source.restart);
        ASSERT_TRUE(balayage.Lit(fichier.data() + debut, fichier.size() - debut, std::vector<bool>(lignes, true),
                                 c.deuxFils));
        EXPECT_EQ(balayage.EnDeux(), c.deuxFils);
        const Lu lu = Lit(chemin);
        for (std::size_t k = 0; k < lu.composantes.size(); ++k) {
            const Lu::Composante& attendue = lu.composantes[k];
            std::vector<JCOEF> blocs;
            for (int by = 0; by < attendue.hauteurBlocs; ++by)
                for (int bx = 0; bx < attendue.largeurBlocs; ++bx)
                    blocs.insert(blocs.end(), balayage.Rangee(int(k), by)[bx], balayage.Rangee(int(k), by)[bx] + DCTSIZE2);
            EXPECT_EQ(blocs, attendue.blocs) << "component " << k;
        }
        const std::vector<std::uint8_t> scan(fichier.begin() + std::ptrdiff_t(debut), fichier.end());
        std::vector<bool> motif(std::size_t(lignes), false);
        for (int i = 0; i < lignes; i += 2)
            motif[std::size_t(i)] = true;
        for (const auto& recodees : {std::vector<bool>(std::size_t(lignes), false), motif,
                                     std::vector<bool>(std::size_t(lignes), true)}) {
            std::vector<std::uint8_t> sortie;
            ASSERT_TRUE(balayage.Ecrit(recodees, sortie));
            EXPECT_EQ(sortie, scan) << "rows coded again: " << std::count(recodees.begin(), recodees.end(), true);
        }

        // Cut short, or a restart marker out of its turn: not a whole scan.
        EXPECT_FALSE(balayage.Lit(scan.data(), scan.size() / 2, std::vector<bool>(lignes, false), c.deuxFils));
        if (c.source.restart) {
            std::vector<std::uint8_t> desordre = scan;
            for (std::size_t i = 0; i + 1 < desordre.size(); ++i)
                if (desordre[i] == 0xFF && desordre[i + 1] == JPEG_RST0 + 1) {
                    desordre[i + 1] = JPEG_RST0 + 2;
                    break;
                }
            EXPECT_FALSE(balayage.Lit(desordre.data(), desordre.size(), std::vector<bool>(lignes, false)));
        }
    }
}

// A scan the copy refuses (a restart marker out of turn) goes to the
// library's way, which must still read the whole file: past the reader's
// buffer, the same bytes as going there first.
TEST(JpegParBlocs, AScanTheCopyRefusesIsReadWholeByTheLibrary)
{
    TestImages::Sandbox box;
    const std::string source = box.path("source.jpg");
    Ecrit(source, Source{1024, 768, 2, 2, 98, false, 4});
    std::vector<std::uint8_t> octets = TestImages::ReadFile(source);
    ASSERT_GT(octets.size(), std::size_t(256 * 1024));
    for (std::size_t i = 0; i + 1 < octets.size(); ++i)
        if (octets[i] == 0xFF && octets[i + 1] == JPEG_RST0 + 3) {
            octets[i + 1] = JPEG_RST0 + 5;
            break;
        }
    TestImages::WriteFile(source, octets);
    const std::vector<RECT> zones{{960, 700, 1024, 768}};
    std::vector<std::uint8_t> sorties[2];
    for (const bool recopie : {true, false}) {
        Metadonnees metadonnees;
        RapportCodec rapport;
        const std::string sortie = box.path(recopie ? "copie.jpg" : "bibliotheque.jpg");
        ASSERT_EQ(Signe(source, sortie, zones, metadonnees, rapport, PolitiqueMetadonnees::Toutes, false, recopie),
                  JpegParBlocs::Issue::Ecrit);
        sorties[recopie] = TestImages::ReadFile(sortie);
    }
    EXPECT_EQ(sorties[true], sorties[false]);
}

TEST(JpegParBlocs, BoxesAreWholeMcusMergedWhenTheyOverlap)
{
    struct Boites {
        std::vector<RECT> zones;
        int orientation;
        std::vector<RECT> attendues;
    };
    const Boites cas[] = {
        {{{3, 3, 5, 5}, {18, 3, 20, 5}}, 1, {{0, 0, 16, 16}, {16, 0, 32, 16}}},
        {{{3, 3, 5, 5}, {14, 14, 20, 20}}, 1, {{0, 0, 32, 32}}},
        {{{-10, -10, 1000, 2}}, 1, {{0, 0, 112, 16}}},
        // Viewed 50 x 100 at orientation 6: its top-left is the stored bottom-left.
        {{{0, 0, 4, 4}}, 6, {{0, 32, 16, 64}}},
        {{{0, 0, 0, 10}}, 1, {}},
    };
    for (const Boites& b : cas)
        EXPECT_EQ(JpegParBlocs::Boites(b.zones, b.orientation, CSize(100, 50), CSize(16, 16)), b.attendues);
}

} // namespace

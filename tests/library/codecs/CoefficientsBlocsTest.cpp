#include "codecs/CoefficientsBlocs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A picture of colour noise over gradients, where an upsampling that takes
// a wrong neighbour shows at once, written by the library; h = 0 for grey.
std::vector<unsigned char> Jpeg(int largeur, int hauteur, int h, int v)
{
    jpeg_compress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_compress(&info);
    unsigned char* octets = nullptr;
    unsigned long taille = 0;
    jpeg_mem_dest(&info, &octets, &taille);
    info.image_width = JDIMENSION(largeur);
    info.image_height = JDIMENSION(hauteur);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (h == 0) {
        jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    } else {
        info.comp_info[0].h_samp_factor = h;
        info.comp_info[0].v_samp_factor = v;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> ligne(std::size_t(largeur) * 3);
    for (int y = 0; y < hauteur; ++y) {
        for (int x = 0; x < largeur; ++x) {
            const std::uint32_t bruit = (std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u) * 2654435761u;
            ligne[std::size_t(x) * 3] = JSAMPLE(x * 3 + int(bruit & 63));
            ligne[std::size_t(x) * 3 + 1] = JSAMPLE(y * 2 + int(bruit >> 8 & 63));
            ligne[std::size_t(x) * 3 + 2] = JSAMPLE(200 - int(bruit >> 16 & 127));
        }
        JSAMPROW rangee = ligne.data();
        jpeg_write_scanlines(&info, &rangee, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> fichier(octets, octets + taille);
    std::free(octets);
    return fichier;
}

// The library's own decoding with its defaults, in 0x00RRGGBB.
std::vector<std::uint32_t> Reference(const std::vector<unsigned char>& fichier)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, fichier.data(), static_cast<unsigned long>(fichier.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<std::uint32_t> pixels;
    std::vector<JSAMPLE> ligne(std::size_t(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rangee = ligne.data();
        jpeg_read_scanlines(&info, &rangee, 1);
        for (std::size_t x = 0; x < info.output_width; ++x)
            pixels.push_back(std::uint32_t(ligne[x * 3]) << 16 | std::uint32_t(ligne[x * 3 + 1]) << 8 | ligne[x * 3 + 2]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

// A file's coefficients, read and held until the end of the scope.
struct Coefficients {
    explicit Coefficients(const std::vector<unsigned char>& fichier)
    {
        info.err = jpeg_std_error(&erreur);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, fichier.data(), static_cast<unsigned long>(fichier.size()));
        jpeg_read_header(&info, TRUE);
        tableaux = jpeg_read_coefficients(&info);
    }
    ~Coefficients() { jpeg_destroy_decompress(&info); }
    Coefficients(const Coefficients&) = delete;
    Coefficients& operator=(const Coefficients&) = delete;

    // Every coefficient, component after component.
    std::vector<JCOEF> Tous()
    {
        std::vector<JCOEF> tous;
        for (int c = 0; c < info.num_components; ++c)
            for (JDIMENSION by = 0; by < info.comp_info[c].height_in_blocks; ++by) {
                const JBLOCKROW rangee = (*info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&info),
                                                                         tableaux[c], by, 1, FALSE)[0];
                for (JDIMENSION bx = 0; bx < info.comp_info[c].width_in_blocks; ++bx)
                    tous.insert(tous.end(), rangee[bx], rangee[bx] + DCTSIZE2);
            }
        return tous;
    }

    jpeg_decompress_struct info{};
    jpeg_error_mgr erreur{};
    jvirt_barray_ptr* tableaux = nullptr;
};

struct Echantillonnage {
    const char* nom;
    int h, v; // of the first component; h = 0 for grey
};

class CoefficientsBlocsCas : public ::testing::TestWithParam<Echantillonnage> {};

} // namespace

// A box from the second MCU to the odd edges of the picture is what the
// library's decoder gives there (the transforms differ by a step or so), and
// a pixel changed in it re-encodes its own MCU only.
TEST_P(CoefficientsBlocsCas, DecodeIsTheLibrarysPixelsAndEncodeTouchesChangedMcusOnly)
{
    const Echantillonnage cas = GetParam();
    const int largeur = 203, hauteur = 141;
    const std::vector<unsigned char> fichier = Jpeg(largeur, hauteur, cas.h, cas.v);
    const std::vector<std::uint32_t> attendus = Reference(fichier);
    Coefficients lus(fichier);
    const CoefficientsBlocs blocs(lus.info, lus.tableaux);
    ASSERT_TRUE(blocs.Lisible());
    const CSize mcu = blocs.Mcu();
    const CRect boite(mcu.cx, mcu.cy, (largeur + mcu.cx - 1) / mcu.cx * mcu.cx,
                      (hauteur + mcu.cy - 1) / mcu.cy * mcu.cy);
    // The whole picture too, for the top and left edges.
    std::unique_ptr<Bitmap> avant;
    for (const CRect& b : {CRect(0, 0, boite.right, boite.bottom), boite}) {
        avant = blocs.Decode(b);
        ASSERT_EQ(avant->width(), largeur - b.left);
        ASSERT_EQ(avant->height(), hauteur - b.top);
        int pire = 0;
        for (int y = 0; y < avant->height(); ++y)
            for (int x = 0; x < avant->width(); ++x) {
                const std::uint32_t obtenu = reinterpret_cast<const std::uint32_t*>(avant->row(y))[x];
                const std::uint32_t attendu = attendus[std::size_t(y + b.top) * largeur + std::size_t(x + b.left)];
                for (int d = 0; d < 24; d += 8)
                    pire = std::max(pire, std::abs(int(obtenu >> d & 0xFF) - int(attendu >> d & 0xFF)));
            }
        EXPECT_LE(pire, 4) << b.left;
    }

    const std::vector<JCOEF> origine = lus.Tous();
    std::unique_ptr<Bitmap> dessinee(Bitmap::Create(avant->width(), avant->height(), 32));
    for (int y = 0; y < avant->height(); ++y)
        std::copy_n(avant->row(y), std::size_t(avant->width()) * 4, dessinee->row(y));
    blocs.Encode(boite, *avant, *dessinee);
    EXPECT_EQ(lus.Tous(), origine);
    // The picture's last pixel, in the box's last MCU.
    reinterpret_cast<std::uint32_t*>(dessinee->row(avant->height() - 1))[avant->width() - 1] ^= 0xFFFFFF;
    blocs.Encode(boite, *avant, *dessinee);
    const std::vector<JCOEF> apres = lus.Tous();
    std::size_t k = 0;
    for (int c = 0; c < lus.info.num_components; ++c) {
        const jpeg_component_info& composante = lus.info.comp_info[c];
        // Pixels a block of this component spans.
        const int pasX = mcu.cx / composante.h_samp_factor, pasY = mcu.cy / composante.v_samp_factor;
        int changes = 0;
        for (int by = 0; by < int(composante.height_in_blocks); ++by)
            for (int bx = 0; bx < int(composante.width_in_blocks); ++bx, k += DCTSIZE2) {
                if (std::equal(&apres[k], &apres[k] + DCTSIZE2, &origine[k]))
                    continue;
                ++changes;
                EXPECT_EQ(bx * pasX / mcu.cx, (largeur - 1) / mcu.cx) << c;
                EXPECT_EQ(by * pasY / mcu.cy, (hauteur - 1) / mcu.cy) << c;
            }
        EXPECT_GT(changes, 0) << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Echantillonnages, CoefficientsBlocsCas,
                         ::testing::Values(Echantillonnage{"H2V2", 2, 2}, Echantillonnage{"H2V1", 2, 1},
                                           Echantillonnage{"H1V2", 1, 2}, Echantillonnage{"H1V1", 1, 1},
                                           Echantillonnage{"Grey", 0, 0}),
                         [](const ::testing::TestParamInfo<Echantillonnage>& info) { return info.param.nom; });

// Times the batch run's work on one picture (load, sign with a text and a
// logo, save at quality 75) against libjpeg's own decode and encode of the
// same file, on photographs of camera sizes made here.
// Usage: batch_bench [runs] [style]; "style" signs with an outlined,
// shadowed text and a logo sized to the picture.

#include "CGraphique.h"
#include "Composition.h"
#include "Font.h"
#include "SilentInteraction.h"

#include "Mesure.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kQualite = 75;

struct Photo {
    const char* nom;
    int largeur;
    int hauteur;
};

// Sky and ground gradients, hard-edged buildings and a sun, sensor noise:
// what a camera gives the encoder, not a flat test card.
std::vector<JSAMPLE> Photographie(int w, int h, unsigned graine)
{
    std::vector<JSAMPLE> rgb(std::size_t(w) * h * 3);
    std::vector<float> ondeX(w);
    for (int x = 0; x < w; ++x)
        ondeX[x] = 18.0f * std::sin(x * 6.2832f / w * 3.0f);
    unsigned etat = graine | 1;
    auto bruit = [&etat] {
        etat ^= etat << 13;
        etat ^= etat >> 17;
        etat ^= etat << 5;
        return int(etat % 17) - 8;
    };
    const int horizon = h * 3 / 5;
    for (int y = 0; y < h; ++y) {
        const float t = float(y) / h;
        JSAMPLE* row = &rgb[std::size_t(y) * w * 3];
        for (int x = 0; x < w; ++x) {
            float r, g, b;
            if (y < horizon) {
                r = 90 + 100 * t;
                g = 140 + 70 * t;
                b = 230 - 30 * t;
            } else {
                r = 70 + 40 * t + ondeX[x];
                g = 110 + 30 * t - ondeX[x] * 0.5f;
                b = 40 + 20 * t;
            }
            // Buildings: sharp vertical and horizontal edges.
            const int bloc = x / (w / 12 + 1);
            if (y > horizon - (bloc % 4 + 1) * h / 10 && y < horizon && bloc % 3 != 1) {
                r = 60 + 25 * (bloc % 5);
                g = 55 + 20 * (bloc % 3);
                b = 50 + 15 * (bloc % 4);
                if ((x / 20) % 3 == 0 && (y / 30) % 2 == 0) // windows
                    r = g = b = 210;
            }
            const float dx = x - w * 0.8f, dy = y - h * 0.15f;
            if (dx * dx + dy * dy < (h * 0.07f) * (h * 0.07f))
                r = 255, g = 230, b = 150;
            row[3 * x] = JSAMPLE(std::clamp(int(r) + bruit(), 0, 255));
            row[3 * x + 1] = JSAMPLE(std::clamp(int(g) + bruit(), 0, 255));
            row[3 * x + 2] = JSAMPLE(std::clamp(int(b) + bruit(), 0, 255));
        }
    }
    return rgb;
}

bool EncodeJpeg(const std::string& path, const std::vector<JSAMPLE>& rgb, int w, int h, int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(&rgb[std::size_t(info.next_scanline) * w * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

std::vector<JSAMPLE> DecodeJpeg(const std::string& path, int& w, int& h)
{
    std::vector<JSAMPLE> rgb;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return rgb;
    jpeg_decompress_struct info;
    jpeg_error_mgr erreur;
    info.err = jpeg_std_error(&erreur);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    w = int(info.output_width);
    h = int(info.output_height);
    rgb.resize(std::size_t(w) * h * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[std::size_t(info.output_scanline) * w * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return rgb;
}

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
    EncodeJpeg(logoPath, Photographie(240, 120, 7), 240, 120, 90);
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
    std::printf("per picture, median of %d runs (load + sign + save at quality %d vs libjpeg decode + encode)\n",
                runs, kQualite);
    int echecs = 0;
    for (const Photo& p : photos) {
        const std::string source = racine + "photo.jpg";
        if (!EncodeJpeg(source, Photographie(p.largeur, p.hauteur, 12345), p.largeur, p.hauteur, 92))
            return 1;
        std::vector<double> batch, libjpeg, chargement, composition, decodage;
        for (int run = 0; run <= runs; ++run) { // run 0 warms caches and is not counted
            auto start = std::chrono::steady_clock::now();
            HBITMAP image = graphique.ChargeImage(source);
            const double charge = Millisecondes(start);
            // The run signs the loaded picture itself: it is not needed afterwards.
            if (image)
                Composition::SigneSurPlace(image, texte, logo);
            const double compose = Millisecondes(start);
            const int ecrit = image ? graphique.SauveImage(racine + "TPphoto.jpg", image, kQualite) : 0;
            DeleteObject(image);
            const double ms = Millisecondes(start);
            echecs += !ecrit;

            start = std::chrono::steady_clock::now();
            int w = 0, h = 0;
            const std::vector<JSAMPLE> rgb = DecodeJpeg(source, w, h);
            const double decode = Millisecondes(start);
            echecs += !EncodeJpeg(racine + "ref.jpg", rgb, w, h, kQualite);
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
                    "libjpeg %.1f ms (decode %.1f, encode %.1f), ratio %.2f\n",
                    p.nom, p.largeur, p.hauteur, b, c, s, b - c - s, r, d, r - d, b / r);
    }
    DeleteObject(texte.Police);
    DeleteObject(logo.Image);
    if (echecs)
        std::fprintf(stderr, "%d failed runs\n", echecs);
    return echecs ? 1 : 0;
}

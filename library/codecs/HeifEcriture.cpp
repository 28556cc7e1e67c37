#include "HeifEcriture.h"

#include "AtomicFile.h"
#include "EchecEcriture.h"
#include "Exif.h"
#include "ImageRGBA.h"
#include "Metadonnees.h"
#include "RapportCodec.h"
#include "SessionHeif.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct LibereEncodeur {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};

heif_compression_format Compression(HeifEcriture::Codec codec)
{
    return codec == HeifEcriture::Codec::Hevc ? heif_compression_HEVC : heif_compression_AV1;
}

heif_error Ecrit(heif_context*, const void* donnees, size_t taille, void* fichier)
{
    if (static_cast<AtomicFile*>(fichier)->write(donnees, taille))
        return {heif_error_Ok, heif_suberror_Unspecified, "ok"};
    return {heif_error_Encoding_error, heif_suberror_Cannot_write_output_data, "write failed"};
}

// The pixels as libheif's interleaved RGB plane.
SessionHeif::Image Plan(const Bitmap& image, heif_error& erreur)
{
    heif_image* brute = nullptr;
    erreur = heif_image_create(image.width(), image.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                               &brute);
    SessionHeif::Image plan(brute);
    if (erreur.code != heif_error_Ok)
        return nullptr;
    erreur = heif_image_add_plane(plan.get(), heif_channel_interleaved, image.width(), image.height(), 8);
    int pas = 0;
    std::uint8_t* lignes =
        erreur.code == heif_error_Ok ? heif_image_get_plane(plan.get(), heif_channel_interleaved, &pas) : nullptr;
    if (!lignes || pas < image.width() * 3)
        return nullptr;
    for (int y = 0; y < image.height(); ++y)
        ImageRGBA::LitLigne(image, y, nullptr, lignes + static_cast<std::size_t>(pas) * y);
    return plan;
}

// The Exif block as a JPEG would carry it, said upright.
std::vector<std::uint8_t> ExifRedresse(std::span<const std::uint8_t> tiff, int largeur, int hauteur)
{
    std::vector<std::uint8_t> app1(6 + tiff.size());
    std::memcpy(app1.data(), "Exif\0\0", 6);
    std::copy(tiff.begin(), tiff.end(), app1.begin() + 6);
    Exif::PrepareEcriture(app1, largeur, hauteur, false);
    return app1;
}

} // namespace

bool HeifEcriture::Disponible(Codec codec)
{
    SessionHeif::Initialise();
    return heif_have_encoder_for_format(Compression(codec)) != 0;
}

int HeifEcriture::Sauve(const CString& path, const Bitmap& image, int quality, Codec codec,
                        const Metadonnees* metadonnees, RapportCodec& rapport)
{
    const auto echec = [&](const std::string& cause) {
        EchecEcriture::Signale(&rapport, path, cause);
        return 0;
    };
    if (quality < 0 || quality > 100)
        return echec(EchecEcriture::QualiteHorsLimites(quality));
    if (path.empty() || image.width() <= 0 || image.height() <= 0)
        return echec("the picture is empty");
    SessionHeif::Initialise();
    SessionHeif::Contexte contexte(heif_context_alloc());
    if (!contexte)
        return echec("out of memory");
    heif_encoder* brut = nullptr;
    if (heif_context_get_encoder_for_format(contexte.get(), Compression(codec), &brut).code != heif_error_Ok || !brut)
        return echec(codec == Codec::Hevc ? "no HEVC encoder is installed (libheif-plugin-x265)"
                                          : "no AV1 encoder is installed (libheif-plugin-aomenc)");
    std::unique_ptr<heif_encoder, LibereEncodeur> encodeur(brut);
    heif_error erreur = heif_encoder_set_lossy_quality(encodeur.get(), quality);
    const auto plan = erreur.code == heif_error_Ok ? Plan(image, erreur) : nullptr;
    if (!plan)
        return echec(erreur.message ? erreur.message : "out of memory");

    const std::vector<std::uint8_t> icc = metadonnees ? metadonnees->ProfilICC() : std::vector<std::uint8_t>();
    if (!icc.empty()
        && heif_image_set_raw_color_profile(plan.get(), "prof", icc.data(), icc.size()).code != heif_error_Ok)
        return echec("the ICC profile was refused");
    heif_image_handle* poignee = nullptr;
    erreur = heif_context_encode_image(contexte.get(), plan.get(), encodeur.get(), nullptr, &poignee);
    if (erreur.code != heif_error_Ok)
        return echec(erreur.message);
    const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> garde(poignee,
                                                                                       heif_image_handle_release);
    if (const auto tiff = metadonnees ? metadonnees->BlocExif() : std::span<const std::uint8_t>(); !tiff.empty()) {
        // libheif finds the TIFF header itself and stores its offset first.
        const std::vector<std::uint8_t> app1 = ExifRedresse(tiff, image.width(), image.height());
        if (heif_context_add_exif_metadata(contexte.get(), poignee, app1.data() + 6, static_cast<int>(app1.size() - 6))
                .code
            != heif_error_Ok)
            return echec("the Exif block was refused");
    }

    AtomicFile fichier(path);
    heif_writer ecrivain{1, &Ecrit};
    if (!fichier.open() || heif_context_write(contexte.get(), &ecrivain, &fichier).code != heif_error_Ok
        || !fichier.commit()) {
        EchecEcriture::Signale(&rapport, path, fichier);
        return 0;
    }
    return 1;
}

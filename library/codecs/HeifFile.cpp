#include "HeifFile.h"

#include "Budget.h"
#include "GrilleHeif.h"
#include "ImageRGBA.h"
#include "Metadonnees.h"
#include "SessionHeif.h"

#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {

struct LibrePoignee {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct LibereOptions {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

// The file's boxes read, its primary picture found, nothing decoded; no
// handle when libheif refuses the file. The handle goes before its context.
struct Primaire {
    SessionHeif::Contexte contexte;
    std::unique_ptr<heif_image_handle, LibrePoignee> poignee;
};

Primaire OuvrePrimaire(const CString& path)
{
    SessionHeif::Initialise();
    Primaire primaire;
    primaire.contexte.reset(heif_context_alloc());
    if (!primaire.contexte)
        return primaire;
    heif_context_set_maximum_image_size_limit(primaire.contexte.get(), HeifFile::kCoteMax);
    heif_image_handle* brute = nullptr;
    if (heif_context_read_from_file(primaire.contexte.get(), path.c_str(), nullptr).code == heif_error_Ok
        && heif_context_get_primary_image_handle(primaire.contexte.get(), &brute).code == heif_error_Ok)
        primaire.poignee.reset(brute);
    return primaire;
}

// An Exif block in HEIF starts with the offset of its TIFF header; a JPEG
// carries the header after "Exif\0\0".
void GardeExif(const heif_image_handle* poignee, Metadonnees& metadonnees)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(poignee, "Exif", &id, 1) != 1)
        return;
    const std::size_t taille = heif_image_handle_get_metadata_size(poignee, id);
    if (taille < 4 || taille > Metadonnees::kTailleMarqueur + 4)
        return;
    std::vector<std::uint8_t> bloc(taille);
    if (heif_image_handle_get_metadata(poignee, id, bloc.data()).code != heif_error_Ok)
        return;
    const std::uint64_t decalage =
        (std::uint64_t(bloc[0]) << 24) | (std::uint64_t(bloc[1]) << 16) | (std::uint64_t(bloc[2]) << 8) | bloc[3];
    if (decalage > taille - 4)
        return;
    metadonnees.AjouteExif(std::span<const std::uint8_t>(bloc).subspan(4 + decalage));
}

void GardeProfil(const heif_image_handle* poignee, Metadonnees& metadonnees)
{
    const std::size_t taille = heif_image_handle_get_raw_color_profile_size(poignee);
    if (taille == 0 || taille > Metadonnees::kTailleTotale)
        return;
    std::vector<std::uint8_t> profil(taille);
    if (heif_image_handle_get_raw_color_profile(poignee, profil.data()).code == heif_error_Ok)
        metadonnees.AjouteProfilICC(profil);
}

} // namespace

HBITMAP HeifFile::Charge(const CString& path, Metadonnees* metadonnees, std::vector<std::uint8_t>* alpha)
{
    Budget budget;
    return Charge(path, budget, metadonnees, alpha);
}

HBITMAP HeifFile::Charge(const CString& path, Budget& budget, Metadonnees* metadonnees,
                         std::vector<std::uint8_t>* alpha)
{
    if (alpha)
        alpha->clear();
    budget.Debute();
    const Primaire primaire = OuvrePrimaire(path);
    heif_image_handle* const poignee = primaire.poignee.get();
    if (!poignee)
        return nullptr;
    const int largeur = heif_image_handle_get_width(poignee);
    const int hauteur = heif_image_handle_get_height(poignee);
    // A grid or an overlay decodes at the canvas its boxes declare, whatever
    // its 'ispe' says: the larger of the two is what is checked.
    std::uint64_t canevas = 0;
    if (largeur <= 0 || hauteur <= 0 || !budget.AdmetPixels(std::uint64_t(largeur), std::uint64_t(hauteur))
        || GrilleHeif::PlusGrandCanevas(path, canevas) == GrilleHeif::Resultat::Illisible
        || !budget.AdmetPixels(canevas, 1))
        return nullptr;
    // A turn swaps the sides but keeps the count, which is all that is
    // checked before decoding: the coded planes and libheif's RGBA copy.
    const std::uint64_t decodes = std::max(std::uint64_t(largeur) * hauteur, canevas);
    if (!budget.Reserve(decodes * 8))
        return nullptr;

    std::unique_ptr<heif_decoding_options, LibereOptions> options(heif_decoding_options_alloc());
    if (!options)
        return nullptr;
    options->convert_hdr_to_8bit = 1;
    heif_image* decodee = nullptr;
    if (heif_decode_image(poignee, &decodee, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, options.get())
            .code
        != heif_error_Ok)
        return nullptr;
    SessionHeif::Image rgba(decodee);
    const int l = heif_image_get_width(rgba.get(), heif_channel_interleaved);
    const int h = heif_image_get_height(rgba.get(), heif_channel_interleaved);
    int pas = 0;
    const std::uint8_t* plan = heif_image_get_plane_readonly(rgba.get(), heif_channel_interleaved, &pas);
    if (!plan || l <= 0 || h <= 0 || pas < l * 4)
        return nullptr;
    ImageRGBA image(budget);
    if (!image.Cree(static_cast<std::uint32_t>(l), static_cast<std::uint32_t>(h),
                    alpha && heif_image_handle_has_alpha_channel(poignee)))
        return nullptr;
    for (int y = 0; y < h; ++y)
        image.PoseLigne(y, plan + static_cast<std::size_t>(pas) * y);
    if (metadonnees) {
        metadonnees->Efface();
        GardeExif(poignee, *metadonnees);
        GardeProfil(poignee, *metadonnees);
    }
    return image.Detache(alpha);
}

bool HeifFile::Dimensions(const CString& path, int& largeur, int& hauteur)
{
    const Primaire primaire = OuvrePrimaire(path);
    if (!primaire.poignee)
        return false;
    largeur = heif_image_handle_get_width(primaire.poignee.get());
    hauteur = heif_image_handle_get_height(primaire.poignee.get());
    return true;
}

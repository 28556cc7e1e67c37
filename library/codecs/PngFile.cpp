#include "PngFile.h"

#include "AtomicFile.h"
#include "Budget.h"
#include "EchecEcriture.h"
#include "ImageRGBA.h"
#include "Metadonnees.h"

#include <spng.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <sys/stat.h>

namespace {

struct LibereContexte {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Contexte = std::unique_ptr<spng_ctx, LibereContexte>;

struct FermeFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Deflate never packs more than 1032 bytes into one, so a file too short
// for its rows can only be cut off, and is refused before anything is
// allocated for it; a few kilobytes of any file are taken on trust.
constexpr std::uint64_t kOctetsOfferts = std::uint64_t(1) << 16;
constexpr std::uint64_t kDeflateMax = 1032;

std::uint64_t OctetsBruts(const spng_ihdr& ihdr)
{
    const int canaux = ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR          ? 3
                       : ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA  ? 4
                       : ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA  ? 2
                                                                             : 1;
    const std::uint64_t bitsLigne = std::uint64_t(ihdr.width) * canaux * ihdr.bit_depth;
    return ((bitsLigne + 7) / 8 + 1) * ihdr.height;
}

// The iTXt keyword XMP is stored under.
constexpr char kMotCleXmp[] = "XML:com.adobe.xmp";

std::span<const std::uint8_t> Octets(const char* donnees, std::size_t taille)
{
    return {reinterpret_cast<const std::uint8_t*>(donnees), taille};
}

// What the file carries beside its pixels, as far as libspng has read it.
void LitMetadonnees(spng_ctx* ctx, Metadonnees& metadonnees)
{
    metadonnees.Efface();
    spng_exif exif{};
    if (spng_get_exif(ctx, &exif) == 0 && exif.data && exif.length > 0)
        metadonnees.AjouteExif(Octets(exif.data, exif.length));
    std::uint32_t nombre = 0;
    if (spng_get_text(ctx, nullptr, &nombre) == 0 && nombre > 0) {
        std::vector<spng_text> textes(nombre);
        if (spng_get_text(ctx, textes.data(), &nombre) == 0)
            for (std::uint32_t i = 0; i < nombre && i < textes.size(); ++i) {
                const spng_text& t = textes[i];
                if (t.type == SPNG_ITXT && t.text && t.length > 0
                    && std::strncmp(t.keyword, kMotCleXmp, sizeof t.keyword) == 0) {
                    metadonnees.AjouteXmp(Octets(t.text, t.length));
                    break;
                }
            }
    }
    spng_iccp iccp{};
    if (spng_get_iccp(ctx, &iccp) == 0 && iccp.profile && iccp.profile_len > 0)
        metadonnees.AjouteProfilICC(Octets(iccp.profile, iccp.profile_len));
}

} // namespace

HBITMAP PngFile::Charge(const CString& path, std::vector<std::uint8_t>* alpha, Metadonnees* metadonnees)
{
    Budget budget;
    return Charge(path, budget, alpha, metadonnees);
}

HBITMAP PngFile::Charge(const CString& path, Budget& budget, std::vector<std::uint8_t>* alpha,
                        Metadonnees* metadonnees)
{
    if (alpha)
        alpha->clear();
    if (metadonnees)
        metadonnees->Efface();
    std::unique_ptr<std::FILE, FermeFichier> fichier(std::fopen(path.c_str(), "rb"));
    Contexte ctx(spng_ctx_new(0));
    if (!fichier || !ctx)
        return nullptr;
    struct stat etat {};
    const std::uint64_t taille = ::fstat(::fileno(fichier.get()), &etat) == 0 ? std::uint64_t(etat.st_size) : 0;
    budget.Debute();

    spng_set_crc_action(ctx.get(), SPNG_CRC_ERROR, SPNG_CRC_ERROR);
    spng_set_chunk_limits(ctx.get(), kTailleMorceau, kTailleMorceau);
    const auto cote = static_cast<std::uint32_t>(Bitmap::kMaxPixels);
    spng_set_image_limits(ctx.get(), cote, cote);
    spng_ihdr ihdr{};
    if (spng_set_png_file(ctx.get(), fichier.get()) != 0 || spng_get_ihdr(ctx.get(), &ihdr) != 0)
        return nullptr;
    if (!budget.AdmetPixels(ihdr.width, ihdr.height)
        || !budget.AdmetDonnees(OctetsBruts(ihdr), Budget::Permis(kOctetsOfferts, kDeflateMax, taille)))
        return nullptr;

    spng_trns trns{};
    const bool transparence = ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA
                              || ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA
                              || spng_get_trns(ctx.get(), &trns) == 0;
    if (metadonnees)
        LitMetadonnees(ctx.get(), *metadonnees);

    std::size_t tailleRGBA = 0;
    if (spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &tailleRGBA) != 0)
        return nullptr;
    const std::size_t ligneRGBA = std::size_t(ihdr.width) * 4;
    // Interlaced rows come pass by pass, so they need the whole picture at
    // once; the others go through one row.
    const bool entrelace = ihdr.interlace_method != SPNG_INTERLACE_NONE;
    const std::size_t tampon = entrelace ? tailleRGBA : ligneRGBA;
    // libspng holds the coded row, the one before it (for the filters) and
    // an output row of its own: for a wide 16-bit picture, gigabytes.
    const std::uint64_t lignesSpng = 3 * (OctetsBruts(ihdr) / ihdr.height + 64) + ligneRGBA;
    ImageRGBA image(budget);
    if (!image.Cree(ihdr.width, ihdr.height, alpha && transparence, tampon + lignesSpng))
        return nullptr;
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[tampon]);
    if (!pixels)
        return nullptr;
    if (entrelace) {
        if (spng_decode_image(ctx.get(), pixels.get(), tampon, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
            return nullptr;
        for (std::uint32_t y = 0; y < ihdr.height; ++y)
            image.PoseLigne(static_cast<int>(y), pixels.get() + ligneRGBA * y);
    } else {
        if (spng_decode_image(ctx.get(), nullptr, 0, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE) != 0)
            return nullptr;
        for (std::uint32_t y = 0; y < ihdr.height; ++y) {
            const int resultat = spng_decode_row(ctx.get(), pixels.get(), ligneRGBA);
            if (resultat != 0 && !(resultat == SPNG_EOI && y + 1 == ihdr.height))
                return nullptr;
            image.PoseLigne(static_cast<int>(y), pixels.get());
        }
    }
    // Exif and text chunks may follow the pixels too. Damage there costs
    // those chunks only: what came before them stays.
    if (metadonnees && spng_decode_chunks(ctx.get()) == 0)
        LitMetadonnees(ctx.get(), *metadonnees);
    return image.Detache(alpha);
}

int PngFile::Sauve(const CString& path, const Bitmap& image, const std::vector<std::uint8_t>* alpha,
                   const Metadonnees* metadonnees, RapportCodec* rapport)
{
    AtomicFile fichier(path);
    const int resultat = Ecrit(fichier, image, alpha, metadonnees);
    if (resultat == 0 && !path.empty())
        EchecEcriture::Signale(rapport, path, fichier);
    return resultat;
}

int PngFile::Ecrit(AtomicFile& fichier, const Bitmap& image, const std::vector<std::uint8_t>* alpha,
                   const Metadonnees* metadonnees)
{
    const std::size_t pixels = std::size_t(image.width()) * image.height();
    if (alpha && alpha->size() != pixels)
        alpha = nullptr;
    const bool rgba = alpha && !alpha->empty();
    Contexte ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx || pixels == 0 || !fichier.open())
        return 0;
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(image.width());
    ihdr.height = static_cast<std::uint32_t>(image.height());
    ihdr.bit_depth = 8;
    ihdr.color_type = rgba ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    if (spng_set_png_file(ctx.get(), fichier.stream()) != 0 || spng_set_ihdr(ctx.get(), &ihdr) != 0
        || spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, kNiveauCompression) != 0)
        return 0;
    // The encoder only reads what it is given, and holds on to it until
    // the file is written: everything below outlives the encoding.
    const std::vector<std::uint8_t> icc = metadonnees ? metadonnees->ProfilICC() : std::vector<std::uint8_t>();
    if (!icc.empty()) {
        spng_iccp iccp{};
        std::strcpy(iccp.profile_name, "ICC Profile");
        iccp.profile_len = icc.size();
        iccp.profile = reinterpret_cast<char*>(const_cast<std::uint8_t*>(icc.data()));
        if (spng_set_iccp(ctx.get(), &iccp) != 0)
            return 0;
    }
    const auto tiff = metadonnees ? metadonnees->BlocExif() : std::span<const std::uint8_t>();
    if (!tiff.empty()) {
        spng_exif exif{tiff.size(), reinterpret_cast<char*>(const_cast<std::uint8_t*>(tiff.data()))};
        // A block without a TIFF header is refused, and left out rather
        // than costing the picture.
        spng_set_exif(ctx.get(), &exif);
    }
    // libspng measures a text with strlen, whatever its length says: it
    // gets a copy that ends in a NUL (which XML never holds).
    const auto paquet = metadonnees ? metadonnees->PaquetXmp() : std::span<const std::uint8_t>();
    std::string xmp(paquet.begin(), paquet.end());
    xmp.resize(std::strlen(xmp.c_str()));
    spng_text texte{};
    if (!xmp.empty()) {
        std::strcpy(texte.keyword, kMotCleXmp);
        texte.type = SPNG_ITXT;
        texte.length = xmp.size();
        texte.text = xmp.data();
        texte.language_tag = const_cast<char*>("");
        texte.translated_keyword = const_cast<char*>("");
        if (spng_set_text(ctx.get(), &texte, 1) != 0)
            return 0;
    }
    if (spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) != 0)
        return 0;
    const std::size_t ligne = std::size_t(image.width()) * (rgba ? 4 : 3);
    std::unique_ptr<std::uint8_t[]> tampon(new (std::nothrow) std::uint8_t[ligne]);
    if (!tampon)
        return 0;
    for (int y = 0; y < image.height(); ++y) {
        ImageRGBA::LitLigne(image, y, rgba ? alpha->data() : nullptr, tampon.get());
        const int resultat = spng_encode_row(ctx.get(), tampon.get(), ligne);
        if (resultat != 0 && !(resultat == SPNG_EOI && y + 1 == image.height()))
            return 0;
    }
    return fichier.commit() ? 1 : 0;
}

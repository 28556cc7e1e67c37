#include "WebpFile.h"

#include "AtomicFile.h"
#include "Budget.h"
#include "EchecEcriture.h"
#include "ImageRGBA.h"
#include "Metadonnees.h"

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <span>
#include <sys/stat.h>

namespace {

// A WebP file larger than this is refused before it is read: a picture at
// the largest size we hold, stored losslessly, stays well below.
constexpr std::uint64_t kTailleFichierMax = std::uint64_t(1) << 30;

struct FermeFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
struct LibereAnimation {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

bool LitFichier(const CString& path, Budget& budget, std::vector<std::uint8_t>& octets)
{
    std::unique_ptr<std::FILE, FermeFichier> fichier(std::fopen(path.c_str(), "rb"));
    struct stat etat {};
    if (!fichier || ::fstat(::fileno(fichier.get()), &etat) != 0 || etat.st_size <= 0
        || std::uint64_t(etat.st_size) > kTailleFichierMax || !budget.Reserve(std::uint64_t(etat.st_size)))
        return false;
    try {
        octets.resize(static_cast<std::size_t>(etat.st_size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return std::fread(octets.data(), 1, octets.size(), fichier.get()) == octets.size();
}

// What libwebp allocates beside the output to decode a frame of the
// canvas's size: a lossless frame is decoded through a 32-bit picture of its
// own and a few cached rows; a lossy one keeps its alpha plane, itself
// decoded through a 32-bit picture when stored losslessly. A frame of an
// animation may be either.
std::uint64_t MemoireDecodeur(const WebPBitstreamFeatures& f)
{
    const std::uint64_t pixels = std::uint64_t(f.width) * f.height;
    const std::uint64_t sansPerte = 4 * pixels + 128 * std::uint64_t(f.width);
    const std::uint64_t alphaAvecPerte = f.has_alpha ? 5 * pixels : 0;
    if (f.has_animation || f.format == 0)
        return std::max(sansPerte, 5 * pixels);
    return f.format == 2 ? sansPerte : alphaAvecPerte;
}

HBITMAP PremiereImage(const std::vector<std::uint8_t>& octets, const WebPBitstreamFeatures& f, Budget& budget,
                      std::vector<std::uint8_t>* alpha)
{
    ImageRGBA image(budget);
    const std::uint64_t rgba = std::uint64_t(f.width) * f.height * 4;
    // The animation decoder holds its canvas and the previous one; a still
    // picture is decoded into the device image itself.
    if (!image.Cree(static_cast<std::uint32_t>(f.width), static_cast<std::uint32_t>(f.height), alpha && f.has_alpha,
                    (f.has_animation ? 2 * rgba : 0) + MemoireDecodeur(f)))
        return nullptr;
    const std::size_t ligne = std::size_t(f.width) * 4;
    if (f.has_animation) {
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options))
            return nullptr;
        options.color_mode = MODE_RGBA;
        const WebPData donnees{octets.data(), octets.size()};
        std::unique_ptr<WebPAnimDecoder, LibereAnimation> decodeur(WebPAnimDecoderNew(&donnees, &options));
        WebPAnimInfo info{};
        std::uint8_t* canevas = nullptr;
        int instant = 0;
        if (!decodeur || !WebPAnimDecoderGetInfo(decodeur.get(), &info) || info.canvas_width != std::uint32_t(f.width)
            || info.canvas_height != std::uint32_t(f.height)
            || !WebPAnimDecoderGetNext(decodeur.get(), &canevas, &instant))
            return nullptr;
        for (int y = 0; y < f.height; ++y)
            image.PoseLigne(y, canevas + ligne * y);
        return image.Detache(alpha);
    }
    if (!WebPDecodeBGRAInto(octets.data(), octets.size(), image.Pixels(), image.Taille(),
                            static_cast<int>(image.Pas())))
        return nullptr;
    image.RangeAlpha();
    return image.Detache(alpha);
}

int Ecrit(const std::uint8_t* donnees, std::size_t taille, const WebPPicture* image)
{
    return static_cast<AtomicFile*>(image->custom_ptr)->write(donnees, taille) ? 1 : 0;
}

struct LibereImage {
    void operator()(WebPPicture* p) const { WebPPictureFree(p); }
};
struct LibereDemux {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
struct LibereMux {
    void operator()(WebPMux* m) const { WebPMuxDelete(m); }
};
struct LibereMemoire {
    void operator()(WebPMemoryWriter* w) const { WebPMemoryWriterClear(w); }
};
struct LibereDonnees {
    void operator()(WebPData* d) const { WebPDataClear(d); }
};

// A file the demuxer does not take whole carries nothing we keep.
void LitMetadonnees(const std::vector<std::uint8_t>& octets, Metadonnees& metadonnees)
{
    const WebPData donnees{octets.data(), octets.size()};
    std::unique_ptr<WebPDemuxer, LibereDemux> demux(WebPDemux(&donnees));
    if (!demux)
        return;
    const auto morceau = [&demux](const char* fourcc, auto&& ajoute) {
        WebPChunkIterator it{};
        if (WebPDemuxGetChunk(demux.get(), fourcc, 1, &it) && it.chunk.bytes && it.chunk.size > 0)
            ajoute(std::span<const std::uint8_t>(it.chunk.bytes, it.chunk.size));
        WebPDemuxReleaseChunkIterator(&it);
    };
    morceau("EXIF", [&](auto o) { metadonnees.AjouteExif(o); });
    morceau("XMP ", [&](auto o) { metadonnees.AjouteXmp(o); });
    morceau("ICCP", [&](auto o) { metadonnees.AjouteProfilICC(o); });
}

// The encoded picture with its metadata chunks, as the mux library lays
// them out (VP8X header and flags included).
bool Assemble(const WebPMemoryWriter& image, const std::vector<std::uint8_t>& icc,
              std::span<const std::uint8_t> exif, std::span<const std::uint8_t> xmp, WebPData& sortie)
{
    std::unique_ptr<WebPMux, LibereMux> mux(WebPMuxNew());
    const WebPData flux{image.mem, image.size};
    if (!mux || WebPMuxSetImage(mux.get(), &flux, 0) != WEBP_MUX_OK)
        return false;
    const std::pair<const char*, std::span<const std::uint8_t>> morceaux[] = {
        {"ICCP", icc}, {"EXIF", exif}, {"XMP ", xmp}};
    for (const auto& [fourcc, octets] : morceaux) {
        const WebPData donnees{octets.data(), octets.size()};
        if (!octets.empty() && WebPMuxSetChunk(mux.get(), fourcc, &donnees, 0) != WEBP_MUX_OK)
            return false;
    }
    return WebPMuxAssemble(mux.get(), &sortie) == WEBP_MUX_OK;
}

} // namespace

HBITMAP WebpFile::Charge(const CString& path, std::vector<std::uint8_t>* alpha, Metadonnees* metadonnees)
{
    Budget budget;
    return Charge(path, budget, alpha, metadonnees);
}

HBITMAP WebpFile::Charge(const CString& path, Budget& budget, std::vector<std::uint8_t>* alpha,
                         Metadonnees* metadonnees)
{
    if (alpha)
        alpha->clear();
    if (metadonnees)
        metadonnees->Efface();
    budget.Debute();
    std::vector<std::uint8_t> octets;
    WebPBitstreamFeatures f{};
    if (!LitFichier(path, budget, octets) || WebPGetFeatures(octets.data(), octets.size(), &f) != VP8_STATUS_OK
        || f.width <= 0 || f.height <= 0 || !budget.AdmetPixels(std::uint64_t(f.width), std::uint64_t(f.height)))
        return nullptr;
    HBITMAP image = PremiereImage(octets, f, budget, alpha);
    if (image && metadonnees)
        LitMetadonnees(octets, *metadonnees);
    return image;
}

int WebpFile::Sauve(const CString& path, const Bitmap& image, int quality, const std::vector<std::uint8_t>* alpha,
                    const Metadonnees* metadonnees, RapportCodec* rapport)
{
    const std::size_t pixels = std::size_t(image.width()) * image.height();
    if (quality < 0 || quality > 100) {
        EchecEcriture::Signale(rapport, path, EchecEcriture::QualiteHorsLimites(quality));
        return 0;
    }
    if (path.empty() || image.width() > WEBP_MAX_DIMENSION || image.height() > WEBP_MAX_DIMENSION)
        return 0;
    const bool rgba = alpha && !alpha->empty() && alpha->size() == pixels;
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture))
        return 0;
    config.quality = static_cast<float>(quality);
    config.lossless = quality == 100;
    if (config.lossless)
        config.exact = 1; // colours under transparent pixels stay as they are
    picture.use_argb = config.lossless || rgba;
    picture.width = image.width();
    picture.height = image.height();
    std::unique_ptr<WebPPicture, LibereImage> garde(&picture);
    if (image.bitsPerPixel() == 32 && !rgba) {
        // B, G, R, X: the device image's own rows.
        if (!WebPPictureImportBGRX(&picture, image.bits(), static_cast<int>(image.stride())))
            return 0;
    } else {
        const int canaux = rgba ? 4 : 3;
        const std::size_t ligne = std::size_t(image.width()) * canaux;
        std::unique_ptr<std::uint8_t[]> tampon(new (std::nothrow) std::uint8_t[ligne * image.height()]);
        if (!tampon)
            return 0;
        for (int y = 0; y < image.height(); ++y)
            ImageRGBA::LitLigne(image, y, rgba ? alpha->data() : nullptr, tampon.get() + ligne * y);
        const int stride = static_cast<int>(ligne);
        if (!(rgba ? WebPPictureImportRGBA(&picture, tampon.get(), stride)
                   : WebPPictureImportRGB(&picture, tampon.get(), stride)))
            return 0;
    }
    AtomicFile fichier(path);
    if (!fichier.open()) {
        EchecEcriture::Signale(rapport, path, fichier);
        return 0;
    }
    const std::vector<std::uint8_t> icc = metadonnees ? metadonnees->ProfilICC() : std::vector<std::uint8_t>();
    const auto exif = metadonnees ? metadonnees->BlocExif() : std::span<const std::uint8_t>();
    const auto xmp = metadonnees ? metadonnees->PaquetXmp() : std::span<const std::uint8_t>();
    if (icc.empty() && exif.empty() && xmp.empty()) {
        picture.writer = &Ecrit;
        picture.custom_ptr = &fichier;
        if (WebPEncode(&config, &picture) && fichier.commit())
            return 1;
        EchecEcriture::Signale(rapport, path, fichier);
        return 0;
    }
    // The mux library lays the chunks out around the picture, under the
    // extended header they need: the picture is encoded in memory first.
    WebPMemoryWriter memoire;
    WebPMemoryWriterInit(&memoire);
    std::unique_ptr<WebPMemoryWriter, LibereMemoire> gardeMemoire(&memoire);
    picture.writer = &WebPMemoryWrite;
    picture.custom_ptr = &memoire;
    WebPData assemble{};
    std::unique_ptr<WebPData, LibereDonnees> gardeAssemble(&assemble);
    if (WebPEncode(&config, &picture) && Assemble(memoire, icc, exif, xmp, assemble)
        && fichier.write(assemble.bytes, assemble.size) && fichier.commit())
        return 1;
    EchecEcriture::Signale(rapport, path, fichier);
    return 0;
}

// JPEG files as device images. On a 32-bit display a picture is decoded
// straight into the rows of the device image (the library writes B, G, R, X)
// and encoded straight from them, which gives the same pixels and the same
// file bytes as going through JpegFile's RGB buffers and a packed DIB,
// without the four copies. Other depths take that longer way.

#include "CGraphique.h"

#include "AtomicFile.h"
#include "codecs/EchecEcriture.h"
#include "codecs/JpegEcriture.h"
#include "codecs/JpegEcritureEnLots.h"
#include "JpegFile.h"
#include "codecs/JpegLecture.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"
#include "ReductionMoyenne.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Rows handed to the library per call.
constexpr JDIMENSION kLot = 16;

// The library fills the fourth byte with 0xFF; device images hold 0 there.
// Four pixels per step: the compiler keeps a plain loop scalar at -O2.
void EffaceQuatriemeOctet(BYTE* row, int width)
{
    using Quatre = std::uint32_t __attribute__((vector_size(16)));
    constexpr Quatre kMasque = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        Quatre pixels;
        std::memcpy(&pixels, row + 4 * x, sizeof pixels);
        pixels &= kMasque;
        std::memcpy(row + 4 * x, &pixels, sizeof pixels);
    }
    for (; x < width; ++x)
        row[4 * x + 3] = 0;
}

// With a redimension, decoded at the smallest scale that still covers the
// size it gives, which cible receives.
HBITMAP ChargeEnBGRX(const CString& path, Metadonnees* metadonnees, Budget& budget, RapportCodec& rapport,
                     const RegleTaille* redimension, CSize& cible)
{
    JpegLecture lecture(rapport, budget);
    lecture.GardeMetadonnees(metadonnees);
    if (!lecture.Ouvre(path))
        return nullptr;
    if (!lecture.TailleAcceptable(4)) {
        lecture.SignaleMemoire();
        return nullptr;
    }
    jpeg_decompress_struct& info = lecture.Info();
    const CSize entiere(static_cast<LONG>(info.image_width), static_cast<LONG>(info.image_height));
    cible = redimension ? redimension->Cible(entiere) : entiere;
    if (cible != entiere
        && !lecture.ReduitAuMoins(static_cast<JDIMENSION>(cible.cx), static_cast<JDIMENSION>(cible.cy)))
        return nullptr;
    // Colour spaces without an RGB rendering (CMYK) are read and left black,
    // as JpegFileToRGB leaves them.
    const bool visible = info.out_color_space == JCS_RGB || info.out_color_space == JCS_GRAYSCALE;
    if (visible)
        info.out_color_space = JCS_EXT_BGRX;
    if (!lecture.Demarre())
        return nullptr;
    const CSize decodee(static_cast<LONG>(info.output_width), static_cast<LONG>(info.output_height));
    // A visible picture wanted smaller is averaged down as its rows come,
    // through a few rows of the library's pool: no picture at the decoded
    // size is ever made.
    const bool moyenne = visible && decodee != cible;
    const CSize creee = moyenne ? cible : decodee;
    CBitmap image;
    // The decoder, or the reduction, writes every byte of a visible picture's rows.
    image.Attach(Bitmap::Create(static_cast<int>(creee.cx), static_cast<int>(creee.cy), 32,
                                visible ? Bitmap::Fill::Overwritten : Bitmap::Fill::Zero));
    if (!image) {
        lecture.SignaleMemoire();
        return nullptr;
    }
    Bitmap& bitmap = *image.GetSafeHandle();
    std::unique_ptr<ReductionMoyenne> reduction;
    try {
        if (moyenne)
            reduction = std::make_unique<ReductionMoyenne>(decodee, bitmap);
    } catch (const std::bad_alloc&) {
        lecture.SignaleMemoire();
        return nullptr;
    }
    JSAMPARRAY lot = nullptr;
    if ((!visible || moyenne)
        && !(lot = lecture.AlloueLignes(info.output_width * static_cast<JDIMENSION>(info.output_components), kLot)))
        return nullptr;
    while (info.output_scanline < info.output_height) {
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION count = std::min(kLot, info.output_height - first);
        JSAMPROW rows[kLot];
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = lot ? lot[i] : bitmap.row(static_cast<int>(first + i));
        JDIMENSION lues = 0;
        if (!lecture.LitLignes(rows, count, lues) || lues == 0)
            return nullptr;
        for (JDIMENSION i = 0; i < lues; ++i) {
            if (reduction)
                reduction->Ajoute(rows[i]);
            else if (visible)
                EffaceQuatriemeOctet(rows[i], bitmap.width());
        }
    }
    if (!lecture.Termine())
        return nullptr;
    return image.Detach();
}

// JpegFile's RGB buffer, reshaped into a 24-bit bottom-up DIB.
HBITMAP ChargeParDIB(const CString& path, Budget& budget, RapportCodec& rapport)
{
    UINT width = 0, height = 0;
    std::unique_ptr<BYTE[]> rgb(JpegFile::JpegFileToRGB(path, &width, &height, budget, rapport));
    if (!rgb)
        return nullptr;
    JpegFile::BGRFromRGB(rgb.get(), width, height);
    JpegFile::VertFlipBuf(rgb.get(), width * 3, height);
    UINT rowBytes = 0;
    std::unique_ptr<BYTE[]> padded(JpegFile::MakeDwordAlignedBuf(rgb.get(), width, height, &rowBytes));
    rgb.reset();
    if (!padded)
        return nullptr;
    BITMAPINFOHEADER header;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biBitCount = 24;
    DibSource dib;
    dib.header = &header;
    dib.bits = padded.get();
    dib.bitsLength = static_cast<std::size_t>(rowBytes) * height;
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateDIBitmap(screen, dib);
    ReleaseDC(nullptr, screen);
    return image;
}

int SauveEnBGRX(const CString& path, const Bitmap& image, int quality, const Metadonnees* ecrits,
                RapportCodec& rapport)
{
    if (quality < 0 || quality > 100 || path.empty())
        return 0;
    AtomicFile fichier(path);
    if (!fichier.open())
        return 0;
    const auto height = static_cast<JDIMENSION>(image.height());
    JpegEcriture ecriture("JPEG Error", rapport);
    if (!ecriture.Demarre(fichier.stream(), static_cast<JDIMENSION>(image.width()), height, 4, JCS_EXT_BGRX,
                          quality))
        return 0;
    if (ecrits && !ecriture.EcritMetadonnees(*ecrits))
        return 0;
    for (JDIMENSION first = 0; first < height; first += kLot) {
        const JDIMENSION count = std::min(kLot, height - first);
        JSAMPROW rows[kLot];
        // The library only reads the rows it is given.
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = const_cast<BYTE*>(image.row(static_cast<int>(first + i)));
        if (!ecriture.EcritLignes(rows, count))
            return 0;
    }
    return ecriture.Termine() && fichier.commit() ? 1 : 0;
}

// Reads count rows into image's rows from first on.
bool LitLignes(JpegLecture& lecture, Bitmap& image, int first, int count)
{
    for (int fait = 0; fait < count;) {
        const JDIMENSION n = std::min<JDIMENSION>(kLot, static_cast<JDIMENSION>(count - fait));
        JSAMPROW rows[kLot];
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = image.row(first + fait + static_cast<int>(i));
        JDIMENSION lues = 0;
        if (!lecture.LitLignes(rows, n, lues) || lues == 0)
            return false;
        fait += static_cast<int>(lues);
    }
    return true;
}

// The steps and their failures are ChargeEnBGRX's and SauveEnBGRX's,
// interleaved.
CGraphique::Flux RetoucheEnBGRX(const CString& source, const CString& sortie, int quality, Metadonnees& metadonnees,
                                PolitiqueMetadonnees politique, const CGraphique::Bandes& bands,
                                const CGraphique::Retouche& retouche, bool encoderThread, Budget& budget,
                                RapportCodec& rapport)
{
    using Flux = CGraphique::Flux;
    metadonnees.Efface();
    JpegLecture lecture(rapport, budget);
    lecture.GardeMetadonnees(&metadonnees);
    if (!lecture.Ouvre(source))
        return Flux::EchecLecture;
    jpeg_decompress_struct& info = lecture.Info();
    if (metadonnees.Orientation() != 1 || (info.out_color_space != JCS_RGB && info.out_color_space != JCS_GRAYSCALE))
        return Flux::Inapplicable;
    if (!lecture.TailleAcceptable(4)) {
        lecture.SignaleMemoire();
        return Flux::EchecLecture;
    }
    info.out_color_space = JCS_EXT_BGRX;
    if (!lecture.Demarre())
        return Flux::EchecLecture;
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    std::vector<std::pair<int, int>> zones;
    Metadonnees ecrits;
    try {
        zones = bands(CSize(width, height));
        ecrits = metadonnees.PourEcriture(politique, width, height);
    } catch (const std::bad_alloc&) {
        lecture.SignaleMemoire();
        return Flux::EchecLecture;
    }

    AtomicFile fichier(sortie);
    if (!fichier.open()) {
        EchecEcriture::Signale(&rapport, sortie, fichier);
        return Flux::EchecEcriture;
    }
    JpegEcriture ecriture("JPEG Error", rapport);
    if (!ecriture.Demarre(fichier.stream(), info.output_width, info.output_height, 4, JCS_EXT_BGRX, quality)
        || !ecriture.EcritMetadonnees(ecrits))
        return Flux::EchecEcriture;
    {
        // Rows are decoded and drawn here, while those before them may be
        // encoded on a second core. The encoder ignores the fourth byte.
        JpegEcritureEnLots encodeur(ecriture, width, encoderThread);
        // The encoder's report joins this one, after what was reported here.
        const auto echecEcriture = [&] {
            encodeur.Termine();
            return Flux::EchecEcriture;
        };
        int y = 0;
        // Rows up to end go straight through; the side that failed, if one did.
        const auto transmet = [&](int end) -> Flux {
            while (y < end) {
                const int n = std::min(JpegEcritureEnLots::kLignes, end - y);
                Bitmap* tampon = encodeur.Tampon();
                if (!tampon)
                    return echecEcriture();
                if (!LitLignes(lecture, *tampon, 0, n))
                    return Flux::EchecLecture;
                if (!encodeur.Donne(tampon, n))
                    return echecEcriture();
                y += n;
            }
            return Flux::Ecrit;
        };
        for (const auto& [first, end] : zones) {
            const int debut = std::clamp(first, y, height);
            const int fin = std::clamp(end, debut, height);
            if (debut == fin)
                continue;
            if (const Flux passage = transmet(debut); passage != Flux::Ecrit)
                return passage;
            std::unique_ptr<Bitmap> bande(Bitmap::Create(width, fin - debut, 32, Bitmap::Fill::Overwritten));
            if (!bande) {
                lecture.SignaleMemoire();
                return Flux::EchecLecture;
            }
            if (!LitLignes(lecture, *bande, 0, fin - debut))
                return Flux::EchecLecture;
            for (int r = 0; r < bande->height(); ++r)
                EffaceQuatriemeOctet(bande->row(r), width);
            retouche(bande.get(), debut);
            if (!encodeur.Donne(std::move(bande)))
                return echecEcriture();
            y = fin;
        }
        if (const Flux passage = transmet(height); passage != Flux::Ecrit)
            return passage;
        if (!lecture.Termine())
            return Flux::EchecLecture;
        if (!encodeur.Termine())
            return Flux::EchecEcriture;
    }
    return ecriture.Termine() && fichier.commit() ? Flux::Ecrit : Flux::EchecEcriture;
}

} // namespace

CGraphique::Flux CGraphique::RetoucheJPEGEnFlux(const CString& source, const CString& sortie, int quality,
                                                Metadonnees& metadonnees, PolitiqueMetadonnees politique,
                                                const Bandes& bands, const Retouche& retouche, bool encoderThread,
                                                Budget& budget, RapportCodec& rapport)
{
    return RetoucheEnBGRX(source, sortie, quality, metadonnees, politique, bands, retouche, encoderThread, budget,
                          rapport);
}

HBITMAP CGraphique::ChargeImageJPEG(CString path)
{
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) { return LitJPEG(path, nullptr, m_Budget, rapport); });
}

int CGraphique::SauveImageJPEG(CString path, HBITMAP image, int quality)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return EcritJPEG(path, image, quality, nullptr, rapport); });
}

HBITMAP CGraphique::LitJPEG(const CString& path, Metadonnees* metadonnees, Budget& budget, RapportCodec& rapport,
                            const RegleTaille* redimension)
{
    if (metadonnees)
        metadonnees->Efface();
    else if (Screen::depth() != 32 && !redimension)
        return ChargeParDIB(path, budget, rapport);
    CSize cible;
    HBITMAP image = ChargeEnBGRX(path, metadonnees, budget, rapport, redimension, cible);
    return image ? Reduit(image, cible) : nullptr;
}

int CGraphique::EcritJPEG(const CString& path, HBITMAP image, int quality, const Metadonnees* ecrits,
                          RapportCodec& rapport)
{
    if (image && image->bitsPerPixel() == 32)
        return SauveEnBGRX(path, *image, quality, ecrits, rapport);
    if (image && ecrits) {
        // Metadata go through the direct writer only.
        HBITMAP copie = Copie32Bits(*image);
        const int resultat = copie ? SauveEnBGRX(path, *copie, quality, ecrits, rapport) : 0;
        DeleteObject(copie);
        return resultat;
    }
    CBitmap source;
    source.Attach(image);
    HGLOBAL dib = LocalDDBToDIB(&source, BI_RGB, nullptr);
    // The image stays the caller's.
    source.Detach();
    CString message;
    const BOOL written = SauveDIBEnJPEG(dib, quality, path, &message, rapport);
    GlobalFree(dib);
    return written ? 1 : 0;
}

// The packed-DIB side of the JPEG writer.

#include "JpegFile.h"

#include "AtomicFile.h"
#include "JpegEcriture.h"
#include "RapportCodec.h"

namespace {

constexpr const char* kInvalide = "Invalid input data";

// The header of a DIB block, or null when the block cannot hold one.
const BITMAPINFOHEADER* Entete(HGLOBAL dib)
{
    if (GlobalSize(dib) < sizeof(BITMAPINFOHEADER))
        return nullptr;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(dib);
    return header->biSize >= sizeof(BITMAPINFOHEADER) && header->biWidth > 0 && header->biHeight > 0 ? header
                                                                                                     : nullptr;
}

} // namespace

BOOL SauveDIBEnJPEG(HGLOBAL dib, int quality, CString path, CString* message, RapportCodec& rapport)
{
    if (quality < 0 || quality > 100 || !dib) {
        if (message)
            *message = kInvalide;
        return FALSE;
    }
    if (!message)
        return FALSE;
    const BITMAPINFOHEADER* header = Entete(dib);
    if (path.empty() || !header) {
        *message = kInvalide;
        return FALSE;
    }
    message->clear();
    AtomicFile fichier(path);
    if (!fichier.open()) {
        *message = "Cannot open " + path;
        return FALSE;
    }
    const auto width = static_cast<JDIMENSION>(header->biWidth);
    const auto height = static_cast<JDIMENSION>(header->biHeight);
    JpegEcriture ecriture("JPEG Error", rapport);
    JSAMPARRAY lignes = nullptr;
    if (!ecriture.Demarre(fichier.stream(), width, height, 3, JCS_RGB, quality)
        || !(lignes = ecriture.AlloueLignes(width * 3, height))) {
        *message = ecriture.Message();
        return FALSE;
    }
    // Finishing an image whose rows were refused would only add the
    // library's complaint about missing rows to the refusal.
    if (DIBVersLignesRVB(dib, static_cast<int>(width * 3), ecriture.Info(), lignes, message)
        && !(ecriture.EcritLignes(lignes, height) && ecriture.Termine()))
        *message = ecriture.Message();
    if (message->empty() && !fichier.commit())
        *message = "Cannot write " + path;
    return message->empty();
}

BOOL SauveDIBEnJPEG(HGLOBAL dib, int quality, CString path, CString* message)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return SauveDIBEnJPEG(dib, quality, path, message, rapport); });
}

BOOL DIBVersLignesRVB(HGLOBAL dib, int samplesPerRow, jpeg_compress_struct* encoder, BYTE** rows, CString* message)
{
    if (!dib || samplesPerRow <= 0) {
        if (message)
            *message = kInvalide;
        return FALSE;
    }
    if (!message)
        return FALSE;
    message->clear();
    const BITMAPINFOHEADER* header = Entete(dib);
    if (header && header->biBitCount != 24) {
        *message = "Invalid bitmap bit count";
        return FALSE;
    }
    const std::size_t width = header ? static_cast<std::size_t>(header->biWidth) : 0;
    const std::size_t height = header ? static_cast<std::size_t>(header->biHeight) : 0;
    const std::size_t stride = (width * 3 + 3) & ~std::size_t(3);
    // The rows must fit the encoder's rows and the block.
    if (!header || !encoder || !rows || width * 3 > static_cast<std::size_t>(samplesPerRow)
        || height > encoder->image_height || header->biSize > GlobalSize(dib)
        || stride * height > GlobalSize(dib) - header->biSize) {
        *message = kInvalide;
        return FALSE;
    }
    const BYTE* pixels = static_cast<const BYTE*>(dib) + header->biSize;
    for (std::size_t r = 0; r < height; ++r) {
        const BYTE* in = pixels + (height - 1 - r) * stride;
        BYTE* out = rows[r];
        for (std::size_t x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return TRUE;
}

#include "CGraphique.h"

#include "CGif.h"

#include "CRoutine.h"
#include "Interaction.h"
#include "codecs/HeifFile.h"
#include "codecs/Metadonnees.h"
#include "codecs/PngFile.h"
#include "codecs/WebpFile.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace {

// The format is named by the last three characters of the file name, in any case.
std::string Ending(const CString& path)
{
    std::string ending = path.size() > 3 ? path.substr(path.size() - 3) : path;
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ending;
}

bool EstJPEG(const std::string& ending) { return ending == "JPG" || ending == "PEG"; }
bool EstHEIF(const std::string& ending) { return ending == "EIC" || ending == "EIF" || ending == "VIF"; }

// The formats that carry an alpha plane; null for the others.
HBITMAP ChargeAvecAlpha(const std::string& ending, const CString& path, std::vector<BYTE>* alpha)
{
    if (ending == "PNG")
        return PngFile::Charge(path, alpha);
    if (ending == "EBP")
        return WebpFile::Charge(path, alpha);
    if (EstHEIF(ending))
        return HeifFile::Charge(path, nullptr, alpha);
    return nullptr;
}

void SignaleEchecChargement()
{
    CString text;
    CString caption;
    MessageBox(nullptr, CRoutine::Message(text, 11), CRoutine::Message(caption, 4), MB_OK | MB_ICONERROR);
}

} // namespace

HBITMAP CGraphique::ChargeImage(CString path)
{
    const std::string ending = Ending(path);
    HBITMAP image = nullptr;
    if (ending == "BMP")
        image = ChargeImageBMP(path);
    else if (ending == "JPG" || ending == "PEG")
        image = ChargeImageJPEG(path);
    else if (ending == "GIF")
        image = ChargeImageGIF(path);
    else
        image = ChargeAvecAlpha(ending, path, nullptr);
    if (!image)
        SignaleEchecChargement();
    return image;
}

HBITMAP CGraphique::ChargeImageAlpha(CString path, std::vector<BYTE>& alpha)
{
    alpha.clear();
    const std::string ending = Ending(path);
    if (ending == "GIF") {
        CGif gif;
        HBITMAP image = gif.Load(path.c_str()) ? gif.FirstImage() : nullptr;
        if (image)
            alpha = gif.Alpha();
        else
            SignaleEchecChargement();
        return image;
    }
    if (ending != "PNG" && ending != "EBP" && !EstHEIF(ending))
        return ChargeImage(path);
    HBITMAP image = ChargeAvecAlpha(ending, path, &alpha);
    if (!image)
        SignaleEchecChargement();
    return image;
}

int CGraphique::SauveImage(CString path, HBITMAP image, int quality)
{
    const std::string ending = Ending(path);
    if (ending == "BMP")
        return SauveImageBMP(path, image);
    if (ending == "JPG" || ending == "PEG")
        return SauveImageJPEG(path, image, quality);
    if (ending == "GIF")
        return SauveImageGIF(path, image);
    if (ending == "PNG")
        return image ? PngFile::Sauve(path, *image) : 0;
    if (ending == "EBP")
        return image ? WebpFile::Sauve(path, *image, quality) : 0;
    return 0;
}

HBITMAP CGraphique::ChargePhoto(CString path, Metadonnees& metadonnees)
{
    metadonnees.Efface();
    const std::string ending = Ending(path);
    if (ending == "PNG" || EstHEIF(ending)) {
        // The container has turned a HEIF picture already; its Exif
        // Orientation is set to 1 when written.
        std::vector<std::uint8_t> icc;
        HBITMAP image = ending == "PNG" ? PngFile::Charge(path, nullptr, &icc)
                                        : HeifFile::Charge(path, &metadonnees, nullptr);
        if (!icc.empty())
            metadonnees.AjouteProfilICC(icc);
        if (!image)
            SignaleEchecChargement();
        return image;
    }
    if (!EstJPEG(ending))
        return ChargeImage(path);
    HBITMAP image = ChargeJPEGAvecMetadonnees(path, metadonnees);
    if (const int orientation = metadonnees.Orientation(); image && orientation != 1) {
        HBITMAP droite = RedresseImage(image, orientation);
        DeleteObject(image);
        image = droite;
    }
    if (!image)
        SignaleEchecChargement();
    return image;
}

CGraphique::Flux CGraphique::RetouchePhotoEnFlux(CString source, CString sortie, int quality,
                                                  Metadonnees& metadonnees, PolitiqueMetadonnees politique,
                                                  const Bandes& bands, const Retouche& retouche,
                                                  bool encoderThread)
{
    if (!EstJPEG(Ending(source)) || !EstJPEG(Ending(sortie)) || quality < 0 || quality > 100)
        return Flux::Inapplicable;
    const Flux flux = RetoucheJPEGEnFlux(source, sortie, quality, metadonnees, politique, bands, retouche, encoderThread);
    if (flux == Flux::EchecLecture)
        SignaleEchecChargement();
    return flux;
}

int CGraphique::SauvePhoto(CString path, HBITMAP image, int quality, const Metadonnees& metadonnees,
                           PolitiqueMetadonnees politique)
{
    const std::string ending = Ending(path);
    if (ending == "PNG" && image) {
        try {
            const std::vector<std::uint8_t> icc =
                politique == PolitiqueMetadonnees::Aucune ? std::vector<std::uint8_t>() : metadonnees.ProfilICC();
            return PngFile::Sauve(path, *image, nullptr, &icc);
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    if (!EstJPEG(ending) || !image)
        return SauveImage(path, image, quality);
    try {
        const Metadonnees ecrits = metadonnees.PourEcriture(politique, image->width(), image->height());
        if (image->bitsPerPixel() == 32)
            return SauveJPEGAvecMetadonnees(path, *image, quality, ecrits);
        HBITMAP copie = Copie32Bits(*image);
        const int resultat = copie ? SauveJPEGAvecMetadonnees(path, *copie, quality, ecrits) : 0;
        DeleteObject(copie);
        return resultat;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

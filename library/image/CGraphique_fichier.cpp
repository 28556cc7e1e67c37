#include "CGraphique.h"

#include "CRoutine.h"
#include "Interaction.h"
#include "codecs/Metadonnees.h"

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
    return 0;
}

HBITMAP CGraphique::ChargePhoto(CString path, Metadonnees& metadonnees)
{
    metadonnees.Efface();
    if (!EstJPEG(Ending(path)))
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

int CGraphique::SauvePhoto(CString path, HBITMAP image, int quality, const Metadonnees& metadonnees,
                           PolitiqueMetadonnees politique)
{
    if (!EstJPEG(Ending(path)) || !image)
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

#include "CGraphique.h"

#include "CRoutine.h"
#include "Interaction.h"

#include <algorithm>
#include <cctype>

namespace {

// The format is named by the last three characters of the file name, in any case.
std::string Ending(const CString& path)
{
    std::string ending = path.size() > 3 ? path.substr(path.size() - 3) : path;
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ending;
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
    if (!image) {
        CString text;
        CString caption;
        MessageBox(nullptr, CRoutine::Message(text, 11), CRoutine::Message(caption, 4), MB_OK | MB_ICONERROR);
    }
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

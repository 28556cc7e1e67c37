// Feeds arbitrary bytes as a file to both JPEG readers: the direct decoder
// behind ChargeImageJPEG and JpegFile's RGB-buffer decoder.

#include "CGraphique.h"
#include "JpegFile.h"
#include "SilentInteraction.h"
#include "EntreeFuzz.h"
#include "codecs/RapportCodec.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentInteraction silent;
    Interaction::install(&silent);
    static CGraphique graphique;
    graphique.BudgetLecture() = Budget(EntreeFuzz::kLimites);
    const std::string path = EntreeFuzz::Fichier("jpeg_fuzz", ".jpg", data, size);
    if (path.empty())
        return 0;
    UINT width = 0, height = 0;
    DeleteObject(graphique.ChargeImageJPEG(path));
    RapportCodec rapport;
    delete[] JpegFile::JpegFileToRGB(path, &width, &height, graphique.BudgetLecture(), rapport);
    return 0;
}

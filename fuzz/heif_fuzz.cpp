// Feeds arbitrary bytes to the HEIC/AVIF reader as a file, asking for
// everything it can give (alpha plane and what the file carries beside).

#include "codecs/HeifFile.h"
#include "EntreeFuzz.h"
#include "codecs/Metadonnees.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = EntreeFuzz::Fichier("heif_fuzz", ".heic", data, size);
    if (path.empty())
        return 0;
    std::vector<std::uint8_t> alpha;
    Metadonnees metadonnees;
    HBITMAP image = HeifFile::Charge(path, EntreeFuzz::BudgetReduit(), &metadonnees, &alpha);
    DeleteObject(image);
    return 0;
}

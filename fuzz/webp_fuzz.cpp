// Feeds arbitrary bytes to the WebP reader as a file, asking for
// everything it can give (alpha plane and what the file carries beside).

#include "codecs/Metadonnees.h"
#include "codecs/WebpFile.h"
#include "EntreeFuzz.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = EntreeFuzz::Fichier("webp_fuzz", ".webp", data, size);
    if (path.empty())
        return 0;
    std::vector<std::uint8_t> alpha;
    Metadonnees metadonnees;
    HBITMAP image = WebpFile::Charge(path, EntreeFuzz::BudgetReduit(), &alpha, &metadonnees);
    DeleteObject(image);
    return 0;
}

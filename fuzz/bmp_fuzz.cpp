// Feeds arbitrary bytes to the BMP reader as a file.

#include "CGraphique.h"
#include "EntreeFuzz.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CGraphique graphique;
    graphique.BudgetLecture() = Budget(EntreeFuzz::kLimites);
    const std::string path = EntreeFuzz::Fichier("bmp_fuzz", ".bmp", data, size);
    if (path.empty())
        return 0;
    DeleteObject(graphique.ChargeImageBMP(path));
    return 0;
}

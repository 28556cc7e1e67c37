// Feeds arbitrary bytes as a file to the block way of signing a JPEG: the
// scan read and copied without the library where it allows, through the
// library otherwise, with a box at each corner of the viewed picture.

#include "SilentInteraction.h"
#include "EntreeFuzz.h"
#include "codecs/JpegParBlocs.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"

#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentInteraction silent;
    Interaction::install(&silent);
    const std::string path = EntreeFuzz::Fichier("blocs_fuzz", ".jpg", data, size);
    if (path.empty())
        return 0;
    const std::string sortie = path + ".signe.jpg";
    const auto zones = [](CSize vue) {
        return std::vector<CRect>{{0, 0, 20, 12}, {vue.cx - 30, vue.cy - 17, vue.cx, vue.cy}};
    };
    const auto dessine = [](HBITMAP piece, const CRect&) {
        for (int y = 0; y < piece->height(); ++y)
            for (int x = 0; x < piece->width(); ++x)
                reinterpret_cast<std::uint32_t*>(piece->row(y))[x] = (x + y) % 3 ? 0xF0F0F0 : 0x101010;
    };
    for (const bool recopie : {true, false}) {
        Metadonnees metadonnees;
        RapportCodec rapport;
        JpegParBlocs::Signe(path, sortie, metadonnees, PolitiqueMetadonnees::SaufLieu, zones, dessine, false,
                            EntreeFuzz::BudgetReduit(), rapport, recopie);
    }
    std::remove(sortie.c_str());
    return 0;
}

// Feeds arbitrary bytes to the photograph metadata readers and editors: as
// the TIFF part of an Exif APP1 (orientation, tags by name, the in-place
// edits made before writing), as an XMP packet and as an ICC chunk.

#include "codecs/Metadonnees.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> Avec(const char* signature, std::size_t taille, const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> octets(signature, signature + taille);
    octets.insert(octets.end(), data, data + std::min(size, Metadonnees::kTailleMarqueur - taille));
    return octets;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr int kApp1 = 0xE1, kApp2 = 0xE2;
    Metadonnees m;
    m.Ajoute(kApp1, Avec("Exif\0\0", 6, data, size));
    m.Ajoute(kApp1, Avec("http://ns.adobe.com/xap/1.0/\0", 29, data, size));
    m.Ajoute(kApp2, Avec("ICC_PROFILE\0", 12, data, size));
    volatile int sink = m.Orientation();
    sink = sink + static_cast<int>(m.DateOriginale().size() + m.Etiquette("Model").size() + m.ProfilICC().size());
    for (auto politique : {PolitiqueMetadonnees::Toutes, PolitiqueMetadonnees::SaufLieu}) {
        const Metadonnees ecrits = m.PourEcriture(politique, 640, 320);
        sink = sink + ecrits.Orientation();
    }
    return 0;
}

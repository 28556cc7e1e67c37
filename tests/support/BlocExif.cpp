#include "BlocExif.h"

namespace TestImages {

std::vector<std::uint8_t> BlocExif(std::uint16_t orientation, const std::string& modele)
{
    std::vector<std::uint8_t> t = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    const auto mot = [&t](std::uint32_t v, int octets) {
        for (int i = 0; i < octets; ++i)
            t.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    mot(0x0110, 2), mot(2, 2), mot(std::uint32_t(modele.size() + 1), 4), mot(38, 4); // Model, ASCII
    mot(0x0112, 2), mot(3, 2), mot(1, 4), mot(orientation, 4);                      // Orientation, SHORT
    mot(0, 4);
    t.insert(t.end(), modele.begin(), modele.end());
    t.push_back(0);
    return t;
}

} // namespace TestImages

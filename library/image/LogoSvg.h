#pragma once
// A logo drawn in SVG: its text checked once against anything that would
// reach outside it or cost without bound, then rendered at whatever pixel
// size the picture needs, colours straight and alpha kept apart.
//
// Refused: a file over kOctetsMax, anything that is not well-formed XML
// with an <svg> root, a DOCTYPE (entities), processing instructions, a
// reference (href, url(), @import) to anything but "#..." or "data:",
// elements nested deeper than kProfondeurMax, and <use> chains that would
// draw more than kElementsMax elements.

#include "Bitmap.h"
#include "Types.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class Budget;
class RapportCodec;

class LogoSvg {
public:
    static constexpr std::size_t kOctetsMax = std::size_t(4) << 20;
    static constexpr int kProfondeurMax = 256;
    static constexpr std::uint64_t kElementsMax = 100000;

    // An invalid logo (Valide() false) with the reason in rapport when the
    // file cannot be read or is refused.
    static LogoSvg Ouvre(const CString& chemin, RapportCodec& rapport);
    static LogoSvg DeOctets(std::span<const std::uint8_t> octets, RapportCodec& rapport);

    bool Valide() const { return !m_octets.isEmpty(); }
    // The size the drawing gives itself (width and height, else its viewBox).
    CSize TailleIntrinseque() const { return m_taille; }
    // A new 32-bit image of taille, the drawing stretched over it, its alpha
    // plane into alpha (empty when opaque); null when invalid, for an empty
    // size, or one the budget refuses.
    HBITMAP Rend(CSize taille, Budget& budget, std::vector<std::uint8_t>* alpha) const;

    // The registry's read: the file rendered at its own size.
    static HBITMAP Charge(const CString& chemin, Budget& budget, std::vector<std::uint8_t>* alpha,
                          RapportCodec& rapport);

private:
    QByteArray m_octets;
    CSize m_taille;
};

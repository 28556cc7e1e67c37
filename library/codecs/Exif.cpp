#include "Exif.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kEnTete = 6; // "Exif\0\0": TIFF offsets count from after it
constexpr std::size_t kTailleEntree = 12;

constexpr std::uint16_t kOrientation = 0x0112;
constexpr std::uint16_t kPointeurExif = 0x8769;
constexpr std::uint16_t kPointeurGps = 0x8825;
constexpr std::uint16_t kLargeurPixels = 0xA002;
constexpr std::uint16_t kHauteurPixels = 0xA003;

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kAscii = 2;

// Bytes per value of each TIFF type; 0 for unknown types.
std::size_t TailleType(std::uint16_t type)
{
    static constexpr std::uint8_t kTailles[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < std::size(kTailles) ? kTailles[type] : 0;
}

struct Nomme {
    const char* nom;
    Exif::Repertoire ou;
    std::uint16_t tag;
};

constexpr Nomme kNoms[] = {
    {"ImageDescription", Exif::Repertoire::Principal, 0x010E},
    {"Make", Exif::Repertoire::Principal, 0x010F},
    {"Model", Exif::Repertoire::Principal, 0x0110},
    {"Software", Exif::Repertoire::Principal, 0x0131},
    {"DateTime", Exif::Repertoire::Principal, 0x0132},
    {"Artist", Exif::Repertoire::Principal, 0x013B},
    {"Copyright", Exif::Repertoire::Principal, 0x8298},
    {"DateTimeOriginal", Exif::Repertoire::Exif, 0x9003},
    {"DateTimeDigitized", Exif::Repertoire::Exif, 0x9004},
    {"LensModel", Exif::Repertoire::Exif, 0xA434},
};

void Ecrit(std::vector<std::uint8_t>& o, std::size_t at, std::uint32_t v, int octets, bool motorola)
{
    for (int i = 0; i < octets; ++i) {
        const int decalage = motorola ? 8 * (octets - 1 - i) : 8 * i;
        o[at + i] = static_cast<std::uint8_t>(v >> decalage);
    }
}

} // namespace

bool Exif::EstExif(std::span<const std::uint8_t> app1)
{
    return app1.size() >= kEnTete && std::memcmp(app1.data(), "Exif\0\0", kEnTete) == 0;
}

Exif::Exif(std::span<const std::uint8_t> app1) : m_octets(app1)
{
    if (!EstExif(app1) || app1.size() < kEnTete + 8)
        return;
    const std::uint8_t* t = app1.data() + kEnTete;
    if (t[0] == 'M' && t[1] == 'M')
        m_motorola = true;
    else if (!(t[0] == 'I' && t[1] == 'I'))
        return;
    if (Mot(kEnTete + 2) != 42)
        return;
    m_ifd0 = Directoire(Long(kEnTete + 4));
    if (!m_ifd0)
        return;
    m_exif = SousDirectoire(kPointeurExif);
    m_gps = SousDirectoire(kPointeurGps);
    // A directory met twice is a loop: keep the first meeting only.
    if (m_gps == m_exif)
        m_gps = 0;
}

std::uint16_t Exif::Mot(std::size_t at) const
{
    const std::uint8_t* p = m_octets.data() + at;
    return m_motorola ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t Exif::Long(std::size_t at) const
{
    const std::uint8_t* p = m_octets.data() + at;
    return m_motorola ? std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]
                      : std::uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
}

std::size_t Exif::Directoire(std::uint64_t offset) const
{
    // Offset 0 would be the TIFF header itself; an entry count needs 2 bytes.
    const std::uint64_t position = kEnTete + offset;
    if (offset < 8 || position + 2 > m_octets.size())
        return 0;
    const std::uint64_t fin = position + 2 + std::uint64_t(Mot(position)) * kTailleEntree;
    return fin <= m_octets.size() ? static_cast<std::size_t>(position) : 0;
}

std::size_t Exif::SousDirectoire(std::uint16_t pointeur) const
{
    const auto entree = Cherche(m_ifd0, pointeur);
    if (!entree || (entree->type != kLong && entree->type != 13) || entree->nombre != 1)
        return 0;
    const std::size_t position = Directoire(Long(entree->valeur));
    return position == m_ifd0 ? 0 : position;
}

std::size_t Exif::Position(Repertoire ou) const
{
    switch (ou) {
    case Repertoire::Principal:
        return m_ifd0;
    case Repertoire::Exif:
        return m_exif;
    case Repertoire::Gps:
        return m_gps;
    }
    return 0;
}

std::optional<Exif::Entree> Exif::Lit(std::size_t position) const
{
    Entree e{position, Mot(position + 2), Long(position + 4), position + 8, 0};
    const std::size_t unite = TailleType(e.type);
    if (!unite)
        return std::nullopt;
    // At most 2^32 values of at most 8 bytes: no overflow in 64 bits.
    const std::uint64_t taille = std::uint64_t(e.nombre) * unite;
    if (taille > 4) {
        const std::uint64_t valeur = kEnTete + std::uint64_t(Long(position + 8));
        if (valeur + taille > m_octets.size())
            return std::nullopt;
        e.valeur = static_cast<std::size_t>(valeur);
    }
    e.taille = static_cast<std::size_t>(taille);
    return e;
}

std::optional<Exif::Entree> Exif::Cherche(std::size_t directoire, std::uint16_t tag) const
{
    if (!directoire)
        return std::nullopt;
    // Counted again: an edit in place may have changed it.
    const std::size_t nombre = Mot(directoire);
    if (directoire + 2 + nombre * kTailleEntree > m_octets.size())
        return std::nullopt;
    for (std::size_t i = 0; i < nombre; ++i) {
        const std::size_t position = directoire + 2 + i * kTailleEntree;
        if (Mot(position) == tag)
            return Lit(position);
    }
    return std::nullopt;
}

int Exif::Orientation() const
{
    const auto e = Cherche(m_ifd0, kOrientation);
    if (!e || e->type != kShort || e->nombre < 1)
        return 1;
    const int valeur = Mot(e->valeur);
    return valeur >= 1 && valeur <= 8 ? valeur : 1;
}

std::string Exif::Texte(Repertoire ou, std::uint16_t tag) const
{
    const auto e = Cherche(Position(ou), tag);
    if (!e || e->type != kAscii)
        return {};
    const auto* debut = reinterpret_cast<const char*>(m_octets.data() + e->valeur);
    return std::string(debut, std::find(debut, debut + e->taille, '\0'));
}

std::string Exif::Etiquette(const std::string& nom) const
{
    for (const Nomme& n : kNoms)
        if (nom == n.nom)
            return Texte(n.ou, n.tag);
    return {};
}

void Exif::RetireLieu(std::vector<std::uint8_t>& app1)
{
    const Exif lu(app1);
    if (lu.Valide())
        EffaceLieu(lu, app1);
}

void Exif::EffaceLieu(const Exif& lu, std::vector<std::uint8_t>& app1)
{
    const bool mm = lu.m_motorola;
    // Counted again: the edits made before may have written over it.
    const std::size_t n = lu.m_gps ? lu.Mot(lu.m_gps) : 0;
    if (n && lu.m_gps + 2 + n * kTailleEntree <= app1.size()) {
        for (std::size_t i = 0; i < n; ++i)
            if (const auto e = lu.Lit(lu.m_gps + 2 + i * kTailleEntree); e && e->taille > 4)
                std::fill_n(app1.begin() + static_cast<std::ptrdiff_t>(e->valeur), e->taille, 0);
        const std::size_t fin = std::min(app1.size(), lu.m_gps + 2 + n * kTailleEntree + 4);
        std::fill(app1.begin() + static_cast<std::ptrdiff_t>(lu.m_gps),
                  app1.begin() + static_cast<std::ptrdiff_t>(fin), 0);
    }
    // Out of IFD0 goes the pointer entry itself: the entries after it
    // and the next-directory word move up one place.
    if (const auto e = lu.Cherche(lu.m_ifd0, kPointeurGps)) {
        const std::size_t nombre = lu.Mot(lu.m_ifd0);
        const std::size_t fin = std::min(app1.size(), lu.m_ifd0 + 2 + nombre * kTailleEntree + 4);
        const std::size_t apres = e->position + kTailleEntree;
        std::copy(app1.begin() + static_cast<std::ptrdiff_t>(apres),
                  app1.begin() + static_cast<std::ptrdiff_t>(fin),
                  app1.begin() + static_cast<std::ptrdiff_t>(e->position));
        std::fill(app1.begin() + static_cast<std::ptrdiff_t>(fin - kTailleEntree),
                  app1.begin() + static_cast<std::ptrdiff_t>(fin), 0);
        Ecrit(app1, lu.m_ifd0, static_cast<std::uint32_t>(nombre - 1), 2, mm);
    }
}

void Exif::PrepareEcriture(std::vector<std::uint8_t>& app1, int largeur, int hauteur, bool sansLieu)
{
    const Exif lu(app1);
    if (!lu.Valide())
        return;
    const bool mm = lu.m_motorola;
    if (const auto e = lu.Cherche(lu.m_ifd0, kOrientation); e && e->type == kShort && e->nombre >= 1)
        Ecrit(app1, e->valeur, 1, 2, mm);
    for (const auto& [tag, valeur] : {std::pair{kLargeurPixels, largeur}, std::pair{kHauteurPixels, hauteur}}) {
        const auto e = lu.Cherche(lu.m_exif, tag);
        if (!e || e->nombre != 1 || valeur < 0)
            continue;
        if (e->type == kShort && valeur <= 0xFFFF)
            Ecrit(app1, e->valeur, static_cast<std::uint32_t>(valeur), 2, mm);
        else if (e->type == kLong)
            Ecrit(app1, e->valeur, static_cast<std::uint32_t>(valeur), 4, mm);
    }

    if (sansLieu)
        EffaceLieu(lu, app1);
    // The thumbnail shows the picture as stored, sideways: unlink it.
    const std::size_t nombre = lu.Mot(lu.m_ifd0);
    const std::size_t suivant = lu.m_ifd0 + 2 + nombre * kTailleEntree;
    if (suivant + 4 <= app1.size())
        Ecrit(app1, suivant, 0, 4, mm);
}

#include "Metadonnees.h"

#include "Exif.h"
#include "Xmp.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kApp0 = 0xE0;
constexpr int kApp1 = kApp0 + 1;
constexpr int kApp2 = kApp0 + 2;
constexpr int kApp14 = kApp0 + 14;
constexpr int kCom = 0xFE;

constexpr char kIcc[] = "ICC_PROFILE"; // with its NUL: 12 bytes
constexpr std::size_t kEnTeteIcc = sizeof kIcc + 2;
constexpr char kExif[] = "Exif\0"; // with its NUL: 6 bytes, then the TIFF block

bool Commence(std::span<const std::uint8_t> octets, const char* signature, std::size_t taille)
{
    return octets.size() >= taille && std::memcmp(octets.data(), signature, taille) == 0;
}

} // namespace

bool Metadonnees::Ajoute(int code, std::span<const std::uint8_t> octets)
{
    const bool app = code > kApp0 && code <= kApp0 + 15 && code != kApp14;
    if ((!app && code != kCom) || octets.size() > kTailleMarqueur || m_total + octets.size() > kTailleTotale)
        return false;
    if (code == kApp2 && Commence(octets, "MPF\0", 4))
        return false;
    m_marqueurs.push_back({code, {octets.begin(), octets.end()}});
    m_total += octets.size();
    return true;
}

bool Metadonnees::AjouteExif(std::span<const std::uint8_t> tiff)
{
    if (Commence(tiff, kExif, sizeof kExif))
        tiff = tiff.subspan(sizeof kExif);
    if (!Commence(tiff, "II*\0", 4) && !Commence(tiff, "MM\0*", 4))
        return false;
    std::vector<std::uint8_t> octets(kExif, kExif + sizeof kExif);
    octets.insert(octets.end(), tiff.begin(), tiff.end());
    return Ajoute(kApp1, octets);
}

bool Metadonnees::AjouteXmp(std::span<const std::uint8_t> paquet)
{
    std::vector<std::uint8_t> octets(Xmp::kEnTete.begin(), Xmp::kEnTete.end());
    octets.insert(octets.end(), paquet.begin(), paquet.end());
    return Ajoute(kApp1, octets);
}

std::span<const std::uint8_t> Metadonnees::BlocExif() const
{
    const Marqueur* m = MarqueurExif();
    return m ? std::span<const std::uint8_t>(m->octets).subspan(sizeof kExif) : std::span<const std::uint8_t>();
}

std::span<const std::uint8_t> Metadonnees::PaquetXmp() const
{
    const Marqueur* m = MarqueurXmp();
    return m ? std::span<const std::uint8_t>(m->octets).subspan(Xmp::kEnTete.size()) : std::span<const std::uint8_t>();
}

bool Metadonnees::AjouteProfilICC(std::span<const std::uint8_t> profil)
{
    constexpr std::size_t kParMorceau = kTailleMarqueur - kEnTeteIcc;
    const std::size_t nombre = (profil.size() + kParMorceau - 1) / kParMorceau;
    if (nombre == 0 || nombre > 255 || m_total + profil.size() + nombre * kEnTeteIcc > kTailleTotale)
        return false;
    for (std::size_t i = 0; i < nombre; ++i) {
        std::vector<std::uint8_t> octets(kIcc, kIcc + sizeof kIcc);
        octets.push_back(static_cast<std::uint8_t>(i + 1));
        octets.push_back(static_cast<std::uint8_t>(nombre));
        const auto morceau = profil.subspan(i * kParMorceau, std::min(kParMorceau, profil.size() - i * kParMorceau));
        octets.insert(octets.end(), morceau.begin(), morceau.end());
        Ajoute(kApp2, octets);
    }
    return true;
}

void Metadonnees::Efface()
{
    m_marqueurs.clear();
    m_total = 0;
}

bool Metadonnees::EstMorceauICC(const Marqueur& m)
{
    return m.code == kApp2 && Commence(m.octets, kIcc, sizeof kIcc) && m.octets.size() >= kEnTeteIcc;
}

std::vector<std::uint8_t> Metadonnees::ProfilICC() const
{
    // Chunks carry their number (from 1) and how many there are; each must
    // come exactly once, in any order.
    std::array<const Marqueur*, 256> morceaux{};
    int total = 0;
    std::size_t taille = 0;
    for (const Marqueur& m : m_marqueurs) {
        if (!EstMorceauICC(m))
            continue;
        const int numero = m.octets[sizeof kIcc], nombre = m.octets[sizeof kIcc + 1];
        if (nombre == 0 || (total && nombre != total) || numero == 0 || numero > nombre || morceaux[numero])
            return {};
        total = nombre;
        morceaux[numero] = &m;
        taille += m.octets.size() - kEnTeteIcc;
    }
    std::vector<std::uint8_t> profil;
    profil.reserve(taille);
    for (int i = 1; i <= total; ++i) {
        if (!morceaux[i])
            return {};
        profil.insert(profil.end(), morceaux[i]->octets.begin() + kEnTeteIcc, morceaux[i]->octets.end());
    }
    return profil;
}

const Metadonnees::Marqueur* Metadonnees::MarqueurExif() const
{
    for (const Marqueur& m : m_marqueurs)
        if (m.code == kApp1 && Exif::EstExif(m.octets))
            return &m;
    return nullptr;
}

const Metadonnees::Marqueur* Metadonnees::MarqueurXmp() const
{
    for (const Marqueur& m : m_marqueurs)
        if (m.code == kApp1 && Commence(m.octets, Xmp::kEnTete.data(), Xmp::kEnTete.size()))
            return &m;
    return nullptr;
}

int Metadonnees::Orientation() const
{
    const Marqueur* m = MarqueurExif();
    return m ? Exif(m->octets).Orientation() : 1;
}

std::string Metadonnees::Etiquette(const std::string& nom) const
{
    const Marqueur* m = MarqueurExif();
    return m ? Exif(m->octets).Etiquette(nom) : std::string();
}

Metadonnees Metadonnees::PourEcriture(PolitiqueMetadonnees politique, int largeur, int hauteur) const
{
    Metadonnees sortie;
    if (politique == PolitiqueMetadonnees::Aucune)
        return sortie;
    const bool sansLieu = politique == PolitiqueMetadonnees::SaufLieu;
    sortie.m_marqueurs = m_marqueurs;
    sortie.m_total = m_total;
    for (Marqueur& m : sortie.m_marqueurs) {
        if (m.code != kApp1)
            continue;
        if (Exif::EstExif(m.octets)) {
            Exif::PrepareEcriture(m.octets, largeur, hauteur, sansLieu);
        } else if (Xmp::Debut(m.octets)) {
            Xmp::Redresse(m.octets);
            if (sansLieu)
                Xmp::RetireLieu(m.octets);
        }
    }
    return sortie;
}

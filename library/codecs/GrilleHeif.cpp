#include "GrilleHeif.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// ISO base media file format: boxes are a 32-bit size (1: a 64-bit size
// follows the type, 0: to the end of the file) and a four-letter type. The
// 'meta' box holds pitm/iinf/iloc/idat; an item's data is found through its
// 'iloc' extents, in the file (construction method 0) or in 'idat' (1). A
// 'grid' or 'iovl' item's data ends in its canvas width and height, 16 bits
// each, or 32 when bit 0 of its flags is set.

namespace {

// Far beyond any real item table; a larger 'meta' box is refused unread.
constexpr std::uint64_t kMetaMax = std::uint64_t(16) << 20;

struct FermeFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr std::uint32_t Code(const char (&t)[5])
{
    return (std::uint32_t(std::uint8_t(t[0])) << 24) | (std::uint32_t(std::uint8_t(t[1])) << 16)
           | (std::uint32_t(std::uint8_t(t[2])) << 8) | std::uint8_t(t[3]);
}

// Big-endian reads that fail, rather than run past the end, on a short span.
class Lecteur {
public:
    Lecteur(const std::uint8_t* debut, std::size_t taille) : m_p(debut), m_reste(taille) {}
    bool Lit(unsigned octets, std::uint64_t& valeur)
    {
        if (octets > m_reste)
            return false;
        valeur = 0;
        for (unsigned i = 0; i < octets; ++i)
            valeur = (valeur << 8) | m_p[i];
        m_p += octets;
        m_reste -= octets;
        return true;
    }
    bool Saute(std::uint64_t octets)
    {
        if (octets > m_reste)
            return false;
        m_p += octets;
        m_reste -= static_cast<std::size_t>(octets);
        return true;
    }
    // The next box: its type and a reader over its content.
    bool Boite(std::uint32_t& type, Lecteur& contenu)
    {
        std::uint64_t taille = 0;
        std::uint64_t t = 0;
        if (!Lit(4, taille) || !Lit(4, t))
            return false;
        std::uint64_t entete = 8;
        if (taille == 1) {
            if (!Lit(8, taille))
                return false;
            entete = 16;
        } else if (taille == 0) {
            taille = m_reste + entete;
        }
        if (taille < entete || taille - entete > m_reste)
            return false;
        type = static_cast<std::uint32_t>(t);
        contenu = Lecteur(m_p, static_cast<std::size_t>(taille - entete));
        return Saute(taille - entete);
    }
    const std::uint8_t* Position() const { return m_p; }
    std::size_t Reste() const { return m_reste; }

private:
    const std::uint8_t* m_p;
    std::size_t m_reste;
};

// Far beyond any real file's grids and overlays; more are refused unread.
constexpr std::size_t kDerivesMax = 1024;

// Derived item id -> whether it is an overlay ('iovl': four fill values
// come before its canvas).
using Derives = std::map<std::uint64_t, bool>;

struct Etendue {
    std::uint64_t decalage;
    std::uint64_t longueur;
};
struct Emplacement {
    unsigned methode;
    std::vector<Etendue> etendues;
};

// Where the derived items' data lie.
bool LitIloc(Lecteur l, const Derives& derives, std::map<std::uint64_t, Emplacement>& emplacements)
{
    std::uint64_t version = 0, tailles = 0, tailles2 = 0, nombre = 0;
    if (!l.Lit(1, version) || !l.Saute(3) || version > 2 || !l.Lit(1, tailles) || !l.Lit(1, tailles2)
        || !l.Lit(version < 2 ? 2 : 4, nombre))
        return false;
    const unsigned decalage = unsigned(tailles >> 4), longueur = unsigned(tailles & 15),
                   base = unsigned(tailles2 >> 4), index = version > 0 ? unsigned(tailles2 & 15) : 0;
    for (std::uint64_t i = 0; i < nombre; ++i) {
        Emplacement e{};
        std::uint64_t id = 0, methode = 0, origine = 0, etendues = 0;
        if (!l.Lit(version < 2 ? 2 : 4, id) || (version > 0 && !l.Lit(2, methode)) || !l.Saute(2)
            || !l.Lit(base, origine) || !l.Lit(2, etendues))
            return false;
        e.methode = unsigned(methode & 15);
        // Extents of no bytes at all: only the first few count, read none.
        if (index + decalage + longueur == 0)
            etendues = std::min<std::uint64_t>(etendues, 4);
        for (std::uint64_t j = 0; j < etendues; ++j) {
            Etendue x{};
            if (!l.Saute(index) || !l.Lit(decalage, x.decalage) || !l.Lit(longueur, x.longueur))
                return false;
            x.decalage += origine;
            if (e.etendues.size() < 4) // the canvas lies in the first bytes
                e.etendues.push_back(x);
        }
        if (derives.count(id))
            emplacements[id] = std::move(e);
    }
    return true;
}

// The derived items listed in 'iinf', and every item's type.
bool LitIinf(Lecteur l, Derives& derives, std::map<std::uint64_t, std::uint64_t>& genres)
{
    std::uint64_t version = 0, nombre = 0;
    if (!l.Lit(1, version) || !l.Saute(3) || !l.Lit(version == 0 ? 2 : 4, nombre))
        return false;
    std::uint32_t type = 0;
    Lecteur infe(nullptr, 0);
    while (l.Reste() > 0 && l.Boite(type, infe)) {
        std::uint64_t v = 0, id = 0, genre = 0;
        if (type != Code("infe") || !infe.Lit(1, v) || !infe.Saute(3) || v < 2)
            continue;
        if (!infe.Lit(v == 2 ? 2 : 4, id) || !infe.Saute(2) || !infe.Lit(4, genre))
            return false;
        if (genres.size() <= kDerivesMax * 4)
            genres[id] = genre;
        if (genre == Code("grid") || genre == Code("iovl"))
            derives[id] = genre == Code("iovl");
        if (derives.size() > kDerivesMax)
            return false;
    }
    return true;
}

// Every picture a derived one is made of ('dimg' in 'iref') is a picture
// item of 'iinf': libheif 1.15 stops the process on an assertion when one
// is missing.
bool ReferencesValides(Lecteur l, const std::map<std::uint64_t, std::uint64_t>& genres)
{
    std::uint64_t version = 0;
    if (!l.Lit(1, version) || !l.Saute(3))
        return false;
    const unsigned champ = version == 0 ? 2 : 4;
    std::uint32_t type = 0;
    Lecteur ref(nullptr, 0);
    while (l.Reste() > 0 && l.Boite(type, ref)) {
        if (type != Code("dimg"))
            continue;
        std::uint64_t de = 0, nombre = 0;
        if (!ref.Lit(champ, de) || !ref.Lit(2, nombre))
            return false;
        for (std::uint64_t i = 0; i < nombre; ++i) {
            std::uint64_t vers = 0;
            if (!ref.Lit(champ, vers))
                return false;
            const auto g = genres.find(vers);
            if (g == genres.end())
                return false;
            const std::uint64_t genre = g->second;
            if (genre != Code("hvc1") && genre != Code("av01") && genre != Code("grid") && genre != Code("iovl")
                && genre != Code("iden") && genre != Code("jpeg"))
                return false;
        }
    }
    return true;
}

// Up to `voulus` bytes of the item's data.
std::vector<std::uint8_t> Donnees(std::FILE* f, const Emplacement& e, Lecteur idat, std::size_t voulus)
{
    std::vector<std::uint8_t> sortie;
    for (const Etendue& x : e.etendues) {
        if (sortie.size() >= voulus)
            break;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(x.longueur ? x.longueur : voulus,
                                                                                 voulus - sortie.size()));
        const std::size_t debut = sortie.size();
        sortie.resize(debut + n);
        if (e.methode == 1) {
            Lecteur l = idat;
            if (!l.Saute(x.decalage) || l.Reste() < n)
                return {};
            std::copy(l.Position(), l.Position() + n, sortie.begin() + debut);
        } else if (e.methode == 0) {
            if (x.decalage > std::uint64_t(INT64_MAX) || ::fseeko(f, off_t(x.decalage), SEEK_SET) != 0)
                return {};
            sortie.resize(debut + std::fread(sortie.data() + debut, 1, n, f));
        } else {
            return {};
        }
    }
    return sortie;
}

std::optional<std::uint64_t> Canevas(const std::vector<std::uint8_t>& d, bool recouvrement)
{
    Lecteur l(d.data(), d.size());
    std::uint64_t version = 0, drapeaux = 0, largeur = 0, hauteur = 0;
    if (!l.Lit(1, version) || version != 0 || !l.Lit(1, drapeaux) || !l.Saute(recouvrement ? 8 : 2))
        return std::nullopt;
    const unsigned champ = (drapeaux & 1) ? 4 : 2;
    if (!l.Lit(champ, largeur) || !l.Lit(champ, hauteur))
        return std::nullopt;
    return largeur * hauteur;
}

// The 'meta' box's content, read whole.
std::vector<std::uint8_t> LitMeta(std::FILE* f)
{
    for (;;) {
        std::uint8_t entete[16];
        if (std::fread(entete, 1, 8, f) != 8)
            return {};
        Lecteur l(entete, 8);
        std::uint64_t taille = 0, type = 0, lu = 8;
        l.Lit(4, taille);
        l.Lit(4, type);
        if (taille == 1) {
            if (std::fread(entete + 8, 1, 8, f) != 8)
                return {};
            Lecteur grand(entete + 8, 8);
            grand.Lit(8, taille);
            lu = 16;
        }
        if (type == Code("meta")) {
            if (taille == 0)
                taille = kMetaMax + lu;
            if (taille < lu || taille - lu > kMetaMax)
                return {};
            std::vector<std::uint8_t> meta(static_cast<std::size_t>(taille - lu));
            meta.resize(std::fread(meta.data(), 1, meta.size(), f));
            return meta;
        }
        if (taille < lu || taille - lu > std::uint64_t(INT64_MAX) || ::fseeko(f, off_t(taille - lu), SEEK_CUR) != 0)
            return {};
    }
}

} // namespace

GrilleHeif::Resultat GrilleHeif::PlusGrandCanevas(const CString& path, std::uint64_t& pixels)
{
    pixels = 0;
    std::unique_ptr<std::FILE, FermeFichier> fichier(std::fopen(path.c_str(), "rb"));
    if (!fichier)
        return Resultat::Illisible;
    const std::vector<std::uint8_t> meta = LitMeta(fichier.get());
    Lecteur debut(meta.data(), meta.size());
    if (!debut.Saute(4))
        return Resultat::Illisible;
    // 'iloc' may come before 'iinf': the derived items are known first.
    Derives derives;
    std::map<std::uint64_t, std::uint64_t> genres;
    std::map<std::uint64_t, Emplacement> emplacements;
    Lecteur idat(nullptr, 0);
    for (int passe = 0; passe < 2; ++passe) {
        Lecteur l = debut;
        std::uint32_t type = 0;
        Lecteur contenu(nullptr, 0);
        while (l.Reste() > 0 && l.Boite(type, contenu)) {
            if (passe == 0 && type == Code("iinf") && !LitIinf(contenu, derives, genres))
                return Resultat::Illisible;
            if (passe == 1 && type == Code("iref") && !ReferencesValides(contenu, genres))
                return Resultat::Illisible;
            if (passe == 1 && type == Code("iloc") && !LitIloc(contenu, derives, emplacements))
                return Resultat::Illisible;
            if (type == Code("idat"))
                idat = contenu;
        }
        if (passe == 1 && derives.empty())
            return Resultat::Aucune;
    }
    // A derived item without a readable canvas would be decoded at a size
    // nobody checked: the file is refused instead.
    for (const auto& [id, recouvrement] : derives) {
        const auto e = emplacements.find(id);
        if (e == emplacements.end())
            return Resultat::Illisible;
        const auto canevas = Canevas(Donnees(fichier.get(), e->second, idat, 20), recouvrement);
        if (!canevas)
            return Resultat::Illisible;
        pixels = std::max(pixels, *canevas);
    }
    return Resultat::Lue;
}

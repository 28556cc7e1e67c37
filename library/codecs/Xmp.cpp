#include "Xmp.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

constexpr std::string_view kEtendu("http://ns.adobe.com/xmp/extension/\0", 35);
// After the extended signature: a 32-character GUID, the full length and
// this chunk's offset.
constexpr std::size_t kEnTeteEtendu = 35 + 32 + 4 + 4;

bool Blanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool Nom(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; }

std::string_view Vue(std::vector<std::uint8_t>& app1, std::size_t debut)
{
    return {reinterpret_cast<const char*>(app1.data()) + debut, app1.size() - debut};
}

// One property occurrence: the bytes it covers, and for an attribute the
// position of its value's opening quote.
struct Propriete {
    std::size_t debut;
    std::size_t fin; // one past
    bool attribut;
    std::size_t guillemet;
};

// The next property whose qualified name is qname, or starts with it when
// prefixOnly; nothing past the end of xml is looked at.
bool Suivante(std::string_view xml, std::string_view qname, bool prefixOnly, std::size_t& from, Propriete& p)
{
    for (std::size_t at = xml.find(qname, from); at != std::string_view::npos; at = xml.find(qname, at + 1)) {
        std::size_t finNom = at + qname.size();
        if (prefixOnly)
            while (finNom < xml.size() && Nom(xml[finNom]))
                ++finNom;
        if (at == 0 || finNom >= xml.size() || Nom(xml[finNom]) || xml[finNom] == ':')
            continue;
        const char avant = xml[at - 1];
        if (Blanc(avant)) {
            std::size_t i = finNom;
            while (i < xml.size() && Blanc(xml[i]))
                ++i;
            if (i >= xml.size() || xml[i] != '=')
                continue;
            ++i;
            while (i < xml.size() && Blanc(xml[i]))
                ++i;
            if (i >= xml.size() || (xml[i] != '"' && xml[i] != '\''))
                continue;
            const std::size_t ferme = xml.find(xml[i], i + 1);
            if (ferme == std::string_view::npos)
                return false;
            p = {at, ferme + 1, true, i};
        } else if (avant == '<') {
            const std::size_t chevron = xml.find('>', finNom);
            if (chevron == std::string_view::npos)
                return false;
            std::size_t fin = chevron + 1;
            if (xml[chevron - 1] != '/') {
                const std::string fermeture = "</" + std::string(xml.substr(at, finNom - at));
                const std::size_t f = xml.find(fermeture, chevron);
                const std::size_t c = f == std::string_view::npos ? f : xml.find('>', f);
                if (c == std::string_view::npos)
                    return false;
                fin = c + 1;
            }
            p = {at - 1, fin, false, 0};
        } else {
            continue;
        }
        from = p.fin;
        return true;
    }
    return false;
}

void Blanchit(std::vector<std::uint8_t>& app1, std::size_t debut, std::size_t fin)
{
    std::fill(app1.begin() + static_cast<std::ptrdiff_t>(debut), app1.begin() + static_cast<std::ptrdiff_t>(fin), ' ');
}

} // namespace

std::size_t Xmp::Debut(std::span<const std::uint8_t> app1)
{
    const std::string_view v(reinterpret_cast<const char*>(app1.data()), app1.size());
    if (v.starts_with(kEnTete))
        return kEnTete.size();
    if (v.starts_with(kEtendu) && v.size() >= kEnTeteEtendu)
        return kEnTeteEtendu;
    return 0;
}

std::string_view Xmp::Prefixe(std::string_view xml, std::string_view uri, std::string_view usuel)
{
    for (std::size_t at = xml.find(uri); at != std::string_view::npos; at = xml.find(uri, at + 1)) {
        // xmlns:P="uri"
        if (at < 2 || (xml[at - 1] != '"' && xml[at - 1] != '\'') || xml[at - 2] != '=')
            continue;
        std::size_t debut = at - 2;
        while (debut > 0 && Nom(xml[debut - 1]))
            --debut;
        if (debut >= 6 && xml.substr(debut - 6, 6) == "xmlns:" && debut < at - 2)
            return xml.substr(debut, at - 2 - debut);
    }
    return usuel;
}

void Xmp::Redresse(std::vector<std::uint8_t>& app1)
{
    const std::size_t debut = Debut(app1);
    if (!debut)
        return;
    const std::string_view xml = Vue(app1, debut);
    const std::string qname = std::string(Prefixe(xml, "http://ns.adobe.com/tiff/1.0/", "tiff")) + ":Orientation";
    std::size_t from = 0;
    Propriete p{};
    while (Suivante(xml, qname, false, from, p)) {
        std::string nouveau;
        if (p.attribut) {
            const char q = xml[p.guillemet];
            nouveau = std::string(xml.substr(p.debut, p.guillemet - p.debut)) + q + '1' + q;
        } else {
            nouveau = "<" + qname + ">1</" + qname + ">";
        }
        if (nouveau.size() > p.fin - p.debut)
            continue;
        Blanchit(app1, debut + p.debut, debut + p.fin);
        std::memcpy(app1.data() + debut + p.debut, nouveau.data(), nouveau.size());
    }
}

void Xmp::RetireLieu(std::vector<std::uint8_t>& app1)
{
    const std::size_t debut = Debut(app1);
    if (!debut)
        return;
    const std::string_view xml = Vue(app1, debut);
    const std::string qname = std::string(Prefixe(xml, "http://ns.adobe.com/exif/1.0/", "exif")) + ":GPS";
    std::size_t from = 0;
    Propriete p{};
    while (Suivante(xml, qname, true, from, p))
        Blanchit(app1, debut + p.debut, debut + p.fin);
}

#include "Manifeste.h"

#include <cerrno>
#include <cstring>

namespace {

// Length of the UTF-8 sequence starting at p (at most n bytes there), or 0
// when it is not one: overlong forms, surrogates and values past U+10FFFF
// are refused as JSON readers refuse them.
std::size_t SequenceUtf8(const unsigned char* p, std::size_t n)
{
    const unsigned char c = p[0];
    std::size_t longueur = 0;
    unsigned minimum = 0;
    unsigned valeur = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        longueur = 2;
        valeur = c & 0x1F;
        minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        longueur = 3;
        valeur = c & 0x0F;
        minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        longueur = 4;
        valeur = c & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (longueur > n)
        return 0;
    for (std::size_t i = 1; i < longueur; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        valeur = valeur << 6 | (p[i] & 0x3F);
    }
    if (valeur < minimum || valeur > 0x10FFFF || (valeur >= 0xD800 && valeur <= 0xDFFF))
        return 0;
    return longueur;
}

const char* Statut(CompteRendu::Statut etat)
{
    switch (etat) {
    case CompteRendu::Statut::Signe:
        return "ok";
    case CompteRendu::Statut::Passe:
        return "skipped";
    case CompteRendu::Statut::Echec:
        break;
    }
    return "failed";
}

} // namespace

bool Manifeste::Ouvre(const std::string& chemin)
{
    m_Fichier.reset(std::fopen(chemin.c_str(), "w"));
    if (!m_Fichier)
        Erreur = std::strerror(errno);
    return m_Fichier != nullptr;
}

std::string Manifeste::Echappe(const std::string& texte)
{
    std::string sortie = "\"";
    const auto* octets = reinterpret_cast<const unsigned char*>(texte.data());
    for (std::size_t i = 0; i < texte.size();) {
        const unsigned char c = octets[i];
        if (c >= 0x80) {
            const std::size_t n = SequenceUtf8(octets + i, texte.size() - i);
            if (n == 0) {
                sortie += "\\ufffd";
                ++i;
            } else {
                sortie.append(texte, i, n);
                i += n;
            }
            continue;
        }
        ++i;
        switch (c) {
        case '"':
            sortie += "\\\"";
            break;
        case '\\':
            sortie += "\\\\";
            break;
        case '\n':
            sortie += "\\n";
            break;
        case '\r':
            sortie += "\\r";
            break;
        case '\t':
            sortie += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", c);
                sortie += code;
            } else {
                sortie += static_cast<char>(c);
            }
        }
    }
    return sortie + "\"";
}

std::string Manifeste::Ligne(const CompteRendu& compte)
{
    return "{\"source\":" + Echappe(compte.Objet->Source) + ",\"destination\":" +
           Echappe(compte.Objet->Destination) + ",\"status\":\"" + Statut(compte.Etat) +
           "\",\"error\":" + Echappe(compte.Erreur) + ",\"ms\":" + std::to_string(compte.Millisecondes) + "}\n";
}

void Manifeste::Ecrit(const CompteRendu& compte)
{
    if (!m_Fichier)
        return;
    const std::string ligne = Ligne(compte);
    std::fwrite(ligne.data(), 1, ligne.size(), m_Fichier.get());
    std::fflush(m_Fichier.get());
}

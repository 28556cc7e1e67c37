#include "Bilan.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

namespace {

// strchr would find the terminating zero too.
bool Parmi(const char* ensemble, char c) { return c != 0 && std::strchr(ensemble, c) != nullptr; }

void AjouteUtf8(std::string& sortie, unsigned point)
{
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | point >> 6);
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        sortie += static_cast<char>(0xE0 | point >> 12);
        sortie += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xF0 | point >> 18);
        sortie += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        sortie += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// Reads the flat JSON objects of a manifest: string keys, string or plain
// values. Every access is checked against the end of the line.
class Lecteur {
public:
    explicit Lecteur(std::string_view texte) : m_Texte(texte) {}

    void Blancs()
    {
        while (m_Position < m_Texte.size() && Parmi(" \t\r\n", m_Texte[m_Position]))
            ++m_Position;
    }
    bool Prend(char c)
    {
        Blancs();
        if (m_Position < m_Texte.size() && m_Texte[m_Position] == c) {
            ++m_Position;
            return true;
        }
        return false;
    }
    bool Fini()
    {
        Blancs();
        return m_Position == m_Texte.size();
    }

    std::optional<std::string> Chaine()
    {
        if (!Prend('"'))
            return std::nullopt;
        std::string sortie;
        while (m_Position < m_Texte.size()) {
            const char c = m_Texte[m_Position++];
            if (c == '"')
                return sortie;
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c != '\\') {
                sortie += c;
                continue;
            }
            if (m_Position >= m_Texte.size())
                return std::nullopt;
            const char e = m_Texte[m_Position++];
            switch (e) {
            case '"': case '\\': case '/': sortie += e; break;
            case 'b': sortie += '\b'; break;
            case 'f': sortie += '\f'; break;
            case 'n': sortie += '\n'; break;
            case 'r': sortie += '\r'; break;
            case 't': sortie += '\t'; break;
            case 'u': {
                const std::optional<unsigned> point = Point();
                if (!point)
                    return std::nullopt;
                AjouteUtf8(sortie, *point);
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // A number, true, false or null: kept as its text.
    std::optional<std::string> Simple()
    {
        Blancs();
        const std::size_t debut = m_Position;
        while (m_Position < m_Texte.size() && Parmi("+-.0123456789eEtruefalsn", m_Texte[m_Position]))
            ++m_Position;
        if (m_Position == debut)
            return std::nullopt;
        return std::string(m_Texte.substr(debut, m_Position - debut));
    }

private:
    std::optional<unsigned> Hex4()
    {
        if (m_Texte.size() - m_Position < 4)
            return std::nullopt;
        unsigned valeur = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_Texte[m_Position++];
            const int chiffre = c >= '0' && c <= '9' ? c - '0' :
                                c >= 'a' && c <= 'f' ? c - 'a' + 10 :
                                c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (chiffre < 0)
                return std::nullopt;
            valeur = valeur << 4 | static_cast<unsigned>(chiffre);
        }
        return valeur;
    }

    // After "\u": one code point, a surrogate pair joined; a lone
    // surrogate is no character and becomes U+FFFD.
    std::optional<unsigned> Point()
    {
        const std::optional<unsigned> haut = Hex4();
        if (!haut)
            return std::nullopt;
        if (*haut < 0xD800 || *haut > 0xDFFF)
            return haut;
        if (*haut <= 0xDBFF && m_Texte.substr(m_Position, 2) == "\\u") {
            const std::size_t avant = m_Position;
            m_Position += 2;
            const std::optional<unsigned> bas = Hex4();
            if (!bas)
                return std::nullopt;
            if (*bas >= 0xDC00 && *bas <= 0xDFFF)
                return 0x10000 + ((*haut - 0xD800) << 10) + (*bas - 0xDC00);
            m_Position = avant;
        }
        return 0xFFFD;
    }

    std::string_view m_Texte;
    std::size_t m_Position = 0;
};

} // namespace

bool Bilan::LitLigne(std::string_view ligne, Enregistrement& enregistrement)
{
    Lecteur lecteur(ligne);
    std::map<std::string, std::string> champs;
    if (!lecteur.Prend('{'))
        return false;
    if (!lecteur.Prend('}')) {
        do {
            const std::optional<std::string> cle = lecteur.Chaine();
            if (!cle || !lecteur.Prend(':'))
                return false;
            lecteur.Blancs();
            std::optional<std::string> valeur = lecteur.Chaine();
            if (!valeur)
                valeur = lecteur.Simple();
            if (!valeur)
                return false;
            champs[*cle] = std::move(*valeur);
        } while (lecteur.Prend(','));
        if (!lecteur.Prend('}'))
            return false;
    }
    if (!lecteur.Fini())
        return false;
    const auto source = champs.find("source");
    const auto statut = champs.find("status");
    if (source == champs.end() || source->second.empty() || statut == champs.end() ||
        (statut->second != "ok" && statut->second != "skipped" && statut->second != "failed"))
        return false;
    enregistrement.Source = source->second;
    enregistrement.Statut = statut->second;
    const auto erreur = champs.find("error");
    enregistrement.Erreur = erreur == champs.end() ? std::string() : erreur->second;
    return true;
}

bool Bilan::Ajoute(const std::string& chemin)
{
    std::ifstream fichier(chemin, std::ios::binary);
    if (!fichier) {
        Erreur = "cannot read the manifest " + chemin + ": " + std::strerror(errno);
        return false;
    }
    std::size_t numero = 0;
    for (std::string ligne; std::getline(fichier, ligne);) {
        ++numero;
        if (ligne.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        Enregistrement e;
        if (!LitLigne(ligne, e)) {
            m_Illisibles.push_back(chemin + ":" + std::to_string(numero));
            continue;
        }
        ++m_Enregistrements;
        const int rang = e.Statut == "ok" ? kSigne : e.Statut == "skipped" ? kPasse : kEchec;
        const auto [place, nouvelle] = m_Images.try_emplace(e.Source, Issue{rang, e.Erreur});
        if (!nouvelle && rang > place->second.Rang)
            place->second = Issue{rang, e.Erreur};
    }
    if (fichier.bad()) {
        Erreur = "cannot read the manifest " + chemin;
        return false;
    }
    ++m_Manifestes;
    return true;
}

std::size_t Bilan::Compte(int rang) const
{
    std::size_t n = 0;
    for (const auto& [source, issue] : m_Images)
        n += issue.Rang == rang;
    return n;
}

std::string Bilan::Texte() const
{
    std::string texte = std::to_string(m_Manifestes) + (m_Manifestes == 1 ? " manifest, " : " manifests, ") +
                        std::to_string(m_Enregistrements) + " records, " + std::to_string(m_Images.size()) +
                        " pictures: " + std::to_string(Signes()) + " ok, " + std::to_string(Passes()) +
                        " skipped, " + std::to_string(Echecs()) + " failed\n";
    for (const auto& [source, issue] : m_Images)
        if (issue.Rang == kEchec)
            texte += "failed: " + source + (issue.Erreur.empty() ? "" : ": " + issue.Erreur) + "\n";
    return texte;
}

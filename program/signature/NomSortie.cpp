#include "NomSortie.h"

#include "codecs/RegistreFormats.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace {

using Genre = RegistreFormats::Genre;

CString PremiereTerminaison(Genre id) { return RegistreFormats::De(id).Terminaisons.front(); }

// What a copy of source, whose name ends in extension (".heic", ".JPG",
// ...), is written as.
CString ExtensionEcrite(const CString& source, const CString& extension, FormatSortie format)
{
    switch (format) {
    case FormatSortie::JPEG:
        return PremiereTerminaison(Genre::Jpeg);
    case FormatSortie::PNG:
        return PremiereTerminaison(Genre::Png);
    case FormatSortie::WebP:
        return PremiereTerminaison(Genre::Webp);
    case FormatSortie::HEIC:
        return PremiereTerminaison(Genre::Heif);
    case FormatSortie::AVIF:
        return PremiereTerminaison(Genre::Avif);
    case FormatSortie::Source:
        break;
    }
    // The copy keeps the picture's real format when its name lies about it.
    const RegistreFormats::Format* parNom = RegistreFormats::ParNom("x" + extension);
    const RegistreFormats::Format* reel = RegistreFormats::ParContenu(source);
    if (reel && RegistreFormats::CopieDansSonFormat(*reel) && reel != parNom)
        return reel->Terminaisons.front();
    return parNom && !RegistreFormats::CopieDansSonFormat(*parNom) ? PremiereTerminaison(Genre::Jpeg) : extension;
}

namespace fs = std::filesystem;

// Links and ".." resolved, without the trailing "/" that would make two
// spellings of one folder differ.
std::optional<fs::path> Resolu(const fs::path& chemin)
{
    std::error_code erreur;
    fs::path resolu = fs::weakly_canonical(chemin, erreur);
    if (erreur)
        return std::nullopt;
    if (!resolu.has_filename() && resolu.has_relative_path())
        resolu = resolu.parent_path();
    return resolu;
}

} // namespace

std::string NomSortie::Refus(const ModeleSignature& reglages)
{
    if (reglages.NomFichierAucun || (!reglages.NomFichierPrefixe && !reglages.NomFichierSuffixe))
        return {};
    const CString& texte = reglages.NomFichier;
    const std::string quoi =
        std::string("the output name's ") + (reglages.NomFichierPrefixe ? "prefix" : "suffix") + " \"";
    if (texte.find('\0') != CString::npos)
        return quoi + texte.c_str() + "...\" holds a NUL character: it must be a name, not a path";
    if (texte.find('/') != CString::npos)
        return quoi + texte + "\" holds a \"/\": it must be a name, not a path";
    if (texte == "..")
        return quoi + texte + "\" names the parent folder: it must be a name, not a path";
    return {};
}

bool NomSortie::Dedans(const CString& sortie) const
{
    const fs::path chemin(sortie);
    const fs::path nom = chemin.filename();
    if (sortie.find('\0') != CString::npos || m_Dossier.find('\0') != CString::npos || nom.empty() || nom == "." ||
        nom == "..")
        return false;
    const std::optional<fs::path> parent = Resolu(chemin.parent_path());
    const std::optional<fs::path> dossier = Resolu(m_Dossier.empty() ? fs::path("/") : fs::path(m_Dossier));
    return parent && dossier && *parent == *dossier;
}

NomSortie::NomSortie(const ModeleSignature& reglages)
    : m_NomFichier(reglages.NomFichier),
      m_NomFichierAucun(reglages.NomFichierAucun),
      m_NomFichierPrefixe(reglages.NomFichierPrefixe),
      m_NomFichierSuffixe(reglages.NomFichierSuffixe),
      m_NomRepertoire(reglages.NomRepertoire),
      m_NomRepertoireAucun(reglages.NomRepertoireAucun),
      m_NomRepertoireSpecifique(reglages.NomRepertoireSpecifique),
      m_Format(reglages.FormatEnregistrement)
{
}

CString NomSortie::Chemin(const CString& source)
{
    // Real paths split at "/" only: a backslash is an ordinary character of
    // a name, and a dot in a folder's name is no extension.
    const std::size_t barre = source.rfind('/');
    const std::size_t debutNom = barre == CString::npos ? 0 : barre + 1;
    std::size_t finNom = source.size();
    const std::size_t point = source.rfind('.');
    if (point != CString::npos && point >= debutNom) {
        m_Extension = source.substr(point);
        finNom = point;
    }
    if (barre != CString::npos) {
        m_Repertoire = source.substr(0, barre);
        m_Nom = source.substr(debutNom, finNom - debutNom);
    }
    // "Keep original" wins when a template checks more than one radio of a
    // group, and is the fallback when it checks none: the copy then lands
    // where the user would look for the source.
    CString nom = m_Nom;
    if (!m_NomFichierAucun && m_NomFichierPrefixe)
        nom = m_NomFichier + m_Nom;
    else if (!m_NomFichierAucun && m_NomFichierSuffixe)
        nom = m_Nom + m_NomFichier;
    m_Dossier = !m_NomRepertoireAucun && m_NomRepertoireSpecifique ? m_NomRepertoire : m_Repertoire;
    // "/" even for an empty folder: that folder is the file-system root.
    return m_Dossier + "/" + nom + ExtensionEcrite(source, m_Extension, m_Format);
}

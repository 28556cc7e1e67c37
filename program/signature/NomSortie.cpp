#include "NomSortie.h"

#include "codecs/RegistreFormats.h"

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
    case FormatSortie::Source:
        break;
    }
    // The copy keeps the picture's real format when its name lies about it.
    const RegistreFormats::Format* parNom = RegistreFormats::ParNom("x" + extension);
    const RegistreFormats::Format* reel = RegistreFormats::ParContenu(source);
    if (reel && reel->Ecrit && reel != parNom)
        return reel->Terminaisons.front();
    return parNom && !parNom->Ecrit ? PremiereTerminaison(Genre::Jpeg) : extension;
}

} // namespace

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
    const CString& repertoire =
        !m_NomRepertoireAucun && m_NomRepertoireSpecifique ? m_NomRepertoire : m_Repertoire;
    // "/" even for an empty folder: that folder is the file-system root.
    return repertoire + "/" + nom + ExtensionEcrite(source, m_Extension, m_Format);
}

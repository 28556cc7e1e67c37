#include "ModeleSignature.h"

#include "AtomicFile.h"
#include "Interaction.h"
#include "TexteImporte.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

void EcritDrapeau(CArchive& archive, int flag) { archive << std::int32_t(flag ? 1 : 0); }

void EcritFonte(CArchive& archive, const LOGFONT& f)
{
    archive << f.lfHeight << f.lfWidth << f.lfEscapement << f.lfOrientation << f.lfWeight << f.lfItalic
            << f.lfUnderline << f.lfStrikeOut << f.lfCharSet << f.lfOutPrecision << f.lfClipPrecision
            << f.lfQuality << f.lfPitchAndFamily;
    archive.Write(f.lfFaceName, sizeof f.lfFaceName);
}

// "Absolute" goes twice: readers of the format expect both copies.
void EcritEmplacement(CArchive& archive, const Emplacement& e)
{
    EcritDrapeau(archive, e.PositionAbsolue);
    EcritDrapeau(archive, e.PositionAbsolue);
    archive << std::uint32_t(e.PositionAbsolueX) << std::uint32_t(e.PositionAbsolueY);
    EcritDrapeau(archive, e.PositionAutomatique);
    EcritDrapeau(archive, e.PositionAutomatiqueHaut);
    EcritDrapeau(archive, e.PositionAutomatiqueBas);
    EcritDrapeau(archive, e.PositionAutomatiqueDroite);
    EcritDrapeau(archive, e.PositionAutomatiqueGauche);
    EcritDrapeau(archive, e.PositionAutomatiqueContinue);
    archive << std::uint32_t(e.PositionAutomatiqueDeltaX) << std::uint32_t(e.PositionAutomatiqueDeltaY);
}

// Each reader changes its target only when the whole field was there.
bool LitDrapeau(CArchive& archive, int& flag)
{
    std::int32_t value = 0;
    archive >> value;
    if (archive.Failed())
        return false;
    flag = value != 0;
    return true;
}

template <typename T> bool LitValeur(CArchive& archive, T& target)
{
    archive >> target;
    return !archive.Failed();
}

// Templates of the single-byte program hold Windows-1252 strings, and a text
// of megabytes would freeze the window that shows it: both are made fit here.
bool LitTexte(CArchive& archive, CString& target)
{
    CString octets;
    if (!LitValeur(archive, octets))
        return false;
    target = TexteImporte::DepuisModele(octets);
    return true;
}

bool LitFonte(CArchive& archive, LOGFONT& target)
{
    LOGFONT f{};
    archive >> f.lfHeight >> f.lfWidth >> f.lfEscapement >> f.lfOrientation >> f.lfWeight >> f.lfItalic >>
        f.lfUnderline >> f.lfStrikeOut >> f.lfCharSet >> f.lfOutPrecision >> f.lfClipPrecision >> f.lfQuality >>
        f.lfPitchAndFamily;
    archive.Read(f.lfFaceName, sizeof f.lfFaceName);
    if (archive.Failed())
        return false;
    // The face name is used as a C string: a file may leave out the terminator.
    f.lfFaceName[LF_FACESIZE - 1] = '\0';
    target = f;
    return true;
}

bool LitEmplacement(CArchive& archive, Emplacement& e)
{
    return LitDrapeau(archive, e.PositionAbsolue) && LitDrapeau(archive, e.PositionAbsolue) &&
           LitValeur(archive, e.PositionAbsolueX) && LitValeur(archive, e.PositionAbsolueY) &&
           LitDrapeau(archive, e.PositionAutomatique) && LitDrapeau(archive, e.PositionAutomatiqueHaut) &&
           LitDrapeau(archive, e.PositionAutomatiqueBas) && LitDrapeau(archive, e.PositionAutomatiqueDroite) &&
           LitDrapeau(archive, e.PositionAutomatiqueGauche) &&
           LitDrapeau(archive, e.PositionAutomatiqueContinue) &&
           LitValeur(archive, e.PositionAutomatiqueDeltaX) && LitValeur(archive, e.PositionAutomatiqueDeltaY);
}

void EcritEnregistrement(CArchive& archive, ModeleSignature::Extension tag, const CArchive& valeur)
{
    const auto t = static_cast<std::uint16_t>(tag);
    const BYTE octets[2] = {static_cast<BYTE>(t), static_cast<BYTE>(t >> 8)};
    archive.Write(octets, sizeof octets);
    archive << static_cast<std::uint32_t>(valeur.Bytes().size());
    archive.Write(valeur.Bytes().data(), valeur.Bytes().size());
}

// One line per option, in tag order; an option at its default writes nothing.
void EcritExtensions(CArchive& archive, const ModeleSignature& m)
{
    using Tag = ModeleSignature::Extension;
    CArchive enregistrements;
    if (m.MetadonneesSortie != PolitiqueMetadonnees::Toutes) {
        CArchive valeur;
        valeur << static_cast<std::uint32_t>(m.MetadonneesSortie);
        EcritEnregistrement(enregistrements, Tag::MetadonneesSortie, valeur);
    }
    for (const auto& [tag, style] : {std::pair{Tag::StyleTexte, &m.StyleTexte}, std::pair{Tag::StyleLogo, &m.StyleLogo}})
        if (!style->ParDefaut()) {
            CArchive valeur;
            style->Ecrit(valeur);
            EcritEnregistrement(enregistrements, tag, valeur);
        }
    if (m.FormatEnregistrement != FormatSortie::Source) {
        CArchive valeur;
        valeur << static_cast<std::uint32_t>(m.FormatEnregistrement);
        EcritEnregistrement(enregistrements, Tag::FormatSortie, valeur);
    }
    if (m.QualiteOrigine) {
        CArchive valeur;
        valeur << std::uint32_t(1);
        EcritEnregistrement(enregistrements, Tag::QualiteOrigine, valeur);
    }
    if (m.RedimensionSortie.Active()) {
        CArchive valeur;
        valeur << static_cast<std::uint32_t>(m.RedimensionSortie.Genre) << m.RedimensionSortie.Valeur;
        EcritEnregistrement(enregistrements, Tag::RedimensionSortie, valeur);
    }
    if (enregistrements.Bytes().empty())
        return;
    archive.Write(ModeleSignature::kSignatureExtension, sizeof ModeleSignature::kSignatureExtension);
    archive.Write(enregistrements.Bytes().data(), enregistrements.Bytes().size());
}

// A record's value is taken only when it reads whole and makes sense.
void LitEnregistrement(ModeleSignature::Extension tag, CArchive& valeur, ModeleSignature& m)
{
    switch (tag) {
    case ModeleSignature::Extension::MetadonneesSortie: {
        std::uint32_t v = 0;
        if (LitValeur(valeur, v) && v <= static_cast<std::uint32_t>(PolitiqueMetadonnees::Aucune))
            m.MetadonneesSortie = static_cast<PolitiqueMetadonnees>(v);
        break;
    }
    case ModeleSignature::Extension::StyleTexte:
        m.StyleTexte.Lit(valeur);
        break;
    case ModeleSignature::Extension::StyleLogo:
        m.StyleLogo.Lit(valeur);
        break;
    case ModeleSignature::Extension::FormatSortie: {
        std::uint32_t v = 0;
        if (LitValeur(valeur, v) && v <= static_cast<std::uint32_t>(FormatSortie::AVIF))
            m.FormatEnregistrement = static_cast<FormatSortie>(v);
        break;
    }
    case ModeleSignature::Extension::QualiteOrigine: {
        std::uint32_t v = 0;
        if (LitValeur(valeur, v) && v <= 1)
            m.QualiteOrigine = v != 0;
        break;
    }
    case ModeleSignature::Extension::RedimensionSortie: {
        std::uint32_t genre = 0;
        RegleTaille r;
        if (LitValeur(valeur, genre) && LitValeur(valeur, r.Valeur)
            && genre <= static_cast<std::uint32_t>(RegleTaille::Mode::Pourcentage)) {
            r.Genre = static_cast<RegleTaille::Mode>(genre);
            if (r.Valide())
                m.RedimensionSortie = r;
        }
        break;
    }
    }
}

void LitExtensions(CArchive& archive, ModeleSignature& m)
{
    const std::size_t reste = archive.Remaining();
    char signature[sizeof ModeleSignature::kSignatureExtension];
    if (reste < sizeof signature || reste - sizeof signature > ModeleSignature::kExtensionMaximale ||
        !archive.Read(signature, sizeof signature) ||
        std::memcmp(signature, ModeleSignature::kSignatureExtension, sizeof signature) != 0)
        return;
    std::vector<BYTE> octets;
    while (archive.Remaining() >= 6) {
        BYTE tag[2];
        std::uint32_t longueur = 0;
        if (!archive.Read(tag, sizeof tag) || !LitValeur(archive, longueur) || longueur > archive.Remaining())
            return;
        octets.resize(longueur);
        if (longueur && !archive.Read(octets.data(), longueur))
            return;
        CArchive valeur(octets);
        LitEnregistrement(static_cast<ModeleSignature::Extension>(tag[0] | tag[1] << 8), valeur, m);
    }
}

struct FermeFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

void ModeleSignature::Ecrit(CArchive& archive) const
{
    archive << kVersion << Texte;
    EcritFonte(archive, Fonte);
    EcritEmplacement(archive, EmplacementTexte);
    archive << std::uint32_t(CouleurEncre);
    EcritDrapeau(archive, EncreHexa);
    EcritDrapeau(archive, EncreDecimal);
    archive << std::uint32_t(CouleurFond);
    EcritDrapeau(archive, FondHexa);
    EcritDrapeau(archive, FondDecimal);
    EcritDrapeau(archive, FondTransparent);
    archive << Logo;
    EcritEmplacement(archive, EmplacementLogo);
    archive << NomFichier;
    EcritDrapeau(archive, NomFichierAucun);
    EcritDrapeau(archive, NomFichierPrefixe);
    EcritDrapeau(archive, NomFichierSuffixe);
    archive << std::int32_t(QualiteJPEG) << NomRepertoire;
    EcritDrapeau(archive, NomRepertoireAucun);
    EcritDrapeau(archive, NomRepertoireSpecifique);
    EcritExtensions(archive, *this);
}

ModeleSignature::Lecture ModeleSignature::Lit(CArchive& archive, HWND owner)
{
    std::int32_t version = 0;
    if (!LitValeur(archive, version))
        return Lecture::Incomplete;
    if (version != kVersion) {
        MessageBox(owner, "This file isn't correct.", "Error", MB_OK | MB_ICONERROR);
        return Lecture::Refusee;
    }
    const bool complete =
        LitTexte(archive, Texte) && LitFonte(archive, Fonte) && LitEmplacement(archive, EmplacementTexte) &&
        LitValeur(archive, CouleurEncre) && LitDrapeau(archive, EncreHexa) && LitDrapeau(archive, EncreDecimal) &&
        LitValeur(archive, CouleurFond) && LitDrapeau(archive, FondHexa) && LitDrapeau(archive, FondDecimal) &&
        LitDrapeau(archive, FondTransparent) && LitTexte(archive, Logo) &&
        LitEmplacement(archive, EmplacementLogo) && LitTexte(archive, NomFichier) &&
        LitDrapeau(archive, NomFichierAucun) && LitDrapeau(archive, NomFichierPrefixe) &&
        LitDrapeau(archive, NomFichierSuffixe) && LitValeur(archive, QualiteJPEG) &&
        LitTexte(archive, NomRepertoire) && LitDrapeau(archive, NomRepertoireAucun) &&
        LitDrapeau(archive, NomRepertoireSpecifique);
    if (!complete)
        return Lecture::Incomplete;
    // A template is written without the styles and the quality choice it
    // leaves at their defaults.
    StyleTexte = Style();
    StyleLogo = Style();
    QualiteOrigine = false;
    RedimensionSortie = RegleTaille();
    LitExtensions(archive, *this);
    return Lecture::Complete;
}

ModeleSignature::Lecture ModeleSignature::ChargeFichier(const std::string& path, HWND owner)
{
    std::unique_ptr<std::FILE, FermeFichier> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return Lecture::Incomplete;
    // Grown as bytes arrive, never from a size the file claims.
    std::vector<BYTE> bytes;
    BYTE block[16384];
    while (bytes.size() < kTailleMaximale) {
        const std::size_t wanted = std::min(sizeof block, kTailleMaximale - bytes.size());
        const std::size_t got = std::fread(block, 1, wanted, file.get());
        bytes.insert(bytes.end(), block, block + got);
        if (got < wanted)
            break;
    }
    CArchive archive(bytes);
    return Lit(archive, owner);
}

bool ModeleSignature::SauveFichier(const std::string& path) const
{
    CArchive archive;
    Ecrit(archive);
    if (archive.Failed())
        return false;
    AtomicFile file(path);
    return file.open() && file.write(archive.Bytes().data(), archive.Bytes().size()) && file.commit();
}

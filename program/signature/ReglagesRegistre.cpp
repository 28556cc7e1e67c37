#include "ReglagesRegistre.h"

#include "CBaseRegistre.h"

#include <vector>

namespace {

// The one list of the forty values: reading and writing walk the same
// names in the same order. Check states are stored as 1 or 0, numbers as
// decimal text, the font as its 60 raw bytes.
template <class Acces, class Reglages>
void Parcours(Acces& a, Reglages& r)
{
    const auto emplacement = [&a](const char* prefixe, auto& e) {
        const CString p(prefixe);
        a.Coche(p + "PositionAbsolue", e.PositionAbsolue);
        a.NonSigne(p + "PositionAbsolueX", e.PositionAbsolueX);
        a.NonSigne(p + "PositionAbsolueY", e.PositionAbsolueY);
        a.Coche(p + "PositionAutomatique", e.PositionAutomatique);
        a.Coche(p + "PositionAutomatiqueHaut", e.PositionAutomatiqueHaut);
        a.Coche(p + "PositionAutomatiqueBas", e.PositionAutomatiqueBas);
        a.Coche(p + "PositionAutomatiqueDroite", e.PositionAutomatiqueDroite);
        a.Coche(p + "PositionAutomatiqueGauche", e.PositionAutomatiqueGauche);
        a.Coche(p + "PositionAutomatiqueContinue", e.PositionAutomatiqueContinue);
        a.NonSigne(p + "PositionAutomatiqueDeltaX", e.PositionAutomatiqueDeltaX);
        a.NonSigne(p + "PositionAutomatiqueDeltaY", e.PositionAutomatiqueDeltaY);
    };
    a.Texte("ST:Texte", r.Texte);
    a.Fonte("ST:Fonte", r.Fonte);
    emplacement("ST:", r.EmplacementTexte);
    a.Couleur("ST:CouleurEncre", r.CouleurEncre);
    a.Coche("ST:CouleurEncreHex", r.EncreHexa);
    a.Coche("ST:CouleurEncreDec", r.EncreDecimal);
    a.Couleur("ST:CouleurFond", r.CouleurFond);
    a.Coche("ST:CouleurFondHex", r.FondHexa);
    a.Coche("ST:CouleurFondDec", r.FondDecimal);
    a.Coche("ST:CouleurFondTransparent", r.FondTransparent);
    a.Texte("SL:Logo", r.Logo);
    emplacement("SL:", r.EmplacementLogo);
    a.Texte("NomFichier", r.NomFichier);
    a.Coche("NomFichierAucun", r.NomFichierAucun);
    a.Coche("NomFichierPrefixe", r.NomFichierPrefixe);
    a.Coche("NomFichierSuffixe", r.NomFichierSuffixe);
    a.Entier("Qualite JPEG", r.QualiteJPEG);
    a.Texte("NomRepertoire", r.NomRepertoire);
    a.Coche("NomRepertoireAucun", r.NomRepertoireAucun);
    a.Coche("NomRepertoireSpecifique", r.NomRepertoireSpecifique);
    // Options added since, the template's extension block.
    a.Politique("MetadonneesSortie", r.MetadonneesSortie);
    a.Apparence("ST:Style", r.StyleTexte);
    a.Apparence("SL:Style", r.StyleLogo);
    a.Format("FormatSortie", r.FormatEnregistrement);
    a.Booleen("QualiteOrigine", r.QualiteOrigine);
    a.Reduction("RedimensionSortie", r.RedimensionSortie);
}

struct Lecteur {
    CBaseRegistre& base;

    void Texte(const CString& nom, CString& v) { base.Lecture(nom, v); }
    void NonSigne(const CString& nom, UINT& v) { base.Lecture(nom, v); }
    void Entier(const CString& nom, int& v) { base.Lecture(nom, v); }
    void Coche(const CString& nom, int& v)
    {
        int lu = 0;
        if (base.Lecture(nom, lu))
            v = lu != 0;
    }
    void Couleur(const CString& nom, COLORREF& v)
    {
        long lu = 0;
        if (base.Lecture(nom, lu))
            v = static_cast<COLORREF>(lu);
    }
    void Fonte(const CString& nom, LOGFONT& v)
    {
        // A shorter record leaves the rest as it was; the face name is
        // used as a C string whatever the store held.
        LOGFONT lu = v;
        if (!base.Lecture(nom, &lu, sizeof lu))
            return;
        lu.lfFaceName[LF_FACESIZE - 1] = '\0';
        v = lu;
    }
    void Politique(const CString& nom, PolitiqueMetadonnees& v)
    {
        int lu = 0;
        if (base.Lecture(nom, lu) && lu >= 0 && lu <= static_cast<int>(PolitiqueMetadonnees::Aucune))
            v = static_cast<PolitiqueMetadonnees>(lu);
    }
    void Booleen(const CString& nom, bool& v)
    {
        int coche = v;
        Coche(nom, coche);
        v = coche != 0;
    }
    void Format(const CString& nom, FormatSortie& v)
    {
        int lu = 0;
        if (base.Lecture(nom, lu) && lu >= 0 && lu <= static_cast<int>(FormatSortie::AVIF))
            v = static_cast<FormatSortie>(lu);
    }
    // Its two numbers are taken together, and only as a rule that holds.
    void Reduction(const CString& nom, RegleTaille& v)
    {
        int genre = 0;
        int valeur = 0;
        if (!base.Lecture(nom, genre) || !base.Lecture(nom + "Valeur", valeur) || genre < 0 || valeur < 0)
            return;
        const RegleTaille lu{static_cast<RegleTaille::Mode>(genre), static_cast<std::uint32_t>(valeur)};
        if (genre <= static_cast<int>(RegleTaille::Mode::Pourcentage) && lu.Valide())
            v = lu;
    }
    void Apparence(const CString& nom, Style& v)
    {
        // Over the current fields: a shorter record leaves the rest as it
        // was; a longer one, from a later version, gives its first fields.
        CArchive actuel;
        v.Ecrit(actuel);
        std::vector<BYTE> octets = actuel.Bytes();
        octets.resize(1024);
        if (!base.Lecture(nom, octets.data(), static_cast<long>(octets.size())))
            return;
        CArchive lu(octets);
        v.Lit(lu);
    }
};

struct Ecrivain {
    CBaseRegistre& base;
    int resultat = 1;

    void Note(int ok) { resultat &= ok; }
    void Texte(const CString& nom, const CString& v) { Note(base.Ecriture(nom, v)); }
    void NonSigne(const CString& nom, UINT v) { Note(base.Ecriture(nom, v)); }
    void Entier(const CString& nom, int v) { Note(base.Ecriture(nom, v)); }
    void Coche(const CString& nom, int v) { Note(base.Ecriture(nom, v ? 1 : 0)); }
    void Couleur(const CString& nom, COLORREF v) { Note(base.Ecriture(nom, static_cast<long>(v))); }
    void Fonte(const CString& nom, const LOGFONT& v) { Note(base.Ecriture(nom, &v, sizeof v)); }
    void Politique(const CString& nom, PolitiqueMetadonnees v) { Note(base.Ecriture(nom, static_cast<int>(v))); }
    void Format(const CString& nom, FormatSortie v) { Note(base.Ecriture(nom, static_cast<int>(v))); }
    void Booleen(const CString& nom, bool v) { Coche(nom, v); }
    void Reduction(const CString& nom, const RegleTaille& v)
    {
        Note(base.Ecriture(nom, static_cast<int>(v.Genre)));
        Note(base.Ecriture(nom + "Valeur", static_cast<int>(v.Valeur)));
    }
    void Apparence(const CString& nom, const Style& v)
    {
        CArchive octets;
        v.Ecrit(octets);
        Note(base.Ecriture(nom, octets.Bytes().data(), static_cast<long>(octets.Bytes().size())));
    }
};

} // namespace

int ReglagesRegistre::Lecture(ModeleSignature& reglages)
{
    CBaseRegistre base;
    if (!base.OuvreLecture(kApplication))
        return 0;
    Lecteur lecteur{base};
    Parcours(lecteur, reglages);
    base.Ferme();
    return 1;
}

int ReglagesRegistre::Ecriture(const ModeleSignature& reglages)
{
    CBaseRegistre base;
    if (!base.OuvreEcriture(kApplication))
        return 0;
    Ecrivain ecrivain{base};
    Parcours(ecrivain, reglages);
    return base.Ferme() && ecrivain.resultat;
}

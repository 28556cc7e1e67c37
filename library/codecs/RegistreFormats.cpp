#include "RegistreFormats.h"

#include "CGif.h"
#include "CGraphique.h"
#include "image/LogoSvg.h"
#include "HeifEcriture.h"
#include "HeifFile.h"
#include "PngFile.h"
#include "WebpFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool Commence(std::span<const std::uint8_t> debut, std::string_view octets)
{
    return debut.size() >= octets.size() && std::memcmp(debut.data(), octets.data(), octets.size()) == 0;
}

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

bool EstJpeg(std::span<const std::uint8_t> d) { return Commence(d, "\xFF\xD8\xFF"); }

bool EstBmp(std::span<const std::uint8_t> d)
{
    // "BM" alone is too common a start: the information header's size must
    // be one a BMP writer uses.
    if (!Commence(d, "BM") || d.size() < 18)
        return false;
    const std::uint32_t entete = Le32(d.data() + 14);
    return entete == 12 || entete == 16 || entete == 40 || entete == 52 || entete == 56 || entete == 64
           || entete == 108 || entete == 124;
}

bool EstGif(std::span<const std::uint8_t> d) { return Commence(d, "GIF87a") || Commence(d, "GIF89a"); }

bool EstPng(std::span<const std::uint8_t> d) { return Commence(d, std::string_view("\x89PNG\r\n\x1A\n", 8)); }

bool EstWebp(std::span<const std::uint8_t> d)
{
    return Commence(d, "RIFF") && d.size() >= 12 && Commence(d.subspan(8), "WEBP");
}

// ISO-BMFF starts with its "ftyp" box: a major brand, a version, then
// compatible brands up to the box's end. A brand naming the codec (HEVC
// or AV1) decides; the generic still-picture brands mean HEIF.
enum class Marque { Aucune, Heif, Avif };

Marque MarqueFtyp(std::span<const std::uint8_t> d)
{
    if (d.size() < 16 || std::memcmp(d.data() + 4, "ftyp", 4) != 0)
        return Marque::Aucune;
    const std::size_t fin = std::min<std::size_t>(Be32(d.data()), d.size());
    if (fin < 16)
        return Marque::Aucune;
    bool generique = false;
    for (std::size_t p = 8; p + 4 <= fin; p += p == 8 ? 8 : 4) {
        const std::string_view marque(reinterpret_cast<const char*>(d.data() + p), 4);
        if (marque == "avif" || marque == "avis")
            return Marque::Avif;
        if (marque == "heic" || marque == "heix" || marque == "heim" || marque == "heis" || marque == "hevc"
            || marque == "hevx")
            return Marque::Heif;
        generique = generique || marque == "mif1" || marque == "msf1";
    }
    return generique ? Marque::Heif : Marque::Aucune;
}

bool EstHeif(std::span<const std::uint8_t> d) { return MarqueFtyp(d) == Marque::Heif; }
bool EstAvif(std::span<const std::uint8_t> d) { return MarqueFtyp(d) == Marque::Avif; }

// The file's first bytes, as many as it has; none when it cannot be read.
std::span<const std::uint8_t> Debut(const CString& chemin, std::uint8_t (&octets)[RegistreFormats::kOctetsReconnus])
{
    struct Ferme {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Ferme> fichier(std::fopen(chemin.c_str(), "rb"));
    const std::size_t lus = fichier ? std::fread(octets, 1, sizeof octets, fichier.get()) : 0;
    return std::span<const std::uint8_t>(octets, lus);
}

// Text, after a byte-order mark and blanks, opening with an XML
// declaration, a comment, a DOCTYPE or the <svg> element: the drawing's
// reader decides what it is.
bool EstSvg(std::span<const std::uint8_t> d)
{
    if (Commence(d, "\xEF\xBB\xBF"))
        d = d.subspan(3);
    while (!d.empty() && (d[0] == ' ' || d[0] == '\t' || d[0] == '\r' || d[0] == '\n'))
        d = d.subspan(1);
    return Commence(d, "<?xml") || Commence(d, "<!--") || Commence(d, "<!DOCTYPE") || Commence(d, "<svg");
}

const RegistreFormats::Format& Dessin()
{
    static const RegistreFormats::Format svg = {
        RegistreFormats::Genre::Svg, "SVG", "Svg", {".svg"}, EstSvg,
        [](const CString&) { return std::optional<RegistreFormats::Taille>(); },
        [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>* alpha, Metadonnees*, Budget& budget,
           RapportCodec& rapport) { return LogoSvg::Charge(chemin, budget, alpha, rapport); },
        nullptr, RegistreFormats::Aucune, false};
    return svg;
}

char Majuscule(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool FinitPar(std::string_view nom, std::string_view fin)
{
    return nom.size() >= fin.size()
           && std::equal(fin.begin(), fin.end(), nom.end() - static_cast<std::ptrdiff_t>(fin.size()),
                         [](char a, char b) { return Majuscule(a) == Majuscule(b); });
}

std::string Motifs(const RegistreFormats::Format& format)
{
    std::string motifs;
    for (const std::string& t : format.Terminaisons)
        motifs += (motifs.empty() ? "*" : ";*") + t;
    return motifs;
}

// Whether a filter's pattern lists (its every second field) hold motif.
bool FiltreNomme(std::string_view filtre, std::string_view motif)
{
    std::size_t champ = 0;
    for (std::size_t debut = 0; debut < filtre.size(); ++champ) {
        std::size_t fin = filtre.find('|', debut);
        if (fin == std::string_view::npos)
            fin = filtre.size();
        for (std::string_view reste = filtre.substr(debut, fin - debut); champ % 2 == 1 && !reste.empty();) {
            const std::size_t point = reste.find(';');
            if (reste.substr(0, point) == motif)
                return true;
            reste = point == std::string_view::npos ? std::string_view() : reste.substr(point + 1);
        }
        debut = fin + 1;
    }
    return false;
}

} // namespace

const std::vector<RegistreFormats::Format>& RegistreFormats::Formats()
{
    // Defined here, the read and write functions reach the toolbox's own
    // JPEG and BMP members.
    static const std::vector<Format> formats = {
        {Genre::Jpeg, "JPEG", "Jpeg", {".jpg", ".jpeg"}, EstJpeg, SondeEntete::Jpeg,
         [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>*, Metadonnees* m, Budget& budget,
            RapportCodec& rapport) { return CGraphique::LitJPEG(chemin, m, budget, rapport); },
         [](CGraphique& g, const CString& chemin, HBITMAP image, int qualite, const Metadonnees* ecrits,
            RapportCodec& rapport) { return g.EcritJPEG(chemin, image, qualite, ecrits, rapport); },
         Exif | Xmp | Icc, false},
        {Genre::Bmp, "BMP", "Bitmap", {".bmp"}, EstBmp, SondeEntete::Bmp,
         [](CGraphique& g, const CString& chemin, std::vector<std::uint8_t>*, Metadonnees*, Budget& budget,
            RapportCodec&) { return g.LitBMP(chemin, budget); },
         [](CGraphique& g, const CString& chemin, HBITMAP image, int, const Metadonnees*, RapportCodec& rapport) {
             return g.EcritBMP(chemin, image, rapport);
         },
         Aucune, false},
        {Genre::Gif, "GIF", "Gif", {".gif"}, EstGif, SondeEntete::Gif,
         [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>* alpha, Metadonnees*, Budget& budget,
            RapportCodec&) -> HBITMAP {
             CGif gif;
             HBITMAP image = gif.Load(chemin.c_str(), budget) ? gif.FirstImage() : nullptr;
             if (image && alpha)
                 *alpha = gif.Alpha();
             return image;
         },
         [](CGraphique& g, const CString& chemin, HBITMAP image, int, const Metadonnees*, RapportCodec&) {
             return g.SauveImageGIF(chemin, image);
         },
         Aucune, false},
        {Genre::Png, "PNG", "Png", {".png"}, EstPng, SondeEntete::Png,
         [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>* alpha, Metadonnees* m, Budget& budget,
            RapportCodec&) { return PngFile::Charge(chemin, budget, alpha, m); },
         [](CGraphique&, const CString& chemin, HBITMAP image, int, const Metadonnees* ecrits,
            RapportCodec& rapport) {
             return image ? PngFile::Sauve(chemin, *image, nullptr, ecrits, &rapport) : 0;
         },
         Exif | Xmp | Icc, false},
        {Genre::Webp, "WebP", "WebP", {".webp"}, EstWebp, SondeEntete::Webp,
         [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>* alpha, Metadonnees* m, Budget& budget,
            RapportCodec&) { return WebpFile::Charge(chemin, budget, alpha, m); },
         [](CGraphique&, const CString& chemin, HBITMAP image, int qualite, const Metadonnees* ecrits,
            RapportCodec& rapport) {
             return image ? WebpFile::Sauve(chemin, *image, qualite, nullptr, ecrits, &rapport) : 0;
         },
         Exif | Xmp | Icc, false},
        {Genre::Heif, "HEIF", "Heif", {".heic", ".heif"}, EstHeif, SondeEntete::Heif,
         [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>* alpha, Metadonnees* m, Budget& budget,
            RapportCodec&) { return HeifFile::Charge(chemin, budget, m, alpha); },
         [](CGraphique&, const CString& chemin, HBITMAP image, int qualite, const Metadonnees* ecrits,
            RapportCodec& rapport) {
             return image ? HeifEcriture::Sauve(chemin, *image, qualite, HeifEcriture::Codec::Hevc, ecrits, rapport)
                          : 0;
         },
         Exif | Icc, true},
        {Genre::Avif, "AVIF", "Avif", {".avif"}, EstAvif, SondeEntete::Heif,
         [](CGraphique&, const CString& chemin, std::vector<std::uint8_t>* alpha, Metadonnees* m, Budget& budget,
            RapportCodec&) { return HeifFile::Charge(chemin, budget, m, alpha); },
         [](CGraphique&, const CString& chemin, HBITMAP image, int qualite, const Metadonnees* ecrits,
            RapportCodec& rapport) {
             return image ? HeifEcriture::Sauve(chemin, *image, qualite, HeifEcriture::Codec::Av1, ecrits, rapport)
                          : 0;
         },
         Exif | Icc, true},
    };
    return formats;
}

const RegistreFormats::Format& RegistreFormats::De(Genre id)
{
    // The table follows Genre's order.
    return id == Genre::Svg ? Dessin() : Formats()[static_cast<std::size_t>(id)];
}

const RegistreFormats::Format* RegistreFormats::Logo(const CString& chemin)
{
    std::uint8_t octets[kOctetsReconnus];
    const std::span<const std::uint8_t> debut = Debut(chemin, octets);
    if (const Format* image = ParContenu(debut))
        return image;
    if (Dessin().Reconnait(debut))
        return &Dessin();
    if (const Format* image = ParFinDeNom(chemin))
        return image;
    return FinitPar(chemin, "svg") ? &Dessin() : nullptr;
}

bool RegistreFormats::CopieDansSonFormat(const Format& format)
{
    switch (format.Id) {
    case Genre::Heif:
        return HeifEcriture::Disponible(HeifEcriture::Codec::Hevc);
    case Genre::Avif:
        return HeifEcriture::Disponible(HeifEcriture::Codec::Av1);
    default:
        return format.Ecrit != nullptr;
    }
}

const RegistreFormats::Format* RegistreFormats::ParContenu(std::span<const std::uint8_t> debut)
{
    for (const Format& f : Formats())
        if (f.Reconnait(debut))
            return &f;
    return nullptr;
}

const RegistreFormats::Format* RegistreFormats::ParContenu(const CString& chemin)
{
    std::uint8_t debut[kOctetsReconnus];
    return ParContenu(Debut(chemin, debut));
}

const RegistreFormats::Format* RegistreFormats::ParNom(std::string_view chemin)
{
    const std::size_t barre = chemin.rfind('/');
    const std::string_view nom = barre == std::string_view::npos ? chemin : chemin.substr(barre + 1);
    for (const Format& f : Formats())
        for (const std::string& t : f.Terminaisons)
            if (nom.size() > t.size() && FinitPar(nom, t))
                return &f;
    return nullptr;
}

const RegistreFormats::Format* RegistreFormats::ParFinDeNom(std::string_view chemin)
{
    const std::string_view fin = chemin.substr(chemin.size() > 3 ? chemin.size() - 3 : 0);
    for (const Format& f : Formats())
        for (const std::string& t : f.Terminaisons)
            if (fin.size() == 3 && FinitPar(t, fin))
                return &f;
    return nullptr;
}

std::optional<RegistreFormats::Taille> RegistreFormats::Dimensions(const CString& chemin)
{
    const Format* format = ParContenu(chemin);
    return format ? format->Sonde(chemin) : std::nullopt;
}

std::string RegistreFormats::ListeTerminaisons(std::string_view entre, std::string_view avantDerniere)
{
    std::vector<std::string_view> toutes;
    for (const Format& f : Formats())
        toutes.insert(toutes.end(), f.Terminaisons.begin(), f.Terminaisons.end());
    std::string liste;
    for (std::size_t i = 0; i < toutes.size(); ++i) {
        if (i > 0)
            liste += i + 1 == toutes.size() ? avantDerniere : entre;
        liste += toutes[i];
    }
    return liste;
}

std::string RegistreFormats::Filtre(std::string_view tete)
{
    std::string filtre(tete);
    std::string toutes;
    for (const Format& f : Formats()) {
        const std::string motifs = Motifs(f);
        if (!FiltreNomme(tete, "*" + f.Terminaisons.front()))
            filtre += std::string(f.Libelle) + " (" + motifs + ")|" + motifs + "|";
        toutes += (toutes.empty() ? "" : ";") + motifs;
    }
    return filtre + "All pictures (" + toutes + ")|" + toutes + "||";
}

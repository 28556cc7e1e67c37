#include "JpegParBlocs.h"

#include "AtomicFile.h"
#include "BalayageJpeg.h"
#include "CGraphique.h"
#include "CoefficientsBlocs.h"
#include "CoefficientsEnFond.h"
#include "EchecEcriture.h"
#include "Exif.h"
#include "JpegEcriture.h"
#include "JpegLecture.h"
#include "Metadonnees.h"
#include "RapportCodec.h"
#include "Xmp.h"

#include <algorithm>
#include <array>
#include <optional>
#include <memory>
#include <new>

namespace {

using RECT = JpegParBlocs::RECT;

// A box's pixels as decoded, as drawn, turned to the viewed frame and back,
// and one component's samples with their margin.
constexpr std::uint64_t kOctetsParPixelBoite = 20;

int OrientationInverse(int orientation) { return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation; }

std::uint64_t Arrondi(std::uint64_t n, std::uint64_t multiple) { return (n + multiple - 1) / multiple * multiple; }

// The markers for pixels kept as stored: as read (orientation, size and
// thumbnail still describe them), less the location when asked.
Metadonnees PourCopie(const Metadonnees& lus, PolitiqueMetadonnees politique)
{
    Metadonnees copie;
    if (politique == PolitiqueMetadonnees::Aucune)
        return copie;
    for (const Metadonnees::Marqueur& m : lus.Marqueurs()) {
        std::vector<std::uint8_t> octets = m.octets;
        if (politique == PolitiqueMetadonnees::SaufLieu && m.code == JPEG_APP0 + 1) {
            if (Exif::EstExif(octets))
                Exif::RetireLieu(octets);
            else if (Xmp::Debut(octets))
                Xmp::RetireLieu(octets);
        }
        copie.Ajoute(m.code, octets);
    }
    return copie;
}

// Whether a Huffman table holds every symbol a block may need, so that new
// blocks can be coded with it; cameras write such tables (the standard ones).
bool TableComplete(const JHUFF_TBL* table, bool dc)
{
    if (!table)
        return true;
    bool presents[256] = {};
    int nombre = 0;
    for (int longueur = 1; longueur <= 16; ++longueur)
        nombre += table->bits[longueur];
    for (int i = 0; i < std::min(nombre, 256); ++i)
        presents[table->huffval[i]] = true;
    if (dc)
        return std::all_of(presents, presents + 12, [](bool p) { return p; });
    if (!presents[0x00] || !presents[0xF0])
        return false;
    for (int zeros = 0; zeros < 16; ++zeros)
        for (int taille = 1; taille <= 10; ++taille)
            if (!presents[zeros << 4 | taille])
                return false;
    return true;
}

bool TablesCompletes(const jpeg_decompress_struct& info)
{
    for (int n = 0; n < NUM_HUFF_TBLS; ++n)
        if (!TableComplete(info.dc_huff_tbl_ptrs[n], true) || !TableComplete(info.ac_huff_tbl_ptrs[n], false))
            return false;
    return true;
}

// The whole MCUs around r, within the picture's MCU grid.
RECT SurLaGrille(const RECT& r, CSize mcu, CSize stocke)
{
    const LONG largeur = LONG(Arrondi(std::uint64_t(stocke.cx), std::uint64_t(mcu.cx)));
    const LONG hauteur = LONG(Arrondi(std::uint64_t(stocke.cy), std::uint64_t(mcu.cy)));
    return RECT(r.left / mcu.cx * mcu.cx, r.top / mcu.cy * mcu.cy,
                std::min(largeur, (r.right + mcu.cx - 1) / mcu.cx * mcu.cx),
                std::min(hauteur, (r.bottom + mcu.cy - 1) / mcu.cy * mcu.cy));
}

bool SeChevauchent(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Box b drawn on and put back into the coefficients; false when memory ran
// out. Never throws: it also runs inside the library's frames.
bool RetoucheBoite(const CoefficientsBlocs& coefficients, const RECT& b, int orientation,
                   const JpegParBlocs::Dessine& dessine) noexcept
{
    try {
        const CSize stocke = coefficients.Taille();
        std::unique_ptr<Bitmap> avant = coefficients.Decode(b);
        std::unique_ptr<Bitmap> vue(orientation == 1 ? Bitmap::Create(avant->width(), avant->height(), 32)
                                                     : CGraphique::RedresseImage(avant.get(), orientation));
        if (!vue)
            return false;
        if (orientation == 1)
            for (int y = 0; y < avant->height(); ++y)
                std::copy_n(avant->row(y), std::size_t(avant->width()) * 4, vue->row(y));
        const RECT pixels(b.left, b.top, std::min(b.right, stocke.cx), std::min(b.bottom, stocke.cy));
        dessine(vue.get(), JpegParBlocs::Tourne(pixels, orientation, stocke));
        std::unique_ptr<Bitmap> dessinee(orientation == 1
                                             ? vue.release()
                                             : CGraphique::RedresseImage(vue.get(), OrientationInverse(orientation)));
        if (!dessinee)
            return false;
        coefficients.Encode(b, *avant, *dessinee);
        return true;
    } catch (...) {
        // Only memory can run out here.
        return false;
    }
}

// What both ways of signing share once the header is read.
struct Travail {
    JpegLecture& lecture;
    const std::vector<RECT>& boites; // from the top down
    int orientation;
    const JpegParBlocs::Dessine& dessine;
    const Metadonnees& ecrits;
    const CString& sortie;
    RapportCodec& rapport;
    bool deuxFils; // a second core to spare
};

// The output opened, or the reason it cannot be reported.
bool Ouvre(AtomicFile& fichier, const Travail& t)
{
    if (fichier.open())
        return true;
    EchecEcriture::Signale(&t.rapport, t.sortie, fichier);
    return false;
}

// A source's own tables are never reused: optimized ones may lack a symbol a
// new block needs, which the library would write unchecked. Where the
// source's are complete (a camera's standard tables) the standard ones cost
// the same bytes and no pass over the blocks; otherwise the standard ones
// would grow the file by several percent, so tables are computed for these
// blocks.
bool Demarre(JpegEcriture& ecriture, AtomicFile& fichier, jpeg_decompress_struct& info, jvirt_barray_ptr* tableaux,
             const Metadonnees& ecrits)
{
    return ecriture.DemarreCopie(fichier.stream(), info, tableaux, !TablesCompletes(info))
        && ecriture.EcritMetadonnees(ecrits);
}

// Every coefficient read, the boxes drawn, then everything written.
JpegParBlocs::Issue Successivement(const Travail& t)
{
    jpeg_decompress_struct& info = t.lecture.Info();
    jvirt_barray_ptr* tableaux = t.lecture.LitCoefficients();
    if (!tableaux)
        return JpegParBlocs::Issue::EchecLecture;
    const CoefficientsBlocs coefficients(info, tableaux);
    if (!coefficients.Lisible())
        return JpegParBlocs::Issue::EchecLecture;
    for (const RECT& b : t.boites)
        if (!RetoucheBoite(coefficients, b, t.orientation, t.dessine)) {
            t.lecture.SignaleMemoire();
            return JpegParBlocs::Issue::EchecLecture;
        }
    AtomicFile fichier(t.sortie);
    if (!Ouvre(fichier, t))
        return JpegParBlocs::Issue::EchecEcriture;
    JpegEcriture ecriture("JPEG Error", t.rapport);
    if (!Demarre(ecriture, fichier, info, tableaux, t.ecrits) || !ecriture.Termine())
        return JpegParBlocs::Issue::EchecEcriture;
    return fichier.commit() ? JpegParBlocs::Issue::Ecrit : JpegParBlocs::Issue::EchecEcriture;
}

// The rows written as they are read, on two threads; each box drawn once
// the rows it holds are read (and the row under it, which its upsampling
// looks at), before the encoder asks for its first row. The same bytes as
// Successivement, and the same report.
JpegParBlocs::Issue EnParallele(const Travail& t)
{
    jpeg_decompress_struct& info = t.lecture.Info();
    AtomicFile fichier(t.sortie);
    if (!Ouvre(fichier, t))
        return JpegParBlocs::Issue::EchecEcriture;
    CoefficientsEnFond fond(t.lecture);
    jvirt_barray_ptr* tableaux = fond.Demarre();
    if (!tableaux) {
        fond.Termine(t.rapport);
        return JpegParBlocs::Issue::EchecLecture;
    }
    const CoefficientsBlocs coefficients(info, tableaux, [&fond](int c, int y) { return fond.Rangee(c, y); });
    if (!coefficients.Lisible()) {
        fond.Abandonne(t.rapport);
        return JpegParBlocs::Issue::EchecLecture;
    }
    // The writer's messages follow the reader's, as when one comes after the other.
    RapportCodec rapportEcriture;
    JpegEcriture ecriture("JPEG Error", rapportEcriture);
    if (!Demarre(ecriture, fichier, info, tableaux, t.ecrits)) {
        fond.Abandonne(t.rapport);
        t.rapport.Reprend(rapportEcriture);
        return JpegParBlocs::Issue::EchecEcriture;
    }
    const int lignes = int(info.total_iMCU_rows), hauteurMcu = coefficients.Mcu().cy;
    std::size_t suivante = 0;
    bool memoire = false;
    fond.Poursuit(*ecriture.Info(), [&](int ligne) {
        for (; suivante < t.boites.size() && t.boites[suivante].top / hauteurMcu <= ligne; ++suivante) {
            if (!fond.Attend(std::min(lignes, int(t.boites[suivante].bottom) / hauteurMcu + 1)))
                return false;
            if (!RetoucheBoite(coefficients, t.boites[suivante], t.orientation, t.dessine)) {
                memoire = true;
                return false;
            }
        }
        return true;
    });
    const bool ecrit = ecriture.Termine();
    if (memoire) {
        fond.Abandonne(t.rapport);
        t.lecture.SignaleMemoire();
        return JpegParBlocs::Issue::EchecLecture;
    }
    if (!fond.Termine(t.rapport))
        return JpegParBlocs::Issue::EchecLecture;
    t.rapport.Reprend(rapportEcriture);
    if (!ecrit)
        return JpegParBlocs::Issue::EchecEcriture;
    return fichier.commit() ? JpegParBlocs::Issue::Ecrit : JpegParBlocs::Issue::EchecEcriture;
}

// Whether the scan can be read and written without the library: one
// baseline Huffman scan, every component in the frame's order with
// complete tables in the first two slots, a single component unsampled.
bool Recopiable(const jpeg_decompress_struct& info)
{
    if (!CoefficientsEnFond::Possible(info) || info.arith_code || info.data_precision != 8 || !TablesCompletes(info)
        || (info.num_components == 1 && (info.comp_info[0].h_samp_factor != 1 || info.comp_info[0].v_samp_factor != 1)))
        return false;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& composante = info.comp_info[c];
        if (info.cur_comp_info[c] != &composante || composante.dc_tbl_no > 1 || composante.ac_tbl_no > 1
            || !info.dc_huff_tbl_ptrs[composante.dc_tbl_no] || !info.ac_huff_tbl_ptrs[composante.ac_tbl_no])
            return false;
    }
    return true;
}

// The rows of MCUs under no box are read only to find where they end and
// copied as they are; those under a box, and the row before and after each
// (the upsampling looks at them), are decoded, and the boxes' rows and the
// row after (its first DC values follow the box's) coded again. Nothing
// when the scan is not as expected: the library's ways then read it, and
// tell what is wrong with it.
std::optional<JpegParBlocs::Issue> EnRecopie(const Travail& t)
{
    jpeg_decompress_struct& info = t.lecture.Info();
    if (!Recopiable(info))
        return std::nullopt;
    std::array<HuffmanJpeg, 2> dc, ac;
    std::vector<BalayageJpeg::Composante> composantes;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& composante = info.comp_info[c];
        if (!dc[std::size_t(composante.dc_tbl_no)].Construit(*info.dc_huff_tbl_ptrs[composante.dc_tbl_no])
            || !ac[std::size_t(composante.ac_tbl_no)].Construit(*info.ac_huff_tbl_ptrs[composante.ac_tbl_no]))
            return std::nullopt;
        composantes.push_back({composante.h_samp_factor, composante.v_samp_factor,
                               int(composante.width_in_blocks), int(composante.height_in_blocks),
                               &dc[std::size_t(composante.dc_tbl_no)], &ac[std::size_t(composante.ac_tbl_no)]});
    }
    const int lignes = int(info.total_iMCU_rows);
    const int mcusParLigne = info.num_components == 1
        ? int(info.comp_info[0].width_in_blocks)
        : int((info.image_width + JDIMENSION(info.max_h_samp_factor * DCTSIZE) - 1)
              / JDIMENSION(info.max_h_samp_factor * DCTSIZE));
    BalayageJpeg balayage(std::move(composantes), mcusParLigne, lignes, int(info.restart_interval));
    const CoefficientsBlocs coefficients(info, nullptr, [&balayage](int c, int y) { return balayage.Rangee(c, y); });
    if (!coefficients.Lisible())
        return std::nullopt;

    const int hauteurMcu = coefficients.Mcu().cy;
    std::vector<bool> decodees(std::size_t(lignes), false), recodees(std::size_t(lignes), false);
    for (const RECT& b : t.boites) {
        const int haut = int(b.top) / hauteurMcu, bas = std::min(lignes - 1, int(b.bottom) / hauteurMcu);
        for (int ligne = std::max(0, haut - 1); ligne <= bas; ++ligne)
            decodees[std::size_t(ligne)] = true;
        for (int ligne = haut; ligne <= bas; ++ligne)
            recodees[std::size_t(ligne)] = true;
    }
    std::vector<std::uint8_t> donnees;
    if (!t.lecture.LitDonnees(donnees)) {
        t.lecture.SignaleMemoire();
        return JpegParBlocs::Issue::EchecLecture;
    }
    // A second thread pays off past a megabyte of data.
    if (!balayage.Lit(donnees.data(), donnees.size(), decodees, t.deuxFils && donnees.size() > (1u << 20)))
        return std::nullopt;
    for (const RECT& b : t.boites)
        if (!RetoucheBoite(coefficients, b, t.orientation, t.dessine)) {
            t.lecture.SignaleMemoire();
            return JpegParBlocs::Issue::EchecLecture;
        }
    // The source's bytes are no longer needed: the new ones take their place.
    std::vector<std::uint8_t> sortie;
    sortie.swap(donnees);
    sortie.clear();
    if (!balayage.Ecrit(recodees, sortie))
        return std::nullopt;

    AtomicFile fichier(t.sortie);
    if (!Ouvre(fichier, t))
        return JpegParBlocs::Issue::EchecEcriture;
    // The library writes the markers, as for the other ways; it is stopped
    // before its first row, and the rows follow.
    JpegEcriture ecriture("JPEG Error", t.rapport);
    std::array<jvirt_barray_ptr, MAX_COMPONENTS> aucun{};
    if (!ecriture.DemarreCopie(fichier.stream(), info, aucun.data(), false) || !ecriture.GardeTablesHuffman(info)
        || !ecriture.EcritMetadonnees(t.ecrits) || !ecriture.TermineAvec(sortie))
        return JpegParBlocs::Issue::EchecEcriture;
    return fichier.commit() ? JpegParBlocs::Issue::Ecrit : JpegParBlocs::Issue::EchecEcriture;
}

} // namespace

RECT JpegParBlocs::Tourne(const RECT& r, int orientation, CSize taille)
{
    const LONG w = taille.cx, h = taille.cy;
    switch (orientation) {
    case 2:
        return RECT(w - r.right, r.top, w - r.left, r.bottom);
    case 3:
        return RECT(w - r.right, h - r.bottom, w - r.left, h - r.top);
    case 4:
        return RECT(r.left, h - r.bottom, r.right, h - r.top);
    case 5:
        return RECT(r.top, r.left, r.bottom, r.right);
    case 6:
        return RECT(h - r.bottom, r.left, h - r.top, r.right);
    case 7:
        return RECT(h - r.bottom, w - r.right, h - r.top, w - r.left);
    case 8:
        return RECT(r.top, w - r.right, r.bottom, w - r.left);
    default:
        return r;
    }
}

std::vector<RECT> JpegParBlocs::Boites(const std::vector<RECT>& zones, int orientation, CSize stocke, CSize mcu)
{
    const bool couche = orientation >= 5 && orientation <= 8;
    const CSize vue = couche ? CSize(stocke.cy, stocke.cx) : stocke;
    std::vector<RECT> boites;
    for (const RECT& z : zones) {
        const RECT dedans(std::max<LONG>(z.left, 0), std::max<LONG>(z.top, 0), std::min(z.right, vue.cx),
                          std::min(z.bottom, vue.cy));
        if (dedans.IsRectEmpty())
            continue;
        RECT boite = SurLaGrille(Tourne(dedans, OrientationInverse(orientation), vue), mcu, stocke);
        // A merged box may now reach others: take them in until none does.
        for (auto it = boites.begin(); it != boites.end();) {
            if (SeChevauchent(*it, boite)) {
                boite = RECT(std::min(boite.left, it->left), std::min(boite.top, it->top),
                             std::max(boite.right, it->right), std::max(boite.bottom, it->bottom));
                boites.erase(it);
                it = boites.begin();
            } else {
                ++it;
            }
        }
        boites.push_back(boite);
    }
    return boites;
}

std::uint64_t JpegParBlocs::MemoireDeTravail(std::uint64_t largeur, std::uint64_t hauteur)
{
    // Every component at full resolution, 2 bytes a coefficient, whole
    // MCUs of 16 x 16: the most any sampling holds. The boxes add
    // kOctetsParPixelBoite for each pixel they cover.
    return Arrondi(largeur, 16) * Arrondi(hauteur, 16) * 3 * sizeof(JCOEF);
}

JpegParBlocs::Issue JpegParBlocs::Signe(const CString& source, const CString& sortie, Metadonnees& metadonnees,
                                        PolitiqueMetadonnees politique, const Zones& zones, const Dessine& dessine,
                                        bool encoderThread, Budget& budget, RapportCodec& rapport, bool recopie)
{
    metadonnees.Efface();
    JpegLecture lecture(rapport, budget);
    lecture.GardeMetadonnees(&metadonnees);
    if (!lecture.Ouvre(source))
        return Issue::EchecLecture;
    jpeg_decompress_struct& info = lecture.Info();
    std::uint64_t octets = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& composante = info.comp_info[c];
        octets += Arrondi(composante.width_in_blocks, std::uint64_t(composante.h_samp_factor))
            * Arrondi(composante.height_in_blocks, std::uint64_t(composante.v_samp_factor)) * sizeof(JBLOCK);
    }
    if (!lecture.TailleAcceptable(0) || !budget.Reserve(octets)) {
        lecture.SignaleMemoire();
        return Issue::EchecLecture;
    }

    // The markers kept are those before the picture's data: its first rows
    // may be written before the rest of the file is read.
    const int orientation = metadonnees.Orientation();
    const CSize stocke(LONG(info.image_width), LONG(info.image_height));
    const CSize mcu(info.max_h_samp_factor * DCTSIZE, info.max_v_samp_factor * DCTSIZE);
    std::vector<RECT> boites;
    Metadonnees ecrits;
    try {
        boites = Boites(zones(orientation >= 5 ? CSize(stocke.cy, stocke.cx) : stocke), orientation, stocke, mcu);
        std::sort(boites.begin(), boites.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
        std::uint64_t plusGrande = 0;
        for (const RECT& b : boites)
            plusGrande = std::max(plusGrande, std::uint64_t(b.Width()) * std::uint64_t(b.Height()));
        if (!budget.Reserve(plusGrande * kOctetsParPixelBoite))
            throw std::bad_alloc();
        ecrits = PourCopie(metadonnees, politique);
    } catch (const std::bad_alloc&) {
        lecture.SignaleMemoire();
        return Issue::EchecLecture;
    }
    const Travail travail{lecture, boites, orientation, dessine, ecrits, sortie, rapport, encoderThread};
    try {
        if (const std::optional<Issue> issue = recopie ? EnRecopie(travail) : std::nullopt)
            return *issue;
    } catch (const std::bad_alloc&) {
        lecture.SignaleMemoire();
        return Issue::EchecLecture;
    }
    return travail.deuxFils && CoefficientsEnFond::Possible(info) ? EnParallele(travail) : Successivement(travail);
}

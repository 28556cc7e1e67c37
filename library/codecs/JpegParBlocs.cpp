#include "JpegParBlocs.h"

#include "AtomicFile.h"
#include "CGraphique.h"
#include "CoefficientsEnFond.h"
#include "EchecEcriture.h"
#include "Exif.h"
#include "JpegEcriture.h"
#include "JpegLecture.h"
#include "Metadonnees.h"
#include "RapportCodec.h"
#include "TransformeeBlocs.h"
#include "Xmp.h"

#include <algorithm>
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

// The coefficients read, and what it takes to turn a box of them into
// pixels and back.
class Coefficients {
public:
    // With fond, the rows come from a reading still in progress, which has
    // read them.
    Coefficients(jpeg_decompress_struct& info, jvirt_barray_ptr* tableaux, const CoefficientsEnFond* fond)
        : m_info(info), m_tableaux(tableaux), m_fond(fond)
    {
        m_mcu = CSize(info.max_h_samp_factor * DCTSIZE, info.max_v_samp_factor * DCTSIZE);
    }

    // Components the block way can rebuild: whole sampling ratios, tables
    // latched, a colour space we convert.
    bool Lisible() const
    {
        const bool espace = (m_info.jpeg_color_space == JCS_YCbCr && m_info.num_components == 3)
            || (m_info.jpeg_color_space == JCS_RGB && m_info.num_components == 3)
            || (m_info.jpeg_color_space == JCS_GRAYSCALE && m_info.num_components == 1);
        if (!espace)
            return false;
        for (int c = 0; c < m_info.num_components; ++c) {
            const jpeg_component_info& composante = m_info.comp_info[c];
            if (m_info.max_h_samp_factor % composante.h_samp_factor
                || m_info.max_v_samp_factor % composante.v_samp_factor || !composante.quant_table)
                return false;
        }
        return true;
    }
    CSize Mcu() const { return m_mcu; }
    CSize Taille() const { return CSize(LONG(m_info.image_width), LONG(m_info.image_height)); }

    // The stored pixels of box b, clipped to the picture, in 32 bits.
    std::unique_ptr<Bitmap> Decode(const RECT& b) const;
    // Re-encodes the MCUs of box b where dessinee differs from avant, both
    // b's pixels clipped to the picture.
    void Encode(const RECT& b, const Bitmap& avant, const Bitmap& dessinee) const;

private:
    // Samples of one component over a rectangle of its own grid.
    struct Plan {
        RECT zone;
        std::vector<JSAMPLE> echantillons;
        int At(int x, int y) const
        {
            return echantillons[std::size_t(y - zone.top) * std::size_t(zone.Width()) + std::size_t(x - zone.left)];
        }
    };

    int Fx(int c) const { return m_info.max_h_samp_factor / m_info.comp_info[c].h_samp_factor; }
    int Fy(int c) const { return m_info.max_v_samp_factor / m_info.comp_info[c].v_samp_factor; }
    // Block row y of component c; the rows asked for always exist, so the
    // library has no error to raise.
    JBLOCKROW Rangee(int c, int y, bool ecrit) const
    {
        if (m_fond)
            return m_fond->Rangee(c, y);
        return (*m_info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&m_info), m_tableaux[c],
                                                 JDIMENSION(y), 1, ecrit ? TRUE : FALSE)[0];
    }
    Plan DecodePlan(int c, const RECT& zone) const;
    // Component c at pixel (x, y), upsampled the way the library's decoder
    // does by default (fancy upsampling, edges repeated).
    int Echantillon(const Plan& plan, int c, int x, int y) const;
    float Composante(std::uint32_t bgrx, int c) const;

    jpeg_decompress_struct& m_info;
    jvirt_barray_ptr* m_tableaux;
    const CoefficientsEnFond* m_fond;
    CSize m_mcu;
    TransformeeBlocs m_transformee;
};

Coefficients::Plan Coefficients::DecodePlan(int c, const RECT& zone) const
{
    Plan plan{zone, std::vector<JSAMPLE>(std::size_t(zone.Width()) * std::size_t(zone.Height()))};
    const JQUANT_TBL& table = *m_info.comp_info[c].quant_table;
    JSAMPLE bloc[DCTSIZE2];
    for (int by = zone.top / DCTSIZE; by <= (zone.bottom - 1) / DCTSIZE; ++by) {
        const JBLOCKROW rangee = Rangee(c, by, false);
        for (int bx = zone.left / DCTSIZE; bx <= (zone.right - 1) / DCTSIZE; ++bx) {
            m_transformee.Inverse(rangee[bx], table, bloc);
            const int y0 = std::max<int>(by * DCTSIZE, zone.top), y1 = std::min<int>(by * DCTSIZE + DCTSIZE, zone.bottom);
            const int x0 = std::max<int>(bx * DCTSIZE, zone.left), x1 = std::min<int>(bx * DCTSIZE + DCTSIZE, zone.right);
            for (int y = y0; y < y1; ++y)
                std::copy(bloc + (y - by * DCTSIZE) * DCTSIZE + (x0 - bx * DCTSIZE),
                          bloc + (y - by * DCTSIZE) * DCTSIZE + (x1 - bx * DCTSIZE),
                          plan.echantillons.begin()
                              + std::ptrdiff_t(std::size_t(y - zone.top) * std::size_t(zone.Width()) + (x0 - zone.left)));
        }
    }
    return plan;
}

int Coefficients::Echantillon(const Plan& plan, int c, int x, int y) const
{
    const jpeg_component_info& composante = m_info.comp_info[c];
    const int largeur = int(composante.downsampled_width), hauteur = int(composante.downsampled_height);
    const auto s = [&](int i, int j) {
        return plan.At(std::clamp(i, 0, largeur - 1), std::clamp(j, 0, hauteur - 1));
    };
    const int fx = Fx(c), fy = Fy(c);
    const int i = x / fx, j = y / fy;
    const bool gauche = x % 2 == 0, haut = y % 2 == 0;
    const int voisine = haut ? j - 1 : j + 1;
    if (fx == 2 && fy == 1)
        return gauche ? (3 * s(i, j) + s(i - 1, j) + 1) >> 2 : (3 * s(i, j) + s(i + 1, j) + 2) >> 2;
    if (fx == 1 && fy == 2)
        return (3 * s(i, j) + s(i, voisine) + (haut ? 1 : 2)) >> 2;
    if (fx == 2 && fy == 2) {
        const auto colonne = [&](int k) { return 3 * s(k, j) + s(k, voisine); };
        return gauche ? (3 * colonne(i) + colonne(i - 1) + 8) >> 4 : (3 * colonne(i) + colonne(i + 1) + 7) >> 4;
    }
    return s(i, j);
}

std::unique_ptr<Bitmap> Coefficients::Decode(const RECT& b) const
{
    const CSize taille = Taille();
    const RECT pixels(b.left, b.top, std::min(b.right, taille.cx), std::min(b.bottom, taille.cy));
    std::unique_ptr<Bitmap> piece(Bitmap::Create(pixels.Width(), pixels.Height(), 32, Bitmap::Fill::Overwritten));
    if (!piece)
        throw std::bad_alloc();
    std::vector<Plan> plans;
    for (int c = 0; c < m_info.num_components; ++c) {
        // One sample beyond the box each way, for the upsampling's neighbours.
        const jpeg_component_info& composante = m_info.comp_info[c];
        const int fx = Fx(c), fy = Fy(c);
        plans.push_back(DecodePlan(c, RECT(std::max(0, int(pixels.left) / fx - 1),
                                           std::max(0, int(pixels.top) / fy - 1),
                                           std::min<int>(int(composante.downsampled_width),
                                                         (int(pixels.right) + fx - 1) / fx + 1),
                                           std::min<int>(int(composante.downsampled_height),
                                                         (int(pixels.bottom) + fy - 1) / fy + 1))));
    }
    const bool ycc = m_info.jpeg_color_space == JCS_YCbCr;
    const auto octet = [](double v) { return std::uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
    for (int y = pixels.top; y < pixels.bottom; ++y) {
        auto* rangee = reinterpret_cast<std::uint32_t*>(piece->row(y - pixels.top));
        for (int x = pixels.left; x < pixels.right; ++x) {
            std::uint32_t r, g, bleu;
            if (plans.size() == 1) {
                r = g = bleu = std::uint32_t(Echantillon(plans[0], 0, x, y));
            } else if (ycc) {
                const double l = Echantillon(plans[0], 0, x, y);
                const double cb = Echantillon(plans[1], 1, x, y) - 128, cr = Echantillon(plans[2], 2, x, y) - 128;
                r = octet(l + 1.402 * cr);
                g = octet(l - 0.344136286 * cb - 0.714136286 * cr);
                bleu = octet(l + 1.772 * cb);
            } else {
                r = std::uint32_t(Echantillon(plans[0], 0, x, y));
                g = std::uint32_t(Echantillon(plans[1], 1, x, y));
                bleu = std::uint32_t(Echantillon(plans[2], 2, x, y));
            }
            rangee[x - pixels.left] = bleu | g << 8 | r << 16;
        }
    }
    return piece;
}

float Coefficients::Composante(std::uint32_t bgrx, int c) const
{
    const float r = float(bgrx >> 16 & 0xFF), g = float(bgrx >> 8 & 0xFF), b = float(bgrx & 0xFF);
    if (m_info.jpeg_color_space == JCS_RGB)
        return c == 0 ? r : c == 1 ? g : b;
    switch (c) {
    case 0:
        return 0.299f * r + 0.587f * g + 0.114f * b;
    case 1:
        return -0.168735892f * r - 0.331264108f * g + 0.5f * b + 128;
    default:
        return 0.5f * r - 0.418687589f * g - 0.081312411f * b + 128;
    }
}

void Coefficients::Encode(const RECT& b, const Bitmap& avant, const Bitmap& dessinee) const
{
    const CSize taille = Taille();
    const auto pixel = [&](const Bitmap& image, int x, int y) {
        // Beyond the picture's edge the encoder repeats its last pixels.
        x = std::min<int>(x, taille.cx - 1) - b.left;
        y = std::min<int>(y, taille.cy - 1) - b.top;
        return reinterpret_cast<const std::uint32_t*>(image.row(y))[x] & 0xFFFFFF;
    };
    float echantillons[DCTSIZE2];
    for (int my = b.top; my < b.bottom; my += m_mcu.cy)
        for (int mx = b.left; mx < b.right; mx += m_mcu.cx) {
            // MCUs the signature left alone keep their coefficients exactly.
            bool change = false;
            for (int y = my; y < std::min<int>(my + m_mcu.cy, taille.cy) && !change; ++y)
                for (int x = mx; x < std::min<int>(mx + m_mcu.cx, taille.cx) && !change; ++x)
                    change = pixel(avant, x, y) != pixel(dessinee, x, y);
            if (!change)
                continue;
            for (int c = 0; c < m_info.num_components; ++c) {
                const jpeg_component_info& composante = m_info.comp_info[c];
                const int fx = Fx(c), fy = Fy(c);
                for (int v = 0; v < composante.v_samp_factor; ++v) {
                    const int by = my / fy / DCTSIZE + v;
                    if (by >= int(composante.height_in_blocks))
                        break;
                    const JBLOCKROW rangee = Rangee(c, by, true);
                    for (int h = 0; h < composante.h_samp_factor; ++h) {
                        const int bx = mx / fx / DCTSIZE + h;
                        if (bx >= int(composante.width_in_blocks))
                            break;
                        for (int k = 0; k < DCTSIZE2; ++k) {
                            const int x0 = (bx * DCTSIZE + k % DCTSIZE) * fx, y0 = (by * DCTSIZE + k / DCTSIZE) * fy;
                            float somme = 0;
                            for (int dy = 0; dy < fy; ++dy)
                                for (int dx = 0; dx < fx; ++dx)
                                    somme += Composante(pixel(dessinee, x0 + dx, y0 + dy), c);
                            echantillons[k] = somme / float(fx * fy);
                        }
                        m_transformee.Directe(echantillons, *composante.quant_table, rangee[bx]);
                    }
                }
            }
        }
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
bool RetoucheBoite(const Coefficients& coefficients, const RECT& b, int orientation,
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
};

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
    const Coefficients coefficients(info, tableaux, nullptr);
    if (!coefficients.Lisible())
        return JpegParBlocs::Issue::EchecLecture;
    for (const RECT& b : t.boites)
        if (!RetoucheBoite(coefficients, b, t.orientation, t.dessine)) {
            t.lecture.SignaleMemoire();
            return JpegParBlocs::Issue::EchecLecture;
        }
    AtomicFile fichier(t.sortie);
    if (!fichier.open()) {
        EchecEcriture::Signale(&t.rapport, t.sortie, fichier);
        return JpegParBlocs::Issue::EchecEcriture;
    }
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
    if (!fichier.open()) {
        EchecEcriture::Signale(&t.rapport, t.sortie, fichier);
        return JpegParBlocs::Issue::EchecEcriture;
    }
    CoefficientsEnFond fond(t.lecture);
    jvirt_barray_ptr* tableaux = fond.Demarre();
    if (!tableaux) {
        fond.Termine(t.rapport);
        return JpegParBlocs::Issue::EchecLecture;
    }
    const Coefficients coefficients(info, tableaux, &fond);
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
                                        bool encoderThread, Budget& budget, RapportCodec& rapport)
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
    const Travail travail{lecture, boites, orientation, dessine, ecrits, sortie, rapport};
    return encoderThread && CoefficientsEnFond::Possible(info) ? EnParallele(travail) : Successivement(travail);
}

#include "MotifRepete.h"

#include "DessinStyle.h"
#include "PixelRows.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace {

// Beyond this many pixels a tile is not made: a mark that large covers the
// picture once rather than repeating on it.
constexpr long long kPixelsTuile = 1LL << 24;

long long Plancher(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

long long Arrondi(double v) { return static_cast<long long>(std::floor(v + 0.5)); }

// A premultiplied pixel over an opaque one.
inline std::uint32_t Sur(std::uint32_t s, std::uint32_t d)
{
    const unsigned alpha = s >> 24;
    if (!alpha)
        return d;
    const unsigned reste = 255 - alpha;
    const auto canal = [&](int decalage) {
        const unsigned v = ((s >> decalage) & 0xFF) + (((d >> decalage) & 0xFF) * reste + 127) / 255;
        return std::min(v, 255u);
    };
    return canal(16) << 16 | canal(8) << 8 | canal(0);
}

} // namespace

void MotifRepete::Vide()
{
    m_Tuile.clear();
    m_Largeur = m_Hauteur = m_PasLong = m_PasTravers = m_OrigineX = m_OrigineY = 0;
    m_Cos = 1;
    m_Sin = 0;
}

void MotifRepete::Texte(const CString& texte, HFONT police, COLORREF encre, COLORREF fond, int transparent,
                        const Style& style, CSize picture)
{
    Cle cle;
    cle.genre = 1;
    cle.texte = texte;
    if (police)
        std::memcpy(cle.police.data(), &police->description(), sizeof(LOGFONT));
    cle.encre = encre;
    cle.fond = fond;
    cle.transparent = transparent;
    cle.style = style;
    cle.picture = picture;
    if (cle == m_Cle)
        return;
    // Placed far inside a frame larger than any line, the text loses
    // nothing to an edge: its zone is the whole layer.
    constexpr int kLoin = 1 << 24;
    Position place;
    place.point = CPoint(kLoin, kLoin);
    const QRect zone = DessinStyle::Zone(CSize(2 * kLoin, 2 * kLoin), texte, place, police, style);
    std::vector<std::uint32_t> source;
    if (!zone.isEmpty() && 1LL * zone.width() * zone.height() <= kPixelsTuile) {
        // Drawn onto a frame of the zone's size, the layer's pixels are the tile.
        if (HBITMAP cadre = CreateBitmap(zone.width(), zone.height(), 1, 32, nullptr)) {
            DessinStyle::Calque calque;
            place.point = CPoint(kLoin - zone.left(), kLoin - zone.top());
            DessinStyle::Texte(cadre, texte, place, encre, fond, transparent, police, style, &calque);
            DeleteObject(cadre);
            if (calque.valide && calque.pixels.size() == static_cast<std::size_t>(zone.width()) * zone.height())
                source = std::move(calque.pixels);
        }
    }
    Construit(std::move(cle), std::move(source), zone.width(), zone.height());
}

void MotifRepete::Logo(HBITMAP logo, const std::uint8_t* alpha, const Style& style, CSize picture)
{
    Cle cle;
    cle.genre = 2;
    cle.logo = logo;
    cle.alpha = alpha;
    cle.taille = logo ? CSize(logo->width(), logo->height()) : CSize();
    cle.style = style;
    cle.picture = picture;
    if (cle == m_Cle)
        return;
    const int largeur = static_cast<int>(cle.taille.cx), hauteur = static_cast<int>(cle.taille.cy);
    std::vector<std::uint32_t> source;
    if (largeur > 0 && hauteur > 0 && 1LL * largeur * hauteur <= kPixelsTuile) {
        source.resize(static_cast<std::size_t>(largeur) * hauteur);
        for (int y = 0; y < hauteur; ++y) {
            std::uint32_t* ligne = source.data() + static_cast<std::size_t>(y) * largeur;
            PixelRows::Read(*logo, 0, y, largeur, ligne);
            const std::uint8_t* couverture = alpha ? alpha + static_cast<std::size_t>(y) * largeur : nullptr;
            for (int x = 0; x < largeur; ++x) {
                const unsigned k = couverture ? couverture[x] : 255;
                const auto canal = [&](int decalage) { return (((ligne[x] >> decalage) & 0xFF) * k + 127) / 255; };
                ligne[x] = k << 24 | canal(16) << 16 | canal(8) << 8 | canal(0);
            }
        }
    }
    Construit(std::move(cle), std::move(source), largeur, hauteur);
}

void MotifRepete::Construit(Cle cle, std::vector<std::uint32_t> source, int largeur, int hauteur)
{
    const Style style = cle.style;
    const CSize picture = cle.picture;
    m_Cle = std::move(cle);
    Vide();
    if (source.empty() || picture.cx <= 0 || picture.cy <= 0)
        return;
    const unsigned opacite = (std::clamp(style.Opacite, 0, 100) * 255 + 50) / 100;
    if (opacite < 255)
        for (std::uint32_t& p : source) {
            const auto canal = [&](int decalage) { return (((p >> decalage) & 0xFF) * opacite + 127) / 255; };
            p = canal(24) << 24 | canal(16) << 16 | canal(8) << 8 | canal(0);
        }

    const int angle = std::clamp(style.Angle, 0, Style::kAngleMaximal);
    if (angle == 0) {
        m_Tuile = std::move(source);
        m_Largeur = largeur;
        m_Hauteur = hauteur;
    } else {
        const double radians = angle * std::numbers::pi / 180.0;
        const double c = std::cos(radians), s = std::sin(radians);
        // The turned tile's bounding box; cos 90 degrees is not quite 0.
        const auto cote = [](double v) { return std::max(1, static_cast<int>(std::ceil(v - 1e-6))); };
        const int l = cote(largeur * c + hauteur * s), h = cote(largeur * s + hauteur * c);
        if (1LL * l * h > 2 * kPixelsTuile)
            return;
        m_Tuile.assign(static_cast<std::size_t>(l) * h, 0);
        const QImage avant(reinterpret_cast<const uchar*>(source.data()), largeur, hauteur, largeur * 4,
                           QImage::Format_ARGB32_Premultiplied);
        QImage apres(reinterpret_cast<uchar*>(m_Tuile.data()), l, h, l * 4, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&apres);
        p.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
        p.translate(l / 2.0, h / 2.0);
        p.rotate(-angle); // y grows downwards: anticlockwise on screen
        p.drawImage(QPointF(-largeur / 2.0, -hauteur / 2.0), avant);
        p.end();
        m_Largeur = l;
        m_Hauteur = h;
        m_Cos = c;
        m_Sin = s;
    }
    const long long court = std::min(picture.cx, picture.cy);
    const long long ecart =
        (court * std::clamp(style.Espacement, Style::kEspacementMinimal, Style::kEspacementMaximal) + 50) / 100;
    // Steps from the unturned sizes: the marks stay as close along their own
    // angle as a level mark is, however long it is.
    m_PasLong = static_cast<int>(largeur + ecart);
    m_PasTravers = static_cast<int>(hauteur + ecart);
    m_OrigineX = static_cast<int>(Plancher(1LL * picture.cx - m_Largeur, 2));
    m_OrigineY = static_cast<int>(Plancher(1LL * picture.cy - m_Hauteur, 2));
}

std::vector<std::pair<long long, long long>> MotifRepete::Marques(long long gauche, long long haut, long long droite,
                                                                   long long bas) const
{
    std::vector<std::pair<long long, long long>> marques;
    // A mark meets the zone when its top-left, taken from the middle mark's,
    // lies in [x0, x1] x [y0, y1].
    const double x0 = static_cast<double>(gauche - m_Largeur + 1 - m_OrigineX);
    const double x1 = static_cast<double>(droite - 1 - m_OrigineX);
    const double y0 = static_cast<double>(haut - m_Hauteur + 1 - m_OrigineY);
    const double y1 = static_cast<double>(bas - 1 - m_OrigineY);
    if (x0 > x1 || y0 > y1)
        return marques;
    const double c = m_Cos, s = m_Sin, pasLong = m_PasLong, pasTravers = m_PasTravers;
    // Along (c, -s) and across (s, c), with c, s >= 0; one row more each
    // side for the rounding of the corners.
    const long long premier = static_cast<long long>(std::floor((x0 * s + y0 * c) / pasTravers)) - 1;
    const long long dernier = static_cast<long long>(std::ceil((x1 * s + y1 * c) / pasTravers)) + 1;
    for (long long j = premier; j <= dernier; ++j) {
        const double bx = j * pasTravers * s, by = j * pasTravers * c;
        // The row's points are (bx + t c, by - t s): the stretch of t within
        // the zone, widened by a pixel for the rounding. An axis the row
        // hardly moves along bounds nothing; cos 90 degrees is not quite 0.
        double debut = -HUGE_VAL, fin = HUGE_VAL;
        if (c > 1e-9) {
            debut = std::max(debut, (x0 - 1 - bx) / c);
            fin = std::min(fin, (x1 + 1 - bx) / c);
        }
        if (s > 1e-9) {
            debut = std::max(debut, (by - y1 - 1) / s);
            fin = std::min(fin, (by - y0 + 1) / s);
        }
        if (debut > fin)
            continue;
        // Every other row half a step along, as bricks are laid.
        const long long decalage = (j & 1) ? m_PasLong / 2 : 0;
        const long long fini = static_cast<long long>(std::ceil((fin - decalage) / pasLong)) + 1;
        for (long long i = static_cast<long long>(std::floor((debut - decalage) / pasLong)) - 1; i <= fini; ++i) {
            const double t = static_cast<double>(i * m_PasLong + decalage);
            const long long x = Arrondi(bx + t * c), y = Arrondi(by - t * s);
            if (x >= x0 && x <= x1 && y >= y0 && y <= y1)
                marques.emplace_back(x + m_OrigineX, y + m_OrigineY);
        }
    }
    std::stable_sort(marques.begin(), marques.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    return marques;
}

void MotifRepete::Pose(HBITMAP piece, CPoint origin) const
{
    if (!piece || m_Tuile.empty())
        return;
    const int largeur = piece->width(), hauteur = piece->height();
    const bool direct = piece->bitsPerPixel() == 32;
    std::vector<std::uint32_t> tampon(direct ? 0 : static_cast<std::size_t>(largeur));
    const long long gauchePiece = origin.x, droitePiece = gauchePiece + largeur;
    const auto marques = Marques(gauchePiece, origin.y, droitePiece, 1LL * origin.y + hauteur);
    // Sorted by their top rows and all as high, the marks on a row follow
    // each other: [premiere, apres).
    std::size_t premiere = 0, apres = 0;
    for (int py = 0; py < hauteur; ++py) {
        const long long y = 1LL * origin.y + py;
        while (premiere < marques.size() && marques[premiere].second + m_Hauteur <= y)
            ++premiere;
        while (apres < marques.size() && marques[apres].second <= y)
            ++apres;
        if (premiere >= apres)
            continue;
        std::uint32_t* pixels = direct ? reinterpret_cast<std::uint32_t*>(piece->row(py)) : tampon.data();
        if (!direct)
            PixelRows::Read(*piece, 0, py, largeur, pixels);
        for (std::size_t k = premiere; k < apres; ++k) {
            const auto [sx, sy] = marques[k];
            const std::uint32_t* tuile = m_Tuile.data() + (y - sy) * m_Largeur;
            const long long fin = std::min(sx + m_Largeur, droitePiece);
            for (long long x = std::max(sx, gauchePiece); x < fin; ++x)
                pixels[x - gauchePiece] = Sur(tuile[x - sx], pixels[x - gauchePiece]);
        }
        if (!direct)
            PixelRows::Write(*piece, 0, py, largeur, pixels);
    }
}

#include "Icones.h"

#include "Pinceaux.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

using namespace Pinceaux;

namespace {

constexpr int kCote = 48;

// Drawn in kCote units whatever the size in pixels.
struct Toile {
    QImage image;
    QPainter p;
    explicit Toile(int cote = kCote) : image(cote, cote, QImage::Format_ARGB32_Premultiplied)
    {
        image.fill(Qt::transparent);
        p.begin(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(qreal(cote) / kCote, qreal(cote) / kCote);
    }
    QImage fin()
    {
        p.end();
        return image;
    }
};

QFont Police(const char* famille, int pixels, bool gras = true)
{
    QFont f(QString::fromLatin1(famille));
    f.setPixelSize(pixels);
    f.setBold(gras);
    return f;
}

// A circular arrow turning clockwise, open at the top right.
void FlecheCirculaire(QPainter& p, QPointF centre, qreal rayon, const QColor& couleur)
{
    p.save();
    const QRectF cercle(centre.x() - rayon, centre.y() - rayon, 2 * rayon, 2 * rayon);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(couleur.darker(160), rayon * 0.55, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(cercle, 70 * 16, 290 * 16);
    p.setPen(QPen(couleur, rayon * 0.36, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(cercle, 72 * 16, 286 * 16);
    // Arrow head at the arc's start (70 degrees), pointing clockwise.
    const qreal a = 70 * M_PI / 180;
    const QPointF bout(centre.x() + rayon * std::cos(a), centre.y() - rayon * std::sin(a));
    const QPointF tangente(std::sin(a), std::cos(a));
    const QPointF normale(std::cos(a), -std::sin(a));
    const qreal t = rayon * 0.62;
    QPolygonF tete{bout + normale * t, bout - normale * t, bout + tangente * t * 1.2};
    p.setPen(QPen(couleur.darker(160), 1.0));
    p.setBrush(couleur);
    p.drawPolygon(tete);
    p.restore();
}

void Lignes(QPainter& p, qreal x, qreal y, qreal largeur, int nombre, qreal pas)
{
    p.save();
    p.setPen(QPen(QColor(0x8a, 0x93, 0xa5), 2.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < nombre; ++i)
        p.drawLine(QPointF(x, y + i * pas), QPointF(x + largeur * (i % 2 ? 0.75 : 1.0), y + i * pas));
    p.restore();
}

void Chemise(QPainter& p, bool ouverte)
{
    QLinearGradient fond(0, 8, 0, 42);
    fond.setColorAt(0, QColor(0xe0, 0xa8, 0x2e));
    fond.setColorAt(1, QColor(0xb9, 0x80, 0x18));
    QPainterPath dos;
    dos.moveTo(3, 41);
    dos.lineTo(3, 9);
    dos.lineTo(17, 9);
    dos.lineTo(21, 13);
    dos.lineTo(43, 13);
    dos.lineTo(43, 41);
    dos.closeSubpath();
    p.setBrush(fond);
    p.setPen(QPen(QColor(0x6b, 0x48, 0x0c), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(dos);
    if (ouverte) {
        Feuille(p, QRectF(10, 5, 24, 28));
        Lignes(p, 14, 15, 14, 3, 5);
    }
    QLinearGradient face(0, 18, 0, 42);
    face.setColorAt(0, QColor(0xff, 0xdb, 0x6e));
    face.setColorAt(1, QColor(0xf0, 0xb2, 0x30));
    QPainterPath devant;
    if (ouverte) {
        devant.moveTo(3, 41);
        devant.lineTo(9, 21);
        devant.lineTo(46, 21);
        devant.lineTo(41, 41);
    } else {
        devant.moveTo(3, 41);
        devant.lineTo(3, 18);
        devant.lineTo(43, 18);
        devant.lineTo(43, 41);
    }
    devant.closeSubpath();
    p.setBrush(face);
    p.drawPath(devant);
}

} // namespace

namespace Icones {

QImage Application(int cote)
{
    Toile t(cote);
    QLinearGradient nuit(0, 0, kCote, kCote);
    nuit.setColorAt(0, QColor(0x2c, 0x3e, 0x66));
    nuit.setColorAt(1, kMarine);
    Carte(t.p, QRectF(2, 2, 43, 43), 8, nuit, QColor(0x0e, 0x16, 0x2a));
    Tampon(t.p, QPointF(23.5, 23.5), 16);
    return t.fin();
}

QImage SignerTout()
{
    Toile t;
    Photo(t.p, QRectF(3, 3, 28, 21), true);
    Photo(t.p, QRectF(8, 9, 28, 21), true);
    Photo(t.p, QRectF(13, 15, 28, 21));
    Tampon(t.p, QPointF(34, 34), 11);
    return t.fin();
}

QImage Aide()
{
    Toile t;
    QRadialGradient disque(QPointF(18, 15), 30);
    disque.setColorAt(0, QColor(0x6c, 0xb2, 0xff));
    disque.setColorAt(1, QColor(0x1c, 0x4f, 0xa6));
    t.p.setBrush(disque);
    t.p.setPen(QPen(QColor(0x10, 0x2f, 0x66), 1.6));
    t.p.drawEllipse(QPointF(24, 24), 21, 21);
    t.p.setFont(Police("DejaVu Sans", 32));
    t.p.setPen(Qt::white);
    t.p.drawText(QRectF(0, 1, kCote, kCote), Qt::AlignCenter, QStringLiteral("?"));
    return t.fin();
}

QImage Enregistrer()
{
    Toile t;
    QLinearGradient bleu(0, 4, 0, 44);
    bleu.setColorAt(0, QColor(0x3d, 0x73, 0xc4));
    bleu.setColorAt(1, QColor(0x22, 0x4a, 0x8c));
    QPainterPath corps;
    corps.moveTo(5, 5);
    corps.lineTo(37, 5);
    corps.lineTo(43, 11);
    corps.lineTo(43, 43);
    corps.lineTo(5, 43);
    corps.closeSubpath();
    t.p.setBrush(bleu);
    t.p.setPen(QPen(QColor(0x12, 0x2a, 0x55), 1.6, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    t.p.drawPath(corps);
    // Metal shutter with its slot
    t.p.setBrush(QColor(0xd5, 0xda, 0xe2));
    t.p.setPen(QPen(QColor(0x12, 0x2a, 0x55), 1.2));
    t.p.drawRect(QRectF(13, 5, 19, 13));
    t.p.setBrush(QColor(0x2a, 0x3a, 0x55));
    t.p.setPen(Qt::NoPen);
    t.p.drawRect(QRectF(25, 7.5, 4.5, 8));
    // Label
    t.p.setBrush(Qt::white);
    t.p.setPen(QPen(QColor(0x12, 0x2a, 0x55), 1.2));
    t.p.drawRoundedRect(QRectF(10, 24, 28, 17), 2, 2);
    Lignes(t.p, 14, 29.5, 20, 2, 6);
    return t.fin();
}

QImage Supprimer()
{
    Toile t;
    Feuille(t.p, QRectF(8, 3, 30, 40));
    Lignes(t.p, 13, 14, 18, 5, 5);
    t.p.setPen(QPen(QColor(0x7a, 0x12, 0x0c), 9, Qt::SolidLine, Qt::RoundCap));
    t.p.drawLine(QPointF(20, 22), QPointF(40, 42));
    t.p.drawLine(QPointF(40, 22), QPointF(20, 42));
    t.p.setPen(QPen(kRouge.lighter(115), 6, Qt::SolidLine, Qt::RoundCap));
    t.p.drawLine(QPointF(20, 22), QPointF(40, 42));
    t.p.drawLine(QPointF(40, 22), QPointF(20, 42));
    return t.fin();
}

QImage Dossier()
{
    Toile t;
    Chemise(t.p, false);
    return t.fin();
}

QImage ListeFichiers()
{
    Toile t;
    Feuille(t.p, QRectF(5, 2, 36, 44));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 11 + i * 11.5;
        Photo(t.p, QRectF(9, y, 12, 9.5));
        t.p.setPen(QPen(QColor(0x5a, 0x66, 0x7d), 2.6, Qt::SolidLine, Qt::RoundCap));
        t.p.drawLine(QPointF(24.5, y + 4.8), QPointF(i == 1 ? 32 : 36, y + 4.8));
    }
    return t.fin();
}

QImage Logo()
{
    Toile t;
    Photo(t.p, QRectF(2, 5, 42, 33));
    // Emblem: a gold disc with a red star, overlapping the photo's corner.
    const QPointF c(35, 36);
    QRadialGradient or_(c - QPointF(3, 3), 13);
    or_.setColorAt(0, QColor(0xff, 0xe9, 0xa8));
    or_.setColorAt(1, QColor(0xd8, 0x9a, 0x2a));
    t.p.setBrush(or_);
    t.p.setPen(QPen(QColor(0x7a, 0x50, 0x0a), 1.5));
    t.p.drawEllipse(c, 10.5, 10.5);
    QPolygonF etoile;
    for (int i = 0; i < 10; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const qreal r = i % 2 ? 3.2 : 7.6;
        etoile << c + QPointF(r * std::cos(a), r * std::sin(a));
    }
    t.p.setBrush(kRouge);
    t.p.setPen(QPen(QColor(0x6e, 0x14, 0x0c), 1.0));
    t.p.drawPolygon(etoile);
    return t.fin();
}

QImage Ouvrir()
{
    Toile t;
    Chemise(t.p, true);
    return t.fin();
}

QImage Reglages()
{
    Toile t;
    const QPointF c(24, 24);
    QPainterPath roue;
    constexpr int kDents = 8;
    for (int i = 0; i < kDents * 4; ++i) {
        // Each tooth: two points on the outer circle, two on the inner one.
        const qreal a = (i - 0.5) * 2 * M_PI / (kDents * 4);
        const qreal r = (i % 4 == 0 || i % 4 == 1) ? 21.5 : 15.5;
        const QPointF pt = c + QPointF(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            roue.moveTo(pt);
        else
            roue.lineTo(pt);
    }
    roue.closeSubpath();
    roue.addEllipse(c, 6.5, 6.5);
    roue.setFillRule(Qt::OddEvenFill);
    QLinearGradient acier(0, 0, kCote, kCote);
    acier.setColorAt(0, QColor(0xd8, 0xdd, 0xe6));
    acier.setColorAt(1, QColor(0x6d, 0x78, 0x8c));
    t.p.setBrush(acier);
    t.p.setPen(QPen(QColor(0x2e, 0x35, 0x44), 1.6, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    t.p.drawPath(roue);
    t.p.setBrush(Qt::NoBrush);
    t.p.setPen(QPen(QColor(0x4b, 0x55, 0x68), 1.4));
    t.p.drawEllipse(c, 11, 11);
    return t.fin();
}

QImage Texte()
{
    Toile t;
    Carte(t.p, QRectF(4, 4, 40, 40), 4, Qt::white, kContour);
    t.p.setFont(Police("DejaVu Serif", 36));
    t.p.setPen(kMarine);
    t.p.drawText(QRectF(4, 0, 40, 40), Qt::AlignCenter, QStringLiteral("A"));
    t.p.setPen(Qt::NoPen);
    t.p.setBrush(kRouge);
    t.p.drawRoundedRect(QRectF(10, 35, 28, 4.5), 1.5, 1.5);
    return t.fin();
}

QImage Affichage()
{
    Toile t;
    // Stand
    t.p.setBrush(QColor(0x5d, 0x66, 0x78));
    t.p.setPen(QPen(kContour, 1.2));
    QPolygonF pied{QPointF(19, 35), QPointF(29, 35), QPointF(31, 42), QPointF(17, 42)};
    t.p.drawPolygon(pied);
    t.p.drawRoundedRect(QRectF(12, 41, 24, 4), 1.5, 1.5);
    // Bezel and screen
    QLinearGradient cadre(0, 3, 0, 36);
    cadre.setColorAt(0, QColor(0x4a, 0x52, 0x63));
    cadre.setColorAt(1, QColor(0x22, 0x27, 0x33));
    t.p.setBrush(cadre);
    t.p.setPen(QPen(QColor(0x12, 0x15, 0x1c), 1.4));
    t.p.drawRoundedRect(QRectF(2, 4, 44, 32), 3, 3);
    Photo(t.p, QRectF(4.5, 6.5, 39, 27));
    return t.fin();
}

QImage Nouveau()
{
    Toile t;
    Feuille(t.p, QRectF(6, 2, 30, 40));
    Lignes(t.p, 11, 13, 18, 3, 5);
    t.p.setBrush(QColor(0xf4, 0xfb, 0xf4));
    t.p.setPen(QPen(QColor(0x1f, 0x6b, 0x2c), 1.2));
    t.p.drawEllipse(QPointF(32, 32), 14, 14);
    FlecheCirculaire(t.p, QPointF(32, 32), 8.5, QColor(0x2f, 0xa6, 0x3f));
    return t.fin();
}

QImage Main()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Index finger up from the hot spot, three folded fingers, thumb on the left.
    QPainterPath main;
    main.moveTo(9, 4);
    main.quadTo(11, 0.5, 13, 4);
    main.lineTo(13, 13);
    main.quadTo(15, 11, 17, 13);
    main.quadTo(19, 11.5, 21, 14);
    main.quadTo(23, 12.5, 25, 15);
    main.lineTo(25, 23);
    main.quadTo(24.5, 28, 21, 30);
    main.lineTo(12, 30);
    main.quadTo(9, 27, 5, 20);
    main.quadTo(4, 17, 6.5, 17);
    main.quadTo(8, 17.5, 9, 20);
    main.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(main);
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 13), QPointF(17, 19));
    p.drawLine(QPointF(21, 14), QPointF(21, 19.5));
    p.end();
    return image;
}

QImage LogoEditeur()
{
    // Opaque: device images carry no transparency.
    QImage image(112, 34, QImage::Format_RGB32);
    image.fill(QColor(0xfb, 0xf7, 0xee));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(QColor(0xc8, 0xb8, 0x96), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 111, 33));
    Tampon(p, QPointF(17, 17), 12.5);
    p.setFont(Police("DejaVu Serif", 19));
    p.setPen(kMarine);
    p.drawText(QRectF(34, 0, 78, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quillon"));
    p.setFont(Police("DejaVu Sans", 8, false));
    p.setPen(kRouge.darker(115));
    p.drawText(QRectF(35, 21, 76, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("picture software"));
    p.end();
    return image;
}

} // namespace Icones

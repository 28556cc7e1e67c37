#include "Pinceaux.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace Pinceaux {

void Carte(QPainter& p, const QRectF& zone, qreal arrondi, const QBrush& fond, const QColor& bord)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(zone.translated(1.2, 1.6), arrondi, arrondi);
    p.setBrush(fond);
    p.setPen(QPen(bord, 1.4));
    p.drawRoundedRect(zone, arrondi, arrondi);
    p.restore();
}

void Feuille(QPainter& p, const QRectF& z)
{
    const qreal pli = z.width() * 0.3;
    QPainterPath feuille;
    feuille.moveTo(z.left(), z.top());
    feuille.lineTo(z.right() - pli, z.top());
    feuille.lineTo(z.right(), z.top() + pli);
    feuille.lineTo(z.right(), z.bottom());
    feuille.lineTo(z.left(), z.bottom());
    feuille.closeSubpath();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawPath(feuille.translated(1.2, 1.6));
    QLinearGradient blanc(z.topLeft(), z.bottomRight());
    blanc.setColorAt(0, Qt::white);
    blanc.setColorAt(1, QColor(0xe4, 0xe8, 0xef));
    p.setBrush(blanc);
    p.setPen(QPen(kContour, 1.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(feuille);
    QPainterPath coin;
    coin.moveTo(z.right() - pli, z.top());
    coin.lineTo(z.right() - pli, z.top() + pli);
    coin.lineTo(z.right(), z.top() + pli);
    coin.closeSubpath();
    p.setBrush(QColor(0xc9, 0xcf, 0xda));
    p.drawPath(coin);
    p.restore();
}

void Photo(QPainter& p, const QRectF& z, bool terne)
{
    p.save();
    Carte(p, z, 1.5, Qt::white, kContour);
    const QRectF image = z.adjusted(2.2, 2.2, -2.2, -2.2);
    p.setClipRect(image);
    QLinearGradient ciel(image.topLeft(), image.bottomLeft());
    ciel.setColorAt(0, terne ? QColor(0x9d, 0xaa, 0xbb) : QColor(0x3f, 0x8d, 0xe0));
    ciel.setColorAt(1, terne ? QColor(0xd4, 0xd9, 0xe0) : QColor(0xb9, 0xe0, 0xff));
    p.fillRect(image, ciel);
    p.setPen(Qt::NoPen);
    p.setBrush(terne ? QColor(0xe8, 0xe2, 0xc8) : QColor(0xff, 0xd2, 0x3f));
    const qreal r = image.height() * 0.16;
    p.drawEllipse(QPointF(image.left() + image.width() * 0.72, image.top() + image.height() * 0.3), r, r);
    QPainterPath colline;
    colline.moveTo(image.left(), image.bottom());
    colline.lineTo(image.left(), image.top() + image.height() * 0.62);
    colline.quadTo(image.left() + image.width() * 0.35, image.top() + image.height() * 0.25,
                   image.left() + image.width() * 0.7, image.top() + image.height() * 0.7);
    colline.lineTo(image.right(), image.top() + image.height() * 0.55);
    colline.lineTo(image.right(), image.bottom());
    colline.closeSubpath();
    p.setBrush(terne ? QColor(0x8c, 0x9a, 0x86) : QColor(0x3c, 0xa4, 0x4a));
    p.drawPath(colline);
    QPainterPath devant;
    devant.moveTo(image.left(), image.bottom());
    devant.quadTo(image.left() + image.width() * 0.55, image.top() + image.height() * 0.6, image.right(),
                  image.bottom());
    p.setBrush(terne ? QColor(0x6f, 0x7d, 0x6b) : QColor(0x24, 0x7a, 0x35));
    p.drawPath(devant);
    p.restore();
}

void Plume(QPainter& p, QPointF bec, QPointF pointe, qreal largeur, const QColor& couleur)
{
    const QPointF axe = pointe - bec;
    const qreal longueur = std::hypot(axe.x(), axe.y());
    const qreal angle = std::atan2(axe.y(), axe.x()) * 180.0 / M_PI;
    p.save();
    p.translate(bec);
    p.rotate(angle);
    // Along x from the nib (0) to the tip (longueur); the vane is wider on one side.
    QPainterPath barbe;
    barbe.moveTo(longueur * 0.12, 0);
    barbe.cubicTo(longueur * 0.35, -largeur * 0.75, longueur * 0.7, -largeur * 0.8, longueur, 0);
    barbe.cubicTo(longueur * 0.72, largeur * 0.45, longueur * 0.4, largeur * 0.5, longueur * 0.12, 0);
    QLinearGradient teinte(QPointF(0, -largeur), QPointF(0, largeur));
    teinte.setColorAt(0, couleur.lighter(125));
    teinte.setColorAt(1, couleur.darker(125));
    p.setBrush(teinte);
    p.setPen(QPen(couleur.darker(190), 1.0));
    p.drawPath(barbe);
    p.setPen(QPen(couleur.darker(220), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 0), QPointF(longueur * 0.92, 0));
    p.restore();
}

void Tampon(QPainter& p, QPointF centre, qreal rayon)
{
    p.save();
    p.setBrush(QColor(0xfb, 0xf4, 0xe8));
    p.setPen(QPen(kRouge, rayon * 0.2));
    p.drawEllipse(centre, rayon, rayon);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRouge, std::max<qreal>(1.0, rayon * 0.07)));
    p.drawEllipse(centre, rayon * 0.72, rayon * 0.72);
    Plume(p, centre + QPointF(-rayon * 0.42, rayon * 0.42), centre + QPointF(rayon * 0.45, -rayon * 0.45),
          rayon * 0.5, kOr);
    p.restore();
}

} // namespace Pinceaux

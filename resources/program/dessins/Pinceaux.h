#pragma once
// Shapes shared by the program's pictures: sheets, photo thumbnails, the
// quill and the red stamp of the application's mark.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace Pinceaux {

// Palette of the about picture, so that the icons belong with it.
inline const QColor kMarine(0x1d, 0x2b, 0x4a);
inline const QColor kOr(0xf2, 0xc0, 0x6b);
inline const QColor kRouge(0xcf, 0x3a, 0x2c);
inline const QColor kContour(0x2a, 0x2a, 0x33);

// A white sheet with a folded top-right corner.
void Feuille(QPainter& p, const QRectF& zone);
// A small landscape photo: sky, sun, two hills, white border.
void Photo(QPainter& p, const QRectF& zone, bool terne = false);
// A quill from its nib to its tip, width across the vane.
void Plume(QPainter& p, QPointF bec, QPointF pointe, qreal largeur, const QColor& couleur);
// The application's stamp: a red double ring with a quill inside.
void Tampon(QPainter& p, QPointF centre, qreal rayon);
// A rounded card with a soft drop shadow.
void Carte(QPainter& p, const QRectF& zone, qreal arrondi, const QBrush& fond, const QColor& bord);

} // namespace Pinceaux

#pragma once
// Turns a colour function or a set of painted shapes into a tile image.

#include "Couleur.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <functional>

namespace Rendu {

using Fonction = std::function<Couleur(double x, double y)>;

// Each pixel is the mean of ss x ss samples of f, taken at pixel coordinates.
QImage Champ(int largeur, int hauteur, const Fonction& f, int ss = 1);

// Paints shapes 0 to n - 1 in turn on the image; each shape is painted at its
// place and again one tile away on every side, so that what crosses an edge
// comes back at the opposite edge.
void Formes(QImage& image, int n, const std::function<void(QPainter&, int)>& forme);

QColor VersQColor(Couleur c);

} // namespace Rendu

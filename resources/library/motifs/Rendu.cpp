#include "Rendu.h"

namespace Rendu {

QColor VersQColor(Couleur c)
{
    auto canal = [](double v) { return static_cast<int>(std::lround(Borne(v, 0, 255))); };
    return QColor(canal(c.r), canal(c.g), canal(c.b));
}

QImage Champ(int largeur, int hauteur, const Fonction& f, int ss)
{
    QImage image(largeur, hauteur, QImage::Format_RGB32);
    for (int y = 0; y < hauteur; ++y) {
        auto* ligne = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < largeur; ++x) {
            Couleur somme;
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i)
                    somme = somme + f(x + (i + 0.5) / ss, y + (j + 0.5) / ss);
            ligne[x] = VersQColor(somme * (1.0 / (ss * ss))).rgb();
        }
    }
    return image;
}

void Formes(QImage& image, int n, const std::function<void(QPainter&, int)>& forme)
{
    QPainter peintre(&image);
    peintre.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < n; ++k)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                peintre.save();
                peintre.translate(dx * image.width(), dy * image.height());
                forme(peintre, k);
                peintre.restore();
            }
}

} // namespace Rendu

// Makes the sample that a first start opens: three photographs drawn here,
// a logo with a transparent background (PNG) and a template placing a line of
// text at the bottom left and the logo at the top right. Its output is
// committed in examples/sample; run it again only to change the sample:
//
//   build/examples/fabrique_echantillon examples/sample

#include "CGraphique.h"
#include "ModeleSignature.h"
#include "codecs/PngFile.h"

#include "CBitmap.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kLargeur = 1024;
constexpr int kHauteur = 683;
constexpr int kQualite = 85;
constexpr int kCoteLogo = 112;


// Same byte order as a 32-bit device image: B, G, R, unused; straight
// (not premultiplied) colours where the drawing has alpha.
bool VersImage(const QImage& dessin, CBitmap& image)
{
    const QImage rgb = dessin.convertToFormat(dessin.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (!image.Attach(Bitmap::Create(rgb.width(), rgb.height(), 32)))
        return false;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(image.GetSafeHandle()->row(y), rgb.constScanLine(y), static_cast<std::size_t>(rgb.width()) * 4);
    return true;
}

QImage Toile(const std::function<void(QPainter&)>& dessine)
{
    QImage image(kLargeur, kHauteur, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    dessine(p);
    return image;
}

void Ciel(QPainter& p, QColor haut, QColor bas)
{
    QLinearGradient ciel(0, 0, 0, kHauteur);
    ciel.setColorAt(0, haut);
    ciel.setColorAt(1, bas);
    p.fillRect(QRect(0, 0, kLargeur, kHauteur), ciel);
}

// A ridge line through the given heights, filled down to the bottom.
void Relief(QPainter& p, const std::vector<qreal>& hauteurs, QColor couleur)
{
    QPainterPath chemin;
    chemin.moveTo(0, kHauteur);
    const qreal pas = qreal(kLargeur) / qreal(hauteurs.size() - 1);
    for (std::size_t i = 0; i < hauteurs.size(); ++i)
        chemin.lineTo(pas * qreal(i), hauteurs[i]);
    chemin.lineTo(kLargeur, kHauteur);
    p.fillPath(chemin, couleur);
}

QImage Lac()
{
    return Toile([](QPainter& p) {
        Ciel(p, QColor(0x2b, 0x4c, 0x7e), QColor(0xf3, 0xb4, 0x7a));
        QRadialGradient soleil(QPointF(700, 190), 90);
        soleil.setColorAt(0, QColor(255, 244, 214));
        soleil.setColorAt(0.4, QColor(255, 226, 170));
        soleil.setColorAt(1, QColor(255, 200, 140, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(soleil);
        p.drawEllipse(QPointF(700, 190), 90, 90);
        Relief(p, {300, 220, 250, 160, 230, 190, 280, 240, 300}, QColor(0x4a, 0x55, 0x78));
        Relief(p, {360, 330, 300, 340, 310, 350, 320, 345, 360}, QColor(0x2f, 0x3d, 0x4a));
        QLinearGradient eau(0, 400, 0, kHauteur);
        eau.setColorAt(0, QColor(0xe8, 0xa6, 0x78));
        eau.setColorAt(1, QColor(0x1e, 0x35, 0x5c));
        p.fillRect(QRect(0, 400, kLargeur, kHauteur - 400), eau);
        p.setPen(QPen(QColor(255, 236, 200, 150), 3));
        for (int i = 0; i < 9; ++i)
            p.drawLine(QPointF(640 + (i % 3) * 12 - i * 4, 420 + i * 22),
                       QPointF(760 - (i % 2) * 14 + i * 4, 420 + i * 22));
    });
}

QImage Collines()
{
    return Toile([](QPainter& p) {
        Ciel(p, QColor(0x6f, 0xb1, 0xe8), QColor(0xdd, 0xee, 0xfa));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        for (const QPointF& c :
             {QPointF(220, 120), QPointF(270, 105), QPointF(320, 125), QPointF(760, 90), QPointF(815, 80)})
            p.drawEllipse(c, 60, 30);
        Relief(p, {420, 380, 350, 370, 400, 360, 330, 350, 390}, QColor(0x7f, 0xae, 0x4c));
        Relief(p, {520, 480, 470, 500, 460, 440, 470, 500, 480}, QColor(0x5d, 0x8f, 0x32));
        // A row of trees along the nearer ridge.
        for (int i = 0; i < 8; ++i) {
            const qreal x = 90 + i * 120;
            const qreal y = 470 - (i % 3) * 12;
            p.setBrush(QColor(0x5a, 0x3b, 0x22));
            p.drawRect(QRectF(x - 5, y, 10, 40));
            p.setBrush(QColor(0x2f, 0x64, 0x2a));
            p.drawEllipse(QPointF(x, y - 18), 30, 38);
        }
        QLinearGradient champ(0, 560, 0, kHauteur);
        champ.setColorAt(0, QColor(0xe9, 0xc4, 0x4c));
        champ.setColorAt(1, QColor(0xb9, 0x8a, 0x22));
        p.fillRect(QRect(0, 560, kLargeur, kHauteur - 560), champ);
    });
}

QImage Port()
{
    return Toile([](QPainter& p) {
        Ciel(p, QColor(0x0f, 0x17, 0x33), QColor(0x3b, 0x2f, 0x5c));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf4, 0xf1, 0xd0));
        p.drawEllipse(QPointF(70, 90), 40, 40);
        // Buildings with lit windows.
        const int hauteurs[] = {260, 330, 210, 380, 290, 240, 350, 200, 310};
        for (int i = 0; i < 9; ++i) {
            const QRectF immeuble(i * 114, 480 - hauteurs[i], 104, hauteurs[i]);
            p.setBrush(QColor(0x1c, 0x22, 0x3a));
            p.drawRect(immeuble);
            p.setBrush(QColor(0xff, 0xd5, 0x7a));
            for (qreal y = immeuble.top() + 14; y < immeuble.bottom() - 20; y += 30)
                for (qreal x = immeuble.left() + 12; x < immeuble.right() - 16; x += 24)
                    if ((int(x) * 7 + int(y) * 3) % 5 < 2)
                        p.drawRect(QRectF(x, y, 10, 14));
        }
        QLinearGradient eau(0, 480, 0, kHauteur);
        eau.setColorAt(0, QColor(0x24, 0x2a, 0x4a));
        eau.setColorAt(1, QColor(0x08, 0x0c, 0x1c));
        p.fillRect(QRect(0, 480, kLargeur, kHauteur - 480), eau);
        p.setPen(QPen(QColor(0xff, 0xd5, 0x7a, 120), 2));
        for (int i = 0; i < 30; ++i)
            p.drawLine(QPointF((i * 97) % kLargeur, 500 + (i * 37) % 170),
                       QPointF((i * 97) % kLargeur + 30, 500 + (i * 37) % 170));
    });
}

// A seal: red ring, cream disc, a navy feather, on a transparent background.
QImage DessinLogo()
{
    QImage image(kCoteLogo, kCoteLogo, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kCoteLogo / 2.0, kCoteLogo / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb8, 0x1d, 0x24));
    p.drawEllipse(centre, 54, 54);
    p.setBrush(QColor(0xf7, 0xf0, 0xdc));
    p.drawEllipse(centre, 44, 44);
    p.setBrush(QColor(0xe2, 0xa9, 0x3b));
    p.drawEllipse(centre, 36, 36);
    p.setBrush(QColor(0x1f, 0x2e, 0x4f));
    QPainterPath plume;
    plume.moveTo(34, 80);
    plume.cubicTo(40, 46, 62, 30, 82, 28);
    plume.cubicTo(80, 50, 64, 72, 34, 80);
    p.drawPath(plume);
    p.setPen(QPen(QColor(0x1f, 0x2e, 0x4f), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(28, 88), QPointF(44, 70));
    return image;
}

// Colours and alpha plane apart, as the PNG writer takes them.
bool EcritLogo(const QString& chemin)
{
    const QImage dessin = DessinLogo();
    CBitmap image;
    if (!VersImage(dessin, image))
        return false;
    std::vector<std::uint8_t> alpha;
    alpha.reserve(std::size_t(kCoteLogo) * kCoteLogo);
    for (int y = 0; y < kCoteLogo; ++y)
        for (int x = 0; x < kCoteLogo; ++x)
            alpha.push_back(static_cast<std::uint8_t>(qAlpha(dessin.pixel(x, y))));
    return PngFile::Sauve(chemin.toStdString(), *image.GetSafeHandle(), &alpha) == 1;
}

bool EcritModele(const QString& chemin)
{
    ModeleSignature modele;
    modele.Texte = "Tamparo2 sample - made with our own code";
    modele.Fonte.lfHeight = -30;
    modele.Fonte.lfWeight = FW_BOLD;
    std::strcpy(modele.Fonte.lfFaceName, "DejaVu Sans");
    modele.CouleurEncre = RGB(255, 255, 255);
    modele.FondTransparent = 1;
    // Text at the bottom left, logo at the top right, 16 pixels in.
    modele.EmplacementTexte.PositionAutomatiqueBas = 1;
    modele.EmplacementTexte.PositionAutomatiqueHaut = 0;
    modele.EmplacementTexte.PositionAutomatiqueGauche = 1;
    modele.EmplacementTexte.PositionAutomatiqueDroite = 0;
    modele.EmplacementTexte.PositionAutomatiqueDeltaX = 16;
    modele.EmplacementTexte.PositionAutomatiqueDeltaY = 16;
    modele.Logo = "logo.png"; // taken from the current folder, the sample's
    modele.EmplacementLogo.PositionAutomatiqueHaut = 1;
    modele.EmplacementLogo.PositionAutomatiqueBas = 0;
    modele.EmplacementLogo.PositionAutomatiqueDroite = 1;
    modele.EmplacementLogo.PositionAutomatiqueGauche = 0;
    modele.EmplacementLogo.PositionAutomatiqueDeltaX = 16;
    modele.EmplacementLogo.PositionAutomatiqueDeltaY = 16;
    // Signed copies beside the photographs, "lake-signed.jpg".
    modele.NomFichier = "-signed";
    modele.NomFichierPrefixe = 0;
    modele.NomFichierSuffixe = 1;
    modele.QualiteJPEG = kQualite;
    return modele.SauveFichier(chemin.toStdString());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dossier(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dossier.path()))
        return 1;
    struct Photo {
        const char* nom;
        QImage (*dessine)();
    };
    CGraphique graphique;
    for (const Photo& photo : {Photo{"lake.jpg", Lac}, Photo{"hills.jpg", Collines}, Photo{"harbour.jpg", Port}}) {
        CBitmap image;
        if (!VersImage(photo.dessine(), image)
            || !graphique.SauveImageJPEG(dossier.filePath(QLatin1String(photo.nom)).toStdString(), image, kQualite)) {
            std::fprintf(stderr, "cannot write %s\n", photo.nom);
            return 1;
        }
    }
    if (!EcritLogo(dossier.filePath(QStringLiteral("logo.png")))
        || !EcritModele(dossier.filePath(QStringLiteral("signature.tp2")))) {
        std::fprintf(stderr, "cannot write the logo or the template\n");
        return 1;
    }
    return 0;
}

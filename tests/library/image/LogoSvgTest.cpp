// SVG logos: loaded by the logo loader at their own size and rendered at
// others exactly as Qt's renderer draws them, alpha kept; drawings that would
// reach outside themselves or cost without bound refused with a message.

#include "CGraphique.h"
#include "TestImages.h"
#include "codecs/Budget.h"
#include "codecs/RapportCodec.h"
#include "codecs/RegistreFormats.h"
#include "image/LogoSvg.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

using namespace TestImages;

namespace {

const std::string kLogo = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" height="50"
     viewBox="0 0 100 50">
  <defs><linearGradient id="g"><stop offset="0" stop-color="#f00"/><stop offset="1" stop-color="#00f"/>
  </linearGradient><circle id="c" r="10" fill-opacity="0.5"/></defs>
  <rect x="5" y="5" width="40" height="40" fill="url(#g)"/>
  <use xlink:href="#c" x="70" y="25" fill="green"/>
</svg>)svg";

void Ecrit(const std::string& chemin, const std::string& texte)
{
    WriteFile(chemin, std::vector<std::uint8_t>(texte.begin(), texte.end()));
}

// Where our rendering and alpha plane first differ from Qt's, or empty.
std::string Ecart(HBITMAP image, const std::vector<std::uint8_t>& alpha, const std::string& texte, QSize taille)
{
    QImage attendu(taille, QImage::Format_ARGB32_Premultiplied);
    attendu.fill(Qt::transparent);
    QSvgRenderer rendu(QByteArray::fromStdString(texte));
    QPainter peintre(&attendu);
    rendu.render(&peintre, QRectF(QPointF(0, 0), QSizeF(taille)));
    peintre.end();
    attendu.convertTo(QImage::Format_ARGB32);
    if (SizeOf(image) != CSize(taille.width(), taille.height()))
        return "size";
    for (int y = 0; y < taille.height(); ++y)
        for (int x = 0; x < taille.width(); ++x) {
            const QRgb p = attendu.pixel(x, y);
            const int a = alpha.empty() ? 255 : alpha[std::size_t(y) * taille.width() + x];
            if (Pixel(image, x, y) != RGB(qRed(p), qGreen(p), qBlue(p)) || a != qAlpha(p))
                return std::to_string(x) + "," + std::to_string(y);
        }
    return {};
}

class Svg : public testing::Test {
protected:
    Sandbox box;
    CGraphique graphique;
};

TEST_F(Svg, RenderedAtItsOwnSizeAndOthersAsQtDrawsIt)
{
    const std::string chemin = box.path("logo.svg");
    Ecrit(chemin, kLogo);
    std::vector<std::uint8_t> alpha;
    RapportCodec rapport;
    HBITMAP propre = graphique.ChargeImageAlpha(chemin, alpha, rapport);
    ASSERT_NE(propre, nullptr);
    EXPECT_TRUE(rapport.Messages().empty());
    EXPECT_FALSE(alpha.empty());
    EXPECT_EQ(Ecart(propre, alpha, kLogo, QSize(100, 50)), "");
    DeleteObject(propre);

    const LogoSvg logo = LogoSvg::Ouvre(chemin, rapport);
    ASSERT_TRUE(logo.Valide());
    EXPECT_EQ(logo.TailleIntrinseque(), CSize(100, 50));
    for (const QSize taille : {QSize(300, 150), QSize(33, 17)}) {
        Budget budget;
        HBITMAP image = logo.Rend(CSize(taille.width(), taille.height()), budget, &alpha);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(Ecart(image, alpha, kLogo, taille), "") << taille.width();
        DeleteObject(image);
    }
    // A size the budget refuses, or none, renders nothing.
    Budget petit(Budget::Limites{1000, 1 << 20});
    EXPECT_EQ(logo.Rend(CSize(100, 100), petit, &alpha), nullptr);
    Budget budget;
    EXPECT_EQ(logo.Rend(CSize(0, 10), budget, &alpha), nullptr);
}

TEST_F(Svg, ALogoButNeverAPictureToSign)
{
    Ecrit(box.path("sans-nom"), "\xEF\xBB\xBF\n  " + kLogo.substr(kLogo.find("<svg")));
    Ecrit(box.path("logo.svg"), kLogo);
    Ecrit(box.path("damaged.svg"), "");
    const RegistreFormats::Format* svg = &RegistreFormats::De(RegistreFormats::Genre::Svg);
    for (const char* nom : {"sans-nom", "logo.svg", "damaged.svg"}) {
        EXPECT_EQ(RegistreFormats::Logo(box.path(nom)), svg) << nom;
        EXPECT_EQ(RegistreFormats::ParContenu(box.path(nom)), nullptr) << nom;
    }
    EXPECT_EQ(RegistreFormats::ParNom("logo.svg"), nullptr);
    EXPECT_EQ(RegistreFormats::ListeTerminaisons(", ", " or ").find("svg"), std::string::npos);
    EXPECT_EQ(svg->Ecrit, nullptr);
    RapportCodec rapport;
    std::vector<std::uint8_t> alpha;
    EXPECT_EQ(graphique.ChargeImageAlpha(box.path("damaged.svg"), alpha, rapport), nullptr);
    EXPECT_FALSE(rapport.Messages().empty());
}

TEST_F(Svg, HostileDrawingsAreRefused)
{
    const auto svg = [](const std::string& corps, const std::string& attributs = "width=\"10\" height=\"10\"") {
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" " + attributs
               + ">" + corps + "</svg>";
    };
    const std::string bombe = [&] {
        std::string defs = "<g id=\"a0\"><rect width=\"1\" height=\"1\"/></g>";
        for (int i = 1; i <= 8; ++i) {
            defs += "<g id=\"a" + std::to_string(i) + "\">";
            for (int j = 0; j < 10; ++j)
                defs += "<use xlink:href=\"#a" + std::to_string(i - 1) + "\"/>";
            defs += "</g>";
        }
        return svg("<defs>" + defs + "</defs><use xlink:href=\"#a8\"/>");
    }();
    std::string profond;
    for (int i = 0; i < LogoSvg::kProfondeurMax + 10; ++i)
        profond = "<g>" + profond + "</g>";
    struct Cas {
        const char* quoi;
        std::string texte;
        bool accepte;
    };
    const Cas cas[] = {
        {"DOCTYPE with an entity",
         "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY x \"boom\">]>" + svg("<text>&x;</text>"), false},
        {"external entity", "<!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + svg("<text>&x;</text>"),
         false},
        {"undeclared entity", svg("<text>&x;</text>"), false},
        {"image from file:///etc/passwd", svg("<image xlink:href=\"file:///etc/passwd\" width=\"5\" height=\"5\"/>"),
         false},
        {"image from http", svg("<image href=\"http://example.org/a.png\" width=\"5\" height=\"5\"/>"), false},
        {"relative file", svg("<use xlink:href=\"other.svg#a\"/>"), false},
        {"style url to a file", svg("<rect width=\"5\" height=\"5\" style=\"fill:url(file:///x)\"/>"), false},
        {"style sheet import", svg("<style>@import url(#a);</style>"), false},
        {"style sheet url", svg("<style>rect { fill: url( 'http://x/y' ) }</style>"), false},
        {"stylesheet instruction", "<?xml-stylesheet href=\"http://x/s.css\"?>" + svg(""), false},
        {"huge width and height", svg("<rect width=\"5\" height=\"5\"/>", "width=\"100000\" height=\"100000\""),
         false},
        {"use bomb", bombe, false},
        {"use cycle", svg("<g id=\"a\"><use xlink:href=\"#b\"/></g><g id=\"b\"><use xlink:href=\"#a\"/></g>"), false},
        {"nested too deep", svg(profond), false},
        {"not an svg root", "<html><svg width=\"5\" height=\"5\"/></html>", false},
        {"not well-formed", svg("<rect>"), false},
        {"larger than 4 MiB", svg("<!--" + std::string(LogoSvg::kOctetsMax, 'x') + "-->"), false},
        {"internal references and data",
         svg("<linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"red\"/></linearGradient>"
             "<rect id=\"r\" width=\"4\" height=\"4\" fill=\"url(#g)\"/><use href=\"#r\" x=\"5\"/>"
             "<image width=\"1\" height=\"1\" xlink:href=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAf"
             "FcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==\"/>"),
         true},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        const std::string chemin = box.path("hostile.svg");
        Ecrit(chemin, c.texte);
        std::vector<std::uint8_t> alpha;
        RapportCodec rapport;
        HBITMAP image = graphique.ChargeImageAlpha(chemin, alpha, rapport);
        EXPECT_EQ(image != nullptr, c.accepte);
        if (!c.accepte) {
            ASSERT_FALSE(rapport.Messages().empty());
            EXPECT_EQ(rapport.Messages()[0].Texte.rfind("This SVG logo is refused: ", 0), 0u)
                << rapport.Messages()[0].Texte;
        }
        DeleteObject(image);
    }
}

} // namespace

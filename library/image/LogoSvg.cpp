#include "LogoSvg.h"

#include "codecs/Budget.h"
#include "codecs/ImageRGBA.h"
#include "codecs/RapportCodec.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

// Whether a reference stays inside the drawing.
bool Interne(QStringView reference)
{
    reference = reference.trimmed();
    if (reference.size() >= 2 && (reference.front() == u'"' || reference.front() == u'\''))
        reference = reference.sliced(1, reference.size() - 2).trimmed();
    return reference.startsWith(u'#') || reference.startsWith(u"data:", Qt::CaseInsensitive);
}

// Every url(...) of a style or attribute value, and any @import, checked.
bool StyleInterne(QStringView texte)
{
    if (texte.contains(u"@import", Qt::CaseInsensitive))
        return false;
    for (qsizetype debut = texte.indexOf(u"url(", 0, Qt::CaseInsensitive); debut >= 0;
         debut = texte.indexOf(u"url(", debut + 4, Qt::CaseInsensitive)) {
        const qsizetype fin = texte.indexOf(u')', debut + 4);
        if (fin < 0 || !Interne(texte.sliced(debut + 4, fin - debut - 4)))
            return false;
    }
    return true;
}

// A name without its prefix: prefixes are taken as written, undeclared
// ones included, as the renderer takes them.
QStringView Local(QStringView nom)
{
    return nom.sliced(nom.lastIndexOf(u':') + 1);
}

// The element tree as far as <use> can multiply it: each element's
// children and the id its href names.
struct Arbre {
    struct Noeud {
        std::vector<int> enfants;
        QString cible;
    };
    std::vector<Noeud> noeuds;
    std::unordered_map<QString, int> ids;

    // Elements drawn from n with every <use> expanded, saturated past the
    // bound; a <use> cycle or a chain too deep counts as past it.
    std::uint64_t Poids(int n, std::vector<std::uint64_t>& memo, int profondeur) const
    {
        constexpr std::uint64_t kEnCours = UINT64_MAX - 1;
        if (memo[n] == kEnCours || profondeur > 4 * LogoSvg::kProfondeurMax)
            return UINT64_MAX;
        if (memo[n] != 0)
            return memo[n];
        memo[n] = kEnCours;
        std::uint64_t poids = 1;
        const auto ajoute = [&](int autre) {
            if (poids <= LogoSvg::kElementsMax)
                poids += std::min<std::uint64_t>(Poids(autre, memo, profondeur + 1), LogoSvg::kElementsMax + 1);
        };
        for (const int enfant : noeuds[n].enfants)
            ajoute(enfant);
        if (const auto it = ids.find(noeuds[n].cible); !noeuds[n].cible.isEmpty() && it != ids.end())
            ajoute(it->second);
        memo[n] = poids;
        return poids;
    }
};

// Empty when the text passes, else why it is refused.
std::string Refus(const QByteArray& octets)
{
    QXmlStreamReader xml(octets);
    xml.setNamespaceProcessing(false);
    Arbre arbre;
    std::vector<int> pile;
    std::vector<bool> styles; // whether each open element is a <style>
    bool racine = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return "it declares a DOCTYPE or entities.";
        case QXmlStreamReader::ProcessingInstruction:
            return "it holds processing instructions.";
        case QXmlStreamReader::StartElement: {
            if (pile.empty()) {
                if (racine || Local(xml.qualifiedName()) != u"svg")
                    return "it is no SVG drawing.";
                racine = true;
            }
            if (pile.size() >= LogoSvg::kProfondeurMax)
                return "its elements are nested too deep.";
            Arbre::Noeud noeud;
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (Local(a.qualifiedName()) == u"href") {
                    if (!Interne(a.value()))
                        return "it refers to files or addresses outside itself.";
                    if (a.value().trimmed().startsWith(u'#'))
                        noeud.cible = a.value().trimmed().sliced(1).toString();
                } else if (!StyleInterne(a.value())) {
                    return "it refers to files or addresses outside itself.";
                } else if (a.qualifiedName() == u"id") {
                    arbre.ids.emplace(a.value().toString(), static_cast<int>(arbre.noeuds.size()));
                }
            }
            if (!pile.empty())
                arbre.noeuds[pile.back()].enfants.push_back(static_cast<int>(arbre.noeuds.size()));
            pile.push_back(static_cast<int>(arbre.noeuds.size()));
            styles.push_back(Local(xml.qualifiedName()) == u"style");
            arbre.noeuds.push_back(std::move(noeud));
            break;
        }
        case QXmlStreamReader::EndElement:
            if (pile.empty())
                return "it is no well-formed SVG drawing.";
            pile.pop_back();
            styles.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!styles.empty() && styles.back() && !StyleInterne(xml.text()))
                return "it refers to files or addresses outside itself.";
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !racine)
        return "it is no well-formed SVG drawing.";
    std::vector<std::uint64_t> memo(arbre.noeuds.size(), 0);
    if (arbre.Poids(0, memo, 0) > LogoSvg::kElementsMax)
        return "it would draw too many elements.";
    return {};
}

void Signale(RapportCodec& rapport, const std::string& raison)
{
    rapport.Ajoute("This SVG logo is refused: " + raison, "Error", MB_OK | MB_ICONERROR, RapportCodec::Boite::Libre);
}

struct FermeFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

LogoSvg LogoSvg::Ouvre(const CString& chemin, RapportCodec& rapport)
{
    std::unique_ptr<std::FILE, FermeFichier> fichier(std::fopen(chemin.c_str(), "rb"));
    if (!fichier) {
        Signale(rapport, "it cannot be read.");
        return {};
    }
    // One byte past the bound tells a file that is too large.
    std::vector<std::uint8_t> octets(kOctetsMax + 1);
    octets.resize(std::fread(octets.data(), 1, octets.size(), fichier.get()));
    if (octets.size() > kOctetsMax) {
        Signale(rapport, "it is larger than 4 MiB.");
        return {};
    }
    return DeOctets(octets, rapport);
}

LogoSvg LogoSvg::DeOctets(std::span<const std::uint8_t> octets, RapportCodec& rapport)
{
    LogoSvg logo;
    if (octets.size() > kOctetsMax) {
        Signale(rapport, "it is larger than 4 MiB.");
        return logo;
    }
    const QByteArray texte(reinterpret_cast<const char*>(octets.data()), static_cast<qsizetype>(octets.size()));
    if (const std::string refus = Refus(texte); !refus.empty()) {
        Signale(rapport, refus);
        return logo;
    }
    const QSvgRenderer rendu(texte);
    const QSize taille = rendu.defaultSize();
    if (!rendu.isValid() || taille.isEmpty()) {
        Signale(rapport, "it has no size.");
        return logo;
    }
    logo.m_octets = texte;
    logo.m_taille = CSize(taille.width(), taille.height());
    return logo;
}

HBITMAP LogoSvg::Rend(CSize taille, Budget& budget, std::vector<std::uint8_t>* alpha) const
{
    if (alpha)
        alpha->clear();
    if (!Valide() || taille.cx <= 0 || taille.cy <= 0)
        return nullptr;
    const auto largeur = static_cast<std::uint32_t>(taille.cx);
    const auto hauteur = static_cast<std::uint32_t>(taille.cy);
    // Qt's own image beside ours, for the painter.
    ImageRGBA image(budget);
    if (!image.Cree(largeur, hauteur, alpha != nullptr, std::uint64_t(largeur) * hauteur * 4))
        return nullptr;
    QImage dessin(taille.cx, taille.cy, QImage::Format_ARGB32_Premultiplied);
    if (dessin.isNull())
        return nullptr;
    dessin.fill(Qt::transparent);
    {
        QSvgRenderer rendu(m_octets);
        QPainter peintre(&dessin);
        rendu.render(&peintre, QRectF(0, 0, taille.cx, taille.cy));
    }
    // Straight colours, B, G, R, A in memory: what RangeAlpha takes.
    dessin.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < taille.cy; ++y)
        std::memcpy(image.Pixels() + image.Pas() * y, dessin.constScanLine(y), std::size_t(largeur) * 4);
    image.RangeAlpha();
    return image.Detache(alpha);
}

HBITMAP LogoSvg::Charge(const CString& chemin, Budget& budget, std::vector<std::uint8_t>* alpha,
                        RapportCodec& rapport)
{
    budget.Debute();
    const LogoSvg logo = Ouvre(chemin, rapport);
    if (!logo.Valide())
        return nullptr;
    HBITMAP image = logo.Rend(logo.TailleIntrinseque(), budget, alpha);
    if (!image)
        Signale(rapport, "its size is larger than a logo may be.");
    return image;
}

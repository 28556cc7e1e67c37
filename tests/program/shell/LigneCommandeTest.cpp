// Start-up with a template and pictures on the command line, as a file
// manager's "Open with" or the README's first run starts the program.

#include "ShellTestSupport.h"

#include "ScriptedInteraction.h"

#include "CGraphique.h"
#include "CSignatureLogoDlg.h"

#include <QDir>
#include <QTreeWidget>

#include <vector>

namespace {

class LigneCommande : public ShellTest {
protected:
    // A small picture that loads, named as given.
    std::string Image(const std::string& nom)
    {
        const std::string chemin = bac.path(nom);
        CGraphique graphique;
        HBITMAP image = TestImages::Gradient(40, 30);
        EXPECT_EQ(graphique.SauveImageBMP(chemin, image), 1);
        DeleteObject(image);
        return chemin;
    }

    std::vector<std::string> Lignes() const
    {
        std::vector<std::string> lignes;
        for (int i = 0; i < Vue()->Liste()->topLevelItemCount(); ++i)
            lignes.push_back(Vue()->Liste()->topLevelItem(i)->text(0).toStdString());
        return lignes;
    }
};

class DossierCourant {
public:
    explicit DossierCourant(const QString& dossier) : m_avant(QDir::currentPath()) { QDir::setCurrent(dossier); }
    ~DossierCourant() { QDir::setCurrent(m_avant); }

private:
    QString m_avant;
};

} // namespace

TEST_F(LigneCommande, PicturesGoToTheListWithOrWithoutATemplateAndItsFirstRowIsPreviewed)
{
    ASSERT_TRUE(Demarre());
    const std::string modele = Modele("carte.tp2", "CARTE");
    const std::string a = Image("a.bmp");
    const std::string b = Image("B.BMP");
    QDir().mkpath(QString::fromStdString(bac.path("dossier")));
    const std::string c = Image("dossier/c.bmp");
    const std::string d = Image("dossier/d10.bmp");
    const std::string dossier = bac.path("dossier");
    TestImages::WriteFile(bac.path("dossier/notes.txt"), {'x'});
    struct Cas {
        const char* nom;
        QStringList arguments;
        std::string document;            // the template opened; empty for a new document
        std::vector<std::string> lignes; // the list after start-up
    };
    const Cas cas[] = {
        {"pictures alone, as Open with gives them", {QString::fromStdString(a), QString::fromStdString(b)}, "", {a, b}},
        {"a template then pictures", {QString::fromStdString(modele), QString::fromStdString(b)}, modele, {b}},
        {"a picture named twice is listed once", {QString::fromStdString(a), QString::fromStdString(a)}, "", {a}},
        {"a template alone", {QString::fromStdString(modele)}, modele, {}},
        {"a folder gives its pictures", {QString::fromStdString(dossier)}, "", {c, d}},
        {"a template then a folder", {QString::fromStdString(modele), QString::fromStdString(dossier)}, modele, {c, d}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        NouvelleApplication();
        Scripted().clear();
        ASSERT_TRUE(Demarre(c.arguments));
        EXPECT_EQ(Document()->GetPathName(), c.document);
        EXPECT_EQ(Lignes(), c.lignes);
        EXPECT_EQ(Vue()->LigneSelectionnee(), c.lignes.empty() ? -1 : 0);
        EXPECT_EQ(Vue()->GetDlgItemText(1700),
                  QString::asprintf("(%d/%zu)", c.lignes.empty() ? 0 : 1, c.lignes.size()).toStdString());
        EXPECT_TRUE(Scripted().shown.empty()) << "every picture loaded";
    }
}

TEST_F(LigneCommande, RelativePicturesAreListedWithTheirWholePath)
{
    const std::string a = Image("a.bmp");
    DossierCourant ici(QString::fromStdString(bac.path("")));
    ASSERT_TRUE(Demarre({QStringLiteral("a.bmp"), QStringLiteral("./absent.jpg")}));
    EXPECT_EQ(Lignes(), (std::vector<std::string>{a, bac.path("absent.jpg")}));
    EXPECT_EQ(Vue()->LigneSelectionnee(), 0);
}

TEST_F(LigneCommande, ATemplateThatCannotBeOpenedStillEndsStartUpWhatEverFollows)
{
    const std::string a = Image("a.bmp");
    EXPECT_FALSE(
        application->InitInstance({QString::fromStdString(bac.path("absent.tp2")), QString::fromStdString(a)}));
    EXPECT_EQ(Frame(), nullptr);
}

TEST_F(LigneCommande, TheSampleOpensOnAFilledListWithItsLogoAndText)
{
    const QDir echantillon(QStringLiteral(TAMPARO_ECHANTILLON));
    // The README's run starts in the sample's folder, where its logo is.
    DossierCourant ici(echantillon.path());
    QStringList arguments{QStringLiteral("signature.tp2")};
    for (const char* photo : {"lake.jpg", "hills.jpg", "harbour.jpg"})
        arguments << QString::fromLatin1(photo);
    ASSERT_TRUE(Demarre(arguments));
    EXPECT_TRUE(Scripted().shown.empty()) << Scripted().shown.front().text;
    ASSERT_EQ(Lignes().size(), 3u);
    EXPECT_EQ(Lignes().front(), echantillon.filePath(QStringLiteral("harbour.jpg")).toStdString())
        << "the list's order";
    EXPECT_EQ(Vue()->LigneSelectionnee(), 0);
    const ModeleSignature reglages = Vue()->Reglages();
    EXPECT_EQ(reglages.Logo, "logo.png");
    ASSERT_NE(Vue()->PanneauLogo, nullptr);
    ASSERT_NE(Vue()->PanneauLogo->ImageLogo, nullptr) << "the logo was found from the sample's folder";
    EXPECT_EQ(TestImages::SizeOf(Vue()->PanneauLogo->ImageLogo), CSize(112, 112));
    EXPECT_FALSE(Vue()->PanneauLogo->AlphaLogo.empty()) << "drawn with its transparency";
    EXPECT_FALSE(reglages.Texte.empty());
    // Text and logo at opposite corners.
    EXPECT_EQ(reglages.EmplacementTexte.PositionAutomatiqueBas, 1);
    EXPECT_EQ(reglages.EmplacementTexte.PositionAutomatiqueGauche, 1);
    EXPECT_EQ(reglages.EmplacementLogo.PositionAutomatiqueHaut, 1);
    EXPECT_EQ(reglages.EmplacementLogo.PositionAutomatiqueDroite, 1);
}

TEST(Echantillon, TheLogoIsOpaqueInItsMiddleAndTransparentAtItsCorners)
{
    const std::string chemin =
        QDir(QStringLiteral(TAMPARO_ECHANTILLON)).filePath(QStringLiteral("logo.png")).toStdString();
    CGraphique graphique;
    std::vector<BYTE> alpha;
    HBITMAP logo = graphique.ChargeImageAlpha(chemin, alpha);
    ASSERT_NE(logo, nullptr);
    const CSize taille = TestImages::SizeOf(logo);
    DeleteObject(logo);
    ASSERT_EQ(alpha.size(), std::size_t(taille.cx) * std::size_t(taille.cy));
    const auto a = [&](int x, int y) { return alpha[std::size_t(y) * std::size_t(taille.cx) + std::size_t(x)]; };
    for (const CPoint coin :
         {CPoint(0, 0), CPoint(taille.cx - 1, 0), CPoint(0, taille.cy - 1), CPoint(taille.cx - 1, taille.cy - 1)})
        EXPECT_EQ(a(coin.x, coin.y), 0) << coin.x << "," << coin.y;
    EXPECT_EQ(a(taille.cx / 2, taille.cy / 2), 255);
}

// Times one rebuild of the workbench's preview (compose the text and logo at
// full resolution, reduce, centre on the display's background, show) on a
// 12-megapixel picture, as each keystroke in the signature panels costs.
// Usage: preview_bench [runs]

#include "CGraphique.h"
#include "CMiniTexteDlg.h"
#include "CPrincipaleView.h"
#include "CSignatureLogoDlg.h"
#include "CTamparoApp.h"
#include "SilentInteraction.h"

#include "Mesure.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Millisecondes(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

HBITMAP Degrade(int largeur, int hauteur)
{
    HBITMAP image = Bitmap::Create(largeur, hauteur, 32);
    for (int y = 0; y < hauteur; ++y) {
        auto* p = reinterpret_cast<std::uint32_t*>(image->row(y));
        for (int x = 0; x < largeur; ++x)
            p[x] = RGB(x & 0xFF, y & 0xFF, (x + y) & 0xFF);
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dossier;
    // The bench must not read or replace the user's own last settings.
    qputenv("XDG_CONFIG_HOME", dossier.filePath(QStringLiteral("config")).toUtf8());
    QApplication application(argc, argv);
    SilentInteraction silence;
    Interaction::install(&silence);
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    CTamparoApp tamparo;
    CGraphique graphique;
    tamparo.Graphique = &graphique;
    QWidget hote;
    CPrincipaleView vue(&hote);
    vue.OnInitialUpdate();

    const std::string photo = dossier.filePath(QStringLiteral("photo.bmp")).toStdString();
    const std::string logo = dossier.filePath(QStringLiteral("logo.bmp")).toStdString();
    HBITMAP image = Degrade(4000, 3000);
    graphique.SauveImageBMP(photo, image);
    DeleteObject(image);
    image = Degrade(400, 300);
    graphique.SauveImageBMP(logo, image);
    DeleteObject(image);

    vue.PanneauTexte->Texte = "Signature (c) 2024";
    vue.PanneauLogo->Logo = logo;
    vue.PanneauLogo->ChargeLogo(logo);
    vue.ChargeSelection(photo);

    std::vector<double> complet;
    std::vector<double> composition;
    std::vector<double> apercu;
    for (int i = 0; i < passes; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        vue.ConstruitApercu();
        complet.push_back(Millisecondes(std::chrono::steady_clock::now() - t0));

        const auto t1 = std::chrono::steady_clock::now();
        HBITMAP signee = Composition::Compose(vue.ImageSelection, vue.CoucheTexteCourante(), vue.CoucheLogoCourante());
        const auto t2 = std::chrono::steady_clock::now();
        HBITMAP reduite = Composition::Apercu(signee, vue.ImageFond, vue.TailleAffichage, nullptr);
        const auto t3 = std::chrono::steady_clock::now();
        composition.push_back(Millisecondes(t2 - t1));
        apercu.push_back(Millisecondes(t3 - t2));
        DeleteObject(signee);
        DeleteObject(reduite);
    }
    std::printf("picture %dx%d, display %dx%d, %d runs (medians)\n", vue.TailleImage.cx, vue.TailleImage.cy,
                vue.TailleAffichage.cx, vue.TailleAffichage.cy, passes);
    std::printf("  preview rebuild (ConstruitApercu): %7.2f ms\n", Mediane(complet));
    std::printf("    compose text + logo, full size:  %7.2f ms\n", Mediane(composition));
    std::printf("    reduce + centre:                 %7.2f ms\n", Mediane(apercu));
    vue.EcritureReglages();
    return 0;
}

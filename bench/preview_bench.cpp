// Times the workbench's preview on a 12-megapixel picture: a full rebuild
// (compose the text and logo at full resolution, reduce, centre on the
// display's background), as every keystroke in the signature panels once
// cost, and a key typed into the text field until the preview widget holds
// its pixels, with an outlined and shadowed text. The signature is composed
// off the GUI thread, so the longest the GUI thread spent on one event while
// the keys came is reported too.
// Usage: preview_bench [runs] [keys]

#include "CGraphique.h"
#include "CMiniTexteDlg.h"
#include "CPrincipaleView.h"
#include "CSignatureLogoDlg.h"
#include "CTamparoApp.h"
#include "SilentInteraction.h"

#include "Banc.h"
#include "Mesure.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

double Millisecondes(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The application, timing each event it dispatches from its loop (the
// outermost ones: an event sent while handling another is part of it).
class ApplicationChronometree : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* objet, QEvent* evenement) override
    {
        if (m_profondeur++ > 0) {
            const bool traite = QApplication::notify(objet, evenement);
            --m_profondeur;
            return traite;
        }
        const auto debut = std::chrono::steady_clock::now();
        const bool traite = QApplication::notify(objet, evenement);
        --m_profondeur;
        PlusLongBlocage = std::max(PlusLongBlocage, Millisecondes(std::chrono::steady_clock::now() - debut));
        return traite;
    }

    double PlusLongBlocage = 0;

private:
    int m_profondeur = 0;
};

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
    ApplicationChronometree application(argc, argv);
    SilentInteraction silence;
    Interaction::install(&silence);
    const int passes = Tours(argc, argv, 1, 15);
    const int frappes = Tours(argc, argv, 2, 21);

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

    // Compose + Apercu of the whole picture: what a change cost before the
    // preview kept its images.
    const auto reconstruction = [&](std::vector<double>& complet, std::vector<double>& composition,
                                    std::vector<double>& apercu) {
        const auto t1 = std::chrono::steady_clock::now();
        HBITMAP signee = Composition::Compose(vue.ImageSelection, vue.CoucheTexteCourante(), vue.CoucheLogoCourante());
        const auto t2 = std::chrono::steady_clock::now();
        HBITMAP reduite = Composition::Apercu(signee, vue.ImageFond, vue.TailleAffichage, nullptr);
        const auto t3 = std::chrono::steady_clock::now();
        complet.push_back(Millisecondes(t3 - t1));
        composition.push_back(Millisecondes(t2 - t1));
        apercu.push_back(Millisecondes(t3 - t2));
        DeleteObject(signee);
        DeleteObject(reduite);
    };
    std::vector<double> complet, composition, apercu;
    for (int i = 0; i < passes; ++i)
        reconstruction(complet, composition, apercu);

    // Keys typed into the text field, each timed until its preview is built
    // and painted.
    hote.show();
    auto* champ = vue.PanneauTexte->GetDlgItemAs<QLineEdit>(2241);
    const auto frappe = [&] {
        champ->setText(QString::fromStdString("Signature (c) 2024"));
        champ->end(false);
        vue.ConstruitApercu();
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        std::vector<double> touches;
        application.PlusLongBlocage = 0;
        for (int i = 0; i < frappes; ++i) {
            const QString lettre(QChar('a' + i % 26));
            const int avant = vue.ApercusConstruits;
            const auto t0 = std::chrono::steady_clock::now();
            QKeyEvent appui(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, lettre);
            QApplication::sendEvent(champ, &appui);
            // Sleeps until the worker's result comes: no core taken from it.
            while (vue.ApercusConstruits == avant)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QApplication::processEvents();
            touches.push_back(Millisecondes(std::chrono::steady_clock::now() - t0));
        }
        return std::pair{Mediane(touches), application.PlusLongBlocage};
    };
    const auto [touche, blocage] = frappe();

    // The text 5 % of the picture high, outlined and shadowed.
    vue.StyleTexte.TailleRelative = 500;
    vue.StyleTexte.Contour = 3;
    vue.StyleTexte.OmbreX = vue.StyleTexte.OmbreY = 4;
    vue.StyleTexte.OmbreFlou = 6;
    vue.StyleTexte.OpaciteOmbre = 60;
    std::vector<double> completStyle, compositionStyle, apercuStyle;
    for (int i = 0; i < passes; ++i)
        reconstruction(completStyle, compositionStyle, apercuStyle);
    const auto [toucheStyle, blocageStyle] = frappe();

    std::printf("picture %dx%d, display %dx%d, %d runs, %d keys (medians)\n", vue.TailleImage.cx, vue.TailleImage.cy,
                vue.TailleAffichage.cx, vue.TailleAffichage.cy, passes, frappes);
    std::printf("  full rebuild, plain text + logo:  %7.2f ms (compose %.2f, reduce + centre %.2f)\n",
                Mediane(complet), Mediane(composition), Mediane(apercu));
    std::printf("  key press to a shown preview:     %7.2f ms, ratio %.3f; GUI thread blocked %.2f ms at most\n",
                touche, touche / Mediane(complet), blocage);
    std::printf("  full rebuild, outline + shadow:   %7.2f ms (compose %.2f, reduce + centre %.2f)\n",
                Mediane(completStyle), Mediane(compositionStyle), Mediane(apercuStyle));
    std::printf("  key press to a shown preview:     %7.2f ms, ratio %.3f; GUI thread blocked %.2f ms at most\n",
                toucheStyle, toucheStyle / Mediane(completStyle), blocageStyle);
    vue.EcritureReglages();
    return 0;
}

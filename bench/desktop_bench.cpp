// Times the desktop program's "Sign All Files" over the command-line bench's
// photographs (twenty at 12 MP, twenty at 2 MP) against the floor: libjpeg's
// own decode and encode of the same files in one process reusing its
// buffer. The view is built as the program builds it, the template read as
// a document, every question answered with its first button.
// Usage: desktop_bench [rounds]

#include "CArchive.h"
#include "RessourcesProgramme.h"
#include "CGraphique.h"
#include "CPrincipaleView.h"
#include "CTamparoApp.h"
#include "SilentInteraction.h"

#include "Banc.h"
#include "JeuSignature.h"
#include "Mesure.h"
#include "PlancherJpeg.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace JeuSignature;

int main(int argc, char** argv)
{
    HorsEcranParDefaut();
    QTemporaryDir dossier;
    const std::string racine = dossier.path().toStdString() + "/";
    // The user's stored settings stay out of it.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(racine + "config"));
    QApplication application(argc, argv);
    SilentInteraction silent;
    Interaction::install(&silent);
    const int tours = Tours(argc, argv, 1, 5);

    const std::string sortie = racine + "sortie";
    ModeleSignature modele;
    std::vector<Jeu> jeux;
    if (!Modele(racine + "logo.jpg", racine + "logo.jpg", modele) || !FaitPhotos(racine, jeux)
        || !QDir().mkpath(QString::fromStdString(sortie))) {
        std::fprintf(stderr, "cannot write the photographs\n");
        return 1;
    }
    modele.NomRepertoire = sortie.c_str();
    modele.NomRepertoireAucun = 0;
    modele.NomRepertoireSpecifique = 1;

    RessourcesProgramme::Enregistre();
    CTamparoApp tamparo;
    CGraphique graphique;
    tamparo.Graphique = &graphique;
    QWidget hote;
    hote.resize(640, 560);
    CPrincipaleView vue(&hote);
    vue.OnInitialUpdate();
    hote.show();
    CArchive ecrit;
    modele.Ecrit(ecrit);
    CArchive lu(ecrit.Bytes());
    vue.Serialize(lu, false);

    std::printf("\"Sign All Files\", template quality %d (sources %d); per picture, median of %d rounds, "
                "ratios to the round's floor:\n",
                kQualite, kQualiteSource, tours);
    PlancherJpeg plancher;
    int echecs = 0;
    // One run over the first count files of a set, in milliseconds.
    const auto signe = [&](const Jeu& jeu, std::size_t count) {
        // No output left from the last run, so no overwrite question.
        QDir(QString::fromStdString(sortie)).removeRecursively();
        QDir().mkpath(QString::fromStdString(sortie));
        for (std::size_t i = 0; i < count; ++i)
            vue.AjouteFichier(jeu.fichiers[i].c_str());
        QApplication::processEvents();
        const auto debut = std::chrono::steady_clock::now();
        vue.SigneTousLesFichiers();
        const double ms = Millisecondes(debut);
        echecs += int(QDir(QString::fromStdString(sortie)).entryList(QDir::Files).size()) != int(count);
        return ms;
    };
    for (const Jeu& jeu : jeux) {
        const std::size_t n = jeu.fichiers.size();
        std::vector<double> ratio, marge, sol, bureau;
        for (int tour = 0; tour <= tours; ++tour) { // round 0 warms caches and is not counted
            auto debut = std::chrono::steady_clock::now();
            for (std::size_t i = 0; i < n; ++i)
                echecs += !plancher.Passe(jeu.fichiers[i], racine + "plancher" + std::to_string(i) + ".jpg", kQualite);
            const double p = Millisecondes(debut) / double(n);
            const double tout = signe(jeu, n);
            // The run's own cost (its window, the first load and the last
            // write, which nothing overlaps) is paid once: half the set
            // tells it apart from the cost of each picture.
            const double moitie = signe(jeu, n / 2);
            if (tour == 0)
                continue;
            sol.push_back(p);
            bureau.push_back(tout / double(n));
            ratio.push_back(tout / double(n) / p);
            marge.push_back((tout - moitie) / double(n - n / 2) / p);
        }
        std::printf("%-6s %dx%d: floor %.1f ms, desktop run %.1f ms, ratio %.2f over the run, %.2f for each "
                    "picture beyond the run's own cost (goal <= 0.65: %s)\n",
                    jeu.nom, jeu.largeur, jeu.hauteur, Mediane(sol), Mediane(bureau), Mediane(ratio),
                    Mediane(marge), Mediane(marge) <= 0.65 ? "met" : "missed");
    }
    if (echecs)
        std::fprintf(stderr, "%d failed runs\n", echecs);
    return echecs ? 1 : 0;
}

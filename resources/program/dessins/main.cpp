// Makes the program's icons 105 and 107 to 118, the hand cursor 122, the
// publisher's logo, bitmap 119, and the application icon at the desktop
// theme's sizes (hicolor/NxN/apps/tamparo2.png), as PNG files. Not part of the build: run it
// again only to change the pictures, then commit the files it writes.
//
//   cmake -S resources/program/dessins -B /tmp/dessins && cmake --build /tmp/dessins
//   /tmp/dessins/dessins resources/program

#include "Icones.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

struct Entree {
    const char* chemin;
    QImage (*fabrique)();
};

const Entree kCatalogue[] = {
    {"icons/105.png", [] { return Icones::Application(); }}, {"icons/107.png", Icones::SignerTout},
    {"icons/108.png", Icones::Aide},         {"icons/109.png", Icones::Enregistrer},
    {"icons/110.png", Icones::Supprimer},    {"icons/111.png", Icones::Dossier},
    {"icons/112.png", Icones::ListeFichiers}, {"icons/113.png", Icones::Logo},
    {"icons/114.png", Icones::Ouvrir},       {"icons/115.png", Icones::Reglages},
    {"icons/116.png", Icones::Texte},        {"icons/117.png", Icones::Affichage},
    {"icons/118.png", Icones::Nouveau},      {"cursors/122.png", Icones::Main},
    {"bitmaps/119.png", Icones::LogoEditeur},
};

} // namespace

int main(int argc, char** argv)
{
    // Text needs a font database, which needs a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESOURCE_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir racine(QString::fromLocal8Bit(argv[1]));
    for (const Entree& e : kCatalogue) {
        const QString chemin = racine.filePath(QString::fromLatin1(e.chemin));
        QDir().mkpath(QFileInfo(chemin).absolutePath());
        if (!e.fabrique().save(chemin, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(chemin));
            return 1;
        }
    }
    // 48 is icon 105 itself.
    for (const int cote : {16, 22, 24, 32, 64, 128, 256}) {
        const QString chemin = racine.filePath(QStringLiteral("hicolor/%1x%1/apps/tamparo2.png").arg(cote));
        QDir().mkpath(QFileInfo(chemin).absolutePath());
        if (!Icones::Application(cote).save(chemin, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(chemin));
            return 1;
        }
    }
    return 0;
}

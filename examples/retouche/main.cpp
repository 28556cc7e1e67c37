// retouche PICTURE [RESULT]: the library's picture-editing dialogs driven
// by a program, as any program that uses Quillon400 drives them.

#include "CGraphique.h"
#include "FenetreRetouche.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fprintf(stderr, "usage: retouche PICTURE [RESULT]\n");
        return 2;
    }
    CGraphique graphique;
    HBITMAP image = graphique.ChargeImage(arguments[1].toStdString());
    if (!image) {
        std::fprintf(stderr, "retouche: cannot load %s\n", qPrintable(arguments[1]));
        return 1;
    }
    FenetreRetouche fenetre(graphique, image, arguments.size() == 3 ? arguments[2].toStdString() : std::string());
    fenetre.show();
    return application.exec();
}

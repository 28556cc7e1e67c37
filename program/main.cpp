// Tamparo2: stamps a signature onto a whole list of pictures in one run.

#include "CTamparoApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CTamparoApp tamparo;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    // A start that fails has shown no window: the exit status tells why there is none.
    if (!tamparo.InitInstance(arguments))
        return 1;
    const int resultat = QApplication::exec();
    tamparo.ExitInstance();
    return resultat;
}

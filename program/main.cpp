// Tamparo2: stamps a signature onto a whole list of pictures in one run.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamparo2"));
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Tamparo2 - sample"));
    frame.setFixedSize(748, 731);
    frame.show();
    return application.exec();
}

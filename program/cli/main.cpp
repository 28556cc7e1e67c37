// tamparo2-cli: signs pictures from the command line, without a display.

#include "ProgrammeCli.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notes (a missing runtime folder, font fallbacks) are no concern
// of whoever reads this program's messages; its errors still show.
void MessagesQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(MessagesQt);
    // Fonts need a Gui application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt would take arguments such as "-platform" or "-reverse" for itself:
    // every argument is ours.
    int argumentsQt = 1;
    QGuiApplication application(argumentsQt, argv);
    return ProgrammeCli::Execute(std::vector<std::string>(argv + 1, argv + argc));
}

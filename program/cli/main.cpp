// tamparo2-cli: signs pictures from the command line, without a display.

#include "ProgrammeCli.h"

#include <QGuiApplication>

#include <cstdio>
#include <malloc.h>

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
    // A worker's pictures come one after another at much the same size: the
    // memory one gave back (the block way's coefficients, tens of MB) serves
    // the next, rather than being mapped, zeroed and unmapped for each.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    qInstallMessageHandler(MessagesQt);
    // Fonts need a Gui application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt would take arguments such as "-platform" or "-reverse" for itself:
    // every argument is ours.
    int argumentsQt = 1;
    QGuiApplication application(argumentsQt, argv);
    return ProgrammeCli::Execute(std::vector<std::string>(argv + 1, argv + argc));
}

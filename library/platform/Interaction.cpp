#include "Interaction.h"

#include "QtInteraction.h"
#include "StderrInteraction.h"

#include <QApplication>
#include <QThread>

#include <utility>

namespace {
Interaction* g_installed = nullptr;
thread_local Interaction* t_installed = nullptr;
} // namespace

Interaction& Interaction::current()
{
    if (t_installed)
        return *t_installed;
    if (g_installed)
        return *g_installed;
    // Without an application object a dialog would abort the program: a tool
    // linking the library reports on its standard error instead.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        static StderrInteraction terminal;
        return terminal;
    }
    static QtInteraction desktop;
    return desktop;
}

void Interaction::install(Interaction* interaction) { g_installed = interaction; }

Interaction* Interaction::installForThread(Interaction* interaction) { return std::exchange(t_installed, interaction); }

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return Interaction::current().messageBox(owner, text, caption, type);
}

BOOL MessageBeep(UINT type)
{
    Interaction::current().beep(type);
    return TRUE;
}

int AfxMessageBox(const std::string& text, UINT type)
{
    return MessageBox(GetActiveWindow(), text, QCoreApplication::applicationName().toStdString(), type);
}

HWND GetActiveWindow()
{
    // Readers also run without an application object (fuzz targets, tools),
    // and on workers, which must not touch a window the GUI may be closing.
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application && QThread::currentThread() == application->thread() ? QApplication::activeWindow() : nullptr;
}

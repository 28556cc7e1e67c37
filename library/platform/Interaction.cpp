#include "Interaction.h"

#include "InteractionEgaree.h"
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
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    Interaction* choisie = g_installed;
    if (!choisie) {
        // Without an application object a dialog would abort the program: a
        // tool linking the library reports on its standard error instead.
        if (!application) {
            static StderrInteraction terminal;
            return terminal;
        }
        static QtInteraction desktop;
        choisie = &desktop;
    }
    // Qt's windows live on the GUI thread only: a worker must report through
    // a scope of its own (installForThread).
    if (application && QThread::currentThread() != application->thread() && dynamic_cast<QtInteraction*>(choisie)) {
#ifndef NDEBUG
        qFatal("Interaction: a worker thread reports without an Interaction of its own");
#endif
        static InteractionEgaree egaree;
        return egaree;
    }
    return *choisie;
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

#include "Interaction.h"

#include "QtInteraction.h"

#include <QApplication>

namespace {
Interaction* g_installed = nullptr;
} // namespace

Interaction& Interaction::current()
{
    static QtInteraction desktop;
    return g_installed ? *g_installed : desktop;
}

void Interaction::install(Interaction* interaction) { g_installed = interaction; }

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
    // Readers also run without an application object (fuzz targets, tools).
    return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::activeWindow() : nullptr;
}

#include "Interaction.h"

#include "QtInteraction.h"

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

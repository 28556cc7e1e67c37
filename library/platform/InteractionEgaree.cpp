#include "InteractionEgaree.h"

#include "StderrInteraction.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<int> g_nombre{0};
} // namespace

int InteractionEgaree::messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    ++g_nombre;
    // One write per line: several workers may stray at once.
    const std::string ligne =
        "Not shown, reported off the GUI thread: " + StderrInteraction::Ligne(text, caption) + "\n";
    std::fwrite(ligne.data(), 1, ligne.size(), stderr);
    return SilentInteraction::messageBox(owner, text, caption, type);
}

int InteractionEgaree::Nombre() { return g_nombre.load(); }

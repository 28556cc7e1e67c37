#include "StderrInteraction.h"

#include <cstdio>
#include <mutex>

int StderrInteraction::messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    // Workers may report at once: each line leaves whole.
    static std::mutex verrou;
    const std::string ligne = Ligne(text, caption) + "\n";
    {
        std::lock_guard<std::mutex> garde(verrou);
        std::fwrite(ligne.data(), 1, ligne.size(), stderr);
        std::fflush(stderr);
    }
    return SilentInteraction::messageBox(owner, text, caption, type);
}

std::string StderrInteraction::Ligne(const std::string& text, const std::string& caption)
{
    std::string ligne = caption.empty() ? text : caption + ": " + text;
    for (char& c : ligne)
        if (c == '\n' || c == '\r')
            c = ' ';
    return ligne;
}

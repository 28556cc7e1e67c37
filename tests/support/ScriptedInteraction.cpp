#include "ScriptedInteraction.h"

int ScriptedInteraction::messageBox(HWND, const std::string& text, const std::string& caption, UINT type)
{
    shown.push_back({text, caption, type});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

void ScriptedInteraction::beep(UINT type) { beeps.push_back(type); }

ScriptedInteraction& Scripted()
{
    static ScriptedInteraction instance;
    return instance;
}

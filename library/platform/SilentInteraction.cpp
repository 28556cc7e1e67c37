#include "SilentInteraction.h"

int SilentInteraction::messageBox(HWND, const std::string&, const std::string&, UINT type)
{
    return (type & MB_TYPEMASK) == MB_YESNO || (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDYES : IDOK;
}

void SilentInteraction::beep(UINT) {}

bool SilentInteraction::openFiles(HWND, const FileDialogRequest&, std::vector<std::string>&) { return false; }

bool SilentInteraction::saveFile(HWND, const FileDialogRequest&, std::string&) { return false; }

bool SilentInteraction::chooseFolder(HWND, const std::string&, std::string&) { return false; }

bool SilentInteraction::chooseColour(HWND, COLORREF&) { return false; }

bool SilentInteraction::chooseFont(HWND, LOGFONT&) { return false; }

bool SilentInteraction::openOnDesktop(const std::string&) { return false; }

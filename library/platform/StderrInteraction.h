#pragma once
// For programs without windows (the command line, tools): every message box
// is written to the standard error as one line "caption: text" and answered
// like SilentInteraction does; choosers are cancelled.

#include "SilentInteraction.h"

class StderrInteraction : public SilentInteraction {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

    // The line a message box becomes: line breaks inside the text turn into
    // spaces so that one message stays one line.
    static std::string Ligne(const std::string& text, const std::string& caption);
};

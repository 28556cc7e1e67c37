#pragma once
// Message boxes and beeps on the desktop, through Qt.

#include "Interaction.h"

class QtInteraction : public Interaction {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    void beep(UINT type) override;
};

#pragma once
// What a thread other than the GUI's gets when it reports without an
// Interaction of its own while the desktop's is in use: a programming error,
// which stops debug builds. Release builds never open a window off the GUI
// thread: each message box is written to the standard error, marked as
// such, counted and answered like SilentInteraction does.

#include "SilentInteraction.h"

class InteractionEgaree : public SilentInteraction {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

    // The message boxes kept from the desktop since the program started.
    static int Nombre();
};

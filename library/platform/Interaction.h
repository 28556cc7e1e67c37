#pragma once
// The one seam through which the library and the program speak to the user:
// message boxes and beeps. The desktop implementation shows Qt dialogs; tests
// install a scripted one that records what was shown and answers from a queue.

#include "Types.h"

#include <string>

// Buttons
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_TYPEMASK = 0xF;
// Icons
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONSTOP = MB_ICONERROR;
constexpr UINT MB_ICONHAND = MB_ICONERROR;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr UINT MB_ICONMASK = 0xF0;
// Beeps that are not icons
constexpr UINT MB_SIMPLEBEEP = 0xFFFFFFFF;

// Answers
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class Interaction {
public:
    virtual ~Interaction() = default;
    // Shows a modal message box and returns the button pressed.
    virtual int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    virtual void beep(UINT type) = 0;

    // The implementation in use; the desktop one unless another was installed.
    static Interaction& current();
    // Installs an implementation (not owned); null restores the desktop one.
    static void install(Interaction* interaction);
};

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
BOOL MessageBeep(UINT type);

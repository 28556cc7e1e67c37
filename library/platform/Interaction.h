#pragma once
// The one seam through which the library and the program speak to the user:
// message boxes, beeps, the file, folder, colour and font choosers, and the
// desktop's opening of files and URLs. The desktop implementation shows Qt dialogs; tests
// install a scripted one that records what was shown and answers from a queue.

#include "Types.h"

#include <string>
#include <vector>

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

// What a file dialog asks for. The filter is written as the Parts write it,
// "Jpeg (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp||", and matched without regard to case.
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string defaultExtension; // without the dot; added to a typed name that has none
    std::string initialPath;      // a folder, or a file name to propose
    bool multiple = false;        // open: several files at once
    int selectedFilter = 0;       // the pair of filter shown first; -1 the last, -2 the one before
};

class Interaction {
public:
    virtual ~Interaction() = default;
    // Shows a modal message box and returns the button pressed.
    virtual int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    virtual void beep(UINT type) = 0;
    // Each chooser returns false when cancelled and then leaves its output alone.
    // Open: existing files only.
    virtual bool openFiles(HWND owner, const FileDialogRequest& request, std::vector<std::string>& paths) = 0;
    // Save: asks before replacing an existing file.
    virtual bool saveFile(HWND owner, const FileDialogRequest& request, std::string& path) = 0;
    virtual bool chooseFolder(HWND owner, const std::string& title, std::string& folder) = 0;
    // The same with the confirm button labelled confirmLabel where the
    // implementation can label it; the base ignores the label.
    virtual bool chooseFolderLabelled(HWND owner, const std::string& title, const std::string& confirmLabel,
                                      std::string& folder)
    {
        return chooseFolder(owner, title, folder);
    }
    virtual bool chooseColour(HWND owner, COLORREF& colour) = 0;
    // Screen fonts with the underline and strike-out effects.
    virtual bool chooseFont(HWND owner, LOGFONT& font) = 0;
    // Opens a file with its desktop application, or a URL in the browser.
    virtual bool openOnDesktop(const std::string& fileOrUrl) = 0;

    // The implementation in use; the desktop one unless another was installed.
    // Never the desktop one off the GUI thread: there, a thread without its
    // own is a programming error (debug builds stop, see InteractionEgaree).
    static Interaction& current();
    // Installs an implementation (not owned); null restores the desktop one.
    static void install(Interaction* interaction);
    // Installs an implementation for the calling thread only (not owned),
    // preferred there to the one installed for all; null removes it.
    // Returns the one it replaces, to be put back.
    static Interaction* installForThread(Interaction* interaction);
};

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
// The framework's message box: owned by the active window and captioned with
// the application's name.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// The top-level window that has the focus; null without one and on any
// thread but the GUI's.
HWND GetActiveWindow();
BOOL MessageBeep(UINT type);

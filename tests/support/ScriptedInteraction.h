#pragma once
// Stands in for the user: records every message box, beep and chooser that
// was asked for, and answers from queues. Message boxes take the first
// button when their queue is empty; a chooser with an empty queue is
// cancelled, and so is one whose queued answer is empty (no file, no folder,
// no colour, no font).

#include "Interaction.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

class ScriptedInteraction : public Interaction {
public:
    struct Shown {
        std::string text;
        std::string caption;
        UINT type;
    };

    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    void beep(UINT type) override;
    bool openFiles(HWND owner, const FileDialogRequest& request, std::vector<std::string>& paths) override;
    bool saveFile(HWND owner, const FileDialogRequest& request, std::string& path) override;
    bool chooseFolder(HWND owner, const std::string& title, std::string& folder) override;
    bool chooseColour(HWND owner, COLORREF& colour) override;
    bool chooseFont(HWND owner, LOGFONT& font) override;
    bool openOnDesktop(const std::string& fileOrUrl) override;

    void answer(int button) { answers.push_back(button); }
    void clear() { *this = ScriptedInteraction(); }

    std::vector<Shown> shown;
    std::vector<UINT> beeps;
    std::deque<int> answers;

    // Open and save dialogs take their paths from here (save: the first one).
    std::deque<std::vector<std::string>> files;
    std::deque<std::string> folders;
    std::deque<std::optional<COLORREF>> colours;
    std::deque<std::optional<LOGFONT>> fonts;
    // What the program asked for: file dialogs ("open" or "save" with the
    // request), folder titles, the colours and fonts the choosers started
    // from, and what it opened on the desktop.
    struct FileDialog {
        std::string kind;
        FileDialogRequest request;
    };
    std::vector<FileDialog> fileDialogs;
    std::vector<std::string> folderTitles;
    std::vector<COLORREF> colourRequests;
    std::vector<LOGFONT> fontRequests;
    std::vector<std::string> opened;
    // What openOnDesktop answers: false plays a session with no viewer.
    bool desktopOpens = true;
};

// The instance the test main installs.
ScriptedInteraction& Scripted();

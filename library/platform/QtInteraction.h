#pragma once
// Message boxes, beeps and the choosers on the desktop, through Qt.

#include "Interaction.h"

class QtInteraction : public Interaction {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    void beep(UINT type) override;
    bool openFiles(HWND owner, const FileDialogRequest& request, std::vector<std::string>& paths) override;
    bool saveFile(HWND owner, const FileDialogRequest& request, std::string& path) override;
    bool chooseFolder(HWND owner, const std::string& title, std::string& folder) override;
    bool chooseFolderLabelled(HWND owner, const std::string& title, const std::string& confirmLabel,
                              std::string& folder) override;
    bool chooseColour(HWND owner, COLORREF& colour) override;
    bool chooseFont(HWND owner, LOGFONT& font) override;
    bool openOnDesktop(const std::string& fileOrUrl) override;
};

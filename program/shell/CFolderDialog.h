#pragma once
// The folder picker of the workbench's "Select" button: the desktop's folder
// chooser titled "Directory Selection" with its confirm button "Selection".
// The caller's string receives the chosen folder on confirmation and is left
// untouched on cancel.

#include "Messages.h"
#include "Types.h"

class CFolderDialog {
public:
    // repertoire: the caller's string, also the folder the chooser opens in
    // when it names one (else the current folder).
    explicit CFolderDialog(CString* repertoire, HWND parent = nullptr);

    // IDOK with the folder in the caller's string, or IDCANCEL.
    INT_PTR DoModal();

    CString* Repertoire;

private:
    HWND m_parent;
};

#pragma once
// The pictures a folder holds, as the file list takes them from a folder
// dropped on it or named on the command line.

#include "Types.h"

#include <QString>

#include <vector>

class ImagesDossier {
public:
    // Whether dossier holds folders of its own (the user is asked about them).
    static bool ASousDossiers(const QString& dossier);
    // The pictures of dossier in the list's order, then, when sousDossiers,
    // those of each sub-folder in turn; folders reached by a link are left
    // out, so a link back up cannot loop.
    static std::vector<CString> Images(const QString& dossier, bool sousDossiers);
};

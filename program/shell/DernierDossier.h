#pragma once
// The folder each of the program's file dialogs last chose from, kept with
// the settings so that the dialog reopens there, even after a restart.

#include "Types.h"

namespace DernierDossier {

// The folder remembered for that dialog; empty when none was, or when it
// is gone since.
CString Lit(const char* usage);
// Remembers the folder of chosen (a file, or a folder itself).
void Retient(const char* usage, const CString& chosen);

} // namespace DernierDossier

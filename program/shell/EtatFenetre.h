#pragma once
// The main window's place, size and maximised state, kept with the settings
// so that the next run opens the window as the last one left it.

class QWidget;

namespace EtatFenetre {

// Stores the window's geometry (the one it returns to when maximised) and state.
void Retient(const QWidget& fenetre);
// Gives the window the stored geometry and state; false, leaving it as it
// is, when nothing is stored or the stored record is no window's.
bool Restaure(QWidget& fenetre);

} // namespace EtatFenetre

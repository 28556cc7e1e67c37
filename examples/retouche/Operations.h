#pragma once
// The picture-editing dialogs as their owner drives them: hand in the
// picture, run the dialog, and after OK apply the chosen operation to the
// full picture with CGraphique. One entry per dialog, in menu order; a new
// dialog is one more function and one more line in the table.

#include "Gdi.h"

#include <functional>
#include <vector>

class CGraphique;
class QWidget;

struct Operation {
    const char* libelle; // the menu text
    // Runs the dialog on image (never changed). False when the user
    // cancelled; otherwise resultat is the new picture, owned by the caller,
    // or null when the operation failed.
    std::function<bool(QWidget* proprietaire, CGraphique& graphique, HBITMAP image, HBITMAP& resultat)> applique;
};

const std::vector<Operation>& Operations();

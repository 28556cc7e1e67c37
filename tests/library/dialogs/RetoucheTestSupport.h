#pragma once
// Opens a picture-editing dialog the way an owner does, but without a modal
// run, so that a test plays the user on it directly; records what the
// full-screen view showed when a preview is clicked.

#include "CGraphique.h"
#include "CRetoucheDlg.h"

#include <QWidget>

#include <string>

namespace RetoucheTest {

// The toolbox shared by the tests, made once.
CGraphique& Graphique();

// Hands image to dialog with its size, InitInstance, then creates and shows it.
void Ouvre(CRetoucheDlg& dialog, HBITMAP image);

// What the full-screen view was given, seen from inside its run.
struct VuePleinEcran {
    bool ouverte = false;
    HBITMAP image = nullptr; // compare only: it may be released once the view is closed
    CSize taille;
    std::string legende;
    COLORREF coin = 0;       // pixel (0, 0) of the image
    QWidget* focus = nullptr; // the owner's focused control while the view was open
};
// Clicks control (a preview) and closes the view that opens.
VuePleinEcran CliquePleinEcran(QWidget* control);

// Pixel (x, y) of what preview index shows, from the top-left of its zone.
COLORREF PixelApercu(const CRetoucheDlg& dialog, int index, int x, int y);

} // namespace RetoucheTest

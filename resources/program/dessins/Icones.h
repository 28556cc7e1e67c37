#pragma once
// The program's icons, each drawn for 48 x 48 pixels with shapes bold enough
// to stay readable when the group boxes show them at 16 x 16.

#include <QImage>

namespace Icones {

// 105: the stamp on the night-blue tile of the about picture; other sizes
// for the desktop's icon theme.
QImage Application(int cote = 48);
QImage SignerTout();      // 107: a stack of photos under the stamp
QImage Aide();            // 108: a question mark on a blue disc
QImage Enregistrer();     // 109: a diskette
QImage Supprimer();       // 110: a sheet struck out
QImage Dossier();         // 111: a closed folder
QImage ListeFichiers();   // 112: a sheet listing photos
QImage Logo();            // 113: a photo with an emblem in its corner
QImage Ouvrir();          // 114: an open folder holding a sheet
QImage Reglages();        // 115: a gear
QImage Texte();           // 116: a letter on a card
QImage Affichage();       // 117: a screen showing a photo
QImage Nouveau();         // 118: a sheet with a restart arrow

// 122: a pointing hand, 32 x 32; its hot spot is kPointeX, kPointeY.
QImage Main();
constexpr int kPointeX = 11;
constexpr int kPointeY = 2;

// 119: the publisher's logo for the information bar.
QImage LogoEditeur();

} // namespace Icones

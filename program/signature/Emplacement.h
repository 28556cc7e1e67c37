#pragma once
// The placement record carried by both signature panels, and where it puts a
// layer on a given picture.

#include "Types.h"

struct Emplacement {
    // Check states of the three radio groups (1 = checked).
    int PositionAutomatique = 1;
    int PositionAbsolue = 0;
    int PositionAutomatiqueHaut = 0;
    int PositionAutomatiqueBas = 1;
    int PositionAutomatiqueDroite = 1;
    int PositionAutomatiqueGauche = 0;
    int PositionAutomatiqueContinue = 0;
    // Pixels, never scaled to the picture.
    UINT PositionAutomatiqueDeltaX = 5;
    UINT PositionAutomatiqueDeltaY = 5;
    UINT PositionAbsolueX = 0;
    UINT PositionAbsolueY = 0;
};

// A point in picture pixels (possibly outside it) and how the layer hangs on it.
struct Position {
    CPoint point;
    int vertical = 0;   // 0: point is the top edge, 1: the bottom edge
    int horizontal = 0; // 0: left edge, 1: right edge, 2: centred on the picture
};

// The text's anchors are resolved later by the text renderer with the text's extent.
Position PlaceTexte(const Emplacement& record, CSize picture);
// The logo's point is its top-left corner.
Position PlaceLogo(const Emplacement& record, CSize picture, CSize logo);

#pragma once
// Placements the program's tests put layers at, in one place.

#include "Emplacement.h"

// At (x, y) of the picture.
inline Emplacement Absolu(UINT x, UINT y)
{
    Emplacement e;
    e.PositionAutomatique = 0;
    e.PositionAbsolue = 1;
    e.PositionAbsolueX = x;
    e.PositionAbsolueY = y;
    return e;
}

// In a corner (or centred along the top or bottom edge), dx and dy from it.
inline Emplacement Automatique(bool haut, bool droite, bool centre, UINT dx, UINT dy)
{
    Emplacement e;
    e.PositionAutomatiqueHaut = haut;
    e.PositionAutomatiqueBas = !haut;
    e.PositionAutomatiqueDroite = droite && !centre;
    e.PositionAutomatiqueGauche = !droite && !centre;
    e.PositionAutomatiqueContinue = centre;
    e.PositionAutomatiqueDeltaX = dx;
    e.PositionAutomatiqueDeltaY = dy;
    return e;
}

#include "Emplacement.h"

namespace {

// Only "Automatic", "Up", "Right" and "Left" are read; centre is the fallback.
Position Place(const Emplacement& r, CSize picture, CSize layer)
{
    Position p;
    if (!r.PositionAutomatique) {
        p.point = CPoint(static_cast<LONG>(r.PositionAbsolueX), static_cast<LONG>(r.PositionAbsolueY));
        return p;
    }
    const LONG dx = static_cast<LONG>(r.PositionAutomatiqueDeltaX);
    const LONG dy = static_cast<LONG>(r.PositionAutomatiqueDeltaY);
    if (r.PositionAutomatiqueHaut) {
        p.point.y = dy;
    } else {
        p.vertical = 1;
        p.point.y = picture.cy - dy - layer.cy;
    }
    if (r.PositionAutomatiqueDroite) {
        p.horizontal = 1;
        p.point.x = picture.cx - dx - layer.cx;
    } else if (r.PositionAutomatiqueGauche) {
        p.point.x = dx;
    } else {
        p.horizontal = 2;
        p.point.x = (picture.cx - layer.cx) / 2;
    }
    return p;
}

} // namespace

Position PlaceTexte(const Emplacement& record, CSize picture)
{
    Position p = Place(record, picture, CSize(0, 0));
    if (p.horizontal == 2)
        p.point.x = 0;
    return p;
}

Position PlaceLogo(const Emplacement& record, CSize picture, CSize logo) { return Place(record, picture, logo); }

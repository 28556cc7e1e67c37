#pragma once
// The two resampling rules behind StretchBlt. Rectangles are in pixels of
// their image; the destination is clipped to its image, source positions are
// clamped to the source.

#include "Bitmap.h"

namespace Stretch {

void Nearest(const Bitmap& source, const CRect& from, Bitmap& dest, const CRect& to);
void Halftone(const Bitmap& source, const CRect& from, Bitmap& dest, const CRect& to);

} // namespace Stretch

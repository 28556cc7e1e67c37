#include "Pen.h"

HPEN CreatePen(int style, int width, COLORREF colour) { return new Pen(style, width, colour); }

#pragma once
// One line of text measured and drawn with a context's font, colours and
// background mode. Text is UTF-8; lengths count bytes. Neither call splits
// lines: a line break or a tab is just one more character.

#include "DeviceContext.h"

class QColor;

// Width = the text's advance, height = the font's ascent + descent.
BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, CSize* size);
// (x, y) is the top-left corner of the text's box. In opaque mode exactly the
// box that GetTextExtentPoint32 measures is filled with the background colour
// first; in transparent mode only the glyphs are drawn, antialiased.
BOOL TextOut(HDC dc, int x, int y, const char* text, int length);
// The rectangle TextOut at the same (x, y) may change, before the image's
// edges cut it: the box and the glyphs' ink with their antialiasing. Empty
// when it changes none.
BOOL TextOutZone(HDC dc, int x, int y, const char* text, int length, CRect* zone);
// The Qt colour of a colour value, for widgets painted in a chosen colour.
QColor ToQColor(COLORREF colour);

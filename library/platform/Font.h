#pragma once
// Fonts made from a logical-font record. The record is kept as given, for
// callers that store it byte for byte; the Qt font it stands for is what
// measures and draws, so a text edit showing qfont() and a picture drawn with
// the same handle show the same letters at the same pixel height.
// Escapement and orientation are kept in the record but not applied: text is
// always drawn horizontally.

#include "GdiObject.h"

#include <QFont>

// Character sets
constexpr BYTE DEFAULT_CHARSET = 1;
// Pitch, low nibble of lfPitchAndFamily
constexpr BYTE FIXED_PITCH = 1;
// Families, high nibble of lfPitchAndFamily
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

class Font : public GdiObject {
public:
    // Height: negative = character height in pixels, positive = cell height
    // (ascent + descent), 0 = the default size.
    explicit Font(const LOGFONT& description);

    const LOGFONT& description() const { return m_description; }
    QFont qfont() const { return m_font; }

    // The record of a Qt font (a widget's font, the font chooser's answer),
    // with its size as a negative height in pixels.
    static LOGFONT Describe(const QFont& font);

    // Sizes beyond this are clamped: a hostile record must not ask the font
    // engine for glyphs larger than any picture.
    static constexpr int kMaxPixelSize = 8192;
    // Cell height used for a height of 0, as the system's font mapping gives at 96 dpi.
    static constexpr int kDefaultCellHeight = 16;

private:
    LOGFONT m_description;
    QFont m_font;
};

using HFONT = Font*;

// Null when the record is null.
HFONT CreateFontIndirect(const LOGFONT* description);
// Copies the font's record; returns the bytes written or 0.
int GetObject(HFONT font, int size, LOGFONT* out);

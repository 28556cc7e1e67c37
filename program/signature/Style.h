#pragma once
// How one signature layer fits the picture and stands out from it: a size
// relative to the picture, margins and position in percent, an opacity,
// and for the text an outline and a drop shadow. The defaults change
// nothing: a layer at its defaults is laid exactly as a fixed one.

#include "CArchive.h"
#include "Emplacement.h"
#include "Types.h"

#include <cstdint>

struct Style {
    // Hundredths of a percent of the picture's shorter side (500 = 5 %):
    // the text's pixel height, or the logo's longer side. 0 keeps the fixed size.
    int TailleRelative = 0;
    // Margins in percent of the shorter side, the absolute position in
    // percent of the width and of the height, instead of pixels.
    int PlaceRelative = 0;
    int Opacite = 100; // percent
    // Text only. The outline's width in pixels, or in percent of the text
    // height when ContourRelatif; 0 draws none.
    int Contour = 0;
    int ContourRelatif = 0;
    COLORREF CouleurContour = 0;
    // A shadow offset by (OmbreX, OmbreY) pixels and blurred over OmbreFlou
    // pixels; none at an opacity of 0.
    int OmbreX = 0;
    int OmbreY = 0;
    int OmbreFlou = 0;
    COLORREF CouleurOmbre = 0;
    int OpaciteOmbre = 0; // percent
    // The layer laid again and again across the whole picture instead of
    // once at its place: turned by Angle degrees (anticlockwise), with
    // Espacement percent of the shorter side between neighbouring marks.
    bool Repete = false;
    int Angle = 30;
    int Espacement = 25;

    static constexpr int kTailleMaximale = 10000; // 100 %
    static constexpr int kContourMaximal = 200;
    static constexpr int kDecalageMaximal = 1000;
    static constexpr int kFlouMaximal = 100;
    static constexpr int kAngleMaximal = 90;
    static constexpr int kEspacementMinimal = 5;
    static constexpr int kEspacementMaximal = 100;

    bool operator==(const Style&) const = default;
    bool ParDefaut() const { return *this == Style(); }
    // Nothing beyond the size and the place: the text is drawn as it always was.
    bool TexteSimple() const { return Opacite >= 100 && Contour <= 0 && OpaciteOmbre <= 0; }

    // The text's pixel height on picture (at least 1), or 0 for the fixed size.
    int HauteurTexte(CSize picture) const;
    // The outline's width in pixels for a text of that height.
    int LargeurContour(int hauteurTexte) const;
    // A relative text drawn hauteur pixels high from a template whose font
    // has hauteurModele: the shadow's offset and blur and an outline in
    // pixels grow in proportion (within their limits), so one template
    // looks alike on every picture. Itself for a fixed size.
    Style Proportionne(int hauteur, int hauteurModele) const;
    // The logo's size on picture, proportions kept; logo itself when fixed.
    CSize TailleLogo(CSize picture, CSize logo) const;
    // The placement in pixels for picture; the record itself when not relative.
    Emplacement EmplacementPour(const Emplacement& record, CSize picture) const;

    // A fixed list of 32-bit fields; reading takes each field that is whole,
    // brought into its range, so a shorter record leaves the rest as it was.
    // The repeat's three fields follow only when one differs from its
    // default: a record without them keeps the bytes it always had, and a
    // reader that knows only the first fields skips them. They are taken
    // together or not at all; a spacing of 0, never written, is a reader's
    // zero padding past the record.
    void Ecrit(CArchive& archive) const;
    void Lit(CArchive& archive);
    static constexpr std::size_t kOctets = 11 * 4;
    static constexpr std::size_t kOctetsRepetition = 3 * 4;
};

#pragma once
// A template string made fit for the controls and the drawing: UTF-8, and
// no longer than the settings store keeps (which refuses longer texts
// itself). Longer texts are cut at a character boundary, so a template
// holding megabytes of text still loads without freezing the window, and
// what it loaded can be kept as the last settings.

#include "CBaseRegistre.h"
#include "Types.h"

#include <string_view>

class TexteImporte {
public:
    static constexpr std::size_t kTailleMaximale = CBaseRegistre::kTailleTexteMax - 1;

    // A template string: kept when it is valid UTF-8, otherwise read as
    // Windows-1252 (what the single-byte program wrote); then bounded.
    static CString DepuisModele(std::string_view octets);
    // A string already in UTF-8, bounded.
    static CString Borne(CString texte);

    static bool EstUtf8(std::string_view octets);
    // Every byte is a character: the five bytes Windows-1252 leaves undefined
    // become the C1 controls of the same value, as Windows itself reads them.
    static CString DepuisWindows1252(std::string_view octets);
};

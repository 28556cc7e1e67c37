#pragma once
// The signature's two layers as a template describes them: the one mapping
// from settings to what Composition lays, used by the preview and by every
// run, so that what is shown is what is written.

#include "Composition.h"
#include "ModeleSignature.h"

#include <cstdint>
#include <vector>

class CouchesSignature {
public:
    // The text as typed (tokens not yet replaced) in the template's colours,
    // place and style, drawn with police (the caller's, made from the
    // template's font).
    static CoucheTexte Texte(const ModeleSignature& reglages, HFONT police);
    // The logo loaded from chemin (image and alpha the caller's; null image:
    // no logo) at the template's place and style; an SVG file's drawing
    // with it, read again from chemin, when the style sizes the logo.
    static CoucheLogo Logo(const ModeleSignature& reglages, const CString& chemin, HBITMAP image,
                           std::vector<std::uint8_t> alpha);
};

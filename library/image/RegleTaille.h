#pragma once
// A rule that makes a picture smaller before it is signed ("Resize"): its
// longest or its shorter side to a number of pixels, or both sides to a
// percentage. A rule never enlarges; Aucune, the default, keeps every size.

#include "Types.h"

#include <cstdint>

struct RegleTaille {
    // The numbers templates and settings store.
    enum class Mode : std::uint32_t { Aucune = 0, CotePlusLong = 1, CotePlusCourt = 2, Pourcentage = 3 };

    Mode Genre = Mode::Aucune;
    std::uint32_t Valeur = 0; // pixels, or percent

    // Beyond these a value is refused where it is read: a side of more
    // pixels than any decoder gives, a percentage that could only enlarge.
    static constexpr std::uint32_t kPixelsMaximum = 1u << 20;
    static constexpr std::uint32_t kPourcentMaximum = 100;

    // Whether it changes some size at all.
    bool Active() const { return Genre != Mode::Aucune; }
    // A rule a template or the settings may hold: Aucune with no value, or
    // a mode with a value from 1 to its maximum.
    bool Valide() const;
    // The picture's size under the rule: each side scaled by the same
    // factor and rounded half up (w * N / longest, as integers), at least
    // one pixel; the source's own size when it is not larger than asked.
    // The rule depends only on the two sides, not on their order, so a
    // picture turned a quarter before or after gives the same size.
    CSize Cible(CSize source) const;

    bool operator==(const RegleTaille&) const = default;
};

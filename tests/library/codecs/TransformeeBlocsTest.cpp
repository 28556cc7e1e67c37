#include "codecs/TransformeeBlocs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(TransformeeBlocs, ArrondiRoundsLikeLround)
{
    // Halves go away from zero; the floats just below a half, which adding
    // 0.5 would carry up, stay below.
    const float valeurs[] = {0.0f, 0.5f, -0.5f, 1.5f, -1.5f, 2.5f, -2.5f, 255.49f, std::nextafter(0.5f, 0.0f),
                             std::nextafter(-0.5f, 0.0f), std::nextafter(1.5f, 0.0f), std::nextafter(255.5f, 0.0f),
                             1e6f + 0.5f, -2047.75f, 3.0e8f, -3.0e8f};
    for (const float v : valeurs)
        EXPECT_EQ(TransformeeBlocs::Arrondi(v), std::lround(v)) << v;
}

TEST(TransformeeBlocs, HostileCoefficientsSaturateInsteadOfOverflowing)
{
    const TransformeeBlocs transformee;
    JQUANT_TBL table{};
    for (UINT16& q : table.quantval)
        q = 65535;
    for (const JCOEF extreme : {JCOEF(32767), JCOEF(-32768)}) {
        // Every basis function is positive at the first sample.
        JCOEF coefficients[DCTSIZE2];
        std::fill_n(coefficients, DCTSIZE2, extreme);
        JSAMPLE echantillons[DCTSIZE2];
        transformee.Inverse(coefficients, table, echantillons);
        EXPECT_EQ(echantillons[0], extreme > 0 ? 255 : 0);
    }
}

#pragma once
// Decimal conversion of text as the C runtime's atoi reads it: leading blanks
// skipped, an optional sign, digits up to the first other character, 0 when
// there are none. Text comes from files and settings, so instead of
// overflowing the value saturates at the ends of the 64-bit range.

#include <cstdint>
#include <string_view>

std::int64_t DecimalValue(std::string_view text);

#pragma once
// A whole number written in digits only, as the command line and the
// system's control files give them: no sign, no space, no overflow of T.

#include <charconv>
#include <optional>
#include <string_view>

template <class T>
std::optional<T> EntierNaturel(std::string_view texte)
{
    T lu = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), lu);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size())
        return std::nullopt;
    return lu;
}

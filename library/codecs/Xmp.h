#pragma once
// Edits of an XMP packet held in an APP1 payload, in place and at the same
// length: what goes is replaced by spaces, which XML allows between
// attributes and between elements, so the packet and its padding stay as
// they were. Properties are found in their attribute form
// (prefix:Name="value") and their element form (<prefix:Name>...</prefix:Name>).

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class Xmp {
public:
    // What a main XMP payload starts with, its NUL included.
    static constexpr std::string_view kEnTete{"http://ns.adobe.com/xap/1.0/\0", 29};

    // Where the XML starts in a main or an extended XMP payload; 0 when the
    // payload is neither.
    static std::size_t Debut(std::span<const std::uint8_t> app1);

    // tiff:Orientation becomes 1.
    static void Redresse(std::vector<std::uint8_t>& app1);
    // Every exif:GPS... property is blanked out.
    static void RetireLieu(std::vector<std::uint8_t>& app1);

private:
    // The prefix bound to a namespace in the packet, or the usual one.
    static std::string_view Prefixe(std::string_view xml, std::string_view uri, std::string_view usuel);
};

#pragma once
// A camera's Exif as a test needs it: a little-endian TIFF block whose IFD0
// holds Model and Orientation.

#include <cstdint>
#include <string>
#include <vector>

namespace TestImages {

std::vector<std::uint8_t> BlocExif(std::uint16_t orientation, const std::string& modele);

} // namespace TestImages

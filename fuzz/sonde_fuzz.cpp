// Feeds arbitrary bytes to the format registry as a file: the sniffers, then
// the header probe of whatever format they name.

#include "codecs/RegistreFormats.h"
#include "EntreeFuzz.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = EntreeFuzz::Fichier("sonde_fuzz", "", data, size);
    if (path.empty())
        return 0;
    (void)RegistreFormats::Dimensions(path);
    return 0;
}

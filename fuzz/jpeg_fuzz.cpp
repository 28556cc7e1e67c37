// Feeds arbitrary bytes as a file to both JPEG readers: the direct decoder
// behind ChargeImageJPEG and JpegFile's RGB-buffer decoder.

#include "CGraphique.h"
#include "JpegFile.h"
#include "SilentInteraction.h"
#include "codecs/Budget.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Decoding a picture of hundreds of megapixels from a few bytes only costs
// time; the size limits have their own tests. The readers refuse larger
// pictures themselves, through the budget's own paths.
constexpr Budget::Limites kLimites{std::uint64_t(1) << 22, std::uint64_t(1) << 28};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentInteraction silent;
    Interaction::install(&silent);
    static Budget budget(kLimites);
    static Budget::Portee portee(budget);
    static CGraphique graphique;
    static const std::string path = "/tmp/jpeg_fuzz_" + std::to_string(::getpid()) + ".jpg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    UINT width = 0, height = 0;
    DeleteObject(graphique.ChargeImageJPEG(path));
    delete[] JpegFile::JpegFileToRGB(path, &width, &height);
    return 0;
}

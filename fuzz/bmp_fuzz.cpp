// Feeds arbitrary bytes to the BMP reader as a file.

#include "CGraphique.h"
#include "codecs/Budget.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// As the other readers' targets: time goes to finding paths, not to filling
// hundreds of megapixels.
constexpr Budget::Limites kLimites{std::uint64_t(1) << 22, std::uint64_t(1) << 28};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Budget budget(kLimites);
    static Budget::Portee portee(budget);
    static CGraphique graphique;
    static const std::string path = "/tmp/bmp_fuzz_" + std::to_string(::getpid()) + ".bmp";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    DeleteObject(graphique.ChargeImageBMP(path));
    return 0;
}

// Feeds arbitrary bytes to the GIF reader as a file, then walks a few of its
// images so that the block walk and its wrap-around are exercised too.

#include "CGif.h"
#include "codecs/Budget.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Images of hundreds of megapixels from a few bytes only cost time; the
// reader's own limits have their tests.
constexpr Budget::Limites kLimites{std::uint64_t(1) << 22, std::uint64_t(1) << 28};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Budget budget(kLimites);
    static Budget::Portee portee(budget);
    static const std::string path = "/tmp/gif_fuzz_" + std::to_string(::getpid()) + ".gif";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CGif gif;
    if (!gif.Load(path.c_str()))
        return 0;
    DeleteObject(gif.FirstImage());
    for (int i = 0; i < 3; ++i)
        DeleteObject(gif.NextImage());
    return 0;
}

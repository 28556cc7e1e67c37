// Feeds arbitrary bytes to the GIF reader as a file, then walks a few of its
// images so that the block walk and its wrap-around are exercised too.

#include "CGif.h"
#include "EntreeFuzz.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = EntreeFuzz::Fichier("gif_fuzz", ".gif", data, size);
    if (path.empty())
        return 0;
    CGif gif;
    if (!gif.Load(path.c_str(), EntreeFuzz::BudgetReduit()))
        return 0;
    DeleteObject(gif.FirstImage());
    for (int i = 0; i < 3; ++i)
        DeleteObject(gif.NextImage());
    return 0;
}

#include "GlobalMemory.h"

#include <cstdlib>
#include <cstring>

namespace {

// Each block carries its size in front of the bytes handed out.
constexpr std::size_t kHeader = 16;

std::size_t& SizeOf(void* raw) { return *static_cast<std::size_t*>(raw); }
void* Raw(HGLOBAL block) { return static_cast<char*>(block) - kHeader; }

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    if (bytes > SIZE_MAX - kHeader)
        return nullptr;
    void* raw = (flags & GMEM_ZEROINIT) ? std::calloc(1, kHeader + bytes) : std::malloc(kHeader + bytes);
    if (!raw)
        return nullptr;
    SizeOf(raw) = bytes;
    return static_cast<char*>(raw) + kHeader;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT flags)
{
    if (!block)
        return GlobalAlloc(flags, bytes);
    if (bytes > SIZE_MAX - kHeader)
        return nullptr;
    const std::size_t old = GlobalSize(block);
    void* raw = std::realloc(Raw(block), kHeader + bytes);
    if (!raw)
        return nullptr;
    SizeOf(raw) = bytes;
    if ((flags & GMEM_ZEROINIT) && bytes > old)
        std::memset(static_cast<char*>(raw) + kHeader + old, 0, bytes - old);
    return static_cast<char*>(raw) + kHeader;
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    if (block)
        std::free(Raw(block));
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL block) { return block ? SizeOf(Raw(block)) : 0; }
void* GlobalLock(HGLOBAL block) { return block; }
BOOL GlobalUnlock(HGLOBAL) { return FALSE; }

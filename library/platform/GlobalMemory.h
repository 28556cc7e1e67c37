#pragma once
// Movable memory blocks as handed between the image model and the codecs:
// the receiver of a block frees it with GlobalFree.

#include "Types.h"

using HGLOBAL = void*;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Null when the memory is refused.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// Keeps the content; new bytes are zero when GMEM_ZEROINIT is given. Null on
// failure, the old block then stays valid.
HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT flags);
// Returns null on success, as the original does.
HGLOBAL GlobalFree(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);

#pragma once
// An object that owns at most one device image, as callers of the member
// resize expect: the new image is attached to it and freed with it.

#include "Bitmap.h"

#include <utility>

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Takes ownership of image; fails when one is already attached.
    BOOL Attach(HBITMAP image);
    HBITMAP Detach() { return std::exchange(m_image, nullptr); }
    BOOL DeleteObject();
    HBITMAP GetSafeHandle() const { return m_image; }
    operator HBITMAP() const { return m_image; }

private:
    HBITMAP m_image = nullptr;
};

#pragma once
// Drawing objects handed around by handle, released with DeleteObject.

#include "Types.h"

class GdiObject {
public:
    enum class Kind { Bitmap, Brush, Pen, Font };
    explicit GdiObject(Kind kind) : m_kind(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Kind kind() const { return m_kind; }
    // Stock objects are shared and never freed.
    bool isStock() const { return m_stock; }
    void markStock() { m_stock = true; }

private:
    Kind m_kind;
    bool m_stock = false;
};

using HGDIOBJ = GdiObject*;

// Frees a drawing object; stock objects and null are ignored. Returns TRUE
// when the handle was valid.
BOOL DeleteObject(HGDIOBJ object);

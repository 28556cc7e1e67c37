#pragma once
// A memory drawing context with one image selected, for the length of a
// scope: every exit restores the selection and deletes the context.

#include "DeviceContext.h"

class MemoryContext {
public:
    MemoryContext(HDC reference, HBITMAP image)
        : m_dc(CreateCompatibleDC(reference)), m_previous(SelectObject(m_dc, image))
    {
    }
    ~MemoryContext()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
    HBITMAP m_previous;
};

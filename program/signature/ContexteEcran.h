#pragma once
// A reference context held for one image operation: taken just before the
// call and released right after it, as every image operation expects.

#include "DeviceContext.h"

class ContexteEcran {
public:
    explicit ContexteEcran(HWND window = nullptr) : m_window(window), m_dc(GetDC(window)) {}
    ~ContexteEcran() { ReleaseDC(m_window, m_dc); }
    ContexteEcran(const ContexteEcran&) = delete;
    ContexteEcran& operator=(const ContexteEcran&) = delete;
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

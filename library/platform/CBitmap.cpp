#include "CBitmap.h"

BOOL CBitmap::Attach(HBITMAP image)
{
    if (m_image || !image)
        return FALSE;
    m_image = image;
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (!m_image)
        return FALSE;
    ::DeleteObject(std::exchange(m_image, nullptr));
    return TRUE;
}

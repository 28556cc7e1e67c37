#include "CImageList.h"

#include "PixelRows.h"

#include <QPixmap>

#include <cstdint>

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial)
{
    if (m_created || cx <= 0 || cy <= 0 || initial < 0)
        return FALSE;
    m_size = CSize(cx, cy);
    m_flags = flags;
    m_images.reserve(static_cast<std::size_t>(initial));
    m_created = true;
    return TRUE;
}

int CImageList::Add(HBITMAP image, COLORREF transparent)
{
    if (!m_created || !image || image->width() != m_size.cx || image->height() != m_size.cy)
        return -1;
    QImage copie(m_size.cx, m_size.cy, QImage::Format_ARGB32);
    const std::uint32_t masque = PixelRows::FromColorRef(transparent);
    const bool avecMasque = (m_flags & ILC_MASK) != 0;
    for (int y = 0; y < m_size.cy; ++y) {
        auto* ligne = reinterpret_cast<std::uint32_t*>(copie.scanLine(y));
        PixelRows::Read(*image, 0, y, m_size.cx, ligne);
        for (int x = 0; x < m_size.cx; ++x)
            ligne[x] = avecMasque && ligne[x] == masque ? 0u : ligne[x] | 0xFF000000u;
    }
    m_images.push_back(std::move(copie));
    return GetImageCount() - 1;
}

BOOL CImageList::Remove(int index)
{
    if (index == -1) {
        m_images.clear();
        return TRUE;
    }
    if (index < 0 || index >= GetImageCount())
        return FALSE;
    m_images.erase(m_images.begin() + index);
    return TRUE;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_created)
        return FALSE;
    m_images.clear();
    m_created = false;
    return TRUE;
}

QIcon CImageList::Icon(int index) const
{
    if (index < 0 || index >= GetImageCount())
        return QIcon();
    return QIcon(QPixmap::fromImage(m_images[static_cast<std::size_t>(index)]));
}

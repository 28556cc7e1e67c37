#include "BitmapStatic.h"

#include "PixelRows.h"

#include <QImage>
#include <QPixmap>

BitmapStatic::BitmapStatic(QWidget* parent, bool centred) : QLabel(parent), m_centred(centred)
{
    setAlignment(centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
}

BitmapStatic::~BitmapStatic()
{
    if (m_owned)
        DeleteObject(m_image);
}

HBITMAP BitmapStatic::SetBitmap(HBITMAP image)
{
    HBITMAP previous = m_image;
    m_image = image;
    m_owned = false;
    Show();
    return previous;
}

void BitmapStatic::SetOwnedBitmap(HBITMAP image)
{
    if (m_owned && m_image != image)
        DeleteObject(m_image);
    m_image = image;
    m_owned = image != nullptr;
    Show();
}

void BitmapStatic::Show()
{
    if (!m_image) {
        clear();
        return;
    }
    QImage picture(m_image->width(), m_image->height(), QImage::Format_RGB32);
    for (int y = 0; y < m_image->height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
        PixelRows::Read(*m_image, 0, y, m_image->width(), row);
        // Qt wants opaque pixels to say so.
        for (int x = 0; x < m_image->width(); ++x)
            row[x] |= 0xFF000000u;
    }
    setPixmap(QPixmap::fromImage(picture));
    if (!m_centred)
        resize(picture.size());
}

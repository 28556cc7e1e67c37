#pragma once
// Images of one size for a list view's items, kept as the list draws them:
// with ILC_MASK, every pixel of an image's transparent colour lets the
// list's background show through.

#include "Bitmap.h"

#include <QIcon>
#include <QImage>

#include <vector>

constexpr UINT ILC_MASK = 0x0001;

class CImageList {
public:
    // Images of cx x cy pixels, room made for initial of them.
    BOOL Create(int cx, int cy, UINT flags, int initial);
    // A copy of image, which must have the list's size. Returns its index,
    // or -1 when the list was not created or the image does not fit it.
    int Add(HBITMAP image, COLORREF transparent);
    // Index -1 removes every image.
    BOOL Remove(int index);
    BOOL DeleteImageList();
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    CSize GetImageSize() const { return m_size; }
    // What a list view shows for image index; a null icon when there is none.
    QIcon Icon(int index) const;

private:
    CSize m_size;
    UINT m_flags = 0;
    bool m_created = false;
    std::vector<QImage> m_images;
};

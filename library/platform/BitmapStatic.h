#pragma once
// A static control showing a device image. The control keeps a picture of
// the pixels as they were when the image was set, so handing it the same
// image again after drawing into it shows the new pixels, and an image
// released while shown does no harm. The control takes the image's size
// unless it centres the image in a fixed area.

#include "Bitmap.h"

#include <QLabel>

class BitmapStatic : public QLabel {
    Q_OBJECT

public:
    explicit BitmapStatic(QWidget* parent = nullptr, bool centred = false);
    ~BitmapStatic() override;

    // Shows image (null: nothing) and returns the one shown before. The image
    // stays the caller's, except the first one loaded from the dialog's
    // layout: the control owns that one until it is replaced, and whoever
    // receives it then owns it.
    HBITMAP SetBitmap(HBITMAP image);
    HBITMAP GetBitmap() const { return m_image; }
    // Shows a bitmap the control owns (the layout's initial picture).
    void SetOwnedBitmap(HBITMAP image);

private:
    void Show();

    HBITMAP m_image = nullptr;
    bool m_owned = false;
    bool m_centred;
};

#include "Text.h"

#include "Font.h"
#include "PixelRows.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

// A context without a font draws in the default one.
QFont FontOf(HDC dc) { return dc->font ? dc->font->qfont() : Font(LOGFONT{}).qfont(); }

// Draws into an RGB32 view of image rows first..first + view.height() - 1.
void Paint(HDC dc, QImage& view, int first, const QFont& font, const QRect& box, int baseline, const QString& text)
{
    QPainter painter(&view);
    painter.translate(0, -first);
    if (dc->backgroundMode == OPAQUE)
        painter.fillRect(box, ToQColor(dc->backgroundColour));
    painter.setFont(font);
    painter.setPen(ToQColor(dc->textColour));
    painter.drawText(QPoint(box.left(), baseline), text);
}

// Where TextOut puts a line with (x, y) the top-left corner of its box.
struct Disposition {
    QString line;
    QFont font;
    QRect box;
    int baseline = 0;
    QRect ink; // the glyphs, accents and italics included, a pixel of antialiasing around
};

Disposition Dispose(HDC dc, int x, int y, const char* text, int length)
{
    Disposition d;
    d.line = QString::fromUtf8(text, length);
    d.font = FontOf(dc);
    // Pictures get grey antialiasing: colour fringes tuned for one screen's
    // subpixel order would stay in the file.
    d.font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    const QFontMetrics metrics(d.font);
    d.box = QRect(x, y, metrics.horizontalAdvance(d.line), metrics.ascent() + metrics.descent());
    d.baseline = y + metrics.ascent();
    d.ink = metrics.boundingRect(d.line).translated(x, d.baseline).adjusted(-1, -1, 1, 1);
    return d;
}

} // namespace

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, CSize* size)
{
    if (!dc || !size || length < 0 || (!text && length > 0))
        return FALSE;
    const QFontMetrics metrics(FontOf(dc));
    size->cx = metrics.horizontalAdvance(QString::fromUtf8(text, length));
    size->cy = metrics.ascent() + metrics.descent();
    return TRUE;
}

BOOL TextOutZone(HDC dc, int x, int y, const char* text, int length, CRect* zone)
{
    if (!dc || !zone || length < 0 || (!text && length > 0))
        return FALSE;
    const Disposition d = Dispose(dc, x, y, text, length);
    *zone = CRect();
    if (!d.line.isEmpty())
        *zone = CRect(std::min(d.box.left(), d.ink.left()), std::min(d.box.top(), d.ink.top()),
                      std::max(d.box.right(), d.ink.right()) + 1, std::max(d.box.bottom(), d.ink.bottom()) + 1);
    return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int length)
{
    if (!dc || !dc->bitmap || length < 0 || (!text && length > 0))
        return FALSE;
    Bitmap& image = *dc->bitmap;
    const Disposition d = Dispose(dc, x, y, text, length);
    if (d.line.isEmpty())
        return TRUE;
    const int width = d.box.width();
    const int height = d.box.height();

    // Nothing to draw when even the overhangs stay clear of the image; this
    // also keeps the rectangles below far from integer overflow.
    const long long reach = 2LL * height + 2;
    if (x > image.width() + reach || 1LL * x + width + reach < 0 || y > image.height() + reach
        || 1LL * y + height + reach < 0)
        return TRUE;

    // Accents, italics and underlines may reach past the box: repaint the rows
    // the glyphs cover as well.
    const int first = std::max(0, std::min(d.box.top(), d.ink.top()));
    const int last = std::min(image.height() - 1, std::max(d.box.bottom(), d.ink.bottom()));
    if (first > last)
        return TRUE;
    const int rows = last - first + 1;
    const QFont& font = d.font;
    const QRect& box = d.box;
    const int baseline = d.baseline;
    const QString& line = d.line;

    if (image.bitsPerPixel() == 32) {
        // B, G, R, X rows are RGB32 as they are; the painter writes 0xFF into X,
        // which our pixels keep at 0.
        QImage view(image.row(first), image.width(), rows, static_cast<qsizetype>(image.stride()),
                    QImage::Format_RGB32);
        Paint(dc, view, first, font, box, baseline, line);
        for (int r = first; r <= last; ++r) {
            auto* p = reinterpret_cast<std::uint32_t*>(image.row(r));
            for (int i = 0; i < image.width(); ++i)
                p[i] &= 0x00FFFFFF;
        }
        return TRUE;
    }
    const std::size_t w = static_cast<std::size_t>(image.width());
    std::vector<std::uint32_t> band(w * static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        PixelRows::Read(image, 0, first + r, image.width(), band.data() + w * r);
    QImage view(reinterpret_cast<uchar*>(band.data()), image.width(), rows, static_cast<qsizetype>(w * 4),
                QImage::Format_RGB32);
    Paint(dc, view, first, font, box, baseline, line);
    for (int r = 0; r < rows; ++r)
        PixelRows::Write(image, 0, first + r, image.width(), band.data() + w * r);
    return TRUE;
}

#include "Font.h"

#include "DeviceContext.h"

#include <QFontMetrics>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The template fonts are Windows fonts that Debian does not ship. Fontconfig
// maps them when its aliases are installed; these keep the comic hand and the
// plain sans on systems where they are not.
void InstallSubstitutions()
{
    static const bool installed = [] {
        QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
        return true;
    }();
    (void)installed;
}

// A record read from a file may lack its terminator.
QString FaceName(const LOGFONT& lf)
{
    const char* face = lf.lfFaceName;
    const auto* end = static_cast<const char*>(std::memchr(face, 0, LF_FACESIZE));
    return QString::fromUtf8(face, end ? end - face : LF_FACESIZE);
}

QFont::StyleHint HintFor(BYTE pitchAndFamily)
{
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN:
        return QFont::Serif;
    case FF_MODERN:
        return QFont::Monospace;
    case FF_SCRIPT:
        return QFont::Cursive;
    case FF_DECORATIVE:
        return QFont::Decorative;
    case FF_SWISS:
    case FF_DONTCARE:
    default:
        return QFont::SansSerif;
    }
}

int ClampSize(long long pixels) { return static_cast<int>(std::clamp(pixels, 1LL, 1LL * Font::kMaxPixelSize)); }

int CellHeight(QFont font, int pixelSize)
{
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

// Hinted metrics round ascent and descent apart, so no pixel size may give the
// exact cell; take the closest, the smaller on a tie.
int PixelSizeForCell(const QFont& font, int cell)
{
    constexpr int reference = 100;
    const int estimate = ClampSize(std::llround(double(cell) * reference / std::max(1, CellHeight(font, reference))));
    int best = estimate;
    int bestGap = INT_MAX;
    for (int size = std::max(1, estimate - 3); size <= std::min(Font::kMaxPixelSize, estimate + 3); ++size) {
        const int gap = std::abs(CellHeight(font, size) - cell);
        if (gap < bestGap) {
            best = size;
            bestGap = gap;
        }
    }
    return best;
}

QFont Realise(const LOGFONT& lf)
{
    InstallSubstitutions();
    QFont font(FaceName(lf));
    font.setStyleHint(HintFor(lf.lfPitchAndFamily));
    if ((lf.lfPitchAndFamily & 0x0F) == FIXED_PITCH)
        font.setFixedPitch(true);
    if (lf.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp<LONG>(lf.lfWeight, 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);

    const long long height = lf.lfHeight;
    if (height < 0)
        font.setPixelSize(ClampSize(-height));
    else
        font.setPixelSize(PixelSizeForCell(font, ClampSize(height == 0 ? Font::kDefaultCellHeight : height)));

    // A width asks for that average character width: stretch the face to it.
    if (lf.lfWidth != 0) {
        const int average = QFontMetrics(font).averageCharWidth();
        if (average > 0) {
            const long long width = std::llabs(static_cast<long long>(lf.lfWidth));
            font.setStretch(static_cast<int>(std::clamp(std::llround(100.0 * width / average), 1LL, 4000LL)));
        }
    }
    return font;
}

} // namespace

Font::Font(const LOGFONT& description) : GdiObject(Kind::Font), m_description(description), m_font(Realise(description))
{
}

LOGFONT Font::Describe(const QFont& font)
{
    LOGFONT lf{};
    int pixels = font.pixelSize();
    if (pixels <= 0)
        pixels = static_cast<int>(std::lround(font.pointSizeF() * GetDeviceCaps(nullptr, LOGPIXELSY) / 72.0));
    lf.lfHeight = -pixels;
    lf.lfWeight = font.weight();
    lf.lfItalic = font.style() != QFont::StyleNormal;
    lf.lfUnderline = font.underline();
    lf.lfStrikeOut = font.strikeOut();
    lf.lfCharSet = DEFAULT_CHARSET;
    const QByteArray face = font.family().toUtf8();
    // Room for the terminator; never cut a character in two.
    qsizetype length = std::min<qsizetype>(face.size(), LF_FACESIZE - 1);
    while (length > 0 && length < face.size() && (static_cast<BYTE>(face[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(lf.lfFaceName, face.constData(), static_cast<std::size_t>(length));
    return lf;
}

HFONT CreateFontIndirect(const LOGFONT* description) { return description ? new Font(*description) : nullptr; }

int GetObject(HFONT font, int size, LOGFONT* out)
{
    if (!font || !out || size < static_cast<int>(sizeof(LOGFONT)))
        return 0;
    *out = font->description();
    return sizeof(LOGFONT);
}

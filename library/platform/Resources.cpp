#include "Resources.h"

#include "PixelRows.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QString>

#include <array>
#include <map>
#include <vector>

namespace {

using Table = std::map<UINT, std::string>;

std::array<Table, 3>& Tables()
{
    static std::array<Table, 3> tables;
    return tables;
}

std::string Unescape(const QByteArray& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

const char* Prefix(ResourceModule module)
{
    return module == ResourceModule::Program ? ":/tamparo2" : ":/quillon400";
}

} // namespace

void Resources::registerStrings(ResourceModule module, const char* resourcePath)
{
    QFile file(QString::fromUtf8(resourcePath));
    if (!file.open(QIODevice::ReadOnly))
        return;
    Table& table = Tables()[static_cast<int>(module)];
    table.clear();
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0 || line.startsWith('#'))
            continue;
        bool ok = false;
        const UINT id = line.left(tab).toUInt(&ok);
        if (ok)
            table[id] = Unescape(line.mid(tab + 1));
    }
}

std::string Resources::loadString(UINT id)
{
    // The library's own table is always there, whoever asks first.
    static const bool libraryLoaded = [] {
        registerStrings(ResourceModule::Library, ":/quillon400/strings.txt");
        return true;
    }();
    (void)libraryLoaded;
    for (const Table& table : Tables()) {
        const auto found = table.find(id);
        if (found != table.end())
            return found->second;
    }
    return {};
}

HBITMAP Resources::loadBitmap(ResourceModule module, UINT id)
{
    QImage picture(QStringLiteral("%1/bitmaps/%2.png").arg(QString::fromUtf8(Prefix(module))).arg(id));
    if (picture.isNull())
        return nullptr;
    picture = picture.convertToFormat(QImage::Format_RGB32);
    Bitmap* image = Bitmap::Create(picture.width(), picture.height(), 32);
    if (!image)
        return nullptr;
    for (int y = 0; y < picture.height(); ++y)
        PixelRows::Write(*image, 0, y, picture.width(), reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y)));
    // Qt's opaque pixels carry 0xFF in the fourth byte; ours carry 0.
    for (int y = 0; y < image->height(); ++y) {
        auto* p = reinterpret_cast<std::uint32_t*>(image->row(y));
        for (int x = 0; x < image->width(); ++x)
            p[x] &= 0x00FFFFFF;
    }
    return image;
}

QIcon Resources::loadIcon(ResourceModule module, UINT id)
{
    const QString path = QStringLiteral("%1/icons/%2.png").arg(QString::fromUtf8(Prefix(module))).arg(id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

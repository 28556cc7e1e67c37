#include "FileFilter.h"

#include <vector>

namespace {

struct Pair {
    QString description;
    QStringList patterns;
};

std::vector<Pair> Pairs(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    std::vector<Pair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break; // the closing "||"
        pairs.push_back({parts[i], parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)});
    }
    return pairs;
}

QString CaseFree(const QString& pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace

QStringList FileFilter::NameFilters(const std::string& filter)
{
    QStringList out;
    for (const Pair& pair : Pairs(filter)) {
        QStringList patterns;
        for (const QString& p : pair.patterns)
            patterns << CaseFree(p.trimmed());
        // The dialog hides the last parenthesised part, so only the
        // description is seen.
        out << QStringLiteral("%1 (%2)").arg(pair.description, patterns.join(QLatin1Char(' ')));
    }
    return out;
}

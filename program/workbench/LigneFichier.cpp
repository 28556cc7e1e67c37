#include "LigneFichier.h"

#include <QCollator>

LigneFichier::LigneFichier(const QString& chemin) : QTreeWidgetItem({chemin, QString()})
{
    setTextAlignment(1, Qt::AlignCenter);
}

bool LigneFichier::operator<(const QTreeWidgetItem& autre) const
{
    const QTreeWidget* liste = treeWidget();
    const int colonne = liste ? liste->sortColumn() : 0;
    return Precede(text(colonne), autre.text(colonne));
}

bool LigneFichier::Precede(const QString& a, const QString& b)
{
    // Opening a collator costs far more than a comparison; the list lives
    // on the interface thread only.
    static const QCollator collateur = [] {
        // The C locale (a bare system's) compares code points and would ignore numbers.
        QLocale langue;
        if (langue.language() == QLocale::C)
            langue = QLocale(QLocale::English);
        QCollator c(langue);
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int ordre = collateur.compare(a, b);
    return ordre != 0 ? ordre < 0 : a < b;
}

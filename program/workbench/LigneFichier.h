#pragma once
// A row of the workbench's file list: a picture's path and its state. Rows
// sort as a person reads names: case aside, and the digits in a name by
// their value, so IMG_2 comes before IMG_10.

#include <QTreeWidgetItem>

class LigneFichier : public QTreeWidgetItem {
public:
    explicit LigneFichier(const QString& chemin);

    bool operator<(const QTreeWidgetItem& autre) const override;

    // The order of the list. Names that read alike (case or leading zeros
    // aside) still have one order, so the list never depends on the order
    // in which they were added.
    static bool Precede(const QString& a, const QString& b);
};

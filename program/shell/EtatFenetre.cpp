#include "EtatFenetre.h"

#include "CBaseRegistre.h"
#include "ReglagesRegistre.h"

#include <QByteArray>
#include <QWidget>

namespace {

// Qt's own record, which also brings a window lost off every screen back.
constexpr const char* kValeur = "WindowGeometry";

} // namespace

namespace EtatFenetre {

void Retient(const QWidget& fenetre)
{
    CBaseRegistre base;
    if (!base.OuvreEcriture(ReglagesRegistre::kApplication))
        return;
    base.Ecriture(kValeur, fenetre.saveGeometry().toBase64().toStdString());
    base.Ferme();
}

bool Restaure(QWidget& fenetre)
{
    CBaseRegistre base;
    CString texte;
    if (!base.OuvreLecture(ReglagesRegistre::kApplication))
        return false;
    const bool lu = base.Lecture(kValeur, texte);
    base.Ferme();
    if (!lu || texte.empty())
        return false;
    const auto decode = QByteArray::fromBase64Encoding(QByteArray::fromStdString(texte),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    // Qt reads a record cut short as zeros, which it takes for a window of
    // no size: only a whole record, as this Qt writes them, is used.
    return decode && decode.decoded.size() == fenetre.saveGeometry().size() && fenetre.restoreGeometry(*decode);
}

} // namespace EtatFenetre

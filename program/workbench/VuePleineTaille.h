#pragma once
// The preview at full size: a "100 %" toggle in the display's corner that
// lays a scrollable view of the signed picture over the fitted one.

#include "Bitmap.h"
#include "Types.h"

#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <QToolButton>
#include <QSize>

#include <functional>

class BitmapStatic;

class VuePleineTaille : public QObject {
    Q_OBJECT

public:
    // Lives on display (the fitted preview), whose children it adds.
    explicit VuePleineTaille(QWidget* display);

    bool Active() const;
    void Active(bool active);
    // The signed picture as the preview now shows it (copied when the full
    // view is on); centre: the point of it brought to the middle when the
    // view opens or the picture's size changes.
    void Montre(HBITMAP signee, CPoint centre);

    // Asked for Montre when the full view opens.
    std::function<void()> Rafraichit;

    QToolButton* Bouton() const { return m_bouton; }
    QScrollArea* Defilement() const { return m_defilement; }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void Place();

    QWidget* m_display;
    QPointer<QToolButton> m_bouton;
    QPointer<QScrollArea> m_defilement;
    BitmapStatic* m_image = nullptr;
    QSize m_taille;
    bool m_aCentrer = false;
};

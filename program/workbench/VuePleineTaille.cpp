#include "VuePleineTaille.h"

#include "BitmapStatic.h"

#include <QEvent>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

#include <utility>

VuePleineTaille::VuePleineTaille(QWidget* display) : QObject(display), m_display(display)
{
    m_defilement = new QScrollArea(display);
    m_defilement->setObjectName(QStringLiteral("ApercuPleineTaille"));
    m_defilement->setAlignment(Qt::AlignCenter);
    m_defilement->setFrameShape(QFrame::NoFrame);
    m_image = new BitmapStatic;
    m_defilement->setWidget(m_image);
    m_defilement->hide();

    m_bouton = new QToolButton(display);
    m_bouton->setObjectName(QStringLiteral("Apercu100"));
    m_bouton->setText(QStringLiteral("100 %"));
    m_bouton->setToolTip(QStringLiteral("Show the picture at full size"));
    m_bouton->setCheckable(true);
    connect(m_bouton, &QToolButton::toggled, this, [this](bool active) { Active(active); });
    display->installEventFilter(this);
    Place();
}

bool VuePleineTaille::Active() const { return m_bouton && m_bouton->isChecked(); }

void VuePleineTaille::Active(bool active)
{
    if (m_bouton->isChecked() != active) {
        m_bouton->setChecked(active); // comes back here through toggled
        return;
    }
    m_defilement->setVisible(active);
    m_bouton->raise();
    if (!active) {
        // The full-size copy is large: kept only while shown.
        m_image->SetBitmap(nullptr);
        return;
    }
    m_aCentrer = true;
    if (Rafraichit)
        Rafraichit();
}

void VuePleineTaille::Montre(HBITMAP signee, CPoint centre)
{
    if (!Active())
        return;
    const QSize taille = signee ? QSize(signee->width(), signee->height()) : QSize();
    m_image->SetBitmap(signee);
    m_image->adjustSize();
    // A new signature keeps the place the user scrolled to.
    // Once the scroll bars know the picture's size.
    if (std::exchange(m_aCentrer, false) || taille != m_taille)
        QTimer::singleShot(0, m_defilement, [defilement = m_defilement, centre] {
            defilement->ensureVisible(centre.x, centre.y, defilement->viewport()->width() / 2,
                                      defilement->viewport()->height() / 2);
        });
    m_taille = taille;
}

bool VuePleineTaille::eventFilter(QObject* objet, QEvent* evenement)
{
    if (objet == m_display && evenement->type() == QEvent::Resize)
        Place();
    return QObject::eventFilter(objet, evenement);
}

void VuePleineTaille::Place()
{
    m_defilement->setGeometry(m_display->contentsRect());
    m_bouton->adjustSize();
    const QRect client = m_display->contentsRect();
    m_bouton->move(client.right() - m_bouton->width() - 2, client.top() + 2);
    m_bouton->raise();
}

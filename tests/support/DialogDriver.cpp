#include "DialogDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace DialogDriver {

void OnNextModal(std::function<void(QWidget*)> action)
{
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* poll = new QTimer(qApp);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, before, started, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        } else if (started->elapsed() > 5000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal dialog opened";
        }
    });
    poll->start();
}

QWidget* Control(QWidget* dialog, int id)
{
    return dialog ? dialog->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly) : nullptr;
}

namespace {

QMouseEvent* Mouse(QEvent::Type type, QWidget* control, QPointF local)
{
    return new QMouseEvent(type, local, control->mapToGlobal(local), Qt::LeftButton,
                           type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
}

void SendKey(QWidget* control, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(control, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(control, &release);
}

} // namespace

void Click(QWidget* control)
{
    ASSERT_NE(control, nullptr);
    ClickAt(control, control->rect().center());
}

void ClickAt(QWidget* control, QPoint position)
{
    ASSERT_NE(control, nullptr);
    std::unique_ptr<QMouseEvent> press(Mouse(QEvent::MouseButtonPress, control, position));
    QApplication::sendEvent(control, press.get());
    std::unique_ptr<QMouseEvent> release(Mouse(QEvent::MouseButtonRelease, control, position));
    QApplication::sendEvent(control, release.get());
}

void PostClick(QWidget* control)
{
    ASSERT_NE(control, nullptr);
    const QPointF middle = QRectF(control->rect()).center();
    QApplication::postEvent(control, Mouse(QEvent::MouseButtonPress, control, middle));
    QApplication::postEvent(control, Mouse(QEvent::MouseButtonRelease, control, middle));
}

void Type(QWidget* control, const QString& text)
{
    ASSERT_NE(control, nullptr);
    control->setFocus();
    for (const QChar c : text)
        SendKey(control, c.isLetterOrNumber() ? QChar(c.toUpper()).unicode() : 0, QString(c));
}

void PressKey(QWidget* control, int key, Qt::KeyboardModifiers modifiers)
{
    ASSERT_NE(control, nullptr);
    control->setFocus();
    SendKey(control, key, QString(), modifiers);
}

void CloseBox(QWidget* window)
{
    ASSERT_NE(window, nullptr);
    window->close();
}

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace DialogDriver

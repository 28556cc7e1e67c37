#include "DialogDriver.h"

#include "CDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QFrame>
#include <QPointer>
#include <QGroupBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
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

void ClickThroughWindow(QWidget* control)
{
    ASSERT_NE(control, nullptr);
    ClickThroughWindowAt(control, control->rect().center());
}

void ClickThroughWindowAt(QWidget* control, QPoint position)
{
    ASSERT_NE(control, nullptr);
    QWidget* window = control->window();
    ASSERT_NE(window->windowHandle(), nullptr) << "the window is not shown";
    const QPoint there = control->mapTo(window, position);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, there);
    Pump();
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

void TypeIntoFocus(const QString& text)
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "nothing has the focus";
    for (const QChar c : text)
        SendKey(focus, c.isLetterOrNumber() ? QChar(c.toUpper()).unicode() : 0, QString(c));
}

std::vector<QString> CoveredControls(QWidget* dialog)
{
    std::vector<QString> covered;
    const auto name = [](const QWidget* w) {
        return w ? QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()))
                 : QStringLiteral("nothing");
    };
    QWidget* window = dialog->window();
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        bool numbered = false;
        control->objectName().toInt(&numbered);
        // Group boxes and frames lie under what they hold by design.
        const bool container = qobject_cast<QGroupBox*>(control)
                               || control->metaObject() == &QFrame::staticMetaObject;
        if (!numbered || container || !control->isVisibleTo(window) || !control->isEnabled())
            continue;
        QWidget* hit = window->childAt(control->mapTo(window, control->rect().center()));
        if (hit != control && !control->isAncestorOf(hit))
            covered.push_back(name(control) + QStringLiteral(" covered by ") + name(hit));
    }
    return covered;
}

std::vector<QString> CoveredInEveryTemplate()
{
    std::vector<QString> covered;
    for (const UINT id : DialogTemplate::Ids()) {
        // Built bare: what a dialog class adds later cannot be judged here.
        CDialog dialog(id);
        dialog.Create(nullptr);
        dialog.show();
        for (const QString& one : CoveredControls(&dialog))
            covered.push_back(QStringLiteral("template %1: ").arg(id) + one);
        dialog.hide();
    }
    return covered;
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

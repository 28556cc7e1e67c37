#include "Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace {

class WindowMessage : public QEvent {
public:
    WindowMessage(UINT message, WPARAM w, LPARAM l) : QEvent(static_cast<QEvent::Type>(message)), wParam(w), lParam(l) {}
    const WPARAM wParam;
    const LPARAM lParam;
};

// Hands queued messages to the target's OnMessage, so any widget can be a
// MessageTarget without overriding event().
class Router : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* message = dynamic_cast<WindowMessage*>(event);
        if (!message)
            return false;
        if (auto* target = dynamic_cast<MessageTarget*>(watched))
            target->OnMessage(static_cast<UINT>(message->type()), message->wParam, message->lParam);
        return true;
    }
};

Router& TheRouter()
{
    static Router router;
    return router;
}

// Notices the quit request while the queue runs.
class QuitWatch : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Quit && watched == QCoreApplication::instance())
            seen = true;
        return false;
    }
};

LRESULT AdjustTabRect(QTabWidget* tabs, WPARAM larger, LPARAM lParam)
{
    auto* rect = reinterpret_cast<CRect*>(lParam);
    if (!rect)
        return 0;
    const int frame = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    const int bar = tabs->tabBar()->sizeHint().height();
    const int sign = larger ? -1 : 1;
    rect->left += sign * frame;
    rect->top += sign * (bar + frame);
    rect->right -= sign * frame;
    rect->bottom -= sign * frame;
    return 0;
}

} // namespace

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window || message < WM_USER || message > QEvent::MaxUser)
        return FALSE;
    window->installEventFilter(&TheRouter());
    QCoreApplication::postEvent(window, new WindowMessage(message, wParam, lParam));
    return TRUE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return 0;
    if (auto* tabs = qobject_cast<QTabWidget*>(window); tabs && message == TCM_ADJUSTRECT)
        return AdjustTabRect(tabs, wParam, lParam);
    if (auto* target = dynamic_cast<MessageTarget*>(window))
        return target->OnMessage(message, wParam, lParam);
    return 0;
}

int PeekAndPump()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return 1;
    QuitWatch watch;
    application->installEventFilter(&watch);
    // Qt keeps the request: the main loop ends once control returns to it.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    application->removeEventFilter(&watch);
    return watch.seen ? 0 : 1;
}

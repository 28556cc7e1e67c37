#include "Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
CSize g_simulatedSize;
int g_simulatedDepth = 0;
} // namespace

CSize Screen::size()
{
    if (g_simulatedSize.cx > 0)
        return g_simulatedSize;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize s = screen->size();
            if (s.width() > 0 && s.height() > 0)
                return {s.width(), s.height()};
        }
    }
    return {1920, 1080};
}

int Screen::depth() { return g_simulatedSize.cx > 0 ? g_simulatedDepth : kDepth; }

void Screen::simulate(CSize size, int depth)
{
    g_simulatedSize = size;
    g_simulatedDepth = depth;
}

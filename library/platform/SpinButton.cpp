#include "SpinButton.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {m_up, m_down}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void SpinButton::SetBuddy(QLineEdit* buddy, bool alignRight)
{
    // Attaching again must not narrow the buddy again.
    if (buddy == m_buddy)
        return;
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (!buddy)
        return;
    buddy->installEventFilter(this);
    if (alignRight) {
        QRect area = buddy->geometry();
        area.setWidth(std::max(1, area.width() - width()));
        buddy->setGeometry(area);
        setGeometry(area.right() + 1, area.top(), width(), area.height());
    }
}

void SpinButton::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

void SpinButton::SetPos(int position)
{
    m_position = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    WriteBuddy();
}

int SpinButton::GetPos() const
{
    if (!m_buddy)
        return m_position;
    QString text = m_buddy->text().trimmed();
    if (m_base == 16 && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    bool ok = false;
    const long long value = text.toLongLong(&ok, m_base);
    if (!ok || value < std::min(m_lower, m_upper) || value > std::max(m_lower, m_upper))
        return m_position;
    return static_cast<int>(value);
}

void SpinButton::SetBase(int base)
{
    if (base == 10 || base == 16)
        m_base = base;
}

bool SpinButton::Step(int delta)
{
    const int position = GetPos();
    // A range written upside down counts the other way, as the arrows show it.
    const int direction = m_lower <= m_upper ? delta : -delta;
    const long long target = static_cast<long long>(position) + direction;
    if (target < std::min(m_lower, m_upper) || target > std::max(m_lower, m_upper))
        return false;
    bool refused = false;
    emit aboutToStep(position, direction, &refused);
    if (refused)
        return false;
    m_position = static_cast<int>(target);
    WriteBuddy();
    if (m_buddy)
        emit buddyEdited();
    return true;
}

bool SpinButton::eventFilter(QObject* watched, QEvent* event)
{
    // The event type is tested first: the buddy's own destruction passes
    // through here while it is no longer a line edit.
    if (event->type() == QEvent::KeyPress && m_arrowKeys && watched == m_buddy) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpinButton::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void SpinButton::WriteBuddy()
{
    if (m_buddy)
        m_buddy->setText(QString::number(m_position, m_base).toUpper());
}

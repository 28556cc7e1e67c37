#pragma once
// An up-down control: two arrows that step an integer position within a
// range and write it into a buddy edit (base 10 or 16, never with thousands
// separators). Each step reads the buddy first, so a number the user typed
// is where the next step starts. Writes by the program notify nobody; a
// step taken by the user is announced before it happens (aboutToStep, which
// may refuse it) and after the buddy was written (buddyEdited).

#include "Types.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QToolButton;

class SpinButton : public QWidget {
    Q_OBJECT

public:
    explicit SpinButton(QWidget* parent = nullptr);

    // alignRight: the spin moves inside the buddy's right edge, which
    // narrows the buddy by the spin's width.
    void SetBuddy(QLineEdit* buddy, bool alignRight = false);
    QLineEdit* GetBuddy() const { return m_buddy; }
    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    // Clamped to the range; the buddy shows the new position.
    void SetPos(int position);
    // The number in the buddy when it holds one in range, else the last position.
    int GetPos() const;
    // 10 or 16; other values are ignored.
    void SetBase(int base);
    int GetBase() const { return m_base; }
    // Up and Down pressed in the buddy step the spin.
    void SetArrowKeys(bool enabled) { m_arrowKeys = enabled; }

    // A user's step of delta (+1 up, -1 down); false when at the limit or refused.
    bool Step(int delta);

signals:
    void aboutToStep(int position, int delta, bool* refused);
    void buddyEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void WriteBuddy();

    QToolButton* m_up;
    QToolButton* m_down;
    QPointer<QLineEdit> m_buddy;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
    int m_base = 10;
    bool m_arrowKeys = false;
};

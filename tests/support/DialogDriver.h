#pragma once
// Plays the user in front of dialogs: acts on the next modal dialog from
// inside its modal run, finds controls by id, clicks, types and presses keys
// through real input events, so filters and notifications see what they
// would see on screen.

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace DialogDriver {

// Runs action on the next modal dialog to open (any but the one on top
// now), from inside its modal run. The test fails when none opens within
// a few seconds.
void OnNextModal(std::function<void(QWidget* dialog)> action);

// The direct child of dialog named after id, or null.
QWidget* Control(QWidget* dialog, int id);
template <class T>
T* ControlAs(QWidget* dialog, int id)
{
    return dynamic_cast<T*>(Control(dialog, id));
}

// A left click in the middle of control, handled at once.
void Click(QWidget* control);
// The same at a point of control.
void ClickAt(QWidget* control, QPoint position);
// A left click at the middle of control delivered to its window, which
// hands it to whatever lies on top there, as a click on the screen does.
void ClickThroughWindow(QWidget* control);
// The same at a point of control.
void ClickThroughWindowAt(QWidget* control, QPoint position);
// The same click left waiting in the queue, as one made while the program is busy.
void PostClick(QWidget* control);
// Characters typed into control, one key at a time.
void Type(QWidget* control, const QString& text);
// Characters typed into whatever has the keyboard focus now.
void TypeIntoFocus(const QString& text);
// The controls (children named by id, visible and enabled, group boxes and
// frames aside) whose middle a click would not reach: each as
// "id covered by what lies there".
std::vector<QString> CoveredControls(QWidget* dialog);
// The same over every registered template, each built as a bare dialog.
std::vector<QString> CoveredInEveryTemplate();
// A key pressed while control has the focus; unhandled keys travel up to its window.
void PressKey(QWidget* control, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The close box of a window.
void CloseBox(QWidget* window);
// Lets everything queued run.
void Pump();

} // namespace DialogDriver

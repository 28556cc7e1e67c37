#pragma once
// Window messages between our windows. A posted message is a Qt event whose
// type is the message number, queued to the receiving widget; it reaches the
// widget's OnMessage when the widget implements MessageTarget (every CDialog
// does) and is dropped otherwise. Only numbers from WM_USER up can be posted:
// lower numbers are Qt's own event types.

#include "Types.h"

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;

constexpr UINT WM_USER = 0x0400;
// A signature panel tells its owner that the user changed something.
constexpr UINT WM_CHANGEMENT_SIGNATURE = WM_USER + 254;
// A colour panel tells its owner that its colour or transparency changed.
constexpr UINT WM_CHANGEMENT_COULEUR = WM_USER + 255;
// Sent to a tab control: the rectangle (a CRect* in lParam, in the tab
// control's coordinates) shrinks to the page area when wParam is FALSE.
constexpr UINT TCM_ADJUSTRECT = 0x1328;

class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Queues the message for the window; FALSE when there is no window or the
// number is below WM_USER.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Delivers at once and returns the handler's result (0 when nothing handles it).
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs everything waiting in the queue once. Returns 0 when the application
// was asked to quit meanwhile (the request stays in force, so the main loop
// still ends), 1 otherwise.
int PeekAndPump();

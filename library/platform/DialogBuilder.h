#pragma once
// Turns one line of a dialog layout into its widget: the right Qt control
// for the kind, its options applied, named after its id and placed at its
// rectangle. Notifications are CDialog's business.

#include "DialogTemplate.h"

class QWidget;

class DialogBuilder {
public:
    // The property set on statics and pictures that report clicks.
    static constexpr const char* kNotify = "quillonNotify";

    static QWidget* CreateControl(const ControlTemplate& gabarit, ResourceModule module, QWidget* parent);
};

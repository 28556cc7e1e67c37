#include "TestForm.h"

#include <QKeyEvent>

namespace {

const bool registered =
    DialogTemplate::Register({
        kForm, "Form", 200, 120, "MS Sans Serif", 8, Opt::SysMenu, ResourceModule::Library,
        {
            {ControlKind::Edit, 100, "", 10, 10, 60, 12},
            {ControlKind::Edit, 101, "", 10, 26, 40, 12, Opt::Number},
            {ControlKind::Spin, 102, "", 50, 26, 10, 12, Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys},
            {ControlKind::Edit, 103, "", 10, 42, 40, 12},
            {ControlKind::CheckBox, 104, "Check", 10, 58, 60, 10},
            {ControlKind::RadioButton, 105, "A", 10, 70, 30, 10, Opt::Group},
            {ControlKind::RadioButton, 106, "B", 40, 70, 30, 10},
            {ControlKind::RadioButton, 107, "C", 70, 70, 30, 10},
            {ControlKind::RadioButton, 108, "X", 110, 70, 30, 10, Opt::Group},
            {ControlKind::RadioButton, 109, "Y", 140, 70, 30, 10},
            {ControlKind::Frame, 110, "", 110, 10, 80, 50, Opt::Border},
            {ControlKind::Static, 111, "click me", 10, 84, 60, 8, Opt::Notify},
            {ControlKind::TabControl, 112, "", 110, 84, 30, 14},
            {ControlKind::Slider, 113, "", 10, 100, 60, 12, Opt::NoTicks},
            {ControlKind::DefPushButton, IDOK, "OK", 80, 100, 50, 14},
            {ControlKind::PushButton, IDCANCEL, "Cancel", 140, 100, 50, 14},
        },
    })
    && DialogTemplate::Register({
        kPanel, "", 60, 30, "Comic Sans MS", 8, Opt::Child | Opt::Visible, ResourceModule::Library,
        {{ControlKind::Edit, 100, "", 2, 2, 50, 12}},
    });

} // namespace

void Form::DoDataExchange(CDataExchange* pDX)
{
    if (exchange)
        exchange(pDX);
}

BOOL Form::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (init)
        init();
    return TRUE;
}

void Form::OnOK()
{
    log.push_back("ok");
    if (closeOnOk)
        CDialog::OnOK();
}

void Form::OnCancel()
{
    log.push_back("cancel");
    CDialog::OnCancel();
}

void Form::OnClicked(int id)
{
    log.push_back("click " + std::to_string(id));
    CDialog::OnClicked(id);
}

void Form::OnEditChanged(int id) { log.push_back("edit " + std::to_string(id)); }

void Form::OnSelectionChanged(int id) { log.push_back("select " + std::to_string(id)); }

void Form::OnHScroll(UINT code, int position, QSlider*)
{
    log.push_back("scroll " + std::to_string(code) + " " + std::to_string(position));
}

BOOL Form::OnSpinDelta(int id, int position, int delta)
{
    log.push_back("spin " + std::to_string(id) + " " + std::to_string(position) + " " + std::to_string(delta));
    return refuseSpin;
}

BOOL Form::PreTranslateKey(int, QKeyEvent* event) { return swallowEscape && event->key() == Qt::Key_Escape; }

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    log.push_back("message " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
    return 42;
}

void Form::OnTimer(UINT id) { log.push_back("timer " + std::to_string(id)); }

#include "CDialog.h"

#include "CDataExchange.h"
#include "DialogBuilder.h"
#include "SpinButton.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimerEvent>

#include <algorithm>

CDialog::CDialog(UINT templateId, QWidget* parent) : QDialog(nullptr), m_templateId(templateId), m_owner(parent) {}

CDialog::~CDialog() = default;

// ---- life ----

bool CDialog::Build(QWidget* parent, bool child)
{
    const DialogTemplate* layout = DialogTemplate::Find(m_templateId);
    if (!layout)
        return false;
    Qt::WindowFlags flags = Qt::Widget;
    if (!child) {
        flags = Qt::Dialog;
        if (layout->options & Opt::Borderless)
            flags |= Qt::FramelessWindowHint;
        else
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (layout->options & Opt::SysMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setParent(parent, flags);
    if (m_built)
        return true;
    m_built = true;

    setWindowTitle(QString::fromUtf8(layout->caption));
    QFont font(QString::fromUtf8(layout->fontFace));
    font.setPointSize(layout->fontPoints);
    setFont(font);
    const QSize size(DialogUnits::X(layout->cx), DialogUnits::Y(layout->cy));
    if (child) {
        // Panels paint their own background over the frame that holds them.
        setAutoFillBackground(true);
        setGeometry(0, 0, size.width(), size.height());
    } else {
        setFixedSize(size);
    }

    QWidget* previous = nullptr;
    bool previousWasRadio = false;
    std::vector<QWidget*> containers;
    for (const ControlTemplate& gabarit : layout->controls) {
        QWidget* control = DialogBuilder::CreateControl(gabarit, layout->module, this);
        Wire(control, gabarit);
        if (gabarit.kind == ControlKind::RadioButton) {
            if (!previousWasRadio || (gabarit.options & Opt::Group))
                m_radioGroups.emplace_back();
            m_radioGroups.back().push_back(static_cast<QAbstractButton*>(control));
        }
        if (auto* spin = qobject_cast<SpinButton*>(control); spin && (gabarit.options & Opt::AutoBuddy))
            spin->SetBuddy(qobject_cast<QLineEdit*>(previous), (gabarit.options & Opt::AlignRight) != 0);
        if (gabarit.kind == ControlKind::GroupBox || gabarit.kind == ControlKind::Frame)
            containers.push_back(control);
        previous = control;
        previousWasRadio = gabarit.kind == ControlKind::RadioButton;
    }
    // Group boxes and frames go behind everything, the larger ones further
    // back, so that a frame nested in a group box, and the panels it holds,
    // stay above it whatever the order of the table. Lowering the smallest
    // first leaves the largest at the bottom.
    std::stable_sort(containers.begin(), containers.end(), [](const QWidget* a, const QWidget* b) {
        return a->width() * a->height() < b->width() * b->height();
    });
    for (QWidget* container : containers)
        container->lower();
    return true;
}

INT_PTR CDialog::DoModal()
{
    if (m_modal || !Build(m_owner, false))
        return -1;
    m_modal = true;
    m_endedEarly = false;
    OnInitDialog();
    const int result = m_endedEarly ? m_earlyResult : exec();
    m_modal = false;
    return result;
}

BOOL CDialog::Create(QWidget* parent)
{
    if (m_built)
        return FALSE;
    if (parent)
        m_owner = parent;
    const DialogTemplate* layout = DialogTemplate::Find(m_templateId);
    if (!layout || !Build(m_owner, (layout->options & Opt::Child) != 0))
        return FALSE;
    OnInitDialog();
    if (layout->options & Opt::Visible)
        show();
    return TRUE;
}

BOOL CDialog::DestroyWindow()
{
    if (!m_built)
        return FALSE;
    for (const auto& [id, qtId] : m_timers)
        killTimer(qtId);
    m_timers.clear();
    hide();
    setParent(nullptr);
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    if (m_modal && !isVisible()) {
        // Ended before the run began (from OnInitDialog): nothing is shown.
        m_endedEarly = true;
        m_earlyResult = result;
    } else if (m_modal) {
        done(result);
    } else {
        setResult(result);
        hide();
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::accept() { OnClicked(IDOK); }

void CDialog::reject() { OnClicked(IDCANCEL); }

// ---- controls ----

QWidget* CDialog::GetDlgItem(int id) const
{
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

int CDialog::GetDlgCtrlID(const QWidget* control) { return control ? control->objectName().toInt() : 0; }

CString CDialog::GetWindowText(const QWidget* window)
{
    QString text;
    if (auto* edit = qobject_cast<const QLineEdit*>(window))
        text = edit->text();
    else if (auto* label = qobject_cast<const QLabel*>(window))
        text = label->text();
    else if (auto* button = qobject_cast<const QAbstractButton*>(window))
        text = button->text();
    else if (auto* box = qobject_cast<const QGroupBox*>(window))
        text = box->title();
    else if (window)
        text = window->windowTitle();
    return text.toStdString();
}

void CDialog::SetWindowText(QWidget* window, const CString& value)
{
    const QString text = QString::fromStdString(value);
    if (auto* edit = qobject_cast<QLineEdit*>(window))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(window))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(window))
        button->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(window))
        box->setTitle(text);
    else if (window)
        window->setWindowTitle(text);
}

void CDialog::SetDlgItemText(int id, const CString& text)
{
    SetWindowText(GetDlgItem(id), text);
}

CString CDialog::GetDlgItemText(int id) const { return GetWindowText(GetDlgItem(id)); }

void CDialog::SetDlgItemInt(int id, int value) { SetDlgItemText(id, std::to_string(value)); }

int CDialog::GetDlgItemInt(int id, BOOL* translated) const
{
    bool ok = false;
    const int value = QString::fromStdString(GetDlgItemText(id)).trimmed().toInt(&ok);
    if (translated)
        *translated = ok ? TRUE : FALSE;
    return ok ? value : 0;
}

void CDialog::CheckDlgButton(int id, UINT state)
{
    if (auto* box = GetDlgItemAs<QCheckBox>(id))
        box->setCheckState(state == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                      : state == BST_CHECKED ? Qt::Checked : Qt::Unchecked);
    else if (auto* button = GetDlgItemAs<QAbstractButton>(id))
        button->setChecked(state == BST_CHECKED);
}

UINT CDialog::IsDlgButtonChecked(int id) const
{
    if (auto* box = GetDlgItemAs<QCheckBox>(id); box && box->checkState() == Qt::PartiallyChecked)
        return BST_INDETERMINATE;
    auto* button = GetDlgItemAs<QAbstractButton>(id);
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CDialog::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

void CDialog::GotoDlgCtrl(QWidget* control)
{
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

std::vector<QAbstractButton*> CDialog::RadioGroup(int firstId) const
{
    std::vector<QAbstractButton*> out;
    const QWidget* first = GetDlgItem(firstId);
    for (const auto& group : m_radioGroups) {
        if (group.empty() || group.front() != first)
            continue;
        for (const QPointer<QAbstractButton>& radio : group)
            if (radio)
                out.push_back(radio);
    }
    return out;
}

// ---- notifications ----

void CDialog::Wire(QWidget* control, const ControlTemplate& gabarit)
{
    const int id = gabarit.id;
    control->installEventFilter(this);
    switch (gabarit.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox: {
        auto* button = static_cast<QAbstractButton*>(control);
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnClicked(id); });
        break;
    }
    case ControlKind::RadioButton: {
        auto* radio = static_cast<QAbstractButton*>(control);
        connect(radio, &QAbstractButton::clicked, this, [this, radio, id] {
            RadioClicked(radio);
            OnClicked(id);
        });
        break;
    }
    case ControlKind::Edit:
        connect(static_cast<QLineEdit*>(control), &QLineEdit::textEdited, this, [this, id] { OnEditChanged(id); });
        break;
    case ControlKind::Spin: {
        auto* spin = static_cast<SpinButton*>(control);
        connect(spin, &SpinButton::aboutToStep, this,
                [this, id](int position, int delta, bool* refused) { *refused = OnSpinDelta(id, position, delta); });
        connect(spin, &SpinButton::buddyEdited, this, [this, spin] { OnEditChanged(GetDlgCtrlID(spin->GetBuddy())); });
        break;
    }
    case ControlKind::Slider: {
        auto* slider = static_cast<QSlider*>(control);
        connect(slider, &QSlider::sliderMoved, this, [this, slider] { SliderMoved(slider, TB_THUMBTRACK); });
        connect(slider, &QSlider::sliderReleased, this, [this, slider] {
            SliderMoved(slider, TB_THUMBPOSITION);
            SliderMoved(slider, TB_ENDTRACK);
        });
        connect(slider, &QSlider::actionTriggered, this, [this, slider](int action) {
            static constexpr UINT kCodes[] = {0, TB_LINEDOWN, TB_LINEUP, TB_PAGEDOWN, TB_PAGEUP, TB_TOP, TB_BOTTOM};
            if (action <= QAbstractSlider::SliderNoAction || action > QAbstractSlider::SliderToMaximum)
                return;
            // The action is applied after this signal: report once it is.
            const UINT code = kCodes[action];
            QMetaObject::invokeMethod(this, [this, slider = QPointer<QSlider>(slider), code] {
                if (!slider)
                    return;
                SliderMoved(slider, code);
                SliderMoved(slider, TB_ENDTRACK);
            }, Qt::QueuedConnection);
        });
        break;
    }
    case ControlKind::ListView:
        connect(static_cast<QAbstractItemView*>(control), &QAbstractItemView::clicked, this, [this, id] { OnClicked(id); });
        break;
    case ControlKind::ComboBox:
        // The user's choices only: the program's own setting is no change.
        connect(static_cast<QComboBox*>(control), &QComboBox::activated, this, [this, id] { OnSelectionChanged(id); });
        break;
    case ControlKind::TabControl: {
        // Tabs change by mouse only, so a change that follows a click on
        // another enabled tab is the user's.
        auto* tabs = static_cast<QTabWidget*>(control);
        tabs->setFocusPolicy(Qt::NoFocus);
        tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
        connect(tabs->tabBar(), &QTabBar::tabBarClicked, this, [this, tabs](int index) {
            const bool change = index >= 0 && index != tabs->currentIndex() && tabs->isTabEnabled(index);
            m_clickedTabs = change ? tabs : nullptr;
        });
        connect(tabs, &QTabWidget::currentChanged, this, [this, tabs, id] {
            if (std::exchange(m_clickedTabs, nullptr) == tabs)
                OnSelectionChanged(id);
        });
        break;
    }
    default:
        break;
    }
}

void CDialog::RadioClicked(QAbstractButton* radio)
{
    for (const auto& group : m_radioGroups) {
        if (std::find(group.begin(), group.end(), radio) == group.end())
            continue;
        for (const QPointer<QAbstractButton>& other : group)
            if (other)
                other->setChecked(other == radio);
    }
}

void CDialog::SliderMoved(QSlider* slider, UINT code)
{
    const int position = slider->sliderPosition();
    if (slider->orientation() == Qt::Horizontal)
        OnHScroll(code, position, slider);
    else
        OnVScroll(code, position, slider);
}

void CDialog::OnClicked(int id)
{
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CDialog::OnEditChanged(int) {}

void CDialog::OnSelectionChanged(int) {}

BOOL CDialog::OnSpinDelta(int, int, int) { return FALSE; }

void CDialog::OnHScroll(UINT, int, QSlider*) {}

void CDialog::OnVScroll(UINT, int, QSlider*) {}

BOOL CDialog::PreTranslateKey(int, QKeyEvent*) { return FALSE; }

LRESULT CDialog::OnMessage(UINT, WPARAM, LPARAM) { return 0; }

// ---- keys, clicks on statics, timers ----

bool CDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = qobject_cast<QWidget*>(watched);
    if (control && control->parentWidget() == this) {
        if (event->type() == QEvent::KeyPress) {
            m_offeredKey = event;
            if (PreTranslateKey(GetDlgCtrlID(control), static_cast<QKeyEvent*>(event)))
                return true;
        } else if (event->type() == QEvent::KeyRelease) {
            m_offeredKey = nullptr;
        } else if (event->type() == QEvent::MouseButtonPress && control->property(DialogBuilder::kNotify).toBool()
                   && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            OnClicked(GetDlgCtrlID(control));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    // Keys that passed through a control were offered there already.
    const bool offered = std::exchange(m_offeredKey, nullptr) == event;
    if (!offered && PreTranslateKey(0, event))
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
        OnClicked(IDCANCEL);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~(Qt::KeypadModifier))
            break;
        PressEnter();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

// A focused push button takes Enter; otherwise the default button, or the
// IDOK command when the layout has none.
void CDialog::PressEnter()
{
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (focused && focused->parentWidget() == this && !focused->isCheckable() && focused->isEnabled()) {
        focused->click();
        return;
    }
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->isDefault()) {
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    OnClicked(IDOK);
}

UINT CDialog::SetTimer(UINT id, UINT milliseconds)
{
    if (id == 0)
        return 0;
    KillTimer(id);
    // Coarse timers may fire up to 5% early; a delay is a minimum.
    m_timers[id] = startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
    return id;
}

BOOL CDialog::KillTimer(UINT id)
{
    const auto found = m_timers.find(id);
    if (found == m_timers.end())
        return FALSE;
    killTimer(found->second);
    m_timers.erase(found);
    return TRUE;
}

void CDialog::timerEvent(QTimerEvent* event)
{
    for (const auto& [id, qtId] : m_timers) {
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void CDialog::OnTimer(UINT) {}

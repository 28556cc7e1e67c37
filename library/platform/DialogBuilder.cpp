#include "DialogBuilder.h"

#include "BitmapStatic.h"
#include "SpinButton.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>
#include <QValidator>

namespace {

bool Has(const ControlTemplate& spec, std::uint32_t option) { return (spec.options & option) != 0; }

// Digits only and capitals only act on what the user types; the program's
// own writes are taken as they are.
class EditFilter : public QValidator {
public:
    EditFilter(bool digitsOnly, bool uppercase, QObject* parent)
        : QValidator(parent), m_digitsOnly(digitsOnly), m_uppercase(uppercase)
    {
    }
    State validate(QString& input, int&) const override
    {
        if (m_uppercase)
            input = input.toUpper();
        if (m_digitsOnly)
            for (const QChar c : input)
                if (!c.isDigit())
                    return Invalid;
        return Acceptable;
    }

private:
    bool m_digitsOnly;
    bool m_uppercase;
};

Qt::Alignment TextAlignment(const ControlTemplate& spec)
{
    if (Has(spec, Opt::Center))
        return Qt::AlignHCenter;
    return Has(spec, Opt::Right) ? Qt::AlignRight : Qt::AlignLeft;
}

void ApplyFrame(QFrame* frame, const ControlTemplate& spec)
{
    if (Has(spec, Opt::Sunken))
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else if (Has(spec, Opt::Border))
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
}

QWidget* MakeEdit(const ControlTemplate& spec)
{
    auto* edit = new QLineEdit(QString::fromUtf8(spec.text));
    edit->setAlignment(TextAlignment(spec) | Qt::AlignVCenter);
    edit->setReadOnly(Has(spec, Opt::ReadOnly));
    if (Has(spec, Opt::Number) || Has(spec, Opt::Uppercase))
        edit->setValidator(new EditFilter(Has(spec, Opt::Number), Has(spec, Opt::Uppercase), edit));
    return edit;
}

QWidget* MakeButton(const ControlTemplate& spec, ResourceModule module)
{
    auto* button = new QPushButton(QString::fromUtf8(spec.text));
    // Enter is the dialog's business: only the layout's default button is default.
    button->setAutoDefault(false);
    button->setDefault(spec.kind == ControlKind::DefPushButton);
    button->setFlat(Has(spec, Opt::Flat));
    if (spec.image) {
        button->setIcon(Resources::loadIcon(module, spec.image));
        button->setIconSize(QSize(32, 32));
    }
    return button;
}

QWidget* MakeCheckBox(const ControlTemplate& spec)
{
    if (Has(spec, Opt::PushLike)) {
        auto* toggle = new QPushButton(QString::fromUtf8(spec.text));
        toggle->setCheckable(true);
        toggle->setAutoDefault(false);
        return toggle;
    }
    // A check box shows the indeterminate state once the program sets it.
    return new QCheckBox(QString::fromUtf8(spec.text));
}

QWidget* MakeRadio(const ControlTemplate& spec)
{
    if (Has(spec, Opt::PushLike)) {
        // Still a radio of its group: CDialog checks it and clears the others.
        auto* toggle = new QPushButton(QString::fromUtf8(spec.text));
        toggle->setCheckable(true);
        toggle->setAutoDefault(false);
        return toggle;
    }
    auto* radio = new QRadioButton(QString::fromUtf8(spec.text));
    // Groups follow the layout, not the parent widget: CDialog keeps them.
    radio->setAutoExclusive(false);
    return radio;
}

QWidget* MakeIconList(const ControlTemplate& spec)
{
    auto* list = new QListWidget;
    list->setViewMode(QListView::IconMode);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(true);
    list->setUniformItemSizes(true);
    list->setSelectionMode(Has(spec, Opt::SingleSel) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    return list;
}

QWidget* MakeListView(const ControlTemplate& spec)
{
    if (Has(spec, Opt::Icons))
        return MakeIconList(spec);
    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(Has(spec, Opt::SingleSel) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    list->setHeaderHidden(!Has(spec, Opt::Report));
    if (Has(spec, Opt::SortAscending)) {
        list->setSortingEnabled(true);
        list->sortByColumn(0, Qt::AscendingOrder);
        list->header()->setSortIndicatorShown(false);
        list->header()->setSectionsClickable(false);
    }
    return list;
}

QWidget* MakePicture(const ControlTemplate& spec)
{
    auto* picture = new BitmapStatic(nullptr, Has(spec, Opt::Center));
    ApplyFrame(picture, spec);
    return picture;
}

QWidget* MakeIcon(const ControlTemplate& spec, ResourceModule module)
{
    auto* icon = new QLabel;
    icon->setPixmap(Resources::loadIcon(module, spec.image).pixmap(32, 32));
    return icon;
}

QWidget* MakeStatic(const ControlTemplate& spec)
{
    auto* label = new QLabel(QString::fromUtf8(spec.text));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(TextAlignment(spec) | Qt::AlignTop);
    ApplyFrame(label, spec);
    return label;
}

QWidget* Make(const ControlTemplate& spec, ResourceModule module)
{
    switch (spec.kind) {
    case ControlKind::Static:
        return MakeStatic(spec);
    case ControlKind::GroupBox:
        return new QGroupBox(QString::fromUtf8(spec.text));
    case ControlKind::Edit:
        return MakeEdit(spec);
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        return MakeButton(spec, module);
    case ControlKind::CheckBox:
        return MakeCheckBox(spec);
    case ControlKind::RadioButton:
        return MakeRadio(spec);
    case ControlKind::Spin: {
        auto* spin = new SpinButton;
        spin->SetArrowKeys(Has(spec, Opt::ArrowKeys));
        return spin;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(Has(spec, Opt::Vertical) ? Qt::Vertical : Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setTickPosition(Has(spec, Opt::NoTicks) ? QSlider::NoTicks : QSlider::TicksBelow);
        return slider;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar;
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::ListView:
        return MakeListView(spec);
    case ControlKind::TabControl:
        return new QTabWidget;
    case ControlKind::Frame: {
        auto* frame = new QFrame;
        ApplyFrame(frame, spec);
        return frame;
    }
    case ControlKind::Picture:
        return MakePicture(spec);
    case ControlKind::Icon:
        return MakeIcon(spec, module);
    }
    return new QWidget;
}

} // namespace

QWidget* DialogBuilder::CreateControl(const ControlTemplate& spec, ResourceModule module, QWidget* parent)
{
    QWidget* control = Make(spec, module);
    control->setParent(parent);
    control->setObjectName(QString::number(spec.id));
    const CRect area = DialogUnits::ToPixels(spec.x, spec.y, spec.cx, spec.cy);
    control->setGeometry(area.left, area.top, area.Width(), area.Height());
    if (spec.kind == ControlKind::Icon)
        control->resize(32, 32);
    if (spec.kind == ControlKind::Picture && spec.image)
        static_cast<BitmapStatic*>(control)->SetOwnedBitmap(Resources::loadBitmap(module, spec.image));
    if (Has(spec, Opt::Notify))
        control->setProperty(kNotify, true);
    if (Has(spec, Opt::Hidden))
        control->hide();
    if (Has(spec, Opt::Disabled))
        control->setEnabled(false);
    return control;
}

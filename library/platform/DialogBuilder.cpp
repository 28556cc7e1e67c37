#include "DialogBuilder.h"

#include "BitmapStatic.h"
#include "SpinButton.h"

#include <QCheckBox>
#include <QComboBox>
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

bool Has(const ControlTemplate& gabarit, std::uint32_t option) { return (gabarit.options & option) != 0; }

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

Qt::Alignment TextAlignment(const ControlTemplate& gabarit)
{
    if (Has(gabarit, Opt::Center))
        return Qt::AlignHCenter;
    return Has(gabarit, Opt::Right) ? Qt::AlignRight : Qt::AlignLeft;
}

void ApplyFrame(QFrame* frame, const ControlTemplate& gabarit)
{
    if (Has(gabarit, Opt::Sunken))
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else if (Has(gabarit, Opt::Border))
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
}

QWidget* MakeEdit(const ControlTemplate& gabarit)
{
    auto* edit = new QLineEdit(QString::fromUtf8(gabarit.text));
    edit->setAlignment(TextAlignment(gabarit) | Qt::AlignVCenter);
    edit->setReadOnly(Has(gabarit, Opt::ReadOnly));
    if (Has(gabarit, Opt::Number) || Has(gabarit, Opt::Uppercase))
        edit->setValidator(new EditFilter(Has(gabarit, Opt::Number), Has(gabarit, Opt::Uppercase), edit));
    return edit;
}

QWidget* MakeButton(const ControlTemplate& gabarit, ResourceModule module)
{
    auto* button = new QPushButton(QString::fromUtf8(gabarit.text));
    // Enter is the dialog's business: only the layout's default button is default.
    button->setAutoDefault(false);
    button->setDefault(gabarit.kind == ControlKind::DefPushButton);
    button->setFlat(Has(gabarit, Opt::Flat));
    if (gabarit.image) {
        button->setIcon(Resources::loadIcon(module, gabarit.image));
        button->setIconSize(QSize(32, 32));
    }
    return button;
}

QWidget* MakeCheckBox(const ControlTemplate& gabarit)
{
    if (Has(gabarit, Opt::PushLike)) {
        auto* toggle = new QPushButton(QString::fromUtf8(gabarit.text));
        toggle->setCheckable(true);
        toggle->setAutoDefault(false);
        return toggle;
    }
    // A check box shows the indeterminate state once the program sets it.
    return new QCheckBox(QString::fromUtf8(gabarit.text));
}

QWidget* MakeRadio(const ControlTemplate& gabarit)
{
    if (Has(gabarit, Opt::PushLike)) {
        // Still a radio of its group: CDialog checks it and clears the others.
        auto* toggle = new QPushButton(QString::fromUtf8(gabarit.text));
        toggle->setCheckable(true);
        toggle->setAutoDefault(false);
        return toggle;
    }
    auto* radio = new QRadioButton(QString::fromUtf8(gabarit.text));
    // Groups follow the layout, not the parent widget: CDialog keeps them.
    radio->setAutoExclusive(false);
    return radio;
}

QWidget* MakeIconList(const ControlTemplate& gabarit)
{
    auto* list = new QListWidget;
    list->setViewMode(QListView::IconMode);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(true);
    list->setUniformItemSizes(true);
    list->setSelectionMode(Has(gabarit, Opt::SingleSel) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    return list;
}

QWidget* MakeListView(const ControlTemplate& gabarit)
{
    if (Has(gabarit, Opt::Icons))
        return MakeIconList(gabarit);
    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(Has(gabarit, Opt::SingleSel) ? QAbstractItemView::SingleSelection
                                                     : QAbstractItemView::ExtendedSelection);
    list->setHeaderHidden(!Has(gabarit, Opt::Report));
    if (Has(gabarit, Opt::SortAscending)) {
        list->setSortingEnabled(true);
        list->sortByColumn(0, Qt::AscendingOrder);
        list->header()->setSortIndicatorShown(false);
        list->header()->setSectionsClickable(false);
    }
    return list;
}

QWidget* MakePicture(const ControlTemplate& gabarit)
{
    auto* picture = new BitmapStatic(nullptr, Has(gabarit, Opt::Center));
    ApplyFrame(picture, gabarit);
    return picture;
}

QWidget* MakeIcon(const ControlTemplate& gabarit, ResourceModule module)
{
    auto* icon = new QLabel;
    icon->setPixmap(Resources::loadIcon(module, gabarit.image).pixmap(32, 32));
    return icon;
}

QWidget* MakeStatic(const ControlTemplate& gabarit)
{
    auto* label = new QLabel(QString::fromUtf8(gabarit.text));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(TextAlignment(gabarit) | Qt::AlignTop);
    ApplyFrame(label, gabarit);
    return label;
}

QWidget* Make(const ControlTemplate& gabarit, ResourceModule module)
{
    switch (gabarit.kind) {
    case ControlKind::Static:
        return MakeStatic(gabarit);
    case ControlKind::GroupBox:
        return new QGroupBox(QString::fromUtf8(gabarit.text));
    case ControlKind::Edit:
        return MakeEdit(gabarit);
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        return MakeButton(gabarit, module);
    case ControlKind::CheckBox:
        return MakeCheckBox(gabarit);
    case ControlKind::RadioButton:
        return MakeRadio(gabarit);
    case ControlKind::Spin: {
        auto* spin = new SpinButton;
        spin->SetArrowKeys(Has(gabarit, Opt::ArrowKeys));
        return spin;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(Has(gabarit, Opt::Vertical) ? Qt::Vertical : Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setTickPosition(Has(gabarit, Opt::NoTicks) ? QSlider::NoTicks : QSlider::TicksBelow);
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
        return MakeListView(gabarit);
    case ControlKind::TabControl:
        return new QTabWidget;
    case ControlKind::Frame: {
        auto* frame = new QFrame;
        ApplyFrame(frame, gabarit);
        return frame;
    }
    case ControlKind::Picture:
        return MakePicture(gabarit);
    case ControlKind::Icon:
        return MakeIcon(gabarit, module);
    case ControlKind::ComboBox: {
        auto* liste = new QComboBox;
        liste->addItems(QString::fromUtf8(gabarit.text).split(QLatin1Char('|'), Qt::SkipEmptyParts));
        return liste;
    }
    }
    return new QWidget;
}

} // namespace

QWidget* DialogBuilder::CreateControl(const ControlTemplate& gabarit, ResourceModule module, QWidget* parent)
{
    QWidget* control = Make(gabarit, module);
    control->setParent(parent);
    control->setObjectName(QString::number(gabarit.id));
    const CRect area = DialogUnits::ToPixels(gabarit.x, gabarit.y, gabarit.cx, gabarit.cy);
    control->setGeometry(area.left, area.top, area.Width(), area.Height());
    if (gabarit.kind == ControlKind::Icon)
        control->resize(32, 32);
    if (gabarit.kind == ControlKind::Picture && gabarit.image)
        static_cast<BitmapStatic*>(control)->SetOwnedBitmap(Resources::loadBitmap(module, gabarit.image));
    if (Has(gabarit, Opt::Notify))
        control->setProperty(kNotify, true);
    if (Has(gabarit, Opt::Hidden))
        control->hide();
    if (Has(gabarit, Opt::Disabled))
        control->setEnabled(false);
    return control;
}

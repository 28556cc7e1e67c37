#include "CDataExchange.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

namespace {

std::string Trimmed(const std::string& text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The whole text (blanks around it aside) must be one integer.
std::optional<long long> ParseInteger(const std::string& text, bool signedValue)
{
    const std::string trimmed = Trimmed(text);
    std::string_view digits = trimmed;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits[0] < '0' || digits[0] > '9' || (negative && !signedValue))
        return std::nullopt;
    unsigned long long magnitude = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, magnitude);
    constexpr auto largest = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    if (error != std::errc() || stop != end || magnitude > largest)
        return std::nullopt;
    const auto value = static_cast<long long>(magnitude);
    return negative ? -value : value;
}

std::string Fill(const char* pattern, const std::string& first)
{
    return QString::fromUtf8(pattern).arg(QString::fromStdString(first)).toStdString();
}

std::string Fill(const char* pattern, const std::string& first, const std::string& second)
{
    return QString::fromUtf8(pattern).arg(QString::fromStdString(first), QString::fromStdString(second)).toStdString();
}

std::string Number(double value) { return QString::number(value, 'g', 15).toStdString(); }

constexpr const char* kInteger = "Please enter an integer.";
constexpr const char* kPositiveInteger = "Please enter a positive integer.";
constexpr const char* kNumber = "Please enter a number.";
constexpr const char* kIntegerRange = "Please enter an integer between %1 and %2.";
constexpr const char* kNumberRange = "Please enter a number between %1 and %2.";
constexpr const char* kMaxChars = "Please enter no more than %1 characters.";

template <class T>
void ExchangeInteger(CDataExchange* pDX, int id, T& value, const char* warning)
{
    QWidget* control = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        CDialog::SetWindowText(control, std::to_string(value));
        return;
    }
    const std::optional<long long> read = ParseInteger(CDialog::GetWindowText(control), std::is_signed_v<T>);
    if (!read || *read < static_cast<long long>(std::numeric_limits<T>::min())
        || (*read > 0 && static_cast<unsigned long long>(*read) > std::numeric_limits<T>::max()))
        pDX->Warn(warning);
    value = static_cast<T>(*read);
}

template <class T>
void CheckRange(CDataExchange* pDX, T value, T minimum, T maximum, const char* pattern)
{
    if (!pDX->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    if constexpr (std::is_floating_point_v<T>)
        pDX->Warn(Fill(pattern, Number(minimum), Number(maximum)));
    else
        pDX->Warn(Fill(pattern, std::to_string(minimum), std::to_string(maximum)));
}

} // namespace

CDataExchange::CDataExchange(CDialog* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{
}

QWidget* CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = false;
    return m_pDlgWnd->GetDlgItem(id);
}

QWidget* CDataExchange::PrepareEditCtrl(int id)
{
    QWidget* control = PrepareCtrl(id);
    m_bEditLastControl = true;
    return control;
}

void CDataExchange::Fail()
{
    if (QWidget* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control); edit && m_bEditLastControl)
            edit->selectAll();
    }
    throw Failure{};
}

void CDataExchange::Warn(const std::string& text)
{
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    Fail();
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    QWidget* control = pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = CDialog::GetWindowText(control);
    else
        CDialog::SetWindowText(control, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) { ExchangeInteger(pDX, id, value, kInteger); }

void DDX_Text(CDataExchange* pDX, int id, UINT& value) { ExchangeInteger(pDX, id, value, kPositiveInteger); }

void DDX_Text(CDataExchange* pDX, int id, long& value) { ExchangeInteger(pDX, id, value, kInteger); }

void DDX_Text(CDataExchange* pDX, int id, double& value)
{
    QWidget* control = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        CDialog::SetWindowText(control, Number(value));
        return;
    }
    bool ok = false;
    const double read = QString::fromStdString(CDialog::GetWindowText(control)).toDouble(&ok);
    if (!ok || !std::isfinite(read))
        pDX->Warn(kNumber);
    value = read;
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(pDX->m_pDlgWnd->IsDlgButtonChecked(id));
    else
        pDX->m_pDlgWnd->CheckDlgButton(id, static_cast<UINT>(value));
}

void DDX_Radio(CDataExchange* pDX, int id, int& value)
{
    pDX->PrepareCtrl(id);
    const std::vector<QAbstractButton*> group = pDX->m_pDlgWnd->RadioGroup(id);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i]->isChecked())
                value = static_cast<int>(i);
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i)
        group[i]->setChecked(static_cast<int>(i) == value);
}

void DDX_Slider(CDataExchange* pDX, int id, int& value)
{
    auto* slider = dynamic_cast<QSlider*>(pDX->PrepareCtrl(id));
    if (!slider)
        return;
    if (pDX->m_bSaveAndValidate)
        // The thumb's place: while it is dragged, value() still holds the last one.
        value = slider->sliderPosition();
    else
        slider->setValue(value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum)
{
    CheckRange(pDX, value, minimum, maximum, kIntegerRange);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minimum, UINT maximum)
{
    CheckRange(pDX, value, minimum, maximum, kIntegerRange);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minimum, long maximum)
{
    CheckRange(pDX, value, minimum, maximum, kIntegerRange);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minimum, double maximum)
{
    CheckRange(pDX, value, minimum, maximum, kNumberRange);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maximum)
{
    if (!pDX->m_bSaveAndValidate) {
        if (auto* edit = dynamic_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(pDX->LastControl())))
            edit->setMaxLength(maximum);
        return;
    }
    if (value.size() > static_cast<std::size_t>(std::max(maximum, 0)))
        pDX->Warn(Fill(kMaxChars, std::to_string(maximum)));
}

#include "CRoutine.h"

#include "CProgressionDlg.h"
#include "CQuestionTraitementDlg.h"
#include "Decimal.h"
#include "Resources.h"

#include <QCheckBox>
#include <QProgressBar>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace {

template <class T>
T Clamped(std::int64_t value)
{
    return static_cast<T>(std::clamp<std::int64_t>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// "\" first, "/" only for a path without any "\".
std::size_t LastSeparator(const CString& path)
{
    const std::size_t backslash = path.rfind('\\');
    return backslash != CString::npos ? backslash : path.rfind('/');
}

} // namespace

CString CRoutine::Message(CString& text, UINT id)
{
    text = Resources::loadString(id);
    return text;
}

void CRoutine::SepareNomFichier(CString path, CString& directory, CString& name, CString& extension)
{
    const std::size_t dot = path.rfind('.');
    if (dot != CString::npos) {
        extension = path.substr(dot);
        path.erase(dot);
    }
    const std::size_t separator = LastSeparator(path);
    if (separator == CString::npos)
        return;
    directory = path.substr(0, separator);
    name = path.substr(separator + 1);
}

CString CRoutine::FormateNomFichier(CString path, CString prefix, CString suffix)
{
    const std::size_t dot = path.rfind('.');
    if (dot != CString::npos)
        path.insert(dot, suffix);
    const std::size_t separator = LastSeparator(path);
    if (separator != CString::npos)
        path.insert(separator + 1, prefix);
    return path;
}

UINT CRoutine::HexToBin(CString text)
{
    text = "00" + text;
    text = text.substr(text.size() - 2);
    const auto digit = [](char c) {
        const int upper = std::toupper(static_cast<unsigned char>(c));
        return upper <= '9' ? upper - '0' : upper - 55;
    };
    // Characters outside the digits give values outside 0..255, as they always did.
    return static_cast<UINT>(16 * digit(text[0]) + digit(text[1]));
}

void CRoutine::FixeEtatBouton(QAbstractButton* control, int state)
{
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        box->setCheckState(state ? Qt::Checked : Qt::Unchecked);
    } else if (control) {
        // Setting a state touches this button alone, even a radio that Qt
        // would keep exclusive among its siblings.
        const bool exclusive = control->autoExclusive();
        control->setAutoExclusive(false);
        control->setChecked(state != 0);
        control->setAutoExclusive(exclusive);
    }
}

void CRoutine::LireEtatBouton(QAbstractButton* control, int* state)
{
    if (auto* box = qobject_cast<QCheckBox*>(control))
        *state = box->checkState() == Qt::Checked ? 1 : 0;
    else
        *state = control && control->isChecked() ? 1 : 0;
}

int CRoutine::ChargeUneDonnee(CString text, CString key, int* out)
{
    const std::size_t found = text.find(key);
    if (found == CString::npos)
        return 0;
    *out = Clamped<int>(DecimalValue(std::string_view(text).substr(found + key.size())));
    return 1;
}

int CRoutine::ChargeUneDonnee(CString text, CString key, long* out)
{
    const std::size_t found = text.find(key);
    if (found == CString::npos)
        return 0;
    *out = Clamped<long>(DecimalValue(std::string_view(text).substr(found + key.size())));
    return 1;
}

int CRoutine::ChargeUneDonnee(CString text, CString key, CString* out)
{
    const std::size_t found = text.find(key);
    if (found == CString::npos)
        return 0;
    *out = text.substr(found + key.size());
    return 1;
}

int CRoutine::ChargeUneDonnee(CString text, CString key, LOGFONT* out)
{
    const std::size_t found = text.find(key);
    if (found == CString::npos)
        return 0;
    const std::string_view value = std::string_view(text).substr(found + key.size());
    // Each field starts at the first space after the first character of the
    // one before; a text that runs out leaves the remaining fields empty.
    std::size_t start = 0;
    const auto next = [&]() {
        start = start < value.size() ? value.find(' ', start + 1) : std::string_view::npos;
        if (start == std::string_view::npos)
            start = value.size();
        return value.substr(start);
    };
    const auto field = [&](bool first) { return DecimalValue(first ? value : next()); };
    out->lfHeight = Clamped<LONG>(field(true));
    out->lfWidth = Clamped<LONG>(field(false));
    out->lfEscapement = Clamped<LONG>(field(false));
    out->lfOrientation = Clamped<LONG>(field(false));
    out->lfWeight = Clamped<LONG>(field(false));
    BYTE* bytes[] = {&out->lfItalic,        &out->lfUnderline,     &out->lfStrikeOut, &out->lfCharSet,
                     &out->lfOutPrecision,  &out->lfClipPrecision, &out->lfQuality,   &out->lfPitchAndFamily};
    for (BYTE* byte : bytes)
        *byte = static_cast<BYTE>(Clamped<int>(field(false)));
    std::string_view face = next();
    if (!face.empty())
        face.remove_prefix(1);
    // The record holds 31 characters and the terminator.
    face = face.substr(0, LF_FACESIZE - 1);
    std::memset(out->lfFaceName, 0, sizeof out->lfFaceName);
    std::memcpy(out->lfFaceName, face.data(), face.size());
    return 1;
}

int CRoutine::ProgressionAfficheEtTeste(CProgressionDlg& dialog, UINT position, UINT total, CString file,
                                         CString operation)
{
    dialog.Compteur = QString::asprintf("(%d / %d)", static_cast<int>(position), static_cast<int>(total)).toStdString();
    dialog.Fichier = file;
    dialog.Operation = operation;
    if (QProgressBar* bar = dialog.Progression)
        bar->setValue(std::clamp(static_cast<int>(position), bar->minimum(), bar->maximum()));
    dialog.Arret = 0;
    dialog.UpdateData(FALSE);
    dialog.repaint();
    // A Stop clicked while the caller was busy waits in the queue: it
    // presses the toggle now, after the refresh released it.
    dialog.PeekAndPump();
    dialog.UpdateData(TRUE);
    return dialog.Arret;
}

int CRoutine::QuestionEtProgression(CString& name, int& stop, CProgressionDlg& dialog)
{
    CQuestionTraitementDlg question(&dialog);
    question.NomCible = name;
    if (question.DoModal() == IDCANCEL)
        stop = 1;
    name = question.NomCible;
    dialog.Operation = name;
    dialog.UpdateData(FALSE);
    return question.Choix;
}

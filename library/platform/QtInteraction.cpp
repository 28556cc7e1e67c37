#include "QtInteraction.h"

#include "FileFilter.h"
#include "Font.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <vector>

namespace {

// Qt's own dialog: the filters' case-free patterns are sure to work there.
void Prepare(QFileDialog& dialog, const FileDialogRequest& request)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(QString::fromStdString(request.title));
    const QStringList filters = FileFilter::NameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype choisi = request.selectedFilter < 0 ? filters.size() + request.selectedFilter
                                                            : request.selectedFilter;
        if (choisi >= 0 && choisi < filters.size())
            dialog.selectNameFilter(filters.at(choisi));
    }
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    const QFileInfo initial(QString::fromStdString(request.initialPath));
    if (initial.isDir()) {
        dialog.setDirectory(initial.absoluteFilePath());
    } else if (!request.initialPath.empty()) {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
}

} // namespace

int QtInteraction::messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Choice> choices;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        choices = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNOCANCEL:
        choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    default:
        choices = {{QMessageBox::Ok, IDOK}};
        break;
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices)
        buttons |= c.button;
    box.setStandardButtons(buttons);
    box.setDefaultButton(choices.front().button);
    const int pressed = box.exec();
    for (const Choice& c : choices)
        if (c.button == pressed)
            return c.answer;
    // Closed by Escape or the close box: the cancelling answer.
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : (choices.size() > 1 ? IDCANCEL : IDOK);
}

void QtInteraction::beep(UINT) { QApplication::beep(); }

bool QtInteraction::openFiles(HWND owner, const FileDialogRequest& request, std::vector<std::string>& paths)
{
    QFileDialog dialog(owner);
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    paths.clear();
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(file.toStdString());
    return true;
}

bool QtInteraction::saveFile(HWND owner, const FileDialogRequest& request, std::string& path)
{
    QFileDialog dialog(owner);
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().constFirst().toStdString();
    return true;
}

bool QtInteraction::chooseFolder(HWND owner, const std::string& title, std::string& folder)
{
    return chooseFolderLabelled(owner, title, {}, folder);
}

bool QtInteraction::chooseFolderLabelled(HWND owner, const std::string& title, const std::string& confirmLabel,
                                         std::string& folder)
{
    QFileDialog dialog(owner, QString::fromStdString(title), QString::fromStdString(folder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (!confirmLabel.empty())
        dialog.setLabelText(QFileDialog::Accept, QString::fromStdString(confirmLabel));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    folder = dialog.selectedFiles().constFirst().toStdString();
    return true;
}

bool QtInteraction::chooseColour(HWND owner, COLORREF& colour)
{
    const QColor chosen = QColorDialog::getColor(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)), owner,
                                                 QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return false;
    colour = RGB(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

bool QtInteraction::chooseFont(HWND owner, LOGFONT& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, Font(font).qfont(), owner, QString(),
                                              QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    if (!ok)
        return false;
    font = Font::Describe(chosen);
    return true;
}

bool QtInteraction::openOnDesktop(const std::string& fileOrUrl)
{
    const QString target = QString::fromStdString(fileOrUrl);
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

// The desktop's choosers, answered through their own widgets.

#include "DialogDriver.h"
#include "QtInteraction.h"
#include "TestImages.h"

#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

using DialogDriver::OnNextModal;

namespace {

void Answer(QWidget* dialog, const QString& fileNames)
{
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(fileNames);
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace

TEST(QtInteraction, FileDialogsTakeTheRequestAndAnswerPaths)
{
    TestImages::Sandbox sandbox;
    for (const char* name : {"A.JPG", "b.jpg"})
        TestImages::WriteFile(sandbox.path(name), {1});
    QtInteraction desktop;
    FileDialogRequest request{"Files List Selection", "Jpeg (*.jpg)|*.jpg||", "jpg", sandbox.path(""), true};

    std::vector<std::string> paths;
    OnNextModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Files List Selection");
        Answer(dialog, "\"A.JPG\" \"b.jpg\"");
    });
    ASSERT_TRUE(desktop.openFiles(nullptr, request, paths));
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], sandbox.path("A.JPG"));

    std::string saved = "unchanged";
    OnNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(desktop.saveFile(nullptr, request, saved));
    EXPECT_EQ(saved, "unchanged");
    OnNextModal([](QWidget* dialog) { Answer(dialog, "signed"); });
    ASSERT_TRUE(desktop.saveFile(nullptr, request, saved));
    EXPECT_EQ(saved, sandbox.path("signed.jpg")) << "the default extension is added";
}

TEST(QtInteraction, ColourAndFontChoosersConvertBothWays)
{
    QtInteraction desktop;
    COLORREF colour = RGB(10, 20, 30);
    OnNextModal([](QWidget* dialog) {
        auto* chooser = static_cast<QColorDialog*>(dialog);
        EXPECT_EQ(chooser->currentColor(), QColor(10, 20, 30));
        chooser->setCurrentColor(QColor(200, 100, 50));
        chooser->accept();
    });
    ASSERT_TRUE(desktop.chooseColour(nullptr, colour));
    EXPECT_EQ(colour, RGB(200, 100, 50));

    LOGFONT font{};
    font.lfHeight = -16;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    OnNextModal([](QWidget* dialog) {
        auto* chooser = static_cast<QFontDialog*>(dialog);
        QFont chosen = chooser->currentFont();
        EXPECT_EQ(chosen.family(), "DejaVu Sans");
        chosen.setPointSize(18);
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        chooser->setCurrentFont(chosen);
        chooser->accept();
    });
    ASSERT_TRUE(desktop.chooseFont(nullptr, font));
    EXPECT_STREQ(font.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(font.lfHeight, -24) << "18 points at 96 dpi, in pixels";
}

TEST(QtInteraction, AFileDialogOpensOnTheFilterTheRequestSelects)
{
    QtInteraction desktop;
    const std::string filtre = "Jpeg (*.jpg)|*.jpg|Png (*.png)|*.png|All pictures (*.jpg;*.png)|*.jpg;*.png||";
    const struct {
        int choisi;
        const char* debut;
    } cas[] = {{0, "Jpeg ("}, {1, "Png ("}, {-1, "All pictures ("}, {-3, "Jpeg ("}, {3, "Jpeg ("}, {-4, "Jpeg ("}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.choisi);
        FileDialogRequest request{"Logo", filtre, "jpg", "", false, c.choisi};
        QString vu;
        OnNextModal([&](QWidget* dialog) {
            vu = static_cast<QFileDialog*>(dialog)->selectedNameFilter();
            static_cast<QDialog*>(dialog)->reject();
        });
        std::vector<std::string> paths;
        EXPECT_FALSE(desktop.openFiles(nullptr, request, paths));
        EXPECT_TRUE(vu.startsWith(c.debut)) << vu.toStdString() << ": out of range keeps the first";
    }
}

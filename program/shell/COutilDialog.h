#pragma once
// The tool bar: nine large icon buttons along the top of the main window
// that repeat the main commands, each with its tool tip. A click sends the
// button's command to the main frame, as the menu item does.

#include "CDialog.h"

#include <QIcon>

#include <array>

class COutilDialog : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 102;
    static constexpr int kNombreBoutons = 9;
    static constexpr int kTailleIcone = 48;

    // Registers itself as the application's tool bar.
    explicit COutilDialog(QWidget* parent = nullptr);
    ~COutilDialog() override;

    // Icons and tool tips, once the bar's window exists.
    void InitDialogBar();
    // The main frame's destroy step releases the icons.
    void LibereIcones();

    // Button ids left to right, and the command each one sends.
    static const std::array<int, kNombreBoutons>& Boutons();
    static UINT CommandeDuBouton(int id);

    std::array<QIcon, kNombreBoutons> Icones;
    std::array<CString, kNombreBoutons> TextesInfoBulles;

protected:
    void OnClicked(int id) override;
    // A bar closes on nothing, whatever key is pressed in it.
    void OnOK() override {}
    void OnCancel() override {}
};

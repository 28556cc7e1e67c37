#pragma once
// The information bar along the bottom of the main window: the program's
// name and version, the product's web address as a blue link that underlines
// itself and shows a hand while the pointer is over it, and the publisher's
// logo. A click on the link or the logo opens its web page.

#include "CDialog.h"
#include "Font.h"

#include <QCursor>

class CInformationDialog : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 103;
    static constexpr int kLien = 1100;
    static constexpr int kLogo = 1101;
    // 0x00BBGGRR: pure blue
    static constexpr COLORREF kCouleurLien = 0xFF0000;

    // Registers itself as the application's information bar.
    explicit CInformationDialog(QWidget* parent = nullptr);
    ~CInformationDialog() override;

    // Link zone, cursor and font, once the bar's window exists.
    void InitDialogBar();
    // The main frame's destroy step releases the link's font.
    void LiberePolice();

    // The pointer at point, in the bar's coordinates: underline and hand
    // cursor on when it enters the link's zone, off when it leaves.
    void OnMouseMove(CPoint point);
    // The hand over the link, the arrow elsewhere.
    void OnSetCursor();

    // The link's rectangle grown by 1 pixel on each side, in the bar's
    // coordinates; both edges count as inside.
    CRect ZoneLien;
    QCursor CurseurMain;
    LOGFONT FonteLien{};
    HFONT PoliceLien = nullptr;
    int LienSurvole = 0;

protected:
    void OnClicked(int id) override;
    void OnOK() override {}
    void OnCancel() override {}
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Souligne(bool actif);
};

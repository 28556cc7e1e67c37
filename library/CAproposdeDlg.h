#pragma once
// A borderless box showing the caller's picture at its own size, centred
// over its owner; it closes on a click, or by itself after Duree seconds.

#include "CDialog.h"
#include "Gdi.h"

class CAproposdeDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1004;

    explicit CAproposdeDlg(QWidget* parent = nullptr);

    HBITMAP Image = nullptr; // the caller's; released by the caller after the run
    CString Titre;           // window text
    int Duree = 0;           // seconds before closing by itself; 0: never

protected:
    BOOL OnInitDialog() override;
    void OnClicked(int id) override;
    void OnTimer(UINT id) override;
};

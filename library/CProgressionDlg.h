#pragma once
// The modeless progress window of a batch: the file and operation lines, a
// counter, a bar and a "Stop" toggle. The batch refreshes it once per step
// through CRoutine::ProgressionAfficheEtTeste, which also lets the user's
// clicks through.

#include "CDialog.h"

class QProgressBar;

class CProgressionDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1005;

    explicit CProgressionDlg(QWidget* parent = nullptr);

    // Runs the waiting input once; 0 when the application was asked to quit.
    int PeekAndPump();

    QProgressBar* Progression = nullptr;
    CString Compteur;
    CString Fichier;
    CString Operation;
    int Arret = 0; // 1 while Stop is pressed in

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter and Escape would hide the window while the batch goes on and
    // take Stop away from the user: they do nothing here.
    void OnOK() override;
    void OnCancel() override;
};

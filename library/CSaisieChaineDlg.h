#pragma once
// Asks for one line of text under a prompt.

#include "CDialog.h"

class CSaisieChaineDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1000;

    explicit CSaisieChaineDlg(QWidget* parent = nullptr);

    CString Titre;  // the prompt
    CString Chaine; // the text; changed only by OK

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

#pragma once
// Asked when a batch is about to write over an existing file: replace it,
// rename the new one, replace this and every later one, pass it, pass this
// and every later one, or stop.

#include "CDialog.h"

constexpr int CHOIX_ECRASER = 1;
constexpr int CHOIX_RENOMMER = 2;
constexpr int CHOIX_TOUT_ECRASER = 3;
constexpr int CHOIX_PASSER = 4;
constexpr int CHOIX_TOUT_PASSER = 5;

class CQuestionTraitementDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1006;

    explicit CQuestionTraitementDlg(QWidget* parent = nullptr);

    CString NomCible;
    // Set only by the five choice buttons; 0 when the dialog was stopped.
    int Choix = 0;

protected:
    BOOL OnInitDialog() override;
    void OnClicked(int id) override;
    // No button is the default, so Enter chooses nothing.
    BOOL PreTranslateKey(int id, QKeyEvent* event) override;

private:
    void Choisit(int choix);
    void Renomme();
};

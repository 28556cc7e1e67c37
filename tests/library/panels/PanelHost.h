#pragma once
// A plain owner window for the panels: a frame for the text panel, a frame
// for a colour panel and a tab control, and a record of the messages the
// panels post to it.

#include "CDialog.h"

#include <vector>

class PanelHost : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 9101;
    static constexpr int kCadreTexte = 1401;
    static constexpr int kCadreCouleur = 1402;
    static constexpr int kOnglets = 1403;

    PanelHost();

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // How many of that message arrived since the last Oublie().
    int Recus(UINT message) const;
    void Oublie() { m_recus.clear(); }

private:
    std::vector<UINT> m_recus;
};

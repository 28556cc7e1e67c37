#pragma once
// The border and background dialogs' common ground: one preview, the list of
// the library's 50 patterns and the colour panels the user picks colours
// in. IndexMotif is the chosen pattern, 0 to 49, or -1 for none.
//
// InitInstance makes the pattern thumbnails and must come before the dialog
// is shown; after the run the owner calls DesInitInstance. A derived dialog
// fills the list with RemplitListeMotifs() from OnInitDialog(), makes its
// colour panels with CreePanneau() and redraws in AfficheImage() whenever
// the pattern or a colour changes.

#include "CRetoucheDlg.h"

#include <memory>

class CCouleurDlg;
class CImageList;

class CRetoucheMotifDlg : public CRetoucheDlg {
    Q_OBJECT

public:
    ~CRetoucheMotifDlg() override;

    // Stores the toolbox and makes the 50 thumbnails of the pattern list.
    void InitInstance(CGraphique* graphique) override;
    // Frees the thumbnails; derived dialogs free their colour panels too.
    virtual void DesInitInstance();
    // Redraws the preview from the current choices.
    virtual void AfficheImage() = 0;
    // A colour panel changed its colour.
    virtual LRESULT PriseEnCompteChangementCouleur(WPARAM wParam, LPARAM lParam) = 0;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int IndexMotif = -1;
    std::unique_ptr<CImageList> ListeMotifs;
    // 0 until the dialog's initialisation is over.
    int Pret = 0;

protected:
    CRetoucheMotifDlg(UINT templateId, int boutonIcone, UINT icone, int apercu, int liste, QWidget* parent);

    // Items "01" to "50" with their thumbnails; IndexMotif selected and in view.
    void RemplitListeMotifs();
    // The item the user selected, by click or key, becomes IndexMotif; a
    // click that left nothing selected (between the items) selects
    // IndexMotif again. The preview is redrawn when the pattern changed.
    void OnSelectionType();
    // A colour panel inside frame cadre showing couleur, its "Transparent" box hidden.
    std::unique_ptr<CCouleurDlg> CreePanneau(int cadre, COLORREF couleur);
    // Back to the panel's defaults (black, "Hex"); returns its colour.
    static COLORREF ReinitialisePanneau(CCouleurDlg& panneau);
    static void LiberePanneau(std::unique_ptr<CCouleurDlg>& panneau);

private:
    void SelectionneMotif(int index);

    int m_liste;
};

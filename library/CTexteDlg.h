#pragma once
// Writes up to five texts onto a picture, each with its own font, colours
// and placement, edited on its own tab ("Text n°1" to "Text n°5") and seen
// together on one preview, later texts over earlier ones. The owner fills
// the five Textes before the run and reads them back after OK; then it
// draws the active ones onto its picture with EcritureTextes, as the
// preview does.

#include "CRetoucheDlg.h"

#include <array>
#include <memory>

class CMiniTexteDlg;
class QTabWidget;

// One text's settings.
struct T_TEXTE {
    // 1 when the text is not empty: only active texts are drawn.
    int Actif = 0;
    CString Texte;
    LOGFONT Fonte{};
    // 1: against an edge or the centre with the margins; 0: at the absolute point.
    int PositionAutomatique = 0;
    // 0: against the top; 1: against the bottom.
    int PositionVerticale = 0;
    // 0: left; 1: right; 2: centred.
    int PositionHorizontale = 0;
    int PositionAutomatiqueDeltaX = 20;
    int PositionAutomatiqueDeltaY = 20;
    int PositionAbsolueX = 0;
    int PositionAbsolueY = 0;
    COLORREF CouleurEncre = RGB(0, 0, 0);
    COLORREF CouleurFond = RGB(0, 0, 0);
    // 1: the background is not painted.
    int CouleurFondTransparent = 1;
};

class CTexteDlg : public CRetoucheDlg {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1023;
    static constexpr int kNombreTextes = 5;
    using Textes_t = std::array<T_TEXTE, kNombreTextes>;

    explicit CTexteDlg(QWidget* parent = nullptr);
    ~CTexteDlg() override;

    // The five records back to their defaults, in the dialog's own font:
    // only while the dialog's window exists.
    void ValeurDefaut();
    // Records into pages, and pages back into records.
    void AfficheValeurs();
    void LectureValeurs();
    void AfficheImage();
    // Frees the five pages; the owner calls it after the run.
    void DesInitInstance();

    // Where a text is drawn on a picture of size taille: its anchor point in
    // automatic placement, its top-left corner in absolute placement.
    static CPoint CalculePositionTexte(T_TEXTE texte, CSize taille);
    // image with the active texts drawn over it in order, as a new image, or
    // image itself when none is drawn. A text whose font or copy cannot be
    // made is left out.
    static HBITMAP EcritureTextes(CGraphique& graphique, HDC dc, HBITMAP image, const Textes_t& textes);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    Textes_t Textes;
    std::array<std::unique_ptr<CMiniTexteDlg>, kNombreTextes> Pages;
    QTabWidget* Onglets = nullptr;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClicked(int id) override;
    void OnSelectionChanged(int id) override;

private:
    LRESULT PriseEnCompteChangementTexte(WPARAM wParam, LPARAM lParam);
    void OnTexteSelection();
    void OnPleinEcran();
    void OnReset();
};

#pragma once
// The small dialog behind each signature panel's "Style..." button: size
// relative to the picture, margins in percent, opacity and a mark repeated
// across the picture for the text or the logo; outline and shadow for the
// text alone.

#include "CDialog.h"
#include "Style.h"

#include <functional>

class CStyleDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1040;
    // Control ids
    static constexpr int kRelative = 1041;
    static constexpr int kTaille = 1042;
    static constexpr int kPlaceRelative = 1043;
    static constexpr int kOpacite = 1044;
    static constexpr int kContour = 1045;
    static constexpr int kContourRelatif = 1046;
    static constexpr int kCouleurContour = 1047;
    static constexpr int kApercuContour = 1048;
    static constexpr int kOmbreX = 1049;
    static constexpr int kOmbreY = 1050;
    static constexpr int kFlou = 1051;
    static constexpr int kOpaciteOmbre = 1052;
    static constexpr int kCouleurOmbre = 1053;
    static constexpr int kApercuOmbre = 1054;
    static constexpr int kGroupeContour = 1055;
    static constexpr int kGroupeOmbre = 1056;
    static constexpr int kGroupeRepetition = 1057;
    static constexpr int kRepete = 1058;
    static constexpr int kAngle = 1059;
    static constexpr int kEspacement = 1060;

    // texte: the text panel's style, with its outline and shadow.
    CStyleDlg(const Style& style, bool texte, QWidget* parent = nullptr);

    Style Valeur; // changed only by OK
    // Called with the style the controls give each time the user changes
    // one into a valid whole, so that the caller can show it at once.
    std::function<void(const Style&)> EnDirect;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;

private:
    void MontreCouleurs();
    // The angle and the spacing mean something only for a repeated mark.
    void ActiveRepetition();
    // The controls read without a warning nor a move of the focus; passed to
    // EnDirect when they hold a valid style not yet passed.
    void Previsualise();
    Style m_Montre;

    bool m_Texte;
    // The fields as the controls show them.
    int m_Relative = 0;
    double m_Taille = 5.0; // percent
    int m_PlaceRelative = 0;
    int m_Opacite = 100;
    int m_Contour = 0;
    int m_ContourRelatif = 0;
    int m_OmbreX = 0;
    int m_OmbreY = 0;
    int m_Flou = 0;
    int m_OpaciteOmbre = 0;
    COLORREF m_CouleurContour = 0;
    COLORREF m_CouleurOmbre = 0;
    int m_Repete = 0;
    int m_Angle = 0;
    int m_Espacement = 0;
};

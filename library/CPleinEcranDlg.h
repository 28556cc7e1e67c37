#pragma once
// Shows one picture alone on the whole screen, centred, under a small
// caption. Keypad plus and minus zoom by a twentieth of the picture, Space
// restores its own size, F (or keypad star) fits a picture larger than the
// screen to it and back, the arrows and the wheel move it by 10 pixels, a
// click closes. The caller's picture is never changed nor released: the
// viewer shows scaled copies of it.

#include "CDialog.h"
#include "Gdi.h"

class BitmapStatic;
class CGraphique;
class QWheelEvent;

class CPleinEcranDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 1007;

    explicit CPleinEcranDlg(QWidget* parent = nullptr);
    ~CPleinEcranDlg() override;

    // Stores graphique and measures Image when there is one.
    void InitInstance(CGraphique* graphique);
    // Shows Image scaled to taille, centred; FALSE (display unchanged) when
    // the scaled copy cannot be made.
    BOOL Zoom(CSize taille);
    // For a caller driving the viewer in ModeSuivi: shows Image itself, lets
    // the waiting input run and returns Interrompu.
    int AfficheEtTeste();
    int PeekAndPump();
    // The largest size of image, aspect kept, shown whole on a screen of
    // that size (the picture sits one pixel in and the viewer is one pixel
    // short of the screen); image itself when it already fits.
    static CSize TailleAjustee(CSize image, CSize ecran);

    HBITMAP Image = nullptr;   // the caller's, may be null
    CString Legende;           // empty: no caption
    int Delai = 0;             // milliseconds before closing by itself; 0: never
    int ModeSuivi = 0;         // set: commands only raise Interrompu
    int Interrompu = 0;
    CGraphique* Graphique = nullptr;
    CSize TailleEcran;
    CSize TailleImage;
    CSize TailleAffichee;
    HBITMAP ImageAffichee = nullptr; // the scaled copy shown; owned

protected:
    BOOL OnInitDialog() override;
    void OnClicked(int id) override;
    BOOL PreTranslateKey(int id, QKeyEvent* event) override;
    void OnTimer(UINT id) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    BitmapStatic* Picture() const;
    BOOL Affiche(CSize taille, int rapide);
    void Ajuste();
    void Plus();
    void Moins();
    void Deplace(int dx, int dy);

    bool m_Ajustee = false;          // shown fitted; the fit key goes back
    CSize m_TailleAvantAjustement;   // to this size
};

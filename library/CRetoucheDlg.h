#pragma once
// The common ground of the picture-editing dialogs. The owner hands in its
// picture (Image, LargeurImage, HauteurImage), calls InitInstance, runs the
// dialog and reads the chosen settings after OK: the dialog never changes
// nor releases the picture. Each preview shows the operation's result on a
// copy reduced to the preview, centred on the placeholder background; a
// click on a preview shows the full-size result on the whole screen.
//
// A dialog built on this base names its icon button and its previews to the
// constructor, calls InitialiseApercus() from OnInitDialog() and then draws
// its previews with MontreApercu(); its full-screen handlers call
// AffichePleinEcran().

#include "CDialog.h"
#include "Gdi.h"

#include <QIcon>

#include <functional>
#include <vector>

class CGraphique;

class CRetoucheDlg : public CDialog {
    Q_OBJECT

public:
    static constexpr int kMaxApercus = 2;
    // The placeholder every preview shows until it is first drawn.
    static constexpr UINT kFondApercu = 1933;

    ~CRetoucheDlg() override;

    // Stores the toolbox; the picture and its size are set before. Dialogs
    // that prepare more from the picture extend it.
    virtual void InitInstance(CGraphique* graphique);

    // The size an image of size image is shown at in zone: its own when it
    // fits, else reduced with its proportion kept so that it fits both ways.
    static CSize TailleAjustee(CSize image, CSize zone);

    // The owner's picture: never released here.
    LONG LargeurImage = 0;
    LONG HauteurImage = 0;
    HBITMAP Image = nullptr;
    QIcon Icone;
    // One of each per preview, in the order of the preview controls given to
    // the constructor; every image here is owned, except an ImageReduite
    // that is Image itself.
    HBITMAP FondApercu[kMaxApercus] = {};
    CSize TailleZone[kMaxApercus];
    HBITMAP ImageAffichee[kMaxApercus] = {};
    HBITMAP ImageReduite[kMaxApercus] = {};
    CSize TailleReduite[kMaxApercus];
    CGraphique* Graphique = nullptr;

protected:
    // apercus: the preview controls (at most kMaxApercus); reduites: keep
    // a reduced picture per preview for the previews to work on.
    CRetoucheDlg(UINT templateId, int boutonIcone, UINT icone, std::vector<int> apercus, bool reduites,
                 QWidget* parent);

    // The icon on its button, then per preview its zone, its background and
    // its reduced picture. The previews are not drawn yet.
    void InitialiseApercus();
    // operation given a drawing context of the dialog, taken for this call only.
    HBITMAP Applique(const std::function<HBITMAP(HDC)>& operation);
    // Shows resultat in preview index, centred on its background; when
    // ajuste, a result larger than the zone is reduced to fit first. Takes
    // resultat unless it is Image or the preview's reduced picture. A null
    // result empties the preview.
    void MontreApercu(unsigned index, HBITMAP resultat, bool ajuste = true);
    // The full-size result of operation (none: the picture itself) shown on
    // the whole screen under legende, after the focus went to control focus.
    // A result that cannot be made only beeps.
    void AffichePleinEcran(const std::function<HBITMAP(HDC)>& operation, const CString& legende, int focus);

    // The information texts of the full-screen view: "(WxH)" and "(WxH) -> (wxh)".
    static CString Legende(CSize avant);
    static CString Legende(CSize avant, CSize apres);
    // The error box of settings that OK cannot take as they are.
    void SignaleDonneesInvalides();

    int NombreApercus() const { return static_cast<int>(m_apercus.size()); }

private:
    // Puts image into slot and releases what it held, unless that is Image.
    void Remplace(HBITMAP& slot, HBITMAP image);
    HBITMAP Reduit(HBITMAP image, CSize taille);

    int m_boutonIcone;
    UINT m_icone;
    std::vector<int> m_apercus;
    bool m_reduites;
};

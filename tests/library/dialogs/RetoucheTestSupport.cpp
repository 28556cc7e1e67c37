#include "RetoucheTestSupport.h"

#include "CPleinEcranDlg.h"
#include "DialogDriver.h"
#include "TestImages.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace RetoucheTest {

CGraphique& Graphique()
{
    static CGraphique graphique;
    return graphique;
}

void Ouvre(CRetoucheDlg& dialog, HBITMAP image)
{
    const CSize taille = TestImages::SizeOf(image);
    dialog.Image = image;
    dialog.LargeurImage = taille.cx;
    dialog.HauteurImage = taille.cy;
    dialog.InitInstance(&Graphique());
    ASSERT_TRUE(dialog.Create());
    dialog.show();
}

VuePleinEcran CliquePleinEcran(QWidget* control)
{
    VuePleinEcran vue;
    QWidget* proprietaire = control->window();
    DialogDriver::OnNextModal([&vue, proprietaire](QWidget* fenetre) {
        auto* plein = dynamic_cast<CPleinEcranDlg*>(fenetre);
        ASSERT_NE(plein, nullptr);
        vue.ouverte = true;
        vue.image = plein->Image;
        vue.legende = plein->Legende;
        if (plein->Image) {
            vue.taille = TestImages::SizeOf(plein->Image);
            vue.coin = TestImages::Pixel(plein->Image, 0, 0);
        }
        vue.focus = proprietaire->focusWidget();
        plein->EndDialog(IDOK);
    });
    DialogDriver::Click(control);
    return vue;
}

COLORREF PixelApercu(const CRetoucheDlg& dialog, int index, int x, int y)
{
    return TestImages::Pixel(dialog.ImageAffichee[index], x, y);
}

} // namespace RetoucheTest

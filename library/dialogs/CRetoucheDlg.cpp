#include "CRetoucheDlg.h"

#include "BitmapStatic.h"
#include "CGraphique.h"
#include "CPleinEcranDlg.h"
#include "CRoutine.h"

#include <QAbstractButton>
#include <QApplication>

#include <algorithm>
#include <utility>

CRetoucheDlg::CRetoucheDlg(UINT templateId, int boutonIcone, UINT icone, std::vector<int> apercus, bool reduites,
                           QWidget* parent)
    : CDialog(templateId, parent), m_boutonIcone(boutonIcone), m_icone(icone), m_apercus(std::move(apercus)),
      m_reduites(reduites)
{
    if (m_apercus.size() > kMaxApercus)
        m_apercus.resize(kMaxApercus);
}

CRetoucheDlg::~CRetoucheDlg()
{
    for (int i = 0; i < kMaxApercus; ++i) {
        Remplace(FondApercu[i], nullptr);
        Remplace(ImageAffichee[i], nullptr);
        Remplace(ImageReduite[i], nullptr);
    }
}

void CRetoucheDlg::InitInstance(CGraphique* graphique) { Graphique = graphique; }

CSize CRetoucheDlg::TailleAjustee(CSize image, CSize zone)
{
    if (image.cx <= zone.cx && image.cy <= zone.cy)
        return image;
    CSize taille = CGraphique::ConservationProportion(image, zone);
    // The longer side takes the zone's side, which leaves a picture squarer
    // than the zone too high (or too wide): the other side must fit as well.
    if (image.cx > 0 && image.cy > 0) {
        if (taille.cy > zone.cy)
            taille = CSize(static_cast<LONG>(static_cast<long long>(image.cx) * zone.cy / image.cy), zone.cy);
        if (taille.cx > zone.cx)
            taille = CSize(zone.cx, static_cast<LONG>(static_cast<long long>(image.cy) * zone.cx / image.cx));
    }
    // A very thin picture keeps one row or column rather than vanishing.
    return CSize(std::max<LONG>(taille.cx, 1), std::max<LONG>(taille.cy, 1));
}

void CRetoucheDlg::InitialiseApercus()
{
    Icone = Resources::loadIcon(ResourceModule::Library, m_icone);
    if (auto* bouton = GetDlgItemAs<QAbstractButton>(m_boutonIcone)) {
        bouton->setIcon(Icone);
        bouton->setIconSize(QSize(32, 32));
    }
    const CSize taillePicture(LargeurImage, HauteurImage);
    for (int i = 0; i < NombreApercus(); ++i) {
        auto* apercu = GetDlgItemAs<BitmapStatic>(m_apercus[i]);
        if (!apercu)
            continue;
        // The layout's placeholder is there only until the first set-up has
        // replaced it; a dialog run again keeps the background it made then.
        if (!FondApercu[i]) {
            const QRect zone = apercu->contentsRect();
            TailleZone[i] = CSize(zone.width(), zone.height());
            HBITMAP placeholder = apercu->GetBitmap();
            FondApercu[i] = Applique([&](HDC dc) {
                return CGraphique::RedimensionneImage(dc, placeholder, TailleZone[i], 1);
            });
            DeleteObject(apercu->SetBitmap(FondApercu[i]));
        }
        if (!m_reduites)
            continue;
        if (LargeurImage > TailleZone[i].cx || HauteurImage > TailleZone[i].cy) {
            TailleReduite[i] = TailleAjustee(taillePicture, TailleZone[i]);
            Remplace(ImageReduite[i], Reduit(Image, TailleReduite[i]));
        } else {
            // Never enlarged: a small picture is its own preview.
            TailleReduite[i] = taillePicture;
            Remplace(ImageReduite[i], Image);
        }
    }
}

HBITMAP CRetoucheDlg::Applique(const std::function<HBITMAP(HDC)>& operation)
{
    HDC dc = GetDC(this);
    HBITMAP resultat = operation(dc);
    ReleaseDC(this, dc);
    return resultat;
}

HBITMAP CRetoucheDlg::Reduit(HBITMAP image, CSize taille)
{
    return Applique([&](HDC dc) { return CGraphique::RedimensionneImage(dc, image, taille, 1); });
}

void CRetoucheDlg::MontreApercu(unsigned index, HBITMAP resultat, bool ajuste)
{
    if (index >= m_apercus.size())
        return;
    const auto intermediaire = [&](HBITMAP image) { return image && image != Image && image != ImageReduite[index]; };
    const CSize zone = TailleZone[index];
    HBITMAP montre = nullptr;
    if (resultat) {
        CSize taille;
        CGraphique::RecupereInfosImage(resultat, taille, nullptr);
        HBITMAP ajustee = resultat;
        if (ajuste && (taille.cx > zone.cx || taille.cy > zone.cy)) {
            taille = TailleAjustee(taille, zone);
            ajustee = Reduit(resultat, taille);
            if (intermediaire(resultat))
                DeleteObject(resultat);
        }
        if (ajustee) {
            // Halves truncated toward zero: a result larger than the zone is cut evenly.
            const CPoint coin((zone.cx - taille.cx) / 2, (zone.cy - taille.cy) / 2);
            montre = Applique([&](HDC dc) { return CGraphique::FusionneImage(dc, FondApercu[index], ajustee, coin); });
            if (intermediaire(ajustee))
                DeleteObject(ajustee);
        }
    }
    if (auto* apercu = GetDlgItemAs<BitmapStatic>(m_apercus[index]))
        apercu->SetBitmap(montre);
    Remplace(ImageAffichee[index], montre);
}

void CRetoucheDlg::AffichePleinEcran(const std::function<HBITMAP(HDC)>& operation, const CString& legende,
                                     int focus)
{
    HBITMAP image = Image;
    if (operation) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        image = Applique(operation);
        QApplication::restoreOverrideCursor();
    }
    if (!image) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    GotoDlgCtrl(GetDlgItem(focus));
    CPleinEcranDlg vue(this);
    vue.Image = image;
    vue.Legende = legende;
    vue.InitInstance(Graphique);
    vue.DoModal();
    if (image != Image)
        DeleteObject(image);
}

CString CRetoucheDlg::Legende(CSize avant)
{
    return QString::asprintf("(%dx%d)", static_cast<int>(avant.cx), static_cast<int>(avant.cy)).toStdString();
}

CString CRetoucheDlg::Legende(CSize avant, CSize apres)
{
    return QString::asprintf("(%dx%d) -> (%dx%d)", static_cast<int>(avant.cx), static_cast<int>(avant.cy),
                             static_cast<int>(apres.cx), static_cast<int>(apres.cy))
        .toStdString();
}

void CRetoucheDlg::SignaleDonneesInvalides()
{
    CString texte, titre;
    MessageBox(this, CRoutine::Message(texte, 9), CRoutine::Message(titre, 4), MB_OK | MB_ICONERROR);
}

void CRetoucheDlg::Remplace(HBITMAP& slot, HBITMAP image)
{
    HBITMAP ancienne = std::exchange(slot, image);
    if (ancienne && ancienne != image && ancienne != Image)
        DeleteObject(ancienne);
}

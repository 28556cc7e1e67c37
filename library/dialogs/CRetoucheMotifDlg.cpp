#include "CRetoucheMotifDlg.h"

#include "CCouleurDlg.h"
#include "CGraphique.h"
#include "CImageList.h"

#include <QListWidget>

#include <cstdio>

namespace {

constexpr int kCoteVignette = 40;

} // namespace

CRetoucheMotifDlg::CRetoucheMotifDlg(UINT templateId, int boutonIcone, UINT icone, int apercu, int liste,
                                     QWidget* parent)
    : CRetoucheDlg(templateId, boutonIcone, icone, {apercu}, false, parent), m_liste(liste)
{
}

CRetoucheMotifDlg::~CRetoucheMotifDlg() = default;

void CRetoucheMotifDlg::InitInstance(CGraphique* graphique)
{
    CRetoucheDlg::InitInstance(graphique);
    ListeMotifs = std::make_unique<CImageList>();
    ListeMotifs->Create(kCoteVignette, kCoteVignette, ILC_MASK, CGraphique::kNombreMotifs);
    if (!graphique)
        return;
    // Black pixels of a thumbnail show the list's background.
    for (int i = 0; i < CGraphique::kNombreMotifs; ++i)
        ListeMotifs->Add(graphique->Vignette(i), RGB(0, 0, 0));
}

void CRetoucheMotifDlg::DesInitInstance()
{
    if (ListeMotifs)
        ListeMotifs->DeleteImageList();
    ListeMotifs.reset();
}

void CRetoucheMotifDlg::RemplitListeMotifs()
{
    auto* liste = GetDlgItemAs<QListWidget>(m_liste);
    if (!liste)
        return;
    // A dialog run again starts from an empty list.
    liste->clear();
    liste->setIconSize(QSize(kCoteVignette, kCoteVignette));
    for (int i = 0; i < CGraphique::kNombreMotifs; ++i) {
        char libelle[8];
        std::snprintf(libelle, sizeof libelle, "%02d", i + 1);
        new QListWidgetItem(ListeMotifs ? ListeMotifs->Icon(i) : QIcon(), QString::fromLatin1(libelle), liste);
    }
    SelectionneMotif(IndexMotif);
    // Keys move the selection too, and a click between the items clears it
    // as soon as the button goes down: both are the user's choice to follow.
    connect(liste, &QListWidget::itemSelectionChanged, this, &CRetoucheMotifDlg::OnSelectionType,
            Qt::UniqueConnection);
}

void CRetoucheMotifDlg::SelectionneMotif(int index)
{
    auto* liste = GetDlgItemAs<QListWidget>(m_liste);
    QListWidgetItem* element = liste ? liste->item(index) : nullptr;
    if (!element)
        return;
    liste->setCurrentItem(element, QItemSelectionModel::ClearAndSelect);
    // The items are laid out once the list is shown: place them now to scroll.
    liste->doItemsLayout();
    liste->scrollToItem(element);
}

void CRetoucheMotifDlg::OnSelectionType()
{
    // The list being filled is no choice of the user.
    if (!Pret)
        return;
    auto* liste = GetDlgItemAs<QListWidget>(m_liste);
    const QList<QListWidgetItem*> choisis = liste->selectedItems();
    if (choisis.isEmpty()) {
        SelectionneMotif(IndexMotif);
        return;
    }
    const int choisi = liste->row(choisis.front());
    if (choisi == IndexMotif)
        return;
    IndexMotif = choisi;
    AfficheImage();
}

std::unique_ptr<CCouleurDlg> CRetoucheMotifDlg::CreePanneau(int cadre, COLORREF couleur)
{
    auto panneau = std::make_unique<CCouleurDlg>(this);
    panneau->Create(GetDlgItem(cadre));
    panneau->Couleur = couleur;
    panneau->InitInstance(this, Graphique, 1);
    return panneau;
}

COLORREF CRetoucheMotifDlg::ReinitialisePanneau(CCouleurDlg& panneau)
{
    panneau.ValeurDefaut();
    panneau.OnCouleurBase(panneau.IsDlgButtonChecked(CCouleurDlg::kHexa) ? CCouleurDlg::kHexa : CCouleurDlg::kDecimal);
    return panneau.Couleur;
}

void CRetoucheMotifDlg::LiberePanneau(std::unique_ptr<CCouleurDlg>& panneau)
{
    if (panneau)
        panneau->DestroyWindow();
    panneau.reset();
}

LRESULT CRetoucheMotifDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHANGEMENT_COULEUR)
        return PriseEnCompteChangementCouleur(wParam, lParam);
    return CRetoucheDlg::OnMessage(message, wParam, lParam);
}

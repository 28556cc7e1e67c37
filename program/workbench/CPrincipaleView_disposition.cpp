// The form at any size: the layout's table gives its smallest size; room
// across goes first to "Setup" at the right, until its lists show their
// longest choice whole, then to the "Display" preview and the file list,
// half and half; room down goes to those two; "The Signing" keeps its
// height at the bottom, its panels centred in it.

#include "CPrincipaleView.h"
#include "ControlesVue.h"

#include "BitmapStatic.h"
#include "Resources.h"

#include <QComboBox>
#include <QHeaderView>
#include <QResizeEvent>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr UINT kImageFond = 121;

} // namespace

void CPrincipaleView::RetientDisposition()
{
    m_disposition.clear();
    for (QWidget* enfant : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        m_disposition.push_back({enfant, enfant->geometry()});
    // The columns and rows part where the layout's areas begin.
    m_debutListe = GetDlgItem(kCadreListe)->x();
    m_debutReglages = GetDlgItem(kCadreReglages)->x();
    m_debutSignature = GetDlgItem(kCadreSignature)->y();
    const DialogTemplate* disposition = DialogTemplate::Find(IDD);
    m_tailleDisposition = QSize(DialogUnits::X(disposition->cx), DialogUnits::Y(disposition->cy));
    m_besoinReglages = 0;
    for (const int id : {kMetadonnees, kFormatSortie, kRedimension})
        if (auto* liste = GetDlgItemAs<QComboBox>(id))
            m_besoinReglages = std::max(m_besoinReglages, liste->sizeHint().width() - liste->width());
}

QRect CPrincipaleView::PlaceEtiree(int id, QRect origine, QSize surplus) const
{
    const int reglages = std::min(surplus.width(), m_besoinReglages);
    const int reste = surplus.width() - reglages;
    const int gauche = reste / 2;
    const int droite = reste - gauche;
    QRect place = origine;
    if (origine.top() >= m_debutSignature) {
        place.translate(0, surplus.height());
        if (id == kCadreSignature)
            place.setWidth(origine.width() + surplus.width());
        else if (id == kCadrePanneaux)
            place.translate(surplus.width() / 2, 0);
    } else if (origine.left() < m_debutListe) {
        if (id == kCadreAffichage || id == kAffichage)
            place.setSize(origine.size() + QSize(gauche, surplus.height()));
    } else if (origine.left() < m_debutReglages) {
        place.translate(gauche, 0);
        if (id == kCadreListe || id == kListe)
            place.setSize(origine.size() + QSize(droite, surplus.height()));
        else if (id == kCompteur)
            place = QRect(place.left(), place.top() + surplus.height(), origine.width() + droite, origine.height());
    } else {
        // The lists and the folder's edit widen; what sits at the right edge follows it.
        place.translate(reste, 0);
        if (id == kCadreReglages || id == kRepertoire || id == kMetadonnees || id == kFormatSortie
            || id == kRedimension || id == kRedimensionValeur)
            place.setWidth(origine.width() + reglages);
        else if (id == kChoixRepertoire || id == kNomFichier || id == kQualite || id == kQualiteSpin
                 || id == kRedimensionUnite)
            place.translate(reglages, 0);
    }
    return place;
}

void CPrincipaleView::resizeEvent(QResizeEvent* event)
{
    CDialog::resizeEvent(event);
    Dispose();
}

void CPrincipaleView::Dispose()
{
    if (m_disposition.empty())
        return;
    const QSize surplus = (size() - m_tailleDisposition).expandedTo(QSize(0, 0));
    for (const auto& [enfant, origine] : m_disposition) {
        if (!enfant)
            continue;
        bool numero = false;
        const int id = enfant->objectName().toInt(&numero);
        enfant->setGeometry(PlaceEtiree(numero ? id : -1, origine, surplus));
    }
    // The preview follows once the sizes settle: a window being dragged
    // larger asks for one picture, not one per step.
    if (!m_apercuEnAttente) {
        m_apercuEnAttente = true;
        QTimer::singleShot(0, this, [this] {
            m_apercuEnAttente = false;
            AgranditAffichage();
        });
    }
}

void CPrincipaleView::AgranditAffichage()
{
    auto* affichage = GetDlgItemAs<BitmapStatic>(kAffichage);
    // Before the first update, and after the images were released, the
    // display has no background of its own to resize.
    if (!affichage || !ImageFond)
        return;
    const QRect client = affichage->contentsRect();
    const CSize taille(client.width(), client.height());
    if (taille == TailleAffichage || taille.cx <= 0 || taille.cy <= 0)
        return;
    HBITMAP fond = FondAffichage(Resources::loadBitmap(ResourceModule::Program, kImageFond), taille);
    if (!fond)
        return;
    TailleAffichage = taille;
    HBITMAP ancien = std::exchange(ImageFond, fond);
    // With no picture selected, the background itself is what is signed.
    if (ImageSelection == ancien) {
        ImageSelection = ImageFond;
        TailleImage = taille;
    }
    ConstruitApercu();
    DeleteObject(ancien);
}

#include "CInformationDialog.h"

#include "CTamparoApp.h"

#include "Interaction.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace {

constexpr int kNom = -1;
constexpr UINT kLogoEditeur = 119;
// The hand's hot spot is the tip of its raised finger.
constexpr int kPointeX = 11;
constexpr int kPointeY = 2;

const bool registered = DialogTemplate::Register({
    CInformationDialog::IDD, "", 421, 25, "Comic Sans MS", 8, Opt::Child, ResourceModule::Program,
    {
        {ControlKind::Picture, CInformationDialog::kLogo, "", 3, 2, 75, 21, Opt::Notify, kLogoEditeur},
        {ControlKind::Static, kNom, "Tamparo2 Version 2.02", 90, 8, 110, 10},
        {ControlKind::Static, CInformationDialog::kLien, "", 210, 8, 205, 10, Opt::Notify | Opt::Right},
    },
});

CString Adresse(CString CTamparoApp::*membre)
{
    const CTamparoApp* application = CTamparoApp::Instance();
    return application ? application->*membre : CString();
}

} // namespace

CInformationDialog::CInformationDialog(QWidget* parent) : CDialog(IDD, parent)
{
    if (CTamparoApp* application = CTamparoApp::Instance())
        application->BarreInformation = this;
}

CInformationDialog::~CInformationDialog() { LiberePolice(); }

void CInformationDialog::InitDialogBar()
{
    QWidget* lien = GetDlgItem(kLien);
    if (!lien)
        return;
    SetDlgItemText(kLien, Adresse(&CTamparoApp::AdresseProduit));
    QPalette couleurs = lien->palette();
    couleurs.setColor(QPalette::WindowText,
                      QColor(GetRValue(kCouleurLien), GetGValue(kCouleurLien), GetBValue(kCouleurLien)));
    lien->setPalette(couleurs);

    const QRect zone(lien->mapTo(this, QPoint(0, 0)), lien->size());
    ZoneLien = CRect(zone.left() - 1, zone.top() - 1, zone.left() + zone.width() + 1, zone.top() + zone.height() + 1);
    CurseurMain = QCursor(QPixmap(QStringLiteral(":/tamparo2/cursors/122.png")), kPointeX, kPointeY);
    FonteLien = Font::Describe(lien->font());
    PoliceLien = nullptr;
    LienSurvole = 0;

    // Moves over the bar and over its controls both come to OnMouseMove.
    setMouseTracking(true);
    for (QWidget* controle : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        controle->setMouseTracking(true);
}

void CInformationDialog::LiberePolice()
{
    DeleteObject(PoliceLien);
    PoliceLien = nullptr;
}

void CInformationDialog::OnMouseMove(CPoint point)
{
    // Without an address there is nothing to follow.
    if (Adresse(&CTamparoApp::AdresseProduit).empty())
        return;
    const bool dedans = ZoneLien.left <= point.x && point.x <= ZoneLien.right && ZoneLien.top <= point.y
                        && point.y <= ZoneLien.bottom;
    if (dedans != (LienSurvole != 0))
        Souligne(dedans);
}

void CInformationDialog::Souligne(bool actif)
{
    QWidget* lien = GetDlgItem(kLien);
    LOGFONT description = FonteLien;
    description.lfUnderline = actif ? 1 : 0;
    HFONT police = CreateFontIndirect(&description);
    if (!lien || !police) {
        DeleteObject(police);
        return;
    }
    lien->setFont(police->qfont());
    lien->repaint();
    // Released only once the label has the new one.
    DeleteObject(PoliceLien);
    PoliceLien = police;
    LienSurvole = actif ? 1 : 0;
    OnSetCursor();
}

void CInformationDialog::OnSetCursor()
{
    if (LienSurvole)
        setCursor(CurseurMain);
    else
        setCursor(Qt::ArrowCursor);
}

void CInformationDialog::OnClicked(int id)
{
    const CString adresse = id == kLien   ? Adresse(&CTamparoApp::AdresseProduit)
                            : id == kLogo ? Adresse(&CTamparoApp::AdresseEditeur)
                                          : CString();
    if (!adresse.empty())
        Interaction::current().openOnDesktop(adresse);
}

void CInformationDialog::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    OnMouseMove(CPoint(point.x(), point.y()));
    CDialog::mouseMoveEvent(event);
}

void CInformationDialog::leaveEvent(QEvent* event)
{
    // Leaving the bar in one jump from the link must not leave it underlined.
    OnMouseMove(CPoint(ZoneLien.left - 1, ZoneLien.top - 1));
    CDialog::leaveEvent(event);
}

bool CInformationDialog::eventFilter(QObject* watched, QEvent* event)
{
    auto* controle = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseMove && controle && controle->parentWidget() == this) {
        const QPoint point = controle->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
        OnMouseMove(CPoint(point.x(), point.y()));
    }
    return CDialog::eventFilter(watched, event);
}

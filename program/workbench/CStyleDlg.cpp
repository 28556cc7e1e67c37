#include "CStyleDlg.h"

#include "CDataExchange.h"
#include "Interaction.h"
#include "SilentInteraction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

using D = CStyleDlg;

const bool registered = DialogTemplate::Register({
    D::IDD, "Style", 230, 240, "MS Sans Serif", 8,
    Opt::SysMenu, ResourceModule::Program,
    {
        {ControlKind::GroupBox, -1, "Size and place", 6, 4, 218, 56},
        {ControlKind::CheckBox, D::kRelative, "Size in % of the shorter side:", 12, 16, 130, 10},
        {ControlKind::Edit, D::kTaille, "", 146, 15, 36, 12},
        {ControlKind::CheckBox, D::kPlaceRelative, "Margins and position in % of the picture", 12, 30, 200, 10},
        {ControlKind::Static, -1, "Opacity (%):", 12, 45, 60, 9},
        {ControlKind::Edit, D::kOpacite, "", 76, 43, 30, 12, Opt::Number},
        {ControlKind::GroupBox, D::kGroupeRepetition, "Repeated mark", 6, 64, 218, 46},
        {ControlKind::CheckBox, D::kRepete, "Repeat across the picture", 12, 76, 200, 10},
        {ControlKind::Static, -1, "Angle:", 12, 94, 26, 9},
        {ControlKind::Edit, D::kAngle, "", 40, 92, 26, 12, Opt::Number},
        {ControlKind::Static, -1, "Spacing %:", 80, 94, 40, 9},
        {ControlKind::Edit, D::kEspacement, "", 122, 92, 26, 12, Opt::Number},
        {ControlKind::GroupBox, D::kGroupeContour, "Outline", 6, 114, 218, 36},
        {ControlKind::Static, -1, "Width:", 12, 130, 26, 9},
        {ControlKind::Edit, D::kContour, "", 40, 128, 26, 12, Opt::Number},
        {ControlKind::CheckBox, D::kContourRelatif, "% of text height", 70, 129, 80, 10},
        {ControlKind::PushButton, D::kCouleurContour, "Color...", 152, 127, 40, 14},
        {ControlKind::Static, D::kApercuContour, "", 196, 127, 22, 14, Opt::Border},
        {ControlKind::GroupBox, D::kGroupeOmbre, "Shadow", 6, 154, 218, 60},
        {ControlKind::Static, -1, "Offset X:", 12, 170, 34, 9},
        {ControlKind::Edit, D::kOmbreX, "", 48, 168, 26, 12},
        {ControlKind::Static, -1, "Y:", 80, 170, 10, 9},
        {ControlKind::Edit, D::kOmbreY, "", 92, 168, 26, 12},
        {ControlKind::Static, -1, "Blur:", 124, 170, 22, 9},
        {ControlKind::Edit, D::kFlou, "", 148, 168, 26, 12, Opt::Number},
        {ControlKind::Static, -1, "Opacity (%):", 12, 192, 60, 9},
        {ControlKind::Edit, D::kOpaciteOmbre, "", 76, 190, 30, 12, Opt::Number},
        {ControlKind::PushButton, D::kCouleurOmbre, "Color...", 152, 189, 40, 14},
        {ControlKind::Static, D::kApercuOmbre, "", 196, 189, 22, 14, Opt::Border},
        {ControlKind::DefPushButton, IDOK, "OK", 56, 220, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 124, 220, 50, 14},
    },
});

} // namespace

CStyleDlg::CStyleDlg(const Style& style, bool texte, QWidget* parent)
    : CDialog(IDD, parent), Valeur(style), m_Montre(style), m_Texte(texte)
{
    m_Relative = style.TailleRelative > 0;
    if (m_Relative)
        m_Taille = style.TailleRelative / 100.0;
    m_PlaceRelative = style.PlaceRelative;
    m_Opacite = style.Opacite;
    m_Contour = style.Contour;
    m_ContourRelatif = style.ContourRelatif;
    m_CouleurContour = style.CouleurContour;
    m_OmbreX = style.OmbreX;
    m_OmbreY = style.OmbreY;
    m_Flou = style.OmbreFlou;
    m_OpaciteOmbre = style.OpaciteOmbre;
    m_CouleurOmbre = style.CouleurOmbre;
    m_Repete = style.Repete;
    m_Angle = style.Angle;
    m_Espacement = style.Espacement;
}

BOOL CStyleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    setWindowTitle(m_Texte ? "Text style" : "Logo style");
    if (!m_Texte) {
        // The logo has no outline nor shadow: the dialog ends below the repeat.
        QWidget* ok = GetDlgItem(IDOK);
        QWidget* annule = GetDlgItem(IDCANCEL);
        const int haut = DialogUnits::Y(114);
        for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != ok && w != annule && w->y() >= haut)
                w->hide();
        const int decalage = DialogUnits::Y(104);
        for (int id : {IDOK, IDCANCEL})
            if (QWidget* bouton = GetDlgItem(id))
                bouton->move(bouton->x(), bouton->y() - decalage);
        setFixedHeight(height() - decalage);
    }
    MontreCouleurs();
    ActiveRepetition();
    return TRUE;
}

void CStyleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, kRelative, m_Relative);
    DDX_Text(pDX, kTaille, m_Taille);
    DDV_MinMaxDouble(pDX, m_Taille, 0.01, Style::kTailleMaximale / 100.0);
    DDX_Check(pDX, kPlaceRelative, m_PlaceRelative);
    DDX_Text(pDX, kOpacite, m_Opacite);
    DDV_MinMaxInt(pDX, m_Opacite, 0, 100);
    DDX_Check(pDX, kRepete, m_Repete);
    DDX_Text(pDX, kAngle, m_Angle);
    DDV_MinMaxInt(pDX, m_Angle, 0, Style::kAngleMaximal);
    DDX_Text(pDX, kEspacement, m_Espacement);
    DDV_MinMaxInt(pDX, m_Espacement, Style::kEspacementMinimal, Style::kEspacementMaximal);
    if (m_Texte) {
        DDX_Text(pDX, kContour, m_Contour);
        DDV_MinMaxInt(pDX, m_Contour, 0, Style::kContourMaximal);
        DDX_Check(pDX, kContourRelatif, m_ContourRelatif);
        DDX_Text(pDX, kOmbreX, m_OmbreX);
        DDV_MinMaxInt(pDX, m_OmbreX, -Style::kDecalageMaximal, Style::kDecalageMaximal);
        DDX_Text(pDX, kOmbreY, m_OmbreY);
        DDV_MinMaxInt(pDX, m_OmbreY, -Style::kDecalageMaximal, Style::kDecalageMaximal);
        DDX_Text(pDX, kFlou, m_Flou);
        DDV_MinMaxInt(pDX, m_Flou, 0, Style::kFlouMaximal);
        DDX_Text(pDX, kOpaciteOmbre, m_OpaciteOmbre);
        DDV_MinMaxInt(pDX, m_OpaciteOmbre, 0, 100);
    }
    if (!pDX->m_bSaveAndValidate)
        return;
    Valeur.TailleRelative = m_Relative ? std::max(1, static_cast<int>(std::lround(m_Taille * 100))) : 0;
    Valeur.PlaceRelative = m_PlaceRelative;
    Valeur.Opacite = m_Opacite;
    Valeur.Repete = m_Repete != 0;
    Valeur.Angle = m_Angle;
    Valeur.Espacement = m_Espacement;
    if (m_Texte) {
        Valeur.Contour = m_Contour;
        Valeur.ContourRelatif = m_ContourRelatif;
        Valeur.CouleurContour = m_CouleurContour;
        Valeur.OmbreX = m_OmbreX;
        Valeur.OmbreY = m_OmbreY;
        Valeur.OmbreFlou = m_Flou;
        Valeur.OpaciteOmbre = m_OpaciteOmbre;
        Valeur.CouleurOmbre = m_CouleurOmbre;
    }
}

void CStyleDlg::OnClicked(int id)
{
    COLORREF* couleur = id == kCouleurContour ? &m_CouleurContour : id == kCouleurOmbre ? &m_CouleurOmbre : nullptr;
    if (!couleur) {
        CDialog::OnClicked(id);
        if (id == kRepete)
            ActiveRepetition();
        if (id == kRelative || id == kPlaceRelative || id == kContourRelatif || id == kRepete)
            Previsualise();
        return;
    }
    COLORREF choisie = *couleur;
    if (Interaction::current().chooseColour(this, choisie)) {
        *couleur = choisie;
        MontreCouleurs();
        Previsualise();
    }
}

void CStyleDlg::OnEditChanged(int id)
{
    CDialog::OnEditChanged(id);
    Previsualise();
}

void CStyleDlg::Previsualise()
{
    if (!EnDirect)
        return;
    // A failed exchange warns and takes the focus to the field; half-typed
    // numbers are no error here, just nothing to show yet.
    QWidget* focus = QApplication::focusWidget();
    auto* edit = qobject_cast<QLineEdit*>(focus);
    const int curseur = edit ? edit->cursorPosition() : 0;
    SilentInteraction silence;
    Interaction* avant = Interaction::installForThread(&silence);
    const Style retenu = Valeur;
    const bool lu = UpdateData(TRUE);
    Interaction::installForThread(avant);
    const Style lue = std::exchange(Valeur, retenu);
    if (focus && QApplication::focusWidget() != focus)
        focus->setFocus(Qt::OtherFocusReason);
    if (edit) {
        edit->deselect();
        edit->setCursorPosition(curseur);
    }
    if (lu && lue != m_Montre) {
        m_Montre = lue;
        EnDirect(lue);
    }
}

void CStyleDlg::MontreCouleurs()
{
    for (auto [id, couleur] : {std::pair{kApercuContour, m_CouleurContour}, std::pair{kApercuOmbre, m_CouleurOmbre}})
        if (QWidget* apercu = GetDlgItem(id)) {
            char hexa[8];
            std::snprintf(hexa, sizeof hexa, "#%02X%02X%02X", GetRValue(couleur), GetGValue(couleur),
                          GetBValue(couleur));
            apercu->setStyleSheet(QString("background-color: %1").arg(hexa));
            apercu->setToolTip(hexa);
        }
}

void CStyleDlg::ActiveRepetition()
{
    const auto* repete = GetDlgItemAs<QAbstractButton>(kRepete);
    const bool actif = repete && repete->isChecked();
    for (int id : {kAngle, kEspacement})
        if (QWidget* champ = GetDlgItem(id))
            champ->setEnabled(actif);
}

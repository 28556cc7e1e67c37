// The layers' styles: each panel's "Style..." button opens a small dialog
// for its layer; the preview follows the dialog while it is open, and Cancel
// brings the old style back.

#include "CPrincipaleView.h"

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CStyleDlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace {

// The panels' margin and position edits: text panel, then logo panel.
constexpr int kMargesTexte[] = {2260, 2255, 2249, 2251}; // Dx, Dy, X, Y
constexpr int kMargesLogo[] = {1610, 1608, 1612, 1614};

// A "%" inside the edit's right end while its number is a percentage.
void Pourcent(QLineEdit* champ, bool relatif, const char* aide)
{
    auto* signe = champ->findChild<QLabel*>(QStringLiteral("pourcent"), Qt::FindDirectChildrenOnly);
    if (!signe && !relatif)
        return;
    if (!signe) {
        signe = new QLabel(QStringLiteral("%"), champ);
        signe->setObjectName(QStringLiteral("pourcent"));
        signe->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const int largeur = signe->fontMetrics().horizontalAdvance(QLatin1Char('%')) + 3;
    signe->setGeometry(champ->width() - largeur - 2, 0, largeur, champ->height());
    signe->setVisible(relatif);
    champ->setTextMargins(0, 0, relatif ? largeur : 0, 0);
    champ->setToolTip(relatif ? QString::fromLatin1(aide) : QString());
}

} // namespace

void CPrincipaleView::MarqueUnitesPlace()
{
    const auto marque = [](CDialog* panneau, const int (&ids)[4], const Style& style) {
        if (!panneau)
            return;
        const char* aides[] = {"% of the picture's shorter side", "% of the picture's shorter side",
                               "% of the picture's width", "% of the picture's height"};
        for (int i = 0; i < 4; ++i)
            if (auto* champ = panneau->GetDlgItemAs<QLineEdit>(ids[i]))
                Pourcent(champ, style.PlaceRelative != 0, aides[i]);
    };
    marque(PanneauTexte, kMargesTexte, StyleTexte);
    marque(PanneauLogo, kMargesLogo, StyleLogo);
}

void CPrincipaleView::BrancheStyles()
{
    const auto branche = [this](CDialog* panneau, int id, bool texte) {
        if (auto* bouton = panneau ? panneau->GetDlgItemAs<QAbstractButton>(id) : nullptr)
            connect(bouton, &QAbstractButton::clicked, this, [this, texte] { OuvreStyle(texte); });
    };
    branche(PanneauTexte, CMiniTexteDlg::kStyle, true);
    branche(PanneauLogo, CSignatureLogoDlg::kStyle, false);
}

void CPrincipaleView::OuvreStyle(bool texte)
{
    Style& style = texte ? StyleTexte : StyleLogo;
    const Style avant = style;
    CStyleDlg dialogue(style, texte, this);
    dialogue.EnDirect = [this, &style](const Style& essai) {
        style = essai;
        DemandeApercu();
    };
    const Style choisi = dialogue.DoModal() == IDOK ? dialogue.Valeur : avant;
    const Style montre = std::exchange(style, choisi);
    if (choisi != avant)
        MarqueModifie();
    if (choisi != avant || montre != avant)
        ConstruitApercu();
}

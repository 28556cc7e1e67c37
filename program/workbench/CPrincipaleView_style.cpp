// The layers' styles: each panel's "Style..." button opens a small dialog
// for its layer; a change shows in the preview at once.

#include "CPrincipaleView.h"

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CStyleDlg.h"

#include <QAbstractButton>

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
    CStyleDlg dialogue(style, texte, this);
    if (dialogue.DoModal() != IDOK || dialogue.Valeur == style)
        return;
    style = dialogue.Valeur;
    MarqueModifie();
    ConstruitApercu();
}

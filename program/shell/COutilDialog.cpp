#include "COutilDialog.h"

#include "CMainFrame.h"
#include "CTamparoApp.h"
#include "Commandes.h"

#include "CRoutine.h"
#include "Resources.h"

#include <QPushButton>

namespace {

struct Bouton {
    int id;
    UINT icone;
    UINT infoBulle;
    UINT commande;
};

constexpr std::array<Bouton, COutilDialog::kNombreBoutons> kBoutons{{
    {1008, 118, 57600, Commande::Nouveau},
    {1000, 114, 57601, Commande::Ouvrir},
    {1001, 109, 57603, Commande::Enregistrer},
    {1002, 112, 61204, Commande::ListeSelection},
    {1003, 116, 61205, Commande::SignatureTexte},
    {1004, 113, 61206, Commande::SignatureLogo},
    {1005, 117, 61207, Commande::AfficheSelection},
    {1006, 107, 61208, Commande::SigneTout},
    {1007, 108, 61209, Commande::ManuelAide},
}};

ControlTemplate Ligne(int rang)
{
    const Bouton& b = kBoutons[static_cast<std::size_t>(rang)];
    return {ControlKind::PushButton, b.id, "", 2 + rang * 43, 1, 43, 30, Opt::Flat, b.icone};
}

const bool registered = DialogTemplate::Register({
    COutilDialog::IDD, "", 396, 32, "MS Sans Serif", 8, Opt::Child, ResourceModule::Program,
    {Ligne(0), Ligne(1), Ligne(2), Ligne(3), Ligne(4), Ligne(5), Ligne(6), Ligne(7), Ligne(8)},
});

} // namespace

COutilDialog::COutilDialog(QWidget* parent) : CDialog(IDD, parent)
{
    if (CTamparoApp* application = CTamparoApp::Instance())
        application->BarreOutils = this;
}

COutilDialog::~COutilDialog() = default;

const std::array<int, COutilDialog::kNombreBoutons>& COutilDialog::Boutons()
{
    static const std::array<int, kNombreBoutons> ids = [] {
        std::array<int, kNombreBoutons> liste{};
        for (std::size_t i = 0; i < kBoutons.size(); ++i)
            liste[i] = kBoutons[i].id;
        return liste;
    }();
    return ids;
}

UINT COutilDialog::CommandeDuBouton(int id)
{
    for (const Bouton& b : kBoutons)
        if (b.id == id)
            return b.commande;
    return 0;
}

void COutilDialog::InitDialogBar()
{
    for (std::size_t i = 0; i < kBoutons.size(); ++i) {
        auto* bouton = GetDlgItemAs<QPushButton>(kBoutons[i].id);
        if (!bouton)
            continue;
        Icones[i] = Resources::loadIcon(ResourceModule::Program, kBoutons[i].icone);
        // A tool-bar button is for the mouse: holding the focus, it would
        // be pressed by the next space typed for a field.
        bouton->setFocusPolicy(Qt::NoFocus);
        bouton->setIcon(Icones[i]);
        bouton->setIconSize(QSize(kTailleIcone, kTailleIcone));
        CRoutine::Message(TextesInfoBulles[i], kBoutons[i].infoBulle);
        // Qt's tool tips follow the pointer over the button themselves.
        bouton->setToolTip(QString::fromStdString(TextesInfoBulles[i]));
    }
}

void COutilDialog::LibereIcones()
{
    for (std::size_t i = 0; i < kBoutons.size(); ++i) {
        if (auto* bouton = GetDlgItemAs<QPushButton>(kBoutons[i].id))
            bouton->setIcon(QIcon());
        Icones[i] = QIcon();
    }
}

void COutilDialog::OnClicked(int id)
{
    const UINT commande = CommandeDuBouton(id);
    CTamparoApp* application = CTamparoApp::Instance();
    if (commande && application && application->Frame())
        application->Frame()->OnCmdMsg(commande);
}

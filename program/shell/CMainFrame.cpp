#include "CMainFrame.h"

#include "CDoc.h"
#include "CInformationDialog.h"
#include "COutilDialog.h"
#include "CPrincipaleView.h"
#include "CTamparoApp.h"
#include "Commandes.h"
#include "EtatFenetre.h"

#include "CAproposdeDlg.h"
#include "CGraphique.h"
#include "CRoutine.h"
#include "Interaction.h"
#include "Resources.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr UINT kTitreApplication = 57344;
constexpr UINT kIconeApplication = 105;
constexpr UINT kImageAPropos = 120;

constexpr int kLargeurPetitEcran = 800;
constexpr CSize kTailleFenetre{748, 731};

// The border a docked bar shows on its side towards the view.
QFrame* Bordure(QWidget* parent)
{
    auto* ligne = new QFrame(parent);
    ligne->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return ligne;
}

} // namespace

CMainFrame::CMainFrame()
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                               | Qt::WindowCloseButtonHint)
{
    setWindowIcon(Resources::loadIcon(ResourceModule::Program, kIconeApplication));
    ConstruitMenu();
    ConstruitRaccourcis();
    auto* centre = new QWidget(this);
    m_colonne = new QVBoxLayout(centre);
    m_colonne->setContentsMargins(0, 0, 0, 0);
    m_colonne->setSpacing(0);
    setCentralWidget(centre);
    OnUpdateFrameTitle();
}

CMainFrame::~CMainFrame()
{
    OnDestroy();
    CTamparoApp* application = CTamparoApp::Instance();
    if (application && application->Vue == m_vue)
        application->Vue = nullptr;
    delete m_vue;
}

void CMainFrame::ConstruitMenu()
{
    for (const Commande::Menu& contenu : Commande::Menus()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(contenu.titre));
        for (const Commande::Article& article : contenu.articles) {
            if (!article.id) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(article.texte));
            action->setObjectName(QString::number(article.id));
            // Shown beside the item; the window-wide shortcut does the work,
            // so the action's own stays within its menu.
            QList<QKeySequence> touches;
            for (const Commande::Raccourci& raccourci : Commande::Raccourcis())
                if (raccourci.id == article.id)
                    touches.push_back(QKeySequence(QString::fromLatin1(raccourci.touches)));
            action->setShortcuts(touches);
            action->setShortcutContext(Qt::WidgetShortcut);
            connect(action, &QAction::triggered, this, [this, id = article.id] { OnCmdMsg(id); });
        }
    }
}

void CMainFrame::ConstruitRaccourcis()
{
    // Window-wide: an edit with the focus still takes its own editing keys
    // (copy, paste, undo) before the window sees them.
    for (const Commande::Raccourci& raccourci : Commande::Raccourcis()) {
        auto* touche = new QShortcut(QKeySequence(QString::fromLatin1(raccourci.touches)), this);
        touche->setContext(Qt::WindowShortcut);
        connect(touche, &QShortcut::activated, this, [this, id = raccourci.id] { OnCmdMsg(id); });
    }
}

BOOL CMainFrame::OnCreateClient()
{
    QWidget* centre = centralWidget();
    CTamparoApp* application = CTamparoApp::Instance();

    // The view builds its form inside centre as it is constructed.
    m_vue = new CPrincipaleView(centre);
    // The form is never smaller than its layout; room beyond it is the form's.
    m_vue->setMinimumSize(m_vue->size());

    m_graphique = std::make_unique<CGraphique>();
    m_barreInformation = std::make_unique<CInformationDialog>(centre);
    m_barreOutils = std::make_unique<COutilDialog>(centre);
    if (application)
        application->Graphique = m_graphique.get();
    if (!m_barreInformation->Create(centre) || !m_barreOutils->Create(centre))
        return FALSE;
    m_barreOutils->setFixedHeight(m_barreOutils->height());
    m_barreInformation->setFixedHeight(m_barreInformation->height());

    m_colonne->addWidget(m_barreOutils.get());
    m_colonne->addWidget(Bordure(centre));
    m_colonne->addWidget(m_vue, 1);
    m_colonne->addWidget(Bordure(centre));
    m_colonne->addWidget(m_barreInformation.get());

    m_barreInformation->InitDialogBar();
    m_barreOutils->InitDialogBar();
    return TRUE;
}

void CMainFrame::InitialUpdateFrame()
{
    if (m_vue)
        m_vue->OnInitialUpdate();
}

void CMainFrame::OnDestroy()
{
    if (m_detruite)
        return;
    m_detruite = true;
    if (m_barreOutils)
        m_barreOutils->LibereIcones();
    // A view whose first update never ran has read no settings: writing
    // would replace the stored ones with its defaults.
    if (m_vue && !m_vue->Initialisation)
        m_vue->EcritureReglages();
    if (m_barreInformation)
        m_barreInformation->LiberePolice();
    for (CDialog* barre : {static_cast<CDialog*>(m_barreInformation.get()), static_cast<CDialog*>(m_barreOutils.get())})
        if (barre)
            barre->DestroyWindow();
    m_barreInformation.reset();
    m_barreOutils.reset();
    m_graphique.reset();
    if (CTamparoApp* application = CTamparoApp::Instance()) {
        application->BarreInformation = nullptr;
        application->BarreOutils = nullptr;
        application->Graphique = nullptr;
    }
}

BOOL CMainFrame::OnCmdMsg(UINT id)
{
    if (OnCommand(id))
        return TRUE;
    if (m_vue && !m_detruite && m_vue->OnCommand(id))
        return TRUE;
    CTamparoApp* application = CTamparoApp::Instance();
    if (!application)
        return FALSE;
    if (application->Document()->OnCommand(id))
        return TRUE;
    return application->OnCommand(id);
}

BOOL CMainFrame::OnCommand(UINT id)
{
    switch (id) {
    case Commande::ManuelAide:
        OuvreManuel();
        return TRUE;
    case Commande::Web:
        if (CTamparoApp* application = CTamparoApp::Instance(); application && !application->AdresseEditeur.empty())
            Interaction::current().openOnDesktop(application->AdresseEditeur);
        return TRUE;
    case Commande::APropos:
        AfficheAPropos(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainFrame::OnUpdateFrameTitle()
{
    CString titre;
    CRoutine::Message(titre, kTitreApplication);
    CTamparoApp* application = CTamparoApp::Instance();
    const CString document = application ? application->Document()->GetTitle() : CDoc::TitreParDefaut();
    setWindowTitle(QString::fromStdString(titre + " - " + document));
}

CRect CMainFrame::Emplacement(CSize ecran, CPoint positionSysteme)
{
    if (ecran.cx > kLargeurPetitEcran)
        return {positionSysteme.x, positionSysteme.y, positionSysteme.x + kTailleFenetre.cx,
                positionSysteme.y + kTailleFenetre.cy};
    return {0, 0, ecran.cx, ecran.cy};
}

void CMainFrame::Place(CSize ecran)
{
    const CRect zone = Emplacement(ecran, CPoint(x(), y()));
    // A small display is filled even where the form then runs past its
    // edge, as the window always did there.
    if (ecran.cx <= kLargeurPetitEcran && m_vue)
        m_vue->setMinimumSize(0, 0);
    // The start size; the user may then resize or maximise.
    resize(zone.Width(), zone.Height());
    if (ecran.cx <= kLargeurPetitEcran)
        move(zone.left, zone.top);
    // Then as the last run left it, maximised or where the user put it.
    EtatFenetre::Restaure(*this);
    raise();
}

void CMainFrame::AfficheAPropos(int duree)
{
    CAproposdeDlg boite(this);
    boite.Image = Resources::loadBitmap(ResourceModule::Program, kImageAPropos);
    boite.Titre = "A propos de Tamparo2";
    boite.Duree = duree;
    boite.DoModal();
    DeleteObject(boite.Image);
}

void CMainFrame::OuvreManuel()
{
    const CString manuel = CheminManuel(QCoreApplication::applicationDirPath().toStdString());
    if (Interaction::current().openOnDesktop(manuel))
        return;
    // No desktop viewer took it (a bare session, a server): the program
    // shows the manual itself, once, above its window.
    static QPointer<QTextBrowser> fenetre;
    if (!fenetre) {
        CTamparoApp* application = CTamparoApp::Instance();
        fenetre = new QTextBrowser(application ? application->Frame() : nullptr);
        fenetre->setWindowFlags(Qt::Window);
        fenetre->setAttribute(Qt::WA_DeleteOnClose);
        fenetre->setObjectName(QStringLiteral("manual"));
        fenetre->setOpenExternalLinks(true);
        fenetre->resize(720, 640);
        fenetre->setSource(QUrl::fromLocalFile(QString::fromStdString(manuel)));
        fenetre->setWindowTitle(fenetre->documentTitle().isEmpty() ? QStringLiteral("Tamparo2")
                                                                    : fenetre->documentTitle());
    }
    fenetre->show();
    fenetre->raise();
}

CString CMainFrame::CheminManuel(const CString& dossierProgramme)
{
    const QString dossier = QString::fromStdString(dossierProgramme);
    const QString aCote = dossier + QStringLiteral("/aide.html");
    const QString installe = QDir::cleanPath(dossier + QStringLiteral("/../share/tamparo2/aide.html"));
    for (const QString& chemin : {aCote, installe})
        if (QFileInfo(chemin).isFile())
            return chemin.toStdString();
    return aCote.toStdString();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    CTamparoApp* application = CTamparoApp::Instance();
    if (application && !application->Document()->SaveModified()) {
        event->ignore();
        return;
    }
    EtatFenetre::Retient(*this);
    OnDestroy();
    event->accept();
}

#include "VueTestSupport.h"
#include "RessourcesProgramme.h"

#include "DialogDriver.h"
#include "ScriptedInteraction.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

void VueTest::SetUp()
{
    RessourcesProgramme::Enregistre();
    m_configAvant = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));
    application = std::make_unique<CTamparoApp>();
    application->Graphique = &graphique;
    hote.resize(640, 610);
    Demarre();
}

void VueTest::TearDown()
{
    vue.reset();
    application.reset();
    qputenv("XDG_CONFIG_HOME", m_configAvant);
}

void VueTest::Demarre()
{
    vue.reset();
    // As in the main frame: the form is built and updated before its window shows.
    hote.hide();
    vue = std::make_unique<CPrincipaleView>(&hote);
    vue->OnInitialUpdate();
    hote.show();
    DialogDriver::Pump();
    Scripted().clear();
    if (CDoc* document = application->Document())
        document->SetModifiedFlag(false);
}

void VueTest::Arrete()
{
    vue->EcritureReglages();
    vue.reset();
}

std::string VueTest::Image(const std::string& nom, int largeur, int hauteur, COLORREF couleur)
{
    const std::string chemin = bac.path(nom);
    HBITMAP image = TestImages::Solid(largeur, hauteur, 32, couleur);
    EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
    DeleteObject(image);
    return chemin;
}

void VueTest::Depose(const std::vector<std::string>& chemins)
{
    QMimeData donnees;
    QList<QUrl> urls;
    for (const std::string& chemin : chemins)
        urls << QUrl::fromLocalFile(QString::fromStdString(chemin));
    donnees.setUrls(urls);
    // A drop reaches only the widget that took the drag when it entered.
    QDragEnterEvent entree(QPoint(20, 20), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vue.get(), &entree);
    ASSERT_TRUE(entree.isAccepted());
    QDropEvent depot(QPointF(20, 20), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vue.get(), &depot);
}

std::vector<std::string> VueTest::Lignes() const
{
    std::vector<std::string> lignes;
    QTreeWidget* liste = vue->Liste();
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        lignes.push_back(liste->topLevelItem(i)->text(0).toStdString());
    return lignes;
}

CString VueTest::Compteur() const { return vue->GetDlgItemText(1700); }

bool VueTest::AttendApercu(int avant)
{
    const QDeadlineTimer limite(10000);
    while (vue->ApercusConstruits == avant && !limite.hasExpired()) {
        QApplication::processEvents();
        QThread::msleep(1);
    }
    return vue->ApercusConstruits != avant;
}

#include "ShellTestSupport.h"

#include "COutilDialog.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"

#include "Screen.h"

void ShellTest::SetUp()
{
    m_configAvant = qgetenv("XDG_CONFIG_HOME");
    m_donneesAvant = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(bac.path("donnees")));
    Screen::simulate({1280, 1024}, 32);
    NouvelleApplication();
}

void ShellTest::TearDown()
{
    application.reset();
    Screen::simulate({0, 0}, 0);
    qputenv("XDG_CONFIG_HOME", m_configAvant);
    qputenv("XDG_DATA_HOME", m_donneesAvant);
}

void ShellTest::NouvelleApplication()
{
    if (application)
        application->ExitInstance();
    application.reset();
    application = std::make_unique<CTamparoApp>();
}

BOOL ShellTest::Demarre(const QStringList& arguments)
{
    DialogDriver::OnNextModal([](QWidget* boite) { DialogDriver::Click(DialogDriver::Control(boite, 1200)); });
    const BOOL resultat = application->InitInstance(arguments);
    DialogDriver::Pump();
    return resultat;
}

QAction* ShellTest::Article(UINT id) const
{
    return Frame() ? Frame()->findChild<QAction*>(QString::number(id)) : nullptr;
}

QPushButton* ShellTest::Bouton(int id) const
{
    return application->BarreOutils ? application->BarreOutils->GetDlgItemAs<QPushButton>(id) : nullptr;
}

std::string ShellTest::Modele(const std::string& fichier, const CString& prefixe)
{
    const std::string chemin = bac.path(fichier);
    const CString avant = Vue()->GetDlgItemText(1505);
    Vue()->SetDlgItemText(1505, prefixe);
    EXPECT_TRUE(Document()->DoSave(chemin, false));
    Vue()->SetDlgItemText(1505, avant);
    Vue()->UpdateData(TRUE);
    return chemin;
}
